// The catalogue as plain logic: conversion, index, keys and lookup.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "lang/language.h"

ErrorHandler ErrHandler;

namespace {

const std::string kMarker = "***messages**";

// Loads bytes as if read from the marker on. The buffer's slack is filled
// with quotes and letters, so a lookup that reads past the terminator
// shows in its result.
void Load(LanguageResources& catalogue, const std::string& bytes)
{
    char* buffer = static_cast<char*>(malloc(kCatalogueBufferSize));
    memset(buffer, 'X', kCatalogueBufferSize);
    for (int i = 0; i < kCatalogueBufferSize; i += 7)
        buffer[i] = '"';
    memcpy(buffer, bytes.data(), bytes.size());
    catalogue.LoadText(buffer, static_cast<int>(bytes.size()));
}

std::string Key(const char* source, const char* context, TextKind kind)
{
    char key[kCatalogueKeySize];
    MakeCatalogueKey(key, source, context, kind);
    return key;
}

std::string Entry(const char* source, const char* context, TextKind kind, const std::string& value)
{
    return Key(source, context, kind) + "=\"" + value + "\"\r\n";
}

std::string Translate(const LanguageResources& catalogue, const char* source, const char* context = nullptr,
                      TextKind kind = kMessageText, size_t size = kMessageTextSize)
{
    std::vector<char> dest(size + 8, '#');
    catalogue.TranslateText(dest.data(), size, source, context, kind);
    for (size_t i = size; i < dest.size(); ++i)
        EXPECT_EQ(dest[i], '#') << "written past the destination's " << size << " bytes";
    return dest.data();
}

unsigned int ByteAtATime(unsigned int crc, const unsigned char* p, size_t n)
{
    while (n--) {
        crc ^= *p++;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}

TEST(CatalogueKey, WorkedKeys)
{
    static const struct {
        const char* source;
        const char* context;
        TextKind kind;
        const char* key;
    } cases[] = {
        {"OK", "SETUPDLG", kDialogText, "a8604cfa"},
        {"", "SETUPDLG", kDialogText, "9b889d24"},
        {"Uninstall completed", nullptr, kMessageText, "29b544f7"},
        {"", "DONEDLG", kDialogText, "debae517"},
        {"LTR", "LTR", kDialogText, "50a17ae8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(Key(c.source, c.context, c.kind), c.key);
    }
    // The standard check value of CRC-32.
    EXPECT_EQ(~Crc32Update(0xFFFFFFFFu, "123456789", 9), 0xCBF43926u);
}

TEST(Crc32Update, EightBytesPerStepEqualsByteAtATime)
{
    unsigned char bytes[64 + 8];
    unsigned int seed = 12345;
    for (unsigned char& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<unsigned char>(seed >> 16);
    }
    // Every length around the eight-byte steps, from every alignment.
    for (size_t offset = 0; offset < 8; ++offset) {
        for (size_t n = 0; n <= 64; ++n) {
            SCOPED_TRACE(testing::Message() << "offset " << offset << " length " << n);
            EXPECT_EQ(Crc32Update(0xFFFFFFFFu, bytes + offset, n), ByteAtATime(0xFFFFFFFFu, bytes + offset, n));
            EXPECT_EQ(Crc32Update(Crc32Update(0x12345678u, bytes, offset), bytes + offset, n),
                      ByteAtATime(0x12345678u, bytes, offset + n));
        }
    }
}

TEST(FindCatalogueMarker, Cases)
{
    static const struct {
        std::string block;
        int found;
    } cases[] = {
        {kMarker + "\r\n", 0},
        {"abc" + kMarker, 3},
        {"x" + kMarker.substr(0, 12), -1},          // cut by the block's end
        {"**messages**\r\n", -1},                   // two asterisks only
        {"***MESSAGES**", -1},
        {"****messages**", 1},
        {"", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        EXPECT_EQ(FindCatalogueMarker(c.block.data(), static_cast<int>(c.block.size())), c.found);
    }
}

TEST(LoadText, ConvertsEscapesAndLineEnds)
{
    static const struct {
        const char* name;
        std::string file;
        std::string text;
    } cases[] = {
        {"quote and backslash", "a\\\"b\\\\c", "a\"b\\c"},
        {"n r t", "\\n\\r\\t", "\n\r\t"},
        {"line ends", "a\r\nb\rc\nd", "a\f\fb\fc\fd"},
        {"backslash x stays", "\\x", "\\x"},
        {"backslash last", "ab\\", "ab\\"},
        {"escaped backslash then n", "\\\\n", "\\n"},
        {"NUL ends the text", std::string("ab\0cd", 5), "ab"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LanguageResources catalogue;
        Load(catalogue, c.file);
        ASSERT_TRUE(catalogue.IsLoaded());
        EXPECT_EQ(std::string(catalogue.text, catalogue.length), c.text);
        EXPECT_EQ(catalogue.text[catalogue.length], 0);
    }
}

std::vector<std::string> IndexedLines(const LanguageResources& catalogue)
{
    std::vector<std::string> lines;
    for (int i = 0; i < catalogue.index.Count(); ++i) {
        const char* line = catalogue.text + catalogue.index[i];
        lines.push_back(std::string(line, strcspn(line, "\f")));
    }
    return lines;
}

TEST(LoadText, IndexesEachLineOnceInKeyOrder)
{
    LanguageResources catalogue;
    Load(catalogue, kMarker + " comment\r\n\r\n\r\nzzzzzzzz=\"z\"\r\n\n\rmmmmmmmm=\"a\\nb\"\r\n"
                              "\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9=\"high\"\r\naaaaaaaa=\"a\"");
    std::vector<std::string> expected = {"aaaaaaaa=\"a\"", "mmmmmmmm=\"a\nb\"", "zzzzzzzz=\"z\"",
                                         "\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9=\"high\""};
    EXPECT_EQ(IndexedLines(catalogue), expected);
}

TEST(LoadText, LineWithinTheLastEightCharactersIsNotIndexed)
{
    static const struct {
        std::string tail;
        bool indexed;
    } cases[] = {
        {"abcdefgh", false}, {"abcdefg", false}, {"abcdefghi", true}, {"abcdefgh\r\n", true}, {"abcdefgh\r", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        LanguageResources catalogue;
        Load(catalogue, kMarker + "\r\n" + c.tail);
        EXPECT_EQ(catalogue.index.Count(), c.indexed ? 1 : 0);
    }
}

TEST(LoadText, MarkerOnlyOrFailedReadIsLoadedAndEmpty)
{
    LanguageResources catalogue;
    Load(catalogue, kMarker);
    EXPECT_TRUE(catalogue.IsLoaded());
    EXPECT_EQ(catalogue.index.Count(), 0);
    EXPECT_EQ(Translate(catalogue, "Uninstall completed"), "Uninstall completed");

    catalogue.LoadText(static_cast<char*>(malloc(kCatalogueBufferSize)), -1);
    EXPECT_TRUE(catalogue.IsLoaded());
    EXPECT_EQ(catalogue.length, 0);
    EXPECT_STREQ(catalogue.text, "");

    catalogue.Clear();
    EXPECT_FALSE(catalogue.IsLoaded());
}

TEST(TranslateText, Lookups)
{
    const std::string longValue(600, 'v');
    LanguageResources catalogue;
    Load(catalogue, kMarker + "\r\n" + Entry("OK", "SETUPDLG", kDialogText, "Bien") +
                        Entry("Uninstall completed", nullptr, kMessageText, "Fertig") +
                        Entry("Quoted", nullptr, kMessageText, "say \\\"hi\\\" now") +
                        Entry("Two lines", nullptr, kMessageText, "one\\ntwo") +
                        Key("Unclosed", nullptr, kMessageText) + "=\"no closing quote\r\n" +
                        Key("Trailing", nullptr, kMessageText) + "=\"value\" ; note\r\n" +
                        Entry("Long", nullptr, kMessageText, longValue) +
                        Entry("Empty", nullptr, kMessageText, ""));
    static const struct {
        const char* name;
        const char* source;
        const char* context;
        TextKind kind;
        std::string result;
    } cases[] = {
        {"dialog text", "OK", "SETUPDLG", kDialogText, "Bien"},
        {"message text", "Uninstall completed", nullptr, kMessageText, "Fertig"},
        {"other context", "OK", "DONEDLG", kDialogText, "OK"},
        {"other kind", "OK", "SETUPDLG", kMessageText, "OK"},
        {"same text as message", "Uninstall completed", "SETUPDLG", kDialogText, "Uninstall completed"},
        {"inner quotes stay", "Quoted", nullptr, kMessageText, "say \"hi\" now"},
        {"escaped line end is text", "Two lines", nullptr, kMessageText, "one\ntwo"},
        {"no closing quote: up to the line end", "Unclosed", nullptr, kMessageText, "no closing quote"},
        {"after the closing quote", "Trailing", nullptr, kMessageText, "value"},
        {"longer than the destination: cut", "Long", nullptr, kMessageText, longValue.substr(0, 255)},
        {"empty value", "Empty", nullptr, kMessageText, ""},
        {"no entry", "Cancel", "SETUPDLG", kDialogText, "Cancel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Translate(catalogue, c.source, c.context, c.kind), c.result);
    }
    EXPECT_EQ(std::string(catalogue.FindEntry("a8604cfa"), 14), "a8604cfa=\"Bien");
}

TEST(TranslateText, UppercaseKeyIsNeverFound)
{
    LanguageResources catalogue;
    Load(catalogue, kMarker + "\r\nA8604CFA=\"upper\"\r\n");
    EXPECT_EQ(catalogue.index.Count(), 1);
    EXPECT_EQ(Translate(catalogue, "OK", "SETUPDLG", kDialogText), "OK");
}

TEST(TranslateText, DestinationSizes)
{
    LanguageResources catalogue;
    Load(catalogue, kMarker + "\r\n" + Entry("Uninstall completed", nullptr, kMessageText, std::string(2000, 'w')));
    for (size_t size : {1u, 2u, 9u, 256u, 512u, 1024u, 3000u}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(Translate(catalogue, "Uninstall completed", nullptr, kMessageText, size),
                  std::string(std::min<size_t>(size - 1, 2000), 'w'));
        // No entry: the source is copied, cut likewise.
        EXPECT_EQ(Translate(catalogue, "no such text", nullptr, kMessageText, size),
                  std::string("no such text").substr(0, size - 1));
    }
    char untouched = '#';
    catalogue.TranslateText(&untouched, 0, "Uninstall completed", nullptr, kMessageText);
    EXPECT_EQ(untouched, '#');
}

TEST(TranslateText, InPlace)
{
    LanguageResources catalogue;
    char buffer[kMessageTextSize] = "Uninstall completed";
    catalogue.TranslateText(buffer, sizeof buffer, buffer, nullptr, kMessageText);
    EXPECT_STREQ(buffer, "Uninstall completed");  // no catalogue

    Load(catalogue, kMarker + "\r\n" + Entry("Uninstall completed", nullptr, kMessageText, "Fertig"));
    catalogue.TranslateText(buffer, sizeof buffer, buffer, nullptr, kMessageText);
    EXPECT_STREQ(buffer, "Fertig");
    catalogue.TranslateText(buffer, sizeof buffer, buffer, nullptr, kMessageText);
    EXPECT_STREQ(buffer, "Fertig");  // no entry for the translation
}

TEST(TranslateText, LastLineWithoutLineEnd)
{
    const std::string key = Key("Uninstall completed", nullptr, kMessageText);
    static const struct {
        const char* name;
        std::string line;
        std::string result;
    } cases[] = {
        {"closed", "=\"Fertig\"", "Fertig"},
        {"unclosed, long: 255 characters", "=\"" + std::string(300, 'u'), std::string(255, 'u')},
        {"quote beyond the 255", "=\"" + std::string(300, 'u') + "\"", std::string(255, 'u')},
        {"key and = only", "=", ""},
        {"key and quote", "=\"", ""},
        {"key and one character", "x", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LanguageResources catalogue;
        Load(catalogue, kMarker + "\r\n" + key + c.line);
        ASSERT_EQ(catalogue.index.Count(), 1);
        EXPECT_EQ(Translate(catalogue, "Uninstall completed", nullptr, kMessageText, kDialogTextSize), c.result);
    }
}

TEST(FindEntry, BinarySearchOverManyLines)
{
    std::string file = kMarker + "\r\n";
    for (unsigned int i = 0; i < 300; ++i) {
        char line[32];
        snprintf(line, sizeof line, "%08x=\"%u\"\r\n", i * 7919u * 2, i);
        file += line;
    }
    LanguageResources catalogue;
    Load(catalogue, file);
    ASSERT_EQ(catalogue.index.Count(), 300);
    for (unsigned int i = 0; i < 300; ++i) {
        char key[kCatalogueKeySize];
        snprintf(key, sizeof key, "%08x", i * 7919u * 2);
        const char* line = catalogue.FindEntry(key);
        ASSERT_TRUE(line) << key;
        EXPECT_EQ(strncmp(line, key, 8), 0);
        snprintf(key, sizeof key, "%08x", i * 7919u * 2 + 1);
        EXPECT_FALSE(catalogue.FindEntry(key)) << key;
    }
    EXPECT_FALSE(catalogue.FindEntry("ffffffff"));
    EXPECT_FALSE(catalogue.FindEntry("/0000000"));  // sorts before every digit
}

TEST(FindEntry, DuplicateKeysFindOneOfThem)
{
    LanguageResources catalogue;
    Load(catalogue, kMarker + "\r\n" + Entry("OK", "SETUPDLG", kDialogText, "first") +
                        Entry("OK", "SETUPDLG", kDialogText, "second"));
    std::string result = Translate(catalogue, "OK", "SETUPDLG", kDialogText);
    EXPECT_TRUE(result == "first" || result == "second") << result;
}

TEST(ArrayAdd, GrowsByAQuarterPlus32)
{
    Array<int> a;
    std::vector<int> capacities;
    for (int i = 0; i < 200; ++i) {
        a.Add(1);
        a[i] = i;
        if (capacities.empty() || capacities.back() != a.Capacity())
            capacities.push_back(a.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{32, 72, 122, 184, 262}));
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(a[i], i);
    a.Add(1000);  // more than one growth step: exactly what is needed
    EXPECT_EQ(a.Capacity(), 1200);
    EXPECT_EQ(a.Count(), 1200);
}

}  // namespace
