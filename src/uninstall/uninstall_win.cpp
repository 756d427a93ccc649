#include "uninstall/uninstall.h"

#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include "desktop/links.h"
#include "filetypes/associations.h"
#include "filetypes/shell_extension.h"
#include "lang/message_text.h"
#include "registry/registry.h"
#include "resources/resource_ids.h"
#include "shell/system.h"
#include "uninstall/list_file.h"
#include "uninstall/removal_script.h"

namespace {

enum { kErrorTextSize = 200, kClassNameSize = 64 };

// Registry map of what setup wrote and the removal takes back.
const char* const kProductClasses[] = {"Vexora", "Vexora.ZIP", "Vexora.REV"};
const char kRevExtension[] = ".rev";
const char kRevClass[] = "Vexora.REV";
const char* const kMachineEntries[] = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexora archiver",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vexora.exe",
};
// Kept by the help engine beside the help file; never in the list.
const char* const kHelpIndexFiles[] = {"vexora.gid", "vexora.fts"};

// Another program may have taken ".rev" since setup: only our own goes.
bool IsRevExtensionOurs()
{
    char owner[kClassNameSize];
    ReadRegString(HKEY_CLASSES_ROOT, kRevExtension, "", owner, "", sizeof owner);
    return lstrcmpiA(owner, kRevClass) == 0;
}

// Attributes are cleared first so that read-only entries go too. Returns the
// number of successful deletions (0 or 1).
int DeleteEntry(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    SetFileAttributesA(path, 0);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return RemoveDirectoryA(path) ? 1 : 0;
    return DeleteFileA(path) ? 1 : 0;
}

void ShowListFileError()
{
    char text[kErrorTextSize];
    // snprintf cuts a long translation to the buffer.
    snprintf(text, sizeof text, GetFormatText(IDS_NO_LIST_FILE), kListFileName);
    MessageBoxA(nullptr, text, GetMessageText(IDS_CAPTION), MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace

// Every step is attempted whatever the previous ones did; nothing is reported.
void RemoveIntegration()
{
    IntegrationOptions allClear;
    memset(&allClear, 0, sizeof allClear);
    ApplyAssociations(&allClear);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
    ApplyShellExtension(&allClear);
    ApplyLinks(&allClear, nullptr);
    for (const char* progId : kProductClasses)
        DeleteRegTree(HKEY_CLASSES_ROOT, progId);
    if (IsRevExtensionOurs())
        DeleteRegTree(HKEY_CLASSES_ROOT, kRevExtension);
    for (const char* key : kMachineEntries)
        DeleteRegKey(HKEY_LOCAL_MACHINE, key);
    DeleteRegTree(HKEY_CURRENT_USER, "");
}

int DeleteListedEntries(FILE* list, const char* folderPrefix)
{
    // A folder fails while it holds files; its files go in the same pass and
    // the folder in a later one, so passes run until one deletes nothing.
    for (int passes = 1;; ++passes) {
        int deleted = 0;
        char line[kListLineSize];
        while (ReadListLine(list, line, sizeof line)) {
            char path[kEntryPathSize];
            if (MakeEntryPath(folderPrefix, TrimLineEnd(line), path, sizeof path))
                deleted += DeleteEntry(path);
        }
        if (deleted == 0)
            return passes;
        rewind(list);
    }
}

// Failures after the confirmation are passed over: each removal is tried
// whatever became of the others.
void RunUninstall()
{
    char programPath[kPathSize];
    DWORD n = GetModuleFileNameA(nullptr, programPath, sizeof programPath);
    if (n == 0 || n >= sizeof programPath)
        return;
    char folder[kPathSize];
    if (!MakeProgramFolder(programPath, folder, sizeof folder))
        return;
    SetCurrentDirectoryA(folder);
    AddTrailingSlash(folder, sizeof folder);

    if (MessageBoxA(nullptr, GetMessageText(IDS_CONFIRM_UNINSTALL), GetMessageText(IDS_CAPTION),
                    MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) != IDYES)
        return;
    FILE* list = fopen(kListFileName, "rb");
    if (!list) {
        ShowListFileError();
        return;
    }

    RemoveIntegration();
    // The module's file may be listed; it cannot go while it is loaded.
    ExtRes.Unload();
    for (const char* name : kHelpIndexFiles) {
        SetFileAttributesA(name, 0);
        DeleteFileA(name);
    }
    DeleteListedEntries(list, folder);
    fclose(list);
    DeleteFileA(kListFileName);
    WriteSelfRemovalScript(programPath);
}
