// Reading the language file beside the program: the marker search over the
// file's blocks, the read from the marker on, and message texts through it.
#include <gtest/gtest.h>

#include "lang/language.h"
#include "lang/message_text.h"
#include "resources/resource_ids.h"
#include "support/machine_win.h"

namespace {

const std::string kMarker = "***messages**";

std::string Entry(const char* source, const std::string& value)
{
    char key[kCatalogueKeySize];
    MakeCatalogueKey(key, source, nullptr, kMessageText);
    return std::string(key) + "=\"" + value + "\"\r\n";
}

// A language file beside the test program, under a name of the test's own
// (the real name would be seen by programs started from the same folder).
class SiblingFile {
public:
    SiblingFile(const std::string& bytes)
    {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        name = std::string("lang-") + test->test_suite_name() + "-" + test->name() + ".lng";
        EXPECT_TRUE(machine::WriteFile(machine::BinDir() + name, bytes));
    }
    ~SiblingFile() { DeleteFileA((machine::BinDir() + name).c_str()); }
    const char* Name() const { return name.c_str(); }

private:
    std::string name;
};

std::string Filler(size_t n)
{
    std::string s(n, '.');
    for (size_t i = 63; i < n; i += 64)
        s[i] = '\n';
    return s;
}

// Loads the file and tells whether "Uninstall completed" was translated.
bool Translates(const std::string& bytes, bool* loaded)
{
    SiblingFile file(bytes);
    LanguageResources catalogue;
    catalogue.ReadCatalogue(file.Name());
    *loaded = catalogue.IsLoaded();
    char text[kMessageTextSize];
    catalogue.TranslateText(text, sizeof text, "Uninstall completed", nullptr, kMessageText);
    return std::string(text) == "Fertig";
}

TEST(ReadCatalogue, MarkerSearch)
{
    // Blocks of 8192 bytes start every 8176 bytes; the sixteenth ends at
    // 15 * 8176 + 8192 = 130832, so a marker must start by 130819.
    const std::string entry = "\r\n" + Entry("Uninstall completed", "Fertig");
    static const struct {
        const char* name;
        size_t at;
        std::string marker;
        bool found;
    } cases[] = {
        {"at the start", 0, kMarker, true},
        {"after other text", 100, kMarker, true},
        {"cut by the first block's end", 8192 - 7, kMarker, true},
        {"ends the first block", 8192 - 13, kMarker, true},
        {"last place in the sixteenth block", 130819, kMarker, true},
        {"one byte later", 130820, kMarker, false},
        {"two asterisks only", 0, "**messages**", false},
        {"uppercase", 0, "***MESSAGES**", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool loaded = false;
        EXPECT_EQ(Translates(Filler(c.at) + c.marker + entry, &loaded), c.found);
        EXPECT_EQ(loaded, c.found);
    }
}

TEST(ReadCatalogue, ShortFiles)
{
    static const struct {
        const char* name;
        std::string bytes;
        bool loaded;
    } cases[] = {
        {"empty", "", false},
        // A first read under 16 bytes ends the search.
        {"marker and line end, 15 bytes", kMarker + "\r\n", false},
        {"marker and three bytes", kMarker + "\r\n\r", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool loaded = false;
        Translates(c.bytes, &loaded);
        EXPECT_EQ(loaded, c.loaded);
    }
}

TEST(ReadCatalogue, MissingFileLoadsNothing)
{
    LanguageResources catalogue;
    catalogue.ReadCatalogue("lang-no-such-file.lng");
    EXPECT_FALSE(catalogue.IsLoaded());
}

TEST(ReadCatalogue, Takes65536BytesFromTheMarker)
{
    // The cut counts from the marker, not from the file's start.
    const std::string head = Filler(3000) + kMarker + "\r\n";
    const std::string inside = Entry("Uninstall completed", "Fertig");
    const std::string beyond = Entry("Uninstall Vexora", "Entfernen");
    std::string file = head + Filler(65536 - (head.size() - 3000) - inside.size() - 2) + "\r\n" + inside;
    ASSERT_EQ(file.size() - 3000, 65536u);
    file += beyond + Entry("Vexora help", "Hilfe");

    SiblingFile sibling(file);
    LanguageResources catalogue;
    catalogue.ReadCatalogue(sibling.Name());
    ASSERT_TRUE(catalogue.IsLoaded());
    EXPECT_LE(catalogue.length, 65536);
    static const struct {
        const char* source;
        const char* result;
    } cases[] = {
        {"Uninstall completed", "Fertig"}, {"Uninstall Vexora", "Uninstall Vexora"}, {"Vexora help", "Vexora help"},
    };
    for (const auto& c : cases) {
        char text[kMessageTextSize];
        catalogue.TranslateText(text, sizeof text, c.source, nullptr, kMessageText);
        EXPECT_STREQ(text, c.result);
    }
}

TEST(ReadCatalogue, FileHeldOpenForWritingIsRead)
{
    SiblingFile sibling(kMarker + "\r\n" + Entry("Uninstall completed", "Fertig"));
    HANDLE writer = CreateFileA((machine::BinDir() + sibling.Name()).c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    LanguageResources catalogue;
    catalogue.ReadCatalogue(sibling.Name());
    CloseHandle(writer);
    EXPECT_TRUE(catalogue.IsLoaded());
}

class MessageTextTest : public testing::Test {
protected:
    void SetUp() override
    {
        ProgramInstance = ResourceInstance = GetModuleHandleA(nullptr);
        Lang.Clear();
    }
    void TearDown() override { Lang.Clear(); }
};

TEST_F(MessageTextTest, TranslatedThroughTheLanguageFile)
{
    SiblingFile sibling(kMarker + "\r\n" + Entry("Uninstall completed", "Deinstallation abgeschlossen") +
                        Entry("Vexora help", std::string(300, 'h')));
    Lang.ReadCatalogue(sibling.Name());
    ASSERT_TRUE(Lang.IsLoaded());
    EXPECT_STREQ(GetMessageText(IDS_UNINSTALL_COMPLETED), "Deinstallation abgeschlossen");
    EXPECT_STREQ(GetMessageText(IDS_CAPTION), "Uninstall Vexora");  // no entry
    EXPECT_EQ(std::string(GetMessageText(IDS_HELP_LINK)), std::string(255, 'h'));  // cut to the ring's 256 bytes
    EXPECT_STREQ(GetMessageText(4711), "");  // no such string
}

TEST_F(MessageTextTest, RingHoldsEightTexts)
{
    const char* first = GetMessageText(IDS_DISPLAY_NAME);
    const char* held[7];
    for (int i = 0; i < 7; ++i)
        held[i] = GetMessageText(IDS_HELP_LINK + i);
    EXPECT_STREQ(first, "Vexora archiver");
    const char* ninth = GetMessageText(IDS_VEX_CLASS);
    EXPECT_EQ(ninth, first);
    EXPECT_STREQ(first, "Vexora archive");
    EXPECT_STREQ(held[0], "Vexora help");
    EXPECT_STREQ(held[6], "Cannot open list file %s");
}

}  // namespace
