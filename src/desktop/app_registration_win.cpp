// Registry map (all under HKEY_LOCAL_MACHINE, REG_SZ):
//   ...\App Paths\Vexora.exe        ""              Vexora.exe beside this program
//                                   "Path"          the current directory of setup
//   ...\Uninstall\Vexora archiver   "DisplayName"   message 5101, translated
//                                   "UninstallString" this program, no switch: the removal run
// The removal run deletes both keys; if you rename one, rename it there too.
#include "desktop/app_registration.h"

#include "lang/message_text.h"
#include "registry/registry.h"
#include "resources/resource_ids.h"
#include "shell/system.h"

namespace {
const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vexora.exe";
// The key name stays fixed whatever language shows the display name.
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexora archiver";
}  // namespace

// Best effort: without administrative rights on the NT family the writes fail
// silently and setup goes on.
void RegisterAppPath()
{
    char product[kPathSize];
    if (GetSiblingPath("Vexora.exe", product, sizeof product))
        WriteRegString(HKEY_LOCAL_MACHINE, kAppPathKey, "", product);
    char current[kPathSize];
    DWORD n = GetCurrentDirectoryA(sizeof current, current);
    if (n != 0 && n < sizeof current)
        WriteRegString(HKEY_LOCAL_MACHINE, kAppPathKey, "Path", current);
}

void RegisterUninstallEntry()
{
    WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", GetMessageText(IDS_DISPLAY_NAME));
    char program[kPathSize];
    DWORD n = GetModuleFileNameA(nullptr, program, sizeof program);
    if (n != 0 && n < sizeof program)
        WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", program);
}
