#include "setup_ui/done_dialog.h"

INT_PTR CALLBACK DoneDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return FALSE;
}
