// What "lngtool check" finds in a language file, with its line, over the
// texts of a small resource script.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue_texts.h"
#include "language_file_check.h"

namespace {

const char kScript[] =
    "D DIALOG 0, 0, 100, 50\nCAPTION \"Title\"\nBEGIN\n"
    "  PUSHBUTTON \"OK\", 1, 0, 0, 10, 10\n"
    "END\n"
    "STRINGTABLE\nBEGIN\n  1 \"Delete %s\"\n  2 \"Done\"\nEND\n";

const std::vector<CatalogueText>& Texts()
{
    static const std::vector<CatalogueText> texts = ListCatalogueTexts(ParseResourceScript(kScript, ""));
    return texts;
}

std::string Key(const char* source, const char* context = nullptr)
{
    return CatalogueKey(source, context, context ? kDialogText : kMessageText);
}

std::string Entry(const char* source, const char* context, const std::string& value)
{
    return Key(source, context) + "=\"" + value + "\"\n";
}

const std::string kScale = Entry("", "D", "120*100");
const std::string kTitle = Entry("Title", "D", "Titel");
const std::string kOk = Entry("OK", "D", "Gut");
const std::string kDirection = Entry("LTR", "LTR", "LTR");
const std::string kDelete = Entry("Delete %s", nullptr, "%s l\xf6schen");
const std::string kDone = Entry("Done", nullptr, "Fertig");
const std::string kAll = kScale + kTitle + kOk + kDirection + kDelete + kDone;
const std::string kMarker = "; header\n***messages***\n";  // entries start on line 3

// "3 E key" : line 3, an error whose message contains "key".
std::vector<std::string> Check(const std::string& file)
{
    std::vector<std::string> shown;
    for (const Finding& f : CheckLanguageFile(file, Texts()))
        shown.push_back(std::to_string(f.line) + (f.error ? " E " : " W ") + f.message);
    return shown;
}

struct Case {
    const char* name;
    std::string file;
    std::vector<std::string> expected;  // "<line> <E|W> <part of the message>", in order
};

void Expect(const Case& c)
{
    SCOPED_TRACE(c.name);
    std::vector<std::string> found = Check(c.file);
    std::string all;
    for (const std::string& f : found)
        all += "\n  " + f;
    ASSERT_EQ(found.size(), c.expected.size()) << all;
    for (size_t i = 0; i < found.size(); ++i) {
        const std::string& e = c.expected[i];
        size_t head = e.find(' ', e.find(' ') + 1);
        EXPECT_EQ(found[i].substr(0, head), e.substr(0, head)) << all;
        EXPECT_NE(found[i].find(e.substr(head + 1)), std::string::npos) << found[i];
    }
}

TEST(CheckLanguageFile, CompleteFilesAreClean)
{
    Expect({"LF", kMarker + kAll, {}});
    std::string crlf;
    for (char ch : kMarker + kAll)
        crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    Expect({"CR LF, comments and blank lines", "; c\r\n" + crlf + "\r\n; the end\r\n", {}});
    Expect({"last line without line end", kMarker + kAll.substr(0, kAll.size() - 1), {}});
    Expect({"marker in the middle of a line", "x ***messages***\n" + kAll, {}});
}

TEST(CheckLanguageFile, EntryLines)
{
    const std::string ok = Key("OK", "D");
    std::string upper = ok;
    for (char& ch : upper)
        ch = static_cast<char>(toupper(ch));
    const Case cases[] = {
        {"missing texts", kMarker + kScale + kDirection + kDone,
         {"0 W D, caption: \"Title\"", "0 W D, button 1 (10 x 10): \"OK\"", "0 W " + Key("Delete %s")}},
        {"stale key", kMarker + kAll + "0badc0de=\"old\"\n", {"9 W 0badc0de belongs to no text"}},
        {"uppercase key", kMarker + kAll + upper + "=\"x\"\n", {"9 E write " + ok + " (D, button 1"}},
        {"seven digits", kMarker + kAll + ok.substr(1) + "=\"x\"\n", {"9 E has 7 digits"}},
        {"nine digits", kMarker + kAll + ok + "0=\"x\"\n", {"9 E has 9 digits"}},
        {"no equals sign", kMarker + kAll + ok + " \"x\"\n", {"9 E key=\"text\""}},
        {"no opening quote", kMarker + kAll + ok + "=x\"\n", {"9 E in double quotes"}},
        {"no closing quote", kMarker + kScale + kTitle + ok + "=\"Gut\n" + kDirection + kDelete + kDone,
         {"5 E no closing quote"}},
        {"text after the closing quote", kMarker + kScale + kTitle + ok + "=\"Gut\" ; note\n" + kDirection + kDelete +
             kDone, {"5 W after the closing quote"}},
        {"duplicate", kMarker + kAll + kOk, {"9 E also on line 5"}},
        {"prose", kMarker + kAll + "Hello there\n", {"9 W not an entry"}},
        {"form feed", kMarker + kAll + ok + "=\"a\fb\"\n", {"9 E form feed"}},
        {"empty translation", kMarker + kScale + kTitle + Entry("OK", "D", "") + kDirection + kDelete + kDone,
         {"5 W empty"}},
        {"entry above the marker", kOk + kMarker + kAll, {"1 W above the marker"}},
    };
    for (const Case& c : cases)
        Expect(c);
}

TEST(CheckLanguageFile, ValuesTheProgramCutsOrMisreads)
{
    const std::string rest = kDirection + kDelete + kDone;
    const std::string longMessage(255, 'm');
    const Case cases[] = {
        {"message of 255", kMarker + kScale + kTitle + kOk + kDirection + kDelete + Entry("Done", nullptr, longMessage),
         {}},
        {"message of 256", kMarker + kScale + kTitle + kOk + kDirection + kDelete +
                               Entry("Done", nullptr, longMessage + "m"),
         {"8 E 256 characters; the program keeps 255"}},
        {"dialog text of 1023", kMarker + kScale + kTitle + Entry("OK", "D", std::string(1023, 'd')) + rest, {}},
        {"dialog text of 1024", kMarker + kScale + kTitle + Entry("OK", "D", std::string(1024, 'd')) + rest,
         {"5 E keeps 1023"}},
        {"scale entry of 512", kMarker + Entry("", "D", "1*" + std::string(510, '0')) + kTitle + kOk + rest,
         {"3 E keeps 511"}},
        {"long text on the last line without line end",
         kMarker + kScale + kTitle + kDirection + kDelete + kDone + Entry("OK", "D", std::string(300, 'd')).substr(0, 311),
         {"8 E at most 255"}},
        {"escapes count once", kMarker + kScale + kTitle + kOk + kDirection + kDelete +
                                   Entry("Done", nullptr, std::string(200, 'x') + std::string(100, '\\') + "\\\""),
         {}},
    };
    for (const Case& c : cases)
        Expect(c);
}

TEST(CheckLanguageFile, ScaleDirectionAndFormats)
{
    const std::string dialog = kTitle + kOk;
    const std::string messages = kDone;
    struct Value {
        const char* name;
        std::string scale, direction, format;
        std::vector<std::string> expected;
    };
    const Value values[] = {
        {"good", "115*100", "RTL", "100%% sicher: %s weg", {}},
        {"scale with x", "120x110", "LTR", "%s", {"3 E not two numbers joined by \"*\" (the program reads it as 100*100)"}},
        {"scale with one number", "90*", "LTR", "%s", {"3 E reads it as 90*0"}},
        {"scale with blanks", " 120 * 110", "LTR", "%s", {"3 E not two numbers"}},
        {"scale of 0", "0*100", "LTR", "%s", {"3 W vanish"}},
        {"lowercase rtl", "100*100", "rtl", "%s", {"6 E neither \"LTR\" nor \"RTL\""}},
        {"RTL and a blank", "100*100", "RTL ", "%s", {"6 E neither"}},
        {"%d", "100*100", "LTR", "%d", {"7 E exactly one %s"}},
        {"%s %s", "100*100", "LTR", "%s %s", {"7 E exactly one %s"}},
        {"%n", "100*100", "LTR", "%s%n", {"7 E exactly one %s"}},
        {"lone %", "100*100", "LTR", "%s 100%", {"7 E exactly one %s"}},
        {"no %s", "100*100", "LTR", "weg damit", {"7 E exactly one %s"}},
    };
    for (const Value& v : values) {
        Expect({v.name,
                kMarker + Entry("", "D", v.scale) + dialog + Entry("LTR", "LTR", v.direction) +
                    Entry("Delete %s", nullptr, v.format) + messages,
                v.expected});
    }
}

TEST(CheckLanguageFile, WhatTheProgramNeverReads)
{
    // Comment lines that fill the 65536 bytes read from the marker on.
    std::string filler;
    while (filler.size() < 65536 - 1000)
        filler += "; " + std::string(97, '-') + "\n";
    const std::string marker = "***messages***\n";
    const std::string upToLimit = marker + kAll + filler;
    const std::string pad(65536 - upToLimit.size(), ';');  // its line end is the first byte not read
    const int fillerEnd = 1 + 6 + static_cast<int>(filler.size() / 100);
    const std::string withoutOk = marker + kScale + kTitle + kDirection + kDelete + kDone + filler;
    const std::string crossing = Entry("OK", "D", std::string(65536 - withoutOk.size(), 'g'));
    const long long searched = MarkerSearchLimit();
    const Case cases[] = {
        {"beyond the bytes read", upToLimit + pad + "\n" + Entry("x", nullptr, "y") + kOk,
         {std::to_string(fillerEnd + 2) + " E beyond the 65536 bytes",
          std::to_string(fillerEnd + 3) + " E beyond the 65536 bytes"}},
        {"cut by the bytes read", withoutOk + crossing, {std::to_string(fillerEnd) + " E cut by the end"}},
        {"NUL byte", marker + kScale + kTitle + std::string("\0", 1) + "\n" + kOk + kDirection + kDelete + kDone,
         {"4 E NUL", "5 E after a NUL byte", "6 E after a NUL", "7 E after a NUL", "8 E after a NUL",
          "0 W \"OK\"", "0 W \"Delete %s\"", "0 W \"Done\""}},
        {"no marker", kAll, {"0 E no marker line"}},
        {"marker with two asterisks", "**messages***\n" + kAll, {"0 E no marker line"}},
        {"UTF-16", std::string("*\0*\0*\0m\0e\0s\0s\0a\0g\0e\0s\0", 22), {"0 E UTF-16"}},
        {"marker found at the last place", std::string(searched - 13, ';') + marker + kAll, {}},
        {"marker one byte too late", std::string(searched - 12, ';') + marker + kAll,
         {"1 E too far into the file"}},
        {"UTF-8", marker + kScale + kTitle + Entry("OK", "D", "Gr\xc3\xbc\xc3\x9f Gott") + kDirection + kDelete + kDone,
         {"4 W UTF-8"}},
    };
    for (const Case& c : cases)
        Expect(c);
}

}  // namespace
