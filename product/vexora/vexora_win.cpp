// Vexora.exe, the least main program that setup's registrations can point
// at: a window titled "Vexora" that shows the file it was asked to open.
// Its icons 0 and 1 (archive, recovery volume) are what DefaultIcon names.
#include <windows.h>
#include <stdlib.h>

#include "vexora_ids.h"

namespace {

const char kClassName[] = "VexoraMainWindow";

// The open command passes the file as one quoted argument; the run-time has
// already split and unquoted the command line.
const char* FileToOpen()
{
    return __argc > 1 ? __argv[1] : "";
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        const char* file = FileToOpen();
        HWND text = CreateWindowA("STATIC", *file ? file : "No archive opened",
                                  WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 12, 12, 480, 40, window,
                                  (HMENU)(INT_PTR)kPathControl, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(text, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kArchiveIcon));
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    HWND window = CreateWindowA(kClassName, "Vexora", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 520, 120,
                                nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
