// The deletion passes over the list file, in process.
#include <gtest/gtest.h>

#include <stdio.h>

#include "removal_fixture_win.h"
#include "support/machine_win.h"
#include "uninstall/uninstall.h"

namespace {

using Entries = std::vector<std::string>;

struct Passes {
    int count = 0;
    Entries left;
};

// Writes the list, runs the passes over the program folder dir and reports
// which of entries are still there.
Passes RunPasses(const std::string& dir, const std::string& list, const Entries& entries)
{
    Passes result;
    const std::string listPath = dir + "\\Uninstall.lst";
    EXPECT_TRUE(machine::WriteFile(listPath, list));
    FILE* f = fopen(listPath.c_str(), "rb");
    EXPECT_TRUE(f);
    if (!f)
        return result;
    result.count = DeleteListedEntries(f, (dir + "\\").c_str());
    fclose(f);
    result.left = removal::Remaining(dir, entries);
    return result;
}

TEST(DeletionPasses, ListedEntries)
{
    static const struct {
        const char* name;
        Entries entries;
        const char* list;
        int passes;
        Entries left;
    } kCases[] = {
        {"folder before its files", {"Docs\\", "Docs\\a.txt", "Docs\\b.txt"}, "Docs\r\nDocs\\a.txt\r\nDocs\\b.txt\r\n",
         3, {}},
        {"one level of folders per pass", {"A\\", "A\\B\\", "A\\B\\f.txt"}, "A\nA\\B\nA\\B\\f.txt\n", 4, {}},
        {"trailing blanks, tab and CR", {"f.txt", "g.txt"}, "f.txt \t\r\ng.txt  \n", 2, {}},
        {"leading blanks are part of the name", {"f.txt"}, "  f.txt\n", 1, {"f.txt"}},
        {"missing entries cost nothing", {"f.txt"}, "gone.txt\nf.txt\ngone\\\n", 2, {}},
        {"empty list", {"f.txt"}, "", 1, {"f.txt"}},
        {"blank lines only", {"f.txt"}, "\r\n  \r\n\t\n\n", 1, {"f.txt"}},
        {"unlisted file keeps its folder", {"Docs\\", "Docs\\a.txt", "Docs\\extra.txt"}, "Docs\nDocs\\a.txt\n", 2,
         {"Docs\\", "Docs\\extra.txt"}},
        // Every piece of an overlong line is dropped, even one that names a file.
        {"overlong line", {"victim.txt"}, (std::string(2047, 'a') + "victim.txt\n").c_str(), 1, {"victim.txt"}},
    };
    const std::string root = machine::ScratchDir("uninstall-passes");
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string dir = root + "\\prog";
        machine::RemoveTree(dir);
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
        ASSERT_TRUE(removal::MakeEntries(dir, c.entries));
        Passes p = RunPasses(dir, c.list, c.entries);
        EXPECT_EQ(p.count, c.passes);
        EXPECT_EQ(p.left, c.left);
    }
    machine::RemoveTree(root);
}

TEST(DeletionPasses, AttributesAreClearedFirst)
{
    const std::string dir = machine::ScratchDir("uninstall-attributes");
    const Entries entries = {"ro.txt", "hidden.sys", "Folder\\", "Folder\\ro.txt"};
    ASSERT_TRUE(removal::MakeEntries(dir, entries));
    SetFileAttributesA((dir + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((dir + "\\hidden.sys").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((dir + "\\Folder\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((dir + "\\Folder").c_str(), FILE_ATTRIBUTE_READONLY);
    Passes p = RunPasses(dir, "ro.txt\nhidden.sys\nFolder\nFolder\\ro.txt\n", entries);
    EXPECT_EQ(p.left, Entries{});
    EXPECT_EQ(p.count, 3);
    machine::RemoveTree(dir);
}

TEST(DeletionPasses, LockedFileStopsThePasses)
{
    const std::string dir = machine::ScratchDir("uninstall-locked");
    const Entries entries = {"a.txt", "Docs\\", "Docs\\locked.txt", "z.txt"};
    ASSERT_TRUE(removal::MakeEntries(dir, entries));
    HANDLE held = CreateFileA((dir + "\\Docs\\locked.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Passes p = RunPasses(dir, "a.txt\nDocs\nDocs\\locked.txt\nz.txt\n", entries);
    CloseHandle(held);
    EXPECT_EQ(p.count, 2);
    EXPECT_EQ(p.left, (Entries{"Docs\\", "Docs\\locked.txt"}));
    machine::RemoveTree(dir);
}

TEST(DeletionPasses, NothingOutsideTheProgramFolder)
{
    const std::string root = machine::ScratchDir("uninstall-outside");
    const std::string dir = root + "\\prog";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    ASSERT_TRUE(removal::MakeEntries(root, {"outside.txt", "Shared\\"}));
    ASSERT_TRUE(removal::MakeEntries(dir, {"sub\\"}));
    const std::string list = "..\\outside.txt\n"
                             "sub\\..\\..\\outside.txt\n"
                             "sub/../../Shared\n"
                             ".. \\outside.txt\n" +
                             root + "\\outside.txt\n"
                             "\\\\?\\" + root + "\\outside.txt\n"
                             "\\\\localhost\\C$\\vextest\\uninstall-outside\\outside.txt\n";
    Passes p = RunPasses(dir, list, {});
    EXPECT_EQ(p.count, 1);
    EXPECT_TRUE(machine::Exists(root + "\\outside.txt"));
    EXPECT_TRUE(machine::Exists(root + "\\Shared"));
    EXPECT_TRUE(machine::Exists(dir + "\\sub"));
    machine::RemoveTree(root);
}

}  // namespace
