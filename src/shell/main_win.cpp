// The entry point: start-up, one mode chosen by the command line, teardown.
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>

#include "lang/language.h"
#include "lang/message_text.h"
#include "resources/resource_ids.h"
#include "setup_ui/done_dialog.h"
#include "setup_ui/setup_dialog.h"
#include "shell/command_line.h"
#include "shell/shell_state.h"
#include "shell/system.h"
#include "uninstall/uninstall.h"

unsigned char SilentMode;
HICON AppIcon;
HFONT BoldFont;
char GroupPath[kGroupPathSize];

namespace {

HMODULE richEditModule;

void StartUp(HINSTANCE instance)
{
    ExtRes.Load(instance);
    Lang.Load("uninstall.lng");
    OleInitialize(nullptr);
    richEditModule = LoadLibraryA("riched32.dll");
    AppIcon = LoadIconA(ResourceInstance, "VEXICON");
    BoldFont = CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
}

void TearDown()
{
    if (richEditModule)
        FreeLibrary(richEditModule);
    OleUninitialize();
    DeleteObject(BoldFont);
}

void RunSetup()
{
    INT_PTR result = DialogBoxParamA(ResourceInstance, "SETUPDLG", nullptr, SetupDlgProc, 0);
    // Only a confirmed dialog applied anything; -1 (no dialog) must not be
    // followed by "successfully installed".
    if (result != 1)
        return;
    DialogBoxParamA(ResourceInstance, "DONEDLG", nullptr, DoneDlgProc, 0);
    if (GroupPath[0] != 0)
        ShellExecuteA(nullptr, "open", GroupPath, nullptr, "", SW_SHOWNORMAL);
}

void ShowWarning()
{
    char path[kPathSize];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n >= sizeof path)
        path[sizeof path - 1] = 0;
    char text[kWarningTextSize];
    // snprintf cuts a long translation or path to the buffer.
    int used = snprintf(text, sizeof text, "%s\n", GetMessageText(IDS_UNINSTALL_COMPLETED));
    if (used >= 0 && used < static_cast<int>(sizeof text))
        snprintf(text + used, sizeof text - used, GetFormatText(IDS_DELETE_MANUALLY), path);
    MessageBoxA(nullptr, text, GetMessageText(IDS_CAPTION), MB_ICONINFORMATION | MB_SETFOREGROUND);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    StartUp(instance);
    CommandLine parsed = ParseCommandLine(commandLine);
    SilentMode = parsed.silent ? 1 : 0;
    switch (parsed.mode) {
    case RunMode::Uninstall:
        RunUninstall();
        break;
    case RunMode::Setup:
        RunSetup();
        break;
    case RunMode::Wait:
        Sleep(2000);
        break;
    case RunMode::Warning:
        ShowWarning();
        break;
    case RunMode::None:
        break;
    }
    TearDown();
    return 0;
}
