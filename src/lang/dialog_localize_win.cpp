// Dialogs translated through the catalogue, rescaled by its scale entries and
// mirrored for a right-to-left language.
#include "lang/dialog_localize.h"

#include <string.h>

#include "lang/dialog_scale.h"
#include "lang/language.h"
#include "lang/message_text.h"

namespace {

enum { kMaxLocalizedControls = 512, kClassNameSize = 1024 };

ScaleRect ToScaleRect(const RECT& r)
{
    ScaleRect s = {r.left, r.top, r.right, r.bottom};
    return s;
}

void TranslateWindowText(HWND window, const char* dialogName)
{
    char text[kDialogTextSize];
    text[0] = 0;
    GetWindowTextA(window, text, sizeof text);
    // The empty text's key is the dialog's scale entry, not a translation.
    if (text[0] == 0)
        return;
    Lang.TranslateText(text, sizeof text, text, dialogName, kDialogText);
    SetWindowTextA(window, text);
}

// A combo box's window rectangle is its field; one that drops a list is
// sized with the list included.
bool HasDropDownList(HWND control)
{
    char className[kClassNameSize];
    className[0] = 0;
    GetClassNameA(control, className, sizeof className);
    if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, className, -1, "COMBOBOX", -1) !=
        CSTR_EQUAL)
        return false;
    return (GetWindowLongA(control, GWL_STYLE) & 3) != CBS_SIMPLE;
}

void ScaleControl(HWND control, const RECT& dialog, int frameX, int frameY, int sx, int sy)
{
    RECT r;
    GetWindowRect(control, &r);
    ScaledPlace place = ScaleControlPlace(ToScaleRect(r), ToScaleRect(dialog), frameX, frameY, sx, sy);
    if (HasDropDownList(control)) {
        RECT list = {0, 0, 0, 0};
        SendMessageA(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
        place.height += ScaleLength(list.bottom - list.top + 1, sy);
    }
    SetWindowPos(control, nullptr, place.x, place.y, place.width, place.height, SWP_NOZORDER | SWP_NOOWNERZORDER);
}

}  // namespace

void DialogHook(HWND window, UINT message, WPARAM, LPARAM, const char* dialogName)
{
    // A template with its own font gets WM_SETFONT before its controls
    // exist, so they are created into the mirrored dialog.
    if (message == WM_SETFONT)
        SetRtlLayout(window);
    else if (message == WM_INITDIALOG)
        LocalizeDialog(window, dialogName);
}

void SetRtlLayout(HWND window)
{
    if (!Lang.RightToLeft())
        return;
    LONG style = GetWindowLongA(window, GWL_EXSTYLE);
    SetWindowLongA(window, GWL_EXSTYLE, style | WS_EX_LAYOUTRTL);
}

bool GetDialogScale(const char* dialogName, int* sx, int* sy)
{
    char entry[kScaleTextSize];
    Lang.TranslateText(entry, sizeof entry, "", dialogName, kDialogText);
    return ParseScaleEntry(entry, sx, sy);
}

void DetectTextDirection()
{
    if (FindResourceA(ResourceInstance, "RTL", RT_DIALOG)) {
        Lang.SetRightToLeft(true);
        return;
    }
    char direction[kDialogTextSize];
    Lang.TranslateText(direction, sizeof direction, "LTR", "LTR", kDialogText);
    Lang.SetRightToLeft(strcmp(direction, "RTL") == 0);
}

void LocalizeDialog(HWND window, const char* dialogName)
{
    int sx, sy;
    bool scaled = GetDialogScale(dialogName, &sx, &sy);
    // Both rectangles before anything changes; the frame sizes carry the
    // off-by-one of inclusive window extents.
    RECT dialog, client;
    GetWindowRect(window, &dialog);
    GetClientRect(window, &client);
    int frameX = (dialog.right - dialog.left + 1) - client.right;
    int frameY = (dialog.bottom - dialog.top + 1) - client.bottom;
    if (scaled)
        SetWindowPos(window, nullptr, 0, 0, ScaleLength(client.right, sx) + frameX,
                     ScaleLength(client.bottom, sy) + frameY, SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    TranslateWindowText(window, dialogName);
    frameY -= GetSystemMetrics(SM_CYDLGFRAME);

    HWND first = GetWindow(window, GW_CHILD);
    HWND child = first;
    for (int n = 0; child && n < kMaxLocalizedControls; ++n) {
        TranslateWindowText(child, dialogName);
        if (scaled)
            ScaleControl(child, dialog, frameX, frameY, sx, sy);
        child = GetWindow(child, GW_HWNDNEXT);
        if (child == first)
            break;
    }
}
