// vexext.dll, the least shell extension module that setup's class
// registration can point at: an in-process server of one class whose object
// adds a single "Open with Vexora" item to the context menu of a file and
// starts Vexora.exe (beside this module) on it. It answers IShellExtInit and
// IContextMenu only; the property-sheet, drop and drag-and-drop handler
// interfaces are declined, so the shell simply skips it for those.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>

#include <new>

namespace {

// {6F3A1C52-94D7-4B0E-8C21-5E7D09B4A3F6}; setup registers it by this string.
const CLSID kClassId = {0x6F3A1C52, 0x94D7, 0x4B0E, {0x8C, 0x21, 0x5E, 0x7D, 0x09, 0xB4, 0xA3, 0xF6}};
const char kMenuText[] = "Open with Vexora";
const char kVerb[] = "VexoraOpen";
const char kHelpText[] = "Opens the selected file in Vexora";

HMODULE Module;
// Live objects and server locks; the module may unload when both are 0.
LONG Objects;
LONG Locks;

// "<this module's folder>\Vexora.exe", or false when it does not fit.
bool MainProgramPath(char* out, size_t size)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(Module, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return false;
    char* slash = strrchr(path, '\\');
    size_t folder = slash ? (size_t)(slash - path) + 1 : 0;
    if (folder + sizeof "Vexora.exe" > size)
        return false;
    memcpy(out, path, folder);
    memcpy(out + folder, "Vexora.exe", sizeof "Vexora.exe");
    return true;
}

// Copies an ANSI text into the caller's ANSI or wide buffer.
HRESULT CopyCommandString(const char* text, UINT type, char* out, UINT size)
{
    if (type & GCS_UNICODE)
        return MultiByteToWideChar(CP_ACP, 0, text, -1, (WCHAR*)out, size) ? S_OK : E_FAIL;
    if (strlen(text) >= size)
        return E_FAIL;
    strcpy(out, text);
    return S_OK;
}

class ContextMenu : public IShellExtInit, public IContextMenu {
public:
    ContextMenu() { InterlockedIncrement(&Objects); }
    virtual ~ContextMenu() { InterlockedDecrement(&Objects); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IShellExtInit)
            *out = static_cast<IShellExtInit*>(this);
        else if (iid == IID_IContextMenu)
            *out = static_cast<IContextMenu*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&refs);
        if (left == 0)
            delete this;
        return left;
    }

    // The first selected file (a drop list), or the folder whose background was clicked.
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY) override
    {
        file[0] = 0;
        if (!data)
            return folder && SHGetPathFromIDListA(folder, file) ? S_OK : E_INVALIDARG;
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium;
        if (FAILED(data->GetData(&format, &medium)))
            return E_INVALIDARG;
        HDROP drop = (HDROP)GlobalLock(medium.hGlobal);
        UINT n = drop ? DragQueryFileA(drop, 0, file, sizeof file) : 0;
        if (n == 0 || n >= sizeof file)
            file[0] = 0;
        if (drop)
            GlobalUnlock(medium.hGlobal);
        ReleaseStgMedium(&medium);
        return file[0] ? S_OK : E_INVALIDARG;
    }

    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last, UINT flags) override
    {
        if ((flags & CMF_DEFAULTONLY) || first > last)
            return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
        if (!InsertMenuA(menu, index, MF_BYPOSITION | MF_STRING, first, kMenuText))
            return E_FAIL;
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);
    }

    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override
    {
        if (!info || !file[0])
            return E_INVALIDARG;
        // A verb is either the item's offset (only 0 here) or its verb text.
        if (HIWORD((UINT_PTR)info->lpVerb) ? strcmp(info->lpVerb, kVerb) != 0 : LOWORD((UINT_PTR)info->lpVerb) != 0)
            return E_INVALIDARG;
        char program[MAX_PATH];
        char argument[MAX_PATH + 2];
        if (!MainProgramPath(program, sizeof program))
            return E_FAIL;
        wsprintfA(argument, "\"%s\"", file);
        INT_PTR started = (INT_PTR)ShellExecuteA(info->hwnd, "open", program, argument, nullptr, SW_SHOWNORMAL);
        return started > 32 ? S_OK : E_FAIL;
    }

    STDMETHODIMP GetCommandString(UINT_PTR command, UINT type, UINT*, CHAR* out, UINT size) override
    {
        if (command != 0)
            return E_INVALIDARG;
        switch (type & ~GCS_UNICODE) {
        case GCS_VALIDATEA:
            return S_OK;
        case GCS_VERBA:
            return CopyCommandString(kVerb, type, out, size);
        case GCS_HELPTEXTA:
            return CopyCommandString(kHelpText, type, out, size);
        }
        return E_INVALIDARG;
    }

private:
    LONG refs = 1;
    char file[MAX_PATH] = "";
};

class ClassFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        AddRef();
        return S_OK;
    }
    // The factory is static: its references do not keep the module loaded.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        ContextMenu* menu = new (std::nothrow) ContextMenu;
        if (!menu)
            return E_OUTOFMEMORY;
        HRESULT hr = menu->QueryInterface(iid, out);
        menu->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&Locks);
        else
            InterlockedDecrement(&Locks);
        return S_OK;
    }
};

ClassFactory Factory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        Module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (classId != kClassId)
        return CLASS_E_CLASSNOTAVAILABLE;
    return Factory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow()
{
    return Objects == 0 && Locks == 0 ? S_OK : S_FALSE;
}
