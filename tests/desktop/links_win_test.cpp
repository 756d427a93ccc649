// Links and program groups, in the shell folders of the test prefix. The
// links point beside the running program, here the test program's folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "desktop/desktop_fixture_win.h"
#include "desktop/links.h"
#include "support/machine_win.h"

namespace {

bool IsNtFamily()
{
    OSVERSIONINFOA info;
    memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The NT and the win98 copy of the program run side by side: a folder each.
std::string Scratch(const std::string& name)
{
    return machine::ScratchDir(name + (IsNtFamily() ? "-nt" : "-9x"));
}

std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH] = "";
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) && list) {
        if (!SHGetPathFromIDListA(list, path))
            path[0] = 0;
        CoTaskMemFree(list);
    }
    return path;
}

struct SavedLink {
    bool loaded = false;
    std::string target;
    std::string description;
};

// Reads a .lnk file back the way the shell does.
SavedLink ReadLink(const std::string& path)
{
    SavedLink result;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return result;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) && SUCCEEDED(file->Load(wide, STGM_READ))) {
            char text[MAX_PATH] = "";
            link->GetPath(text, MAX_PATH, nullptr, 0);
            result.target = text;
            text[0] = 0;
            link->GetDescription(text, MAX_PATH);
            result.description = text;
            result.loaded = true;
        }
        file->Release();
    }
    link->Release();
    return result;
}

