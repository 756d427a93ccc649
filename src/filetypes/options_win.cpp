// The stored setup choices, all REG_DWORD values under the settings root:
//   Setup\<primary extension>  Set           flags 0-10 (ISO, flag 11, is read only)
//   Setup\Links                Desktop, StartMenu, Programs     flags 20-22
//   Setup                      ShellExt, CascadedMenu, MenuIcons flags 23-25
// Failed reads give the defaults; failed writes are ignored.
#include "filetypes/options.h"

#include <stdio.h>
#include <windows.h>

#include "registry/registry.h"

namespace {

enum { kClassNameSize = 80, kChoiceKeySize = 32 };

const struct {
    int flag;
    const char* key;
    const char* name;
    DWORD fallback;
} kOtherChoices[] = {
    {kFlagDesktopLink, "Setup\\Links", "Desktop", 0},
    {kFlagStartMenuLink, "Setup\\Links", "StartMenu", 0},
    {kFlagProgramGroup, "Setup\\Links", "Programs", 1},
    {kFlagShellIntegration, "Setup", "ShellExt", 1},
    {kFlagCascadedMenus, "Setup", "CascadedMenu", 0},
    {kFlagMenuIcons, "Setup", "MenuIcons", 1},
};

bool ChoiceKey(const ArchiveType& type, char* out, size_t size)
{
    int n = snprintf(out, size, "Setup\\%s", type.primary);
    return n > 0 && static_cast<size_t>(n) < size;
}

// The class registered for an extension; "" when none, or when it needs more than 80 bytes.
void ExtensionClass(const char* extension, char* out)
{
    ReadRegString(HKEY_CLASSES_ROOT, extension, "", out, "", kClassNameSize);
}

}  // namespace

// "Vexora.REV", the recovery volumes' class, does not make an extension ours.
bool IsOwnedExtension(const char* extension)
{
    char name[kClassNameSize];
    ExtensionClass(extension, name);
    return lstrcmpiA(name, "Vexora") == 0 || lstrcmpiA(name, "Vexora.ZIP") == 0;
}

// ISO follows its stored (or default) choice, except that it is off while
// another program's class owns ".iso": turning it off is never stored.
void ReadIntegrationOptions(IntegrationOptions* record)
{
    for (int row = 0; row < kArchiveTypeCount; ++row) {
        char key[kChoiceKeySize];
        DWORD set = ChoiceKey(ArchiveTypes[row], key, sizeof key) ? ReadSettingDword(key, "Set", 1) : 1;
        record->flag[row] = set != 0;
        if (row == kFlagIso && !IsOwnedExtension(ArchiveTypes[row].primary)) {
            char owner[kClassNameSize];
            ExtensionClass(ArchiveTypes[row].primary, owner);
            if (owner[0] != 0)
                record->flag[row] = 0;
        }
    }
    for (const auto& c : kOtherChoices)
        record->flag[c.flag] = ReadSettingDword(c.key, c.name, c.fallback) != 0;
}

void SaveIntegrationOptions(const IntegrationOptions* record)
{
    for (int row = 0; row < kArchiveTypeCount; ++row) {
        char key[kChoiceKeySize];
        if (row != kFlagIso && ChoiceKey(ArchiveTypes[row], key, sizeof key))
            WriteSettingDword(key, "Set", record->flag[row]);
    }
    for (const auto& c : kOtherChoices)
        WriteSettingDword(c.key, c.name, record->flag[c.flag]);
}
