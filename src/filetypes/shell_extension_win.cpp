// Registration of the shell extension module "vexext.dll" beside the program.
// What is written (REG_SZ), under HKEY_CLASSES_ROOT unless named:
//   CLSID\{6F3A...}                    default "Vexora"        only when the module is there
//   CLSID\{6F3A...}\InProcServer32     default module path, "ThreadingModel" "Apartment"
//   the handler keys of kHandlerKeys   default "" or the class identifier
//   HKLM ...\Shell Extensions\Approved  "{6F3A...}" = "Vexora shell extension"
// Each call brings this to the state the shell integration flag asks for;
// failed writes and deletions are ignored.
#include "filetypes/shell_extension.h"

#include <windows.h>

#include "registry/registry.h"
#include "shell/system.h"

#define VEX_CLASS_ID "{6F3A1C52-94D7-4B0E-8C21-5E7D09B4A3F6}"

namespace {

const char kClassId[] = VEX_CLASS_ID;
const char kClassKey[] = "CLSID\\" VEX_CLASS_ID;
const char kServerKey[] = "CLSID\\" VEX_CLASS_ID "\\InProcServer32";
const char kApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

// Written in this order. The keys under "*", "Folder", "Drive" and
// "Directory" lie outside the product's classes: removal only empties them.
const struct {
    const char* key;
    bool defaultIsClassId;  // else ""
    bool removeKey;         // else only the default value goes
} kHandlerKeys[] = {
    {"Vexora\\shellex\\ContextMenuHandlers\\" VEX_CLASS_ID, false, true},
    {"Vexora\\shellex\\PropertySheetHandlers\\" VEX_CLASS_ID, false, true},
    {"Vexora.ZIP\\shellex\\ContextMenuHandlers\\" VEX_CLASS_ID, false, true},
    {"Vexora.ZIP\\shellex\\PropertySheetHandlers\\" VEX_CLASS_ID, false, true},
    {"exefile\\shellex\\PropertySheetHandlers\\" VEX_CLASS_ID, false, true},
    {"Vexora\\shellex\\DropHandler", true, true},
    {"Vexora.ZIP\\shellex\\DropHandler", true, true},
    {"*\\shellex\\ContextMenuHandlers\\Vexora", true, false},
    {"Folder\\shellex\\ContextMenuHandlers\\Vexora", true, false},
    {"Folder\\shellex\\DragDropHandlers\\Vexora", true, false},
    {"Drive\\shellex\\DragDropHandlers\\Vexora", true, false},
    {"Directory\\shellex\\ContextMenuHandlers\\Vexora", true, false},
    {"Directory\\shellex\\DragDropHandlers\\Vexora", true, false},
};

// Handlers are registered even without the module; its class only with it,
// so a class registration made earlier survives a missing module.
void Register()
{
    char module[kPathSize];
    if (GetSiblingPath("vexext.dll", module, sizeof module) && GetFileAttributesA(module) != INVALID_FILE_ATTRIBUTES) {
        WriteRegString(HKEY_CLASSES_ROOT, kClassKey, "", "Vexora");
        WriteRegString(HKEY_CLASSES_ROOT, kServerKey, "", module);
        WriteRegString(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel", "Apartment");
    }
    for (const auto& h : kHandlerKeys)
        WriteRegString(HKEY_CLASSES_ROOT, h.key, "", h.defaultIsClassId ? kClassId : "");
    WriteRegString(HKEY_LOCAL_MACHINE, kApprovedKey, kClassId, "Vexora shell extension");
}

// InProcServer32 goes first: on the NT family a key with a subkey cannot be
// deleted by one deletion.
void Unregister()
{
    DeleteRegKey(HKEY_CLASSES_ROOT, kServerKey);
    DeleteRegKey(HKEY_CLASSES_ROOT, kClassKey);
    for (const auto& h : kHandlerKeys) {
        if (h.removeKey)
            DeleteRegKey(HKEY_CLASSES_ROOT, h.key);
        else
            DeleteRegValue(HKEY_CLASSES_ROOT, h.key, "");
    }
    DeleteRegValue(HKEY_LOCAL_MACHINE, kApprovedKey, kClassId);
}

}  // namespace

void ApplyShellExtension(const IntegrationOptions* record)
{
    if (record->flag[kFlagShellIntegration])
        Register();
    else
        Unregister();
}
