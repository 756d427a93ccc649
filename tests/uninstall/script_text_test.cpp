// The bytes of the self-removal script.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "uninstall/script_text.h"

namespace {

std::string Written(const ScriptPieces& pieces)
{
    FILE* f = tmpfile();
    EXPECT_TRUE(WriteScript(f, pieces));
    std::string bytes;
    rewind(f);
    int c;
    while ((c = getc(f)) != EOF)
        bytes += static_cast<char>(c);
    fclose(f);
    return bytes;
}

std::string Attempts(const std::string& program, const std::string& folder)
{
    std::string block = "del \"" + program + "\"\r\nrd \"" + folder + "\"\r\nif not exist \"" + program +
                        "\" goto done\r\n";
    std::string all;
    for (int i = 0; i < 5; ++i)
        all += block;
    return all;
}

TEST(ScriptText, BothFamilies)
{
    const char* program = "C:\\Program Files\\Vexora\\uninstall.exe";
    const char* folder = "C:\\Program Files\\Vexora";
    const char* script = "C:\\TEMP\\Uninstall.Vex.Bat";
    const std::string rest = Attempts(program, folder) + ":done\r\nif exist \"" + program + "\" \"" + program +
                             "\" /warning\r\ndel \"" + script + "\"";
    static const struct {
        bool nt;
        const char* startLine;
    } kFamilies[] = {
        {true, "\"C:\\Program Files\\Vexora\\uninstall.exe\" /wait\r\n"},
        {false, "start /wait \"C:\\Program Files\\Vexora\\uninstall.exe\" /wait\r\n"},
    };
    for (const auto& f : kFamilies) {
        SCOPED_TRACE(f.nt ? "NT" : "9x");
        ScriptPieces pieces;
        ASSERT_TRUE(ComposeScript(f.nt, program, folder, script, &pieces));
        const std::string bytes = Written(pieces);
        EXPECT_EQ(bytes, f.startLine + rest);
        EXPECT_EQ(bytes.size(),
                  strlen(pieces.startLine) + 5 * strlen(pieces.attemptBlock) + strlen(pieces.finalBlock));
        EXPECT_NE(bytes.back(), '\n');
    }
}

TEST(ScriptText, DriveRootAndPercentSigns)
{
    ScriptPieces pieces;
    ASSERT_TRUE(ComposeScript(true, "C:\\uninstall.exe", "C:\\", "C:\\TEMP\\Uninstall.Vex.Bat", &pieces));
    EXPECT_STREQ(pieces.attemptBlock, "del \"C:\\uninstall.exe\"\r\nrd \"C:\\\"\r\nif not exist \"C:\\uninstall.exe\" goto done\r\n");

    // A "%" left single would start a variable the interpreter expands.
    ASSERT_TRUE(ComposeScript(false, "C:\\100% Tools\\u.exe", "C:\\100% Tools", "C:\\T%MP%\\s.bat", &pieces));
    EXPECT_EQ(Written(pieces), "start /wait \"C:\\100%% Tools\\u.exe\" /wait\r\n" +
                                   Attempts("C:\\100%% Tools\\u.exe", "C:\\100%% Tools") +
                                   ":done\r\nif exist \"C:\\100%% Tools\\u.exe\" \"C:\\100%% Tools\\u.exe\" "
                                   "/warning\r\ndel \"C:\\T%%MP%%\\s.bat\"");
}

TEST(ScriptText, PathsThatDoNotFitLeaveNoScript)
{
    // The attempt block holds the program path twice and the folder once.
    const std::string folder = "C:\\" + std::string(300, 'f');
    const std::string program = folder + "\\uninstall.exe";
    const size_t blockFixed = strlen("del \"\"\r\nrd \"\"\r\nif not exist \"\" goto done\r\n");
    ASSERT_LT(2 * program.size() + folder.size() + blockFixed, size_t(kScriptPieceSize));
    ScriptPieces pieces;
    EXPECT_TRUE(ComposeScript(true, program.c_str(), folder.c_str(), "C:\\s.bat", &pieces));

    const std::string longFolder = folder + std::string(80, 'g');
    const std::string longProgram = longFolder + "\\uninstall.exe";
    ASSERT_GE(2 * longProgram.size() + longFolder.size() + blockFixed, size_t(kScriptPieceSize));
    EXPECT_FALSE(ComposeScript(true, longProgram.c_str(), longFolder.c_str(), "C:\\s.bat", &pieces));

    // Doubling can push a path that fits over the edge.
    const std::string percents(600, '%');
    EXPECT_FALSE(ComposeScript(true, ("C:\\" + percents + "\\u.exe").c_str(), "C:\\", "C:\\s.bat", &pieces));
}

TEST(ScriptText, DoublePercents)
{
    static const struct {
        const char* text;
        size_t size;
        bool ok;
        const char* out;
    } kCases[] = {
        {"C:\\100% Tools", 32, true, "C:\\100%% Tools"},
        {"%%", 5, true, "%%%%"},
        {"%%", 4, false, ""},
        {"a%", 4, true, "a%%"},
        {"a%", 3, false, ""},
        {"", 1, true, ""},
        {"no signs", 9, true, "no signs"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        char out[40];
        memset(out, '#', sizeof out);
        EXPECT_EQ(DoublePercents(c.text, out, c.size), c.ok);
        EXPECT_STREQ(out, c.out);
        EXPECT_EQ(out[c.size], '#');
    }
}

}  // namespace
