// Path helpers and the command-line rule, as plain logic.
#include <gtest/gtest.h>
#include <string.h>

#include "shell/command_line.h"
#include "shell/path.h"

namespace {

LeadByteTable Table(bool shiftJis)
{
    LeadByteTable t;
    MakeLeadByteTable(t, shiftJis);
    return t;
}

TEST(PathNamePart, Cases)
{
    static const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\dir\\file.txt", "file.txt"}, {"C:\\dir\\", ""}, {"dir/file", "file"}, {"C:file", "file"},
        {"C:", ""}, {"name", "name"}, {"", ""}, {"\\\\server\\share\\x", "x"}, {"a\\b/c", "c"},
    };
    for (bool sjis : {false, true}) {
        LeadByteTable t = Table(sjis);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.path);
            const char* name = PathNamePart(t, c.path);
            EXPECT_STREQ(name, c.name);
            EXPECT_TRUE(name >= c.path && name <= c.path + strlen(c.path));
        }
    }
}

TEST(PathNamePart, DoubleByteTrailBackslash)
{
    // 0x95 0x5C is one Shift JIS character whose second byte is a backslash.
    const char path[] = "C:\\\x95\x5C\\x\x95\x5Cy";
    EXPECT_STREQ(PathNamePart(Table(true), path), "x\x95\x5Cy");
    // In a single-byte code page every 0x5C separates.
    EXPECT_STREQ(PathNamePart(Table(false), path), "y");
    // A lead byte as the last byte never takes the walk past the terminator.
    const char dangling[] = "dir\\a\x95";
    EXPECT_STREQ(PathNamePart(Table(true), dangling), "a\x95");
    // A drive letter that is a lead byte is not a drive.
    const char notDrive[] = "\x95:";
    EXPECT_STREQ(PathNamePart(Table(true), notDrive), notDrive);
}

TEST(AddTrailingSlash, Cases)
{
    static const struct {
        const char* in;
        const char* out;
    } cases[] = {{"C:\\dir", "C:\\dir\\"}, {"C:\\", "C:\\"}, {"", ""}, {"C:/dir/", "C:/dir/\\"}};
    for (const auto& c : cases) {
        char buffer[32];
        strcpy(buffer, c.in);
        EXPECT_TRUE(AddTrailingSlash(buffer, sizeof buffer));
        EXPECT_STREQ(buffer, c.out);
    }
    char full[4] = "abc";  // no room for the backslash and the terminator
    EXPECT_FALSE(AddTrailingSlash(full, sizeof full));
    EXPECT_STREQ(full, "abc");
}

TEST(TrimLineEnd, Cases)
{
    static const struct {
        const char* in;
        const char* out;
    } cases[] = {{"file \t\r\n", "file"}, {"  lead", "  lead"}, {"\r\n", ""}, {"", ""}, {"a b", "a b"},
                 {"x\n\r \t\n", "x"}};
    for (const auto& c : cases) {
        char buffer[32];
        strcpy(buffer, c.in);
        EXPECT_STREQ(TrimLineEnd(buffer), c.out);
    }
}

TEST(CopyText, NeverCutsOrOverruns)
{
    char buffer[8];
    memset(buffer, 'X', sizeof buffer);
    EXPECT_TRUE(CopyText(buffer, 8, "1234567"));
    EXPECT_STREQ(buffer, "1234567");
    EXPECT_FALSE(CopyText(buffer, 8, "12345678"));
    EXPECT_STREQ(buffer, "");
    strcpy(buffer, "1234");
    EXPECT_FALSE(AppendText(buffer, 8, "5678"));
    EXPECT_STREQ(buffer, "1234");
    EXPECT_TRUE(AppendText(buffer, 8, "567"));
    EXPECT_STREQ(buffer, "1234567");
}

TEST(CommandLine, Rule)
{
    static const struct {
        const char* line;
        RunMode mode;
        bool silent;
    } cases[] = {
        {"", RunMode::Uninstall, false},
        {"plain words", RunMode::Uninstall, false},
        {"\"C:\\a/b\\x.exe\"", RunMode::None, false},  // a "/" anywhere prevents the removal run
        {"/s", RunMode::None, true},
        {"/setup", RunMode::Setup, false},
        {"/setup /s", RunMode::Setup, true},
        {"/SETUP /S", RunMode::Setup, true},
        {"/s /setup", RunMode::Setup, false},
        {"/setup /s ", RunMode::None, false},
        {"/setupx", RunMode::Setup, false},
        {"/waiting", RunMode::Wait, false},
        {"/wait", RunMode::Wait, false},
        {"/Warning", RunMode::Warning, false},
        {"/warn", RunMode::None, false},
        {"/clean", RunMode::None, false},
        {"/setup /clean", RunMode::None, false},
        {"/wai", RunMode::None, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CommandLine parsed = ParseCommandLine(c.line);
        EXPECT_EQ(parsed.mode, c.mode);
        EXPECT_EQ(parsed.silent, c.silent);
    }
}

}  // namespace
