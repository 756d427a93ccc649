// Translation, rescaling and right-to-left layout of the dialogs.
#pragma once
#include <windows.h>

// Called first by every dialog procedure with its template name as context.
void DialogHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* dialogName);
void LocalizeDialog(HWND window, const char* dialogName);
void SetRtlLayout(HWND window);
bool GetDialogScale(const char* dialogName, int* sx, int* sy);
void DetectTextDirection();
