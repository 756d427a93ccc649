// vexext.dll registered the way setup registers it: an in-process server of
// the product's class, threading model "Apartment", whose object is a
// context-menu handler with one item and nothing else.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include "product_win.h"
#include "support/machine_win.h"

namespace {

const char kClassKey[] = "CLSID\\{6F3A1C52-94D7-4B0E-8C21-5E7D09B4A3F6}";
const CLSID kClassId = {0x6F3A1C52, 0x94D7, 0x4B0E, {0x8C, 0x21, 0x5E, 0x7D, 0x09, 0xB4, 0xA3, 0xF6}};

template <class T>
struct Held {
    T* p = nullptr;
    ~Held()
    {
        if (p)
            p->Release();
    }
    void** out() { return reinterpret_cast<void**>(&p); }
};

class ShellExtension : public ::testing::Test {
protected:
    // Whatever the class key held before comes back when the test ends.
    machine::RegistryGuard guard{{{HKEY_CLASSES_ROOT, kClassKey}}};

    void SetUp() override
    {
        OleInitialize(nullptr);
        std::string module = product::Dir() + "vexext.dll";
        std::string server = std::string(kClassKey) + "\\InProcServer32";
        HKEY key;
        ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, kClassKey, REG_SZ, "Vexora", 0), ERROR_SUCCESS);
        ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, server.c_str(), &key), ERROR_SUCCESS);
        RegSetValueExA(key, "", 0, REG_SZ, (const BYTE*)module.c_str(), (DWORD)module.size() + 1);
        RegSetValueExA(key, "ThreadingModel", 0, REG_SZ, (const BYTE*)"Apartment", sizeof "Apartment");
        RegCloseKey(key);
    }
    void TearDown() override
    {
        CoFreeUnusedLibraries();
        OleUninitialize();
    }

    // A shell data object holding one file, as Explorer hands a selection to Initialize.
    static HRESULT SelectionOf(const std::string& file, IDataObject** out)
    {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
        Held<IShellFolder> desktop, parent;
        LPITEMIDLIST item = nullptr;
        HRESULT hr = SHGetDesktopFolder(&desktop.p);
        if (SUCCEEDED(hr))
            hr = desktop.p->ParseDisplayName(nullptr, nullptr, wide, nullptr, &item, nullptr);
        LPCITEMIDLIST child = nullptr;
        if (SUCCEEDED(hr))
            hr = SHBindToParent(item, IID_IShellFolder, parent.out(), &child);
        if (SUCCEEDED(hr))
            hr = parent.p->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr, (void**)out);
        CoTaskMemFree(item);
        return hr;
    }
};

TEST_F(ShellExtension, AnswersTheContextMenuInterfacesOnly)
{
    Held<IUnknown> object;
    ASSERT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.out()), S_OK);
    const struct {
        const char* name;
        const IID& iid;
        bool answered;
    } cases[] = {
        {"IShellExtInit", IID_IShellExtInit, true},
        {"IContextMenu", IID_IContextMenu, true},
        {"IShellLinkA", IID_IShellLinkA, false},
        {"IShellPropSheetExt", IID_IShellPropSheetExt, false},
        {"IDropTarget", IID_IDropTarget, false},
        {"IPersistFile", IID_IPersistFile, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Held<IUnknown> asked;
        HRESULT hr = object.p->QueryInterface(c.iid, asked.out());
        EXPECT_EQ(hr, c.answered ? S_OK : E_NOINTERFACE);
        EXPECT_EQ(asked.p != nullptr, c.answered);
        // COM identity: every interface leads back to the same IUnknown.
        Held<IUnknown> identity;
        if (asked.p && SUCCEEDED(asked.p->QueryInterface(IID_IUnknown, identity.out()))) {
            EXPECT_EQ(identity.p, object.p);
        }
    }
}

TEST_F(ShellExtension, ItsOneMenuItemOpensTheSelectedFileInVexora)
{
    std::string file = machine::ScratchDir("vexext menu") + "\\sample archive.vex";
    ASSERT_TRUE(machine::WriteFile(file, "Vex!"));
    Held<IShellExtInit> init;
    ASSERT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, init.out()), S_OK);
    Held<IDataObject> selection;
    ASSERT_EQ(SelectionOf(file, &selection.p), S_OK);
    ASSERT_EQ(init.p->Initialize(nullptr, selection.p, nullptr), S_OK);
    Held<IContextMenu> menu;
    ASSERT_EQ(init.p->QueryInterface(IID_IContextMenu, menu.out()), S_OK);

    const struct {
        const char* name;
        UINT flags;
        int items;
    } fills[] = {
        {"an ordinary menu", CMF_NORMAL, 1},
        {"the Explorer tree's menu", CMF_EXPLORE, 1},
        {"only the default verb asked", CMF_DEFAULTONLY, 0},
    };
    for (const auto& c : fills) {
        SCOPED_TRACE(c.name);
        HMENU popup = CreatePopupMenu();
        HRESULT hr = menu.p->QueryContextMenu(popup, 0, 100, 200, c.flags);
        EXPECT_EQ(hr, MAKE_HRESULT(SEVERITY_SUCCESS, 0, c.items));
        EXPECT_EQ(GetMenuItemCount(popup), c.items);
        if (c.items) {
            char text[64] = "";
            GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(text, "Open with Vexora");
            EXPECT_EQ(GetMenuItemID(popup, 0), 100u);
        }
        DestroyMenu(popup);
    }

    // An offset the menu never had starts nothing.
    CMINVOKECOMMANDINFO invoke = {};
    invoke.cbSize = sizeof invoke;
    invoke.lpVerb = MAKEINTRESOURCEA(1);
    EXPECT_EQ(menu.p->InvokeCommand(&invoke), E_INVALIDARG);
    invoke.lpVerb = MAKEINTRESOURCEA(0);
    invoke.nShow = SW_SHOWNORMAL;
    ASSERT_EQ(menu.p->InvokeCommand(&invoke), S_OK);
    EXPECT_EQ(product::TakeShownPath(0), file);
}

TEST_F(ShellExtension, MayUnloadOnlyWhenNoObjectLives)
{
    Held<IUnknown> object;
    ASSERT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.out()), S_OK);
    std::string module = product::Dir() + "vexext.dll";
    auto canUnload = (HRESULT(WINAPI*)())GetProcAddress(GetModuleHandleA(module.c_str()), "DllCanUnloadNow");
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), S_FALSE);
    object.p->Release();
    object.p = nullptr;
    EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
