// The entries the program looks up, and the files the kit writes for them,
// read back through the program's own catalogue code.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <sstream>

#include "catalogue_texts.h"
#include "lang/format_text.h"
#include "lang/language.h"
#include "lang/marker_search.h"
#include "language_file_writer.h"
#include "program_script.h"

ErrorHandler ErrHandler;

namespace {

std::vector<CatalogueText> ProgramTexts()
{
    return ListCatalogueTexts(ParseResourceScript(kProgramResourceScript, kProgramResourceIds));
}

// Reads a language file as the program does: marker search, then the
// 65536 bytes from the marker into the catalogue.
struct FileReader {
    const std::string& bytes;
    long long position;
    long long Tell() { return position; }
    int Read(void* buffer, int count)
    {
        int n = static_cast<int>(std::min<long long>(count, bytes.size() - position));
        memcpy(buffer, bytes.data() + position, n);
        position += n;
        return n;
    }
    void Seek(long long p) { position = p; }
};

void LoadAsTheProgramDoes(LanguageResources& catalogue, const std::string& file)
{
    FileReader reader = {file, 0};
    long long marker = FindMarker(reader);
    ASSERT_GE(marker, 0);
    char* buffer = static_cast<char*>(malloc(kCatalogueBufferSize));
    reader.Seek(marker);
    catalogue.LoadText(buffer, reader.Read(buffer, kCatalogueReadSize));
}

std::string Translated(const LanguageResources& catalogue, const CatalogueText& t)
{
    std::vector<char> out(t.bufferSize);
    catalogue.TranslateText(out.data(), out.size(), t.source.c_str(),
                            t.kind == kDialogText ? t.context.c_str() : nullptr, t.kind);
    return out.data();
}

TEST(CatalogueTexts, OrderKindsAndKeysOfASmallScript)
{
    const char script[] =
        "D DIALOG 0, 0, 100, 50\nCAPTION \"Title\"\nBEGIN\n"
        "  PUSHBUTTON \"OK\", 1, 0, 0, 10, 10\n"
        "  LTEXT \"\", 2, 0, 0, 10, 10\n"
        "  LTEXT \"OK\", 3, 0, 0, 10, 10\n"
        "END\n"
        "E DIALOG 0, 0, 100, 50\nCAPTION \"Title\"\nBEGIN\nEND\n"
        "STRINGTABLE\nBEGIN\n  1 \"Delete %s\"\n  2 \"Title\"\nEND\n";
    std::vector<CatalogueText> texts = ListCatalogueTexts(ParseResourceScript(script, ""));
    static const struct {
        TextRole role;
        const char* context;
        const char* source;
        size_t bufferSize;
        bool format;
    } expected[] = {
        {TextRole::kScale, "D", "", 512, false},
        {TextRole::kDialogText, "D", "Title", 1024, false},
        {TextRole::kDialogText, "D", "OK", 1024, false},  // twice in D: one entry
        {TextRole::kScale, "E", "", 512, false},
        {TextRole::kDialogText, "E", "Title", 1024, false},
        {TextRole::kDirection, "LTR", "LTR", 1024, false},
        {TextRole::kMessage, "", "Delete %s", 256, true},
        {TextRole::kMessage, "", "Title", 256, false},
    };
    ASSERT_EQ(texts.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < texts.size(); ++i) {
        const CatalogueText& t = texts[i];
        SCOPED_TRACE(testing::Message() << i << " " << t.where);
        EXPECT_EQ(t.role, expected[i].role);
        EXPECT_EQ(t.context, expected[i].context);
        EXPECT_EQ(t.source, expected[i].source);
        EXPECT_EQ(t.bufferSize, expected[i].bufferSize);
        EXPECT_EQ(t.IsFormat(), expected[i].format);
        TextKind kind = t.role == TextRole::kMessage ? kMessageText : kDialogText;
        EXPECT_EQ(t.kind, kind);
        EXPECT_EQ(t.key, CatalogueKey(t.source, kind == kDialogText ? t.context.c_str() : nullptr, kind));
    }
    EXPECT_NE(texts[2].where.find("; "), std::string::npos) << "both places of the shared text: " << texts[2].where;
}

TEST(CatalogueTexts, ProgramsTextsHaveTheKnownKeys)
{
    std::vector<CatalogueText> texts = ProgramTexts();
    static const struct {
        const char* key;
        const char* source;
    } known[] = {
        {"a8604cfa", "OK"},
        {"9b889d24", ""},
        {"debae517", ""},
        {"50a17ae8", "LTR"},
        {"29b544f7", "Uninstall completed"},
    };
    for (const auto& k : known) {
        SCOPED_TRACE(k.key);
        int i = FindCatalogueText(texts, k.key);
        ASSERT_GE(i, 0);
        EXPECT_EQ(texts[i].source, k.source);
    }
}

// Every string-table id of the program has its message entry; the two that
// the program fills in with printf are the format entries.
TEST(CatalogueTexts, EveryStringOfTheProgram)
{
    ResourceScript script = ParseResourceScript(kProgramResourceScript, kProgramResourceIds);
    std::vector<CatalogueText> texts = ListCatalogueTexts(script);
    std::istringstream ids(kProgramResourceIds);
    std::string line;
    int checked = 0;
    while (std::getline(ids, line)) {
        char name[64];
        int id;
        if (sscanf(line.c_str(), "#define IDS_%63s %d", name, &id) != 2)
            continue;
        SCOPED_TRACE(line);
        ++checked;
        auto s = std::find_if(script.strings.begin(), script.strings.end(),
                              [&](const ScriptString& s) { return s.number == id; });
        ASSERT_NE(s, script.strings.end());
        int i = FindCatalogueText(texts, CatalogueKey(s->text, nullptr, kMessageText));
        ASSERT_GE(i, 0);
        EXPECT_EQ(texts[i].role, TextRole::kMessage);
        EXPECT_EQ(texts[i].IsFormat(), id == 5106 || id == 5108);
    }
    EXPECT_GT(checked, 0) << "no string ids found";
}

// The template gives back every source text through the program's own
// loading and lookup; the pseudo-translation gives back its pseudo texts.
TEST(LanguageFileWriter, WhatItWritesTheProgramReadsBack)
{
    // A text with every character that needs an escape.
    const char script[] =
        "D DIALOG 0, 0, 10, 10\nCAPTION \"Cap\"\nBEGIN\n"
        "  LTEXT \"q\"\"uote\"\" back\\\\slash\\r\\nline\\ttab\", 1, 0, 0, 1, 1\n"
        "END\n";
    for (const std::vector<CatalogueText>& texts : {ProgramTexts(), ListCatalogueTexts(ParseResourceScript(script, ""))}) {
        for (bool pseudo : {false, true}) {
            SCOPED_TRACE(pseudo ? "pseudo" : "template");
            std::string file = pseudo ? WritePseudoTranslation(texts) : WriteTemplate(texts);
            LanguageResources catalogue;
            LoadAsTheProgramDoes(catalogue, file);
            for (const CatalogueText& t : texts) {
                SCOPED_TRACE(t.where);
                std::string expected = t.role == TextRole::kScale ? (pseudo ? "120*110" : "100*100")
                                       : t.role == TextRole::kDirection ? "LTR"
                                       : pseudo                          ? PseudoTranslate(t.source)
                                                                         : t.source;
                EXPECT_EQ(Translated(catalogue, t), expected);
            }
        }
    }
}

TEST(LanguageFileWriter, EachEntryHasACommentLineNamingItsSource)
{
    std::string file = WriteTemplate(ProgramTexts());
    size_t marker = file.find("***messages***\r\n");
    ASSERT_NE(marker, std::string::npos);
    EXPECT_EQ(file.find("***messages**"), marker) << "the header must not hold the marker";
    EXPECT_EQ(file.find('\n'), file.find("\r\n") + 1) << "Windows line ends";
    EXPECT_NE(file.find("; SETUPDLG, button IDOK (50 x 14): \"OK\"\r\na8604cfa=\"OK\"\r\n"), std::string::npos);
    EXPECT_NE(file.find("; message IDS_NO_LIST_FILE (5108), error when the list of installed files is missing; %s "
                        "is its name: \"Cannot open list file %s\"\r\ne5452dd4=\"Cannot open list file %s\"\r\n"),
              std::string::npos);
    EXPECT_NE(file.find("9b889d24=\"100*100\"\r\n"), std::string::npos);
    EXPECT_NE(file.find("50a17ae8=\"LTR\"\r\n"), std::string::npos);
}

TEST(PseudoTranslate, Cases)
{
    static const struct {
        const char* source;
        const char* pseudo;
    } cases[] = {
        {"OK", "[\xd6K ~]"},
        {"&VEX", "[&V\xc9X ~~]"},
        {"Cannot open list file %s", "[\xc7\xe5\xf1\xf1\xf6t \xf6p\xe9\xf1 l\xee\x9at f\xeel\xe9 %s ~~~~~~~~]"},
        {"100%% &&done %", "[100%% &&\xf0\xf6\xf1\xe9 % ~~~~~]"},
        {"a\nb", "[\xe5\nb ~]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        std::string pseudo = PseudoTranslate(c.source);
        EXPECT_EQ(pseudo, c.pseudo);
        EXPECT_GE(pseudo.size() * 3, strlen(c.source) * 4) << "a third longer";
    }
    EXPECT_TRUE(IsSingleStringFormat(PseudoTranslate("You should delete %s manually").c_str()));
}

}  // namespace
