// Reading texts out of a resource script as the resource compiler would.
#include <gtest/gtest.h>

#include "resource_script.h"

namespace {

TEST(DecodeScriptString, Cases)
{
    static const struct {
        const char* body;
        const char* text;
    } cases[] = {
        {"plain", "plain"},
        {"say \"\"hi\"\"", "say \"hi\""},
        {"a\\nb\\rc\\td", "a\nb\rc\td"},
        {"back\\\\slash \\\"q\\\"", "back\\slash \"q\""},
        {"\\101\\x42C", "ABC"},
        {"\\x4", "\x04"},
        {"\\q stays", "\\q stays"},
        {"trailing\\", "trailing\\"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(DecodeScriptString(c.body), c.text);
    }
}

TEST(ParseResourceScript, DialogControlsInEveryForm)
{
    const char script[] =
        "#include <windows.h>\n"
        "/* CONTROL \"in a comment\", 1, \"BUTTON\", 0, 0, 0, 1, 1 */\n"
        "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n"
        "APPICON ICON \"app.ico\"\n"
        "MAIN DIALOG 1, 2, 300, 200\n"
        "STYLE DS_MODALFRAME | WS_POPUP\n"
        "CAPTION \"Main \"\"window\"\"\"\n"
        "FONT 8, \"MS Sans Serif\"\n"
        "BEGIN\n"
        "    CONTROL \"OK\", IDOK, \"BUTTON\", BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 50, 14\n"
        "    CONTROL \"Two\\nlines\", -1, \"BUTTON\", BS_GROUPBOX,\n"
        "            1, 2, 3, 4\n"
        "    CONTROL \"&Box\", 7, \"Button\", WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 5, 6\n"
        "    CONTROL \"\", -1, \"STATIC\", SS_ETCHEDHORZ, 8, 100, 127, 1\n"
        "    EDITTEXT 9, 0, 0, 10, 10, ES_AUTOHSCROLL\n"
        "    LTEXT \"Label\", IDC_LABEL, 0, 0, 80, 8\n"
        "    DEFPUSHBUTTON \"Go\", 10, 0, 0, 20, 14, WS_GROUP\n"
        "    CONTROL \"Rich\", 11, \"RICHEDIT\", ES_MULTILINE, 0, 0, 30, 40\n"
        "END\n"
        "OTHER DIALOGEX 0, 0, 10, 20\n"
        "CAPTION \"\"\n"
        "{\n"
        "    AUTORADIOBUTTON \"Radio\", 3, 0, 0, 9, 9\n"
        "}\n";
    ResourceScript s = ParseResourceScript(script, "");
    ASSERT_EQ(s.dialogs.size(), 2u);
    const ScriptDialog& main = s.dialogs[0];
    EXPECT_EQ(main.name, "MAIN");
    EXPECT_EQ(main.caption, "Main \"window\"");
    EXPECT_EQ(main.width, "300");
    EXPECT_EQ(main.height, "200");
    static const struct {
        const char* text;
        const char* id;
        const char* kind;
        const char* width;
        const char* height;
    } expected[] = {
        {"OK", "IDOK", "button", "50", "14"},
        {"Two\nlines", "-1", "group box", "3", "4"},
        {"&Box", "7", "check box", "5", "6"},
        {"", "-1", "text", "127", "1"},
        {"Label", "IDC_LABEL", "text", "80", "8"},
        {"Go", "10", "button", "20", "14"},
        {"Rich", "11", "rich text field", "30", "40"},
    };
    ASSERT_EQ(main.controls.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < main.controls.size(); ++i) {
        SCOPED_TRACE(expected[i].text);
        EXPECT_EQ(main.controls[i].text, expected[i].text);
        EXPECT_EQ(main.controls[i].id, expected[i].id);
        EXPECT_EQ(main.controls[i].kind, expected[i].kind);
        EXPECT_EQ(main.controls[i].width, expected[i].width);
        EXPECT_EQ(main.controls[i].height, expected[i].height);
    }
    const ScriptDialog& other = s.dialogs[1];
    EXPECT_EQ(other.name, "OTHER");
    EXPECT_EQ(other.caption, "");
    ASSERT_EQ(other.controls.size(), 1u);
    EXPECT_EQ(other.controls[0].kind, "radio button");
}

TEST(ParseResourceScript, StringTablesWithIdsAndNotes)
{
    const char ids[] = "#pragma once\n#define IDS_FIRST 100\n#define IDS_ALIAS IDS_FIRST\n";
    const char script[] =
        "#define IDS_LOCAL 300\n"
        "STRINGTABLE\n"
        "BEGIN\n"
        "    IDS_FIRST \"First\"   // where it shows\n"
        "    IDS_LOCAL, \"Local %s\"\n"
        "    200 \"Numbered\"\n"
        "    IDS_UNKNOWN \"Unknown \\\"id\\\"\"\n"
        "END\n"
        "STRINGTABLE LANGUAGE 9, 1\n"
        "{\n"
        "    IDS_ALIAS \"Second table\"\n"
        "}\n";
    ResourceScript s = ParseResourceScript(script, ids);
    EXPECT_TRUE(s.dialogs.empty());
    static const struct {
        const char* id;
        int number;
        const char* text;
        const char* note;
    } expected[] = {
        {"IDS_FIRST", 100, "First", "where it shows"},
        {"IDS_LOCAL", 300, "Local %s", ""},
        {"200", 200, "Numbered", ""},
        {"IDS_UNKNOWN", -1, "Unknown \"id\"", ""},
        {"IDS_ALIAS", 100, "Second table", ""},
    };
    ASSERT_EQ(s.strings.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < s.strings.size(); ++i) {
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(s.strings[i].id, expected[i].id);
        EXPECT_EQ(s.strings[i].number, expected[i].number);
        EXPECT_EQ(s.strings[i].text, expected[i].text);
        EXPECT_EQ(s.strings[i].note, expected[i].note);
    }
}

}  // namespace
