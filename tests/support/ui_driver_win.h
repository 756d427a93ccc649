// Drives the program's windows from another process, as a user would: waits
// for a top-level window by caption, reads its controls, presses buttons.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ui {

struct Control {
    int id;
    std::string className;
    std::string text;
    bool visible;
    bool enabled;
    int checked;  // BST_* for buttons, -1 otherwise
    RECT rect;    // in the client coordinates of the dialog
    LONG_PTR style;
    LONG_PTR exStyle;
};

// A visible top-level window with this caption (and of this process, when
// pid is not 0), or null after timeoutMs.
HWND WaitForWindow(const char* caption, DWORD pid, int timeoutMs);
// Waits until the window is gone; false on timeout.
bool WaitForWindowGone(HWND window, int timeoutMs);

std::string Text(HWND window);
std::vector<Control> Controls(HWND dialog);
const Control* Find(const std::vector<Control>& controls, int id);
// The text of a message box (its static with id 0xFFFF).
std::string MessageBoxText(HWND box);
// One line per control: id, class, state, rectangle, text.
std::string Describe(HWND dialog);

// Clicks a button by id the way a mouse click would (BM_CLICK, posted).
bool Press(HWND dialog, int id);
// Sends a key to the window (posted WM_KEYDOWN/WM_KEYUP).
void PressKey(HWND window, UINT virtualKey);
// Closes the window through its close box (WM_SYSCOMMAND SC_CLOSE).
void Close(HWND window);

// Saves the window's screen area (or the whole screen) as a 24-bit BMP.
bool SaveScreenshot(HWND window, const char* bmpPath);

}  // namespace ui
