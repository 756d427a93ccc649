// Placeholder until dialog localization lands.
#include "lang/dialog_localize.h"

void DialogHook(HWND, UINT, WPARAM, LPARAM, const char*) {}
void LocalizeDialog(HWND, const char*) {}
void SetRtlLayout(HWND) {}
bool GetDialogScale(const char*, int* sx, int* sy)
{
    *sx = *sy = 100;
    return false;
}
void DetectTextDirection() {}
