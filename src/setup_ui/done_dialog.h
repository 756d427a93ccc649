// The completion dialog "DONEDLG".
#pragma once
#include <windows.h>

// The maker's home page, opened by the "Ho&me page" button.
#define VEXORA_HOME_PAGE "https://www.vexora.example/"

INT_PTR CALLBACK DoneDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