std::set<std::string> ListFolder(const std::string& folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            names.insert(found.cFileName);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

void ExpectLink(const std::string& path, const std::string& target)
{
    SCOPED_TRACE(path);
    SavedLink link = ReadLink(path);
    ASSERT_TRUE(link.loaded) << "cannot load the link";
    EXPECT_EQ(link.target, target);
    EXPECT_EQ(link.description, "Vexora");
}

struct CoInit {
    CoInit() { CoInitialize(nullptr); }
    ~CoInit() { CoUninitialize(); }
};

// ---------------------------------------------------------------------------

TEST(ShellLinkFile, SavesTargetAndDescription)
{
    CoInit com;
    const std::string dir = Scratch("desktop-linkfile");
    machine::WriteFile(dir + "\\junk.lnk", "not a link at all");
    const bool westernCodePage = GetACP() == 1252;
    const struct {
        const char* name;
        std::string linkPath;
        std::string target;
        const char* description;
        bool saved;
    } kCases[] = {
        {"plain", dir + "\\plain.lnk", "C:\\Program Files\\Vexora\\Vexora.exe", "Vexora", true},
        {"an existing file is replaced", dir + "\\junk.lnk", "C:\\Other\\Vex.txt", "Vexora", true},
        {"other description", dir + "\\desc.lnk", "C:\\x.exe", "another text", true},
        {"folder missing", dir + "\\missing\\a.lnk", "C:\\x.exe", "Vexora", false},
        // A name longer than MAX_PATH wide characters must not be saved under a cut name.
        {"path too long", dir + "\\" + std::string(MAX_PATH, 'y') + ".lnk", "C:\\x.exe", "Vexora", false},
        {"name in the ANSI code page", dir + "\\Caf\xE9 \xC0 la carte.lnk", "C:\\Caf\xE9\\x.exe", "Vexora", true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        if (c.linkPath.find('\xE9') != std::string::npos && !westernCodePage)
            continue;  // those bytes are only single characters in code page 1252
        EXPECT_EQ(CreateShellLink(c.target.c_str(), c.linkPath.c_str(), c.description), c.saved);
        if (!c.saved) {
            EXPECT_FALSE(machine::Exists(c.linkPath));
            continue;
        }
        SavedLink link = ReadLink(c.linkPath);
        ASSERT_TRUE(link.loaded);
        EXPECT_EQ(link.target, c.target);
        EXPECT_EQ(link.description, c.description);
    }
    // Nothing was left under a cut or mangled name.
    std::set<std::string> expected = {"plain.lnk", "junk.lnk", "desc.lnk"};
    if (westernCodePage)
        expected.insert("Caf\xE9 \xC0 la carte.lnk");
    EXPECT_EQ(ListFolder(dir), expected);
    machine::RemoveTree(dir);
}

TEST(FolderTree, RemovesOnlyWhatExistsAndFits)
{
    const std::string dir = Scratch("desktop-foldertree");
    const std::string tree = dir + "\\Vexora";
    static const struct {
        const char* name;
        bool create;
        int spare;  // bytes of the buffer after the path's terminator
        bool removed;
    } kCases[] = {
        {"missing path", false, 1, false},
        {"folder with files and a subfolder", true, 100, true},
        {"room for exactly the second zero", true, 1, true},
        {"no room for the second zero", true, 0, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        machine::RemoveTree(tree);
        if (c.create) {
            ASSERT_TRUE(CreateDirectoryA(tree.c_str(), nullptr));
            CreateDirectoryA((tree + "\\sub").c_str(), nullptr);
            machine::WriteFile(tree + "\\notes.txt", "mine");
            machine::WriteFile(tree + "\\sub\\deep.txt", "mine too");
        }
        // The bytes past the buffer are a sentinel the call must not touch.
        const size_t size = tree.size() + 1 + c.spare;
        std::vector<char> buffer(size + 8, '#');
        memcpy(buffer.data(), tree.c_str(), tree.size() + 1);
        EXPECT_EQ(RemoveFolderTree(buffer.data(), size), c.removed);
        EXPECT_EQ(machine::Exists(tree), c.create && !c.removed);
        EXPECT_EQ(std::string(buffer.data()), tree);
        EXPECT_EQ(std::string(buffer.begin() + size, buffer.end()), std::string(8, '#'));
    }
    machine::RemoveTree(dir);
}

// ---------------------------------------------------------------------------

const char* const kGroupLinkNames[] = {"Vexora.lnk", "Vexora help.lnk", "Console VEX manual.lnk"};
const char* const kGroupTargets[] = {"Vexora.exe", "Vexora.hlp", "Vex.txt"};

IntegrationOptions Record(bool desktop, bool startMenu, bool group)
{
    IntegrationOptions record;
    memset(&record, 0, sizeof record);
    record.flag[kFlagDesktopLink] = desktop;
    record.flag[kFlagStartMenuLink] = startMenu;
    record.flag[kFlagProgramGroup] = group;
    return record;
}

// ApplyLinks in the prefix's real shell folders, which start and end clean.
class LinkPlaces : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
        startMenu = SpecialFolder(CSIDL_STARTMENU);
        userGroup = SpecialFolder(CSIDL_PROGRAMS);
        commonGroup = SpecialFolder(CSIDL_COMMON_PROGRAMS);
        ASSERT_FALSE(desktop.empty());
        ASSERT_FALSE(startMenu.empty());
        ASSERT_FALSE(userGroup.empty());
        userGroup += "\\Vexora";
        if (!commonGroup.empty())
            commonGroup += "\\Vexora";
        CleanUp();
    }
    void TearDown() override { CleanUp(); }

    void CleanUp()
    {
        DeleteFileA((desktop + "\\Vexora.lnk").c_str());
        DeleteFileA((startMenu + "\\Vexora.lnk").c_str());
        machine::RemoveTree(userGroup);
        if (!commonGroup.empty())
            machine::RemoveTree(commonGroup);
    }

    void ExpectGroup(const std::string& group, const std::set<std::string>& others = {})
    {
        SCOPED_TRACE(group);
        std::set<std::string> expected = others;
        for (int row = 0; row < 3; ++row) {
            expected.insert(kGroupLinkNames[row]);
            ExpectLink(group + "\\" + kGroupLinkNames[row], machine::BinDir() + kGroupTargets[row]);
        }
        EXPECT_EQ(ListFolder(group), expected);
    }

    desktop_test::MachineLock lock;
    CoInit com;
    std::string desktop, startMenu, userGroup, commonGroup;
};

TEST_F(LinkPlaces, EachFlagCreatesItsPlaceAndAllClearRemovesEverything)
{
    const bool nt = IsNtFamily();
    if (nt) {
        ASSERT_FALSE(commonGroup.empty()) << "no common Programs folder on the NT family";
    }
    char reported[MAX_PATH];
    GetDesktopPath(reported);
    EXPECT_EQ(std::string(reported), desktop);

    static const struct {
        const char* name;
        bool desktop, startMenu, group;
    } kCases[] = {
        {"nothing", false, false, false},
        {"desktop link", true, false, false},
        {"Start-menu link", false, true, false},
        {"program group", false, false, true},
        {"all three", true, true, true},
    };
    const std::string product = machine::BinDir() + "Vexora.exe";
    const IntegrationOptions allClear = Record(false, false, false);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        CleanUp();
        const IntegrationOptions record = Record(c.desktop, c.startMenu, c.group);
        ApplyLinks(&record, nullptr);

        EXPECT_EQ(machine::Exists(desktop + "\\Vexora.lnk"), c.desktop);
        if (c.desktop)
            ExpectLink(desktop + "\\Vexora.lnk", product);
        EXPECT_EQ(machine::Exists(startMenu + "\\Vexora.lnk"), c.startMenu);
        if (c.startMenu)
            ExpectLink(startMenu + "\\Vexora.lnk", product);
        EXPECT_EQ(machine::Exists(userGroup), c.group);
        if (c.group)
            ExpectGroup(userGroup);
        if (!commonGroup.empty()) {
            EXPECT_EQ(machine::Exists(commonGroup), c.group && nt);
            if (c.group && nt)
                ExpectGroup(commonGroup);
        }

        ApplyLinks(&allClear, nullptr);
        EXPECT_FALSE(machine::Exists(desktop + "\\Vexora.lnk"));
        EXPECT_FALSE(machine::Exists(startMenu + "\\Vexora.lnk"));
        EXPECT_FALSE(machine::Exists(userGroup));
        if (!commonGroup.empty()) {
            EXPECT_FALSE(machine::Exists(commonGroup));
        }
    }
}

