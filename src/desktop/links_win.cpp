#include "desktop/links.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>

#include "lang/message_text.h"
#include "resources/resource_ids.h"
#include "shell/system.h"

namespace {

// Releases a COM interface on every way out of the function that asked for it.
template <class T>
class ComRef {
public:
    ComRef() : p(nullptr) {}
    ~ComRef()
    {
        if (p)
            p->Release();
    }
    T* operator->() const { return p; }
    T* Get() const { return p; }
    T** Out() { return &p; }
    void** OutVoid() { return reinterpret_cast<void**>(&p); }

private:
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* p;
};

// The places in the order they are handled. Only the user's own desktop and
// Start menu get a link; the program group goes to the user's Programs folder
// and, on the NT family, to the one of all users as well. Only the user's
// group is reported to the caller: that is the one the entry point opens.
struct LinkPlace {
    int csidl;
    const char* name;
    int flag;
    bool group;
    bool ntOnly;
    bool reportsGroupPath;
};
const LinkPlace kLinkPlaces[] = {
    {CSIDL_DESKTOPDIRECTORY, "Vexora.lnk", kFlagDesktopLink, false, false, false},
    {CSIDL_STARTMENU, "Vexora.lnk", kFlagStartMenuLink, false, false, false},
    {CSIDL_PROGRAMS, "Vexora", kFlagProgramGroup, true, false, true},
    {CSIDL_COMMON_PROGRAMS, "Vexora", kFlagProgramGroup, true, true, false},
};

// Link names of rows 1 and 2 are message texts so they follow the installed
// language; 0 means the fixed name.
struct GroupLink {
    const char* target;
    int nameText;
};
const GroupLink kGroupLinks[] = {
    {"Vexora.exe", 0},
    {"Vexora.hlp", IDS_HELP_LINK},
    {"Vex.txt", IDS_MANUAL_LINK},
};
const int kGroupLinkCount = sizeof kGroupLinks / sizeof kGroupLinks[0];
const char kLinkDescription[] = "Vexora";

// The identifier list is freed at once; on failure the list and the path
// are not used and out stays empty.
bool LocateSpecialFolder(IMalloc* allocator, int csidl, char* out, size_t size)
{
    out[0] = 0;
    if (!allocator || size < MAX_PATH)
        return false;
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list)
        return false;
    BOOL found = SHGetPathFromIDListA(list, out);
    allocator->Free(list);
    if (!found)
        out[0] = 0;
    return out[0] != 0;
}

bool JoinPath(char* out, size_t size, const char* folder, const char* name, const char* suffix)
{
    return CopyText(out, size, folder) && AddTrailingSlash(out, size) && AppendText(out, size, name) &&
           AppendText(out, size, suffix);
}

void CreateGroupLinks(const char* group, const char* const* linkNames)
{
    for (int row = 0; row < kGroupLinkCount; ++row) {
        if (kGroupLinks[row].target[0] == 0)
            continue;
        char linkPath[kPathSize];
        char target[kPathSize];
        if (JoinPath(linkPath, sizeof linkPath, group, linkNames[row], ".lnk") &&
            GetSiblingPath(kGroupLinks[row].target, target, sizeof target))
            CreateShellLink(target, linkPath, kLinkDescription);
    }
}

}  // namespace

// Best effort: every place is handled whatever happened to the one before,
// and nothing is reported.
void ApplyLinks(const IntegrationOptions* record, char* groupPathOut)
{
    char productTarget[kPathSize];
    bool haveTarget = GetSiblingPath("Vexora.exe", productTarget, sizeof productTarget);

    ComRef<IMalloc> allocator;
    SHGetMalloc(allocator.Out());

    // The ring of message texts keeps these two valid: nothing below fetches another.
    const char* linkNames[kGroupLinkCount];
    for (int row = 0; row < kGroupLinkCount; ++row)
        linkNames[row] = kGroupLinks[row].nameText ? GetMessageText(kGroupLinks[row].nameText) : "Vexora";

    for (const LinkPlace& place : kLinkPlaces) {
        if (place.ntOnly && NtMajorVersion() == 0)
            continue;
        char folder[kPathSize];
        char path[kPathSize];
        if (!LocateSpecialFolder(allocator.Get(), place.csidl, folder, sizeof folder) ||
            !JoinPath(path, sizeof path, folder, place.name, ""))
            continue;
        bool wanted = record->flag[place.flag] != 0;
        if (!place.group) {
            if (!wanted)
                DeleteFileA(path);
            else if (haveTarget)
                CreateShellLink(productTarget, path, kLinkDescription);
            continue;
        }
        if (!wanted) {
            RemoveFolderTree(path, sizeof path);
            continue;
        }
        // Written before the folder is made, so the caller learns it even
        // when the creation fails.
        if (place.reportsGroupPath && groupPathOut)
            CopyText(groupPathOut, kPathSize, path);
        CreateDirectoryA(path, nullptr);
        CreateGroupLinks(path, linkNames);
    }
}

bool CreateShellLink(const char* target, const char* linkPath, const char* description)
{
    ComRef<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.OutVoid())))
        return false;
    link->SetPath(target);
    link->SetDescription(description);
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid())))
        return false;
    // A path that does not fit is not saved under a cut name.
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) == 0)
        return false;
    return SUCCEEDED(file->Save(widePath, TRUE));
}

bool RemoveFolderTree(char* path, size_t bufferSize)
{
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return false;
    // The shell takes a list ended by a second zero; without room for it the
    // shell would read on into whatever follows the buffer.
    size_t length = strlen(path);
    if (length + 2 > bufferSize)
        return false;
    path[length + 1] = 0;
    SHFILEOPSTRUCTA operation;
    memset(&operation, 0, sizeof operation);
    operation.wFunc = FO_DELETE;
    operation.pFrom = path;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    return SHFileOperationA(&operation) == 0;
}

void GetDesktopPath(char* buffer)
{
    ComRef<IMalloc> allocator;
    SHGetMalloc(allocator.Out());
    LocateSpecialFolder(allocator.Get(), CSIDL_DESKTOPDIRECTORY, buffer, MAX_PATH);
}
