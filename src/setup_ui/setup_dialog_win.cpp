// Placeholder until the setup dialog lands: it must not pretend to set up anything.
#include "setup_ui/setup_dialog.h"

INT_PTR CALLBACK SetupDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
void GetDialogChoices(HWND, IntegrationOptions*) {}
void SetDialogChoices(HWND, const IntegrationOptions*) {}
void SelectAllArchiveTypes(HWND) {}
void EnableDialogItem(HWND, int, bool) {}
void ApplyIntegration(const IntegrationOptions*, char*) {}