TEST_F(LinkPlaces, GroupPathOutputIsTheUsersGroupOnlyWhenTheGroupIsWanted)
{
    static const struct {
        const char* name;
        bool group;
        bool folderBlocked;  // a file of the group's name: the folder cannot be made
    } kCases[] = {
        {"group wanted", true, false},
        {"group wanted, folder cannot be made", true, true},
        {"group not wanted", false, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        CleanUp();
        if (c.folderBlocked) {
            ASSERT_TRUE(machine::WriteFile(userGroup, "in the way"));
        }
        char output[1024];
        memset(output, 'Z', sizeof output);
        const IntegrationOptions record = Record(false, false, c.group);
        ApplyLinks(&record, output);
        if (c.group)
            EXPECT_STREQ(output, userGroup.c_str());
        else
            EXPECT_EQ(std::string(output, sizeof output), std::string(sizeof output, 'Z'));
        if (c.folderBlocked) {
            EXPECT_EQ(GetFileAttributesA(userGroup.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
            EXPECT_FALSE(machine::Exists(userGroup + "\\Vexora.lnk"));
        }
    }
}

TEST_F(LinkPlaces, ExistingGroupIsReusedOrRemovedWithAllItHolds)
{
    std::vector<std::string> groups = {userGroup};
    if (IsNtFamily() && !commonGroup.empty())
        groups.push_back(commonGroup);
    for (const std::string& g : groups) {
        ASSERT_TRUE(CreateDirectoryA(g.c_str(), nullptr)) << g;
        CreateDirectoryA((g + "\\more").c_str(), nullptr);
        machine::WriteFile(g + "\\notes.txt", "the user's own");
        machine::WriteFile(g + "\\more\\deep.txt", "also the user's");
        machine::WriteFile(g + "\\Vexora.lnk", "a stale link");
    }

    const IntegrationOptions wanted = Record(false, false, true);
    ApplyLinks(&wanted, nullptr);
    for (const std::string& g : groups) {
        ExpectGroup(g, {"notes.txt", "more"});
        std::string kept;
        EXPECT_TRUE(machine::ReadFile(g + "\\more\\deep.txt", &kept));
        EXPECT_EQ(kept, "also the user's");
    }

    const IntegrationOptions unwanted = Record(false, false, false);
    ApplyLinks(&unwanted, nullptr);
    for (const std::string& g : groups)
        EXPECT_FALSE(machine::Exists(g)) << g;
}

TEST_F(LinkPlaces, CommonGroupIsLeftAloneOn9xFamily)
{
    if (IsNtFamily())
        GTEST_SKIP() << "the common group belongs to the NT family";
    if (commonGroup.empty())
        GTEST_SKIP() << "no common Programs folder to watch";
    machine::RemoveTree(commonGroup);
    ASSERT_TRUE(CreateDirectoryA(commonGroup.c_str(), nullptr));
    machine::WriteFile(commonGroup + "\\notes.txt", "someone else's");
    const std::set<std::string> before = ListFolder(commonGroup);

    const IntegrationOptions wanted = Record(false, false, true);
    ApplyLinks(&wanted, nullptr);
    EXPECT_TRUE(machine::Exists(userGroup));
    EXPECT_EQ(ListFolder(commonGroup), before);

    const IntegrationOptions unwanted = Record(false, false, false);
    ApplyLinks(&unwanted, nullptr);
    EXPECT_FALSE(machine::Exists(userGroup));
    EXPECT_EQ(ListFolder(commonGroup), before);
}

TEST_F(LinkPlaces, GroupLinkNamesFollowTheLanguageButNotTheProductLinks)
{
    desktop_test::TranslatedTexts translated;
    ASSERT_TRUE(translated.Loaded());
    const IntegrationOptions record = Record(true, true, true);
    ApplyLinks(&record, nullptr);
    EXPECT_EQ(ListFolder(userGroup),
              (std::set<std::string>{"Vexora.lnk", "Vexora Hilfe.lnk", "VEX Konsolenhandbuch.lnk"}));
    ExpectLink(userGroup + "\\Vexora Hilfe.lnk", machine::BinDir() + "Vexora.hlp");
    ExpectLink(userGroup + "\\VEX Konsolenhandbuch.lnk", machine::BinDir() + "Vex.txt");
    EXPECT_TRUE(machine::Exists(desktop + "\\Vexora.lnk"));
    EXPECT_TRUE(machine::Exists(startMenu + "\\Vexora.lnk"));
}

}  // namespace
