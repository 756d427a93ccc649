// uihelper VERB... : drives a top-level window of another process.
//   wait CAPTION [MS]  wait for the window (default 20000 ms); fails if it never comes
//   waitid ID [MS]     the same for a window of any caption that has a control ID
//                      (a translated dialog)
//   describe           print its caption and controls
//   msgtext            print the text of a message box
//   press ID           click the button ID (or send the command ID)
//   shot FILE.bmp      save a picture of the window
//   gone [MS]          wait until the window is closed
//   close              close it through its close box, as a user would
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "support/ui_driver_win.h"

namespace {

struct ControlSearch {
    int id;
    HWND found;
};

HWND WaitForWindowWithControl(int id, int timeoutMs)
{
    for (int waited = 0;; waited += 50) {
        ControlSearch s = {id, nullptr};
        EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                auto* s = reinterpret_cast<ControlSearch*>(p);
                if (!IsWindowVisible(w) || !GetDlgItem(w, s->id))
                    return TRUE;
                s->found = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            Sleep(200);  // let the dialog finish its initialisation
            return s.found;
        }
        if (waited > timeoutMs)
            return nullptr;
        Sleep(50);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    HWND window = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* verb = argv[i];
        bool hasArg = i + 1 < argc;
        if (strcmp(verb, "wait") == 0 && hasArg) {
            const char* caption = argv[++i];
            int timeout = (i + 1 < argc && atoi(argv[i + 1]) > 0) ? atoi(argv[++i]) : 20000;
            window = ui::WaitForWindow(caption, 0, timeout);
            if (!window) {
                fprintf(stderr, "uihelper: no window \"%s\"\n", caption);
                return 1;
            }
        } else if (strcmp(verb, "waitid") == 0 && hasArg) {
            int id = atoi(argv[++i]);
            int timeout = (i + 1 < argc && atoi(argv[i + 1]) > 0) ? atoi(argv[++i]) : 20000;
            window = WaitForWindowWithControl(id, timeout);
            if (!window) {
                fprintf(stderr, "uihelper: no window with control %d\n", id);
                return 1;
            }
        } else if (!window) {
            fprintf(stderr, "uihelper: %s needs a window first (wait CAPTION)\n", verb);
            return 2;
        } else if (strcmp(verb, "describe") == 0) {
            fputs(ui::Describe(window).c_str(), stdout);
        } else if (strcmp(verb, "msgtext") == 0) {
            printf("%s\n", ui::MessageBoxText(window).c_str());
        } else if (strcmp(verb, "press") == 0 && hasArg) {
            ui::Press(window, atoi(argv[++i]));
        } else if (strcmp(verb, "shot") == 0 && hasArg) {
            if (!ui::SaveScreenshot(window, argv[++i]))
                return 1;
        } else if (strcmp(verb, "close") == 0) {
            ui::Close(window);
        } else if (strcmp(verb, "gone") == 0) {
            int timeout = (hasArg && atoi(argv[i + 1]) > 0) ? atoi(argv[++i]) : 20000;
            if (!ui::WaitForWindowGone(window, timeout))
                return 1;
        } else {
            fprintf(stderr, "uihelper: unknown verb %s\n", verb);
            return 2;
        }
        fflush(stdout);
    }
    return 0;
}
