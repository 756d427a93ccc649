#include "support/ui_driver_win.h"

#include <stdio.h>
#include <string.h>

namespace ui {
namespace {

struct Search {
    const char* caption;
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param)
{
    Search* s = reinterpret_cast<Search*>(param);
    if (!IsWindowVisible(window))
        return TRUE;
    if (s->pid != 0) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != s->pid)
            return TRUE;
    }
    char text[512];
    GetWindowTextA(window, text, sizeof text);
    if (strcmp(text, s->caption) != 0)
        return TRUE;
    s->found = window;
    return FALSE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    auto* list = reinterpret_cast<std::vector<HWND>*>(param);
    list->push_back(child);
    return TRUE;
}

}  // namespace

HWND WaitForWindow(const char* caption, DWORD pid, int timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        Search s = {caption, pid, nullptr};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            Sleep(200);  // let the dialog finish its initialisation
            return s.found;
        }
        if (static_cast<int>(GetTickCount() - start) > timeoutMs)
            return nullptr;
        Sleep(50);
    }
}

bool WaitForWindowGone(HWND window, int timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (static_cast<int>(GetTickCount() - start) > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

std::string Text(HWND window)
{
    char text[4096];
    text[0] = 0;
    // WM_GETTEXT reaches into another process's controls, GetWindowText does not.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return text;
}

std::vector<Control> Controls(HWND dialog)
{
    std::vector<HWND> children;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
    std::vector<Control> result;
    for (HWND child : children) {
        if (GetParent(child) != dialog)
            continue;
        Control c;
        c.id = GetDlgCtrlID(child);
        char cls[256];
        GetClassNameA(child, cls, sizeof cls);
        c.className = cls;
        c.text = Text(child);
        c.visible = IsWindowVisible(child) != 0;
        c.enabled = IsWindowEnabled(child) != 0;
        c.style = GetWindowLongPtrA(child, GWL_STYLE);
        c.exStyle = GetWindowLongPtrA(child, GWL_EXSTYLE);
        c.checked = -1;
        if (_stricmp(cls, "Button") == 0) {
            LONG_PTR type = c.style & BS_TYPEMASK;
            if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON ||
                type == BS_RADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE)
                c.checked = static_cast<int>(SendMessageA(child, BM_GETCHECK, 0, 0));
        }
        GetWindowRect(child, &c.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&c.rect), 2);
        result.push_back(c);
    }
    return result;
}

const Control* Find(const std::vector<Control>& controls, int id)
{
    for (const Control& c : controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

std::string MessageBoxText(HWND box)
{
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? Text(text) : std::string();
}

std::string Describe(HWND dialog)
{
    std::string out = "caption: " + Text(dialog) + "\n";
    char line[1200];
    for (const Control& c : Controls(dialog)) {
        snprintf(line, sizeof line, "%5d %-10s %s%s%s (%ld,%ld)-(%ld,%ld) \"%s\"\n", c.id, c.className.c_str(),
                 c.enabled ? "enabled" : "disabled", c.checked == BST_CHECKED ? " checked" : "",
                 c.visible ? "" : " hidden", c.rect.left, c.rect.top, c.rect.right, c.rect.bottom,
                 c.text.c_str());
        out += line;
    }
    return out;
}

bool Press(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (button)
        return PostMessageA(button, BM_CLICK, 0, 0) != 0;
    // A command without a control (IDCANCEL from Esc, say) goes to the dialog.
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) != 0;
}

void PressKey(HWND window, UINT virtualKey)
{
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

void Close(HWND window)
{
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool SaveScreenshot(HWND window, const char* bmpPath)
{
    RECT r;
    if (window) {
        GetWindowRect(window, &r);
    } else {
        r.left = r.top = 0;
        r.right = GetSystemMetrics(SM_CXSCREEN);
        r.bottom = GetSystemMetrics(SM_CYSCREEN);
    }
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info;
    memset(&info, 0, sizeof info);
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    int stride = ((w * 3 + 3) / 4) * 4;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * h);
    GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file;
    memset(&file, 0, sizeof file);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* f = fopen(bmpPath, "wb");
    if (!f)
        return false;
    fwrite(&file, sizeof file, 1, f);
    fwrite(&info, sizeof info, 1, f);
    fwrite(pixels.data(), 1, pixels.size(), f);
    fclose(f);
    return true;
}

}  // namespace ui
