// The setup dialog: the stored choices as check boxes; OK stores them,
// applies them and registers the uninstall entry.
#include "setup_ui/setup_dialog.h"

#include <richedit.h>

#include "desktop/app_registration.h"
#include "desktop/links.h"
#include "filetypes/associations.h"
#include "filetypes/shell_extension.h"
#include "lang/dialog_localize.h"
#include "resources/resource_ids.h"
#include "shell/shell_state.h"

namespace {

// Boxes 5113 to 5118 stand for flags 20 to 25, in order.
enum { kFirstLinkFlag = kFlagDesktopLink, kLinkAndShellBoxes = 6 };

const char kHelpFile[] = "vexora.hlp";

void OnInitDialog(HWND window)
{
    IntegrationOptions record = {};
    ReadIntegrationOptions(&record);
    SetDialogChoices(window, &record);
    SetForegroundWindow(window);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(AppIcon));
    // The explanation is read-only text: it belongs on the dialog's face, not on a white field.
    SendDlgItemMessageA(window, IDC_EXPLANATION, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_BTNFACE));
    // Silent setup confirms before the dialog is ever shown.
    if (SilentMode)
        SendMessageA(window, WM_COMMAND, IDOK, 0);
}

// What is stored and applied is exactly what the boxes show now.
void Confirm(HWND window)
{
    IntegrationOptions record = {};
    GetDialogChoices(window, &record);
    SaveIntegrationOptions(&record);
    ApplyIntegration(&record, GroupPath);
    RegisterUninstallEntry();
    EndDialog(window, 1);
}

// The boxes keep their marks; the round trip only re-enables the dependent ones.
void OnShellIntegrationClicked(HWND window)
{
    IntegrationOptions record = {};
    GetDialogChoices(window, &record);
    SetDialogChoices(window, &record);
}

void OnCommand(HWND window, int id)
{
    switch (id) {
    case IDOK:
        Confirm(window);
        break;
    case IDCANCEL:
        EndDialog(window, 0);
        break;
    case IDC_SETUP_HELP:
        WinHelpA(window, kHelpFile, HELP_CONTEXT, HELP_SETUP_OPTIONS);
        break;
    case IDC_SHELL_INTEGRATION:
        OnShellIntegrationClicked(window);
        break;
    case IDC_SELECT_ALL:
        SelectAllArchiveTypes(window);
        break;
    }
}

}  // namespace

INT_PTR CALLBACK SetupDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogHook(window, message, wParam, lParam, "SETUPDLG");
    switch (message) {
    case WM_HELP:
        SendMessageA(window, WM_COMMAND, IDC_SETUP_HELP, 0);
        return TRUE;
    case WM_INITDIALOG:
        OnInitDialog(window);
        return TRUE;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// Flags 12 to 19 have no box and are left as the caller had them.
void GetDialogChoices(HWND window, IntegrationOptions* record)
{
    for (int r = 0; r < kArchiveTypeCount; ++r)
        record->flag[r] = IsDlgButtonChecked(window, ArchiveTypes[r].control) ? 1 : 0;
    for (int i = 0; i < kLinkAndShellBoxes; ++i)
        record->flag[kFirstLinkFlag + i] = IsDlgButtonChecked(window, IDC_DESKTOP_LINK + i) ? 1 : 0;
}

void SetDialogChoices(HWND window, const IntegrationOptions* record)
{
    for (int r = 0; r < kArchiveTypeCount; ++r)
        CheckDlgButton(window, ArchiveTypes[r].control, record->flag[r]);
    for (int i = 0; i < kLinkAndShellBoxes; ++i)
        CheckDlgButton(window, IDC_DESKTOP_LINK + i, record->flag[kFirstLinkFlag + i]);
    bool shell = record->flag[kFlagShellIntegration] != 0;
    EnableDialogItem(window, IDC_CASCADED_MENUS, shell);
    EnableDialogItem(window, IDC_MENU_ICONS, shell);
}

void SelectAllArchiveTypes(HWND window)
{
    for (int r = 0; r < kArchiveTypeCount; ++r)
        CheckDlgButton(window, ArchiveTypes[r].control, BST_CHECKED);
}

void EnableDialogItem(HWND window, int control, bool enable)
{
    EnableWindow(GetDlgItem(window, control), enable);
}

// Every step runs whatever the one before did; none reports anything.
// RegisterProgIds follows the associations because it is the step that tells
// the shell they changed.
void ApplyIntegration(const IntegrationOptions* record, char* groupPathOut)
{
    RegisterAppPath();
    ApplyShellExtension(record);
    ApplyAssociations(record);
    RegisterProgIds();
    ApplyLinks(record, groupPathOut);
}
