// The setup dialog "SETUPDLG" and the apply sequence.
#pragma once
#include <windows.h>

#include "filetypes/options.h"

INT_PTR CALLBACK SetupDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void GetDialogChoices(HWND window, IntegrationOptions* record);
void SetDialogChoices(HWND window, const IntegrationOptions* record);
void SelectAllArchiveTypes(HWND window);
void EnableDialogItem(HWND window, int control, bool enable);
void ApplyIntegration(const IntegrationOptions* record, char* groupPathOut);
