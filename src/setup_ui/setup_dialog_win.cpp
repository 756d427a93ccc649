#include "setup_ui/setup_dialog.h"

INT_PTR CALLBACK SetupDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return FALSE;
}
