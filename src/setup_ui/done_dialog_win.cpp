// The completion dialog: where the product went, and buttons that start it
// and open its help, documents and home page.
#include "setup_ui/done_dialog.h"

#include <shellapi.h>

#include "lang/dialog_localize.h"
#include "resources/resource_ids.h"
#include "shell/path.h"
#include "shell/shell_state.h"
#include "shell/system.h"

namespace {

const char kHelpFile[] = "vexora.hlp";

// Documents opened with their associated program.
const struct {
    int control;
    const char* file;
} kDocuments[] = {
    {IDC_VIEW_LICENSE, "license.txt"},
    {IDC_PRICE_LIST, "order.txt"},
};

// Setup mode never changes the current directory, and the installer starts
// us in the installation folder: that is where the product's files are.
bool GetInstallFolder(char* out, size_t size)
{
    DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(size), out);
    if (n == 0 || n >= size) {
        out[0] = 0;
        return false;
    }
    return true;
}

bool GetInstalledFilePath(const char* name, char* out, size_t size)
{
    return GetInstallFolder(out, size) && AddTrailingSlash(out, size) && AppendText(out, size, name);
}

void OnInitDialog(HWND window)
{
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(AppIcon));
    SendDlgItemMessageA(window, IDC_THANK_YOU, WM_SETFONT, reinterpret_cast<WPARAM>(BoldFont), 0);
    char folder[kPathSize];
    GetInstallFolder(folder, sizeof folder);
    SetDlgItemTextA(window, IDC_INSTALL_FOLDER, folder);
    if (SilentMode)
        SendMessageA(window, WM_COMMAND, IDOK, 0);
}

// Unquoted and without arguments; the product inherits our current directory
// and the dialog does not wait for it.
void RunProduct()
{
    char commandLine[kPathSize];
    if (GetInstalledFilePath("Vexora.exe", commandLine, sizeof commandLine))
        LaunchProgram(commandLine, nullptr, 0);
}

void OpenDocument(int control)
{
    for (const auto& d : kDocuments) {
        char path[kPathSize];
        if (d.control == control && GetInstalledFilePath(d.file, path, sizeof path))
            ShellExecuteA(nullptr, "open", path, nullptr, "", SW_SHOWNORMAL);
    }
}

void OnCommand(HWND window, int id)
{
    switch (id) {
    case IDOK:
    case IDCANCEL:
        EndDialog(window, 1);
        break;
    case IDC_RUN_VEXORA:
        RunProduct();
        break;
    case IDC_READ_HELP:
        WinHelpA(window, kHelpFile, HELP_FINDER, 0);
        break;
    case IDC_VIEW_LICENSE:
    case IDC_PRICE_LIST:
        OpenDocument(id);
        break;
    case IDC_HOME_PAGE:
        ShellExecuteA(nullptr, "open", VEXORA_HOME_PAGE, nullptr, "", SW_SHOWNORMAL);
        break;
    }
}

}  // namespace

// No WM_HELP here: the help is the "Read help" button's, at its contents.
INT_PTR CALLBACK DoneDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogHook(window, message, wParam, lParam, "DONEDLG");
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return TRUE;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}
