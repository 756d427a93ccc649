// The list file's lines, the entry checks and the program folder rule.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "uninstall/list_file.h"

namespace {

TEST(ProgramFolder, CutAtLastBackslash)
{
    static const struct {
        const char* path;
        bool ok;
        const char* folder;
    } kCases[] = {
        {"C:\\Program Files\\Vexora\\uninstall.exe", true, "C:\\Program Files\\Vexora"},
        {"C:\\uninstall.exe", true, "C:\\"},                    // a drive root keeps its backslash
        {"\\\\server\\share\\uninstall.exe", true, "\\\\server\\share"},
        {"\\uninstall.exe", true, ""},                          // backslash in the first byte
        {"C:/dir/uninstall.exe", false, ""},                   // only the backslash counts
        {"uninstall.exe", false, ""},
        {"", false, ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.path);
        char folder[64];
        memset(folder, 'x', sizeof folder);
        EXPECT_EQ(MakeProgramFolder(c.path, folder, sizeof folder), c.ok);
        EXPECT_STREQ(folder, c.folder);
    }
}

TEST(ProgramFolder, FolderThatDoesNotFitIsRefused)
{
    char folder[8];
    EXPECT_TRUE(MakeProgramFolder("C:\\abcd\\u.exe", folder, sizeof folder));   // 7 bytes + zero
    EXPECT_STREQ(folder, "C:\\abcd");
    EXPECT_FALSE(MakeProgramFolder("C:\\abcde\\u.exe", folder, sizeof folder));
    EXPECT_STREQ(folder, "");
}

TEST(ListEntry, OnlyEntriesInsideTheFolder)
{
    static const struct {
        const char* entry;
        bool safe;
    } kCases[] = {
        {"Vexora.exe", true},
        {"Docs\\Vex.txt", true},
        {"Docs/Vex.txt", true},
        {"  leading blanks", true},
        {"\\Vexora.exe", true},           // one separator: still joined below the folder
        {".\\Vexora.exe", true},
        {"a..b", true},
        {"..a\\b..", true},
        {".hidden", true},
        {"..", false},
        {"..\\Windows\\win.ini", false},
        {"Docs\\..\\..\\x", false},
        {"Docs/../x", false},
        {"Docs\\..", false},
        {"Docs\\. .\\x", false},          // the system drops trailing dots and blanks
        {".. \\x", false},
        {"...\\x", false},
        {"C:\\Windows\\win.ini", false},
        {"C:win.ini", false},
        {"Docs\\D:x", false},
        {"\\\\server\\share\\x", false},
        {"//server/share/x", false},
        {"\\/server\\x", false},
        {"\\\\?\\C:\\x", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(IsSafeListEntry(c.entry), c.safe);
        char path[64];
        EXPECT_EQ(MakeEntryPath("C:\\P\\", c.entry, path, sizeof path), c.safe);
        EXPECT_EQ(std::string(path), c.safe ? std::string("C:\\P\\") + c.entry : "");
    }
}

TEST(ListEntry, PathIsJoinedWithoutCutting)
{
    char path[kEntryPathSize + 1];
    path[kEntryPathSize] = '#';
    const std::string prefix = "C:\\Vexora\\";
    const std::string fits(kEntryPathSize - 1 - prefix.size(), 'a');
    EXPECT_TRUE(MakeEntryPath(prefix.c_str(), fits.c_str(), path, kEntryPathSize));
    EXPECT_EQ(std::string(path), prefix + fits);
    // One byte more would cut it to a path that names another file.
    EXPECT_FALSE(MakeEntryPath(prefix.c_str(), (fits + "b").c_str(), path, kEntryPathSize));
    EXPECT_STREQ(path, "");
    EXPECT_EQ(path[kEntryPathSize], '#');

    EXPECT_TRUE(MakeEntryPath("C:\\", "file.txt", path, kEntryPathSize));
    EXPECT_STREQ(path, "C:\\file.txt");
    EXPECT_FALSE(MakeEntryPath("C:\\", "", path, kEntryPathSize));
}

std::vector<std::string> ReadAll(const std::string& bytes)
{
    FILE* f = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), f);
    rewind(f);
    std::vector<std::string> lines;
    char line[kListLineSize + 1];
    line[kListLineSize] = '#';
    while (ReadListLine(f, line, kListLineSize))
        lines.push_back(line);
    EXPECT_EQ(line[kListLineSize], '#');
    fclose(f);
    return lines;
}

TEST(ListFile, LinesAsWritten)
{
    using Lines = std::vector<std::string>;
    const std::string longest(kListLineSize - 1, 'a');
    static const struct {
        const char* name;
        std::string bytes;
        Lines lines;
    } kCases[] = {
        {"empty file", "", {}},
        {"line feeds", "a\nb\n", {"a", "b"}},
        {"CR kept for the trim", "a\r\nb\r\n", {"a\r", "b\r"}},
        {"last line without line end", "a\nb", {"a", "b"}},
        {"empty lines", "\n\n", {"", ""}},
        {"blanks kept", "  a \t\n", {"  a \t"}},
        {"longest line that fits", longest + "\nx\n", {longest, "x"}},
        {"longest line at the end", longest, {longest}},
        // Every piece of a longer line is dropped, the tail that looks like a name too.
        {"long line skipped whole", longest + "victim.txt\nx\n", {"x"}},
        {"long line at the end", "x\n" + longest + "b", {"x"}},
        {"very long line", "x\n" + std::string(5000, 'c') + "\r\ny", {"x", "y"}},
        {"zero byte", std::string("a\0b\nx\n", 6), {"x"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadAll(c.bytes), c.lines);
    }
}

}  // namespace
