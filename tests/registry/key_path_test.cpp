// Key path forming, as plain logic: relative to the settings root under
// HKEY_CURRENT_USER, never cut to fit a buffer.
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "registry/key_path.h"

namespace {

TEST(FormatKeyPath, Cases)
{
    static const struct {
        bool currentUser;
        const char* keyPath;
        const char* resolved;
    } cases[] = {
        {true, "", "Software\\Vexora"},
        {true, "Setup\\Links", "Software\\Vexora\\Setup\\Links"},
        {true, "\\Software\\Classes", "Software\\Classes"},
        {true, "\\", ""},
        {true, "\\\\x", "\\x"},  // only the first backslash goes
        {false, "", ""},
        {false, ".zip", ".zip"},
        {false, "\\Software\\X", "\\Software\\X"},  // kept under other roots
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keyPath);
        char dest[256];
        EXPECT_TRUE(FormatKeyPath(c.currentUser, c.keyPath, dest, sizeof dest));
        EXPECT_STREQ(dest, c.resolved);
    }
}

// The result with its terminator exactly filling the buffer fits; one byte
// more fails with an empty result and nothing written past the buffer.
TEST(FormatKeyPath, NeverCutsOrOverruns)
{
    static const struct {
        bool currentUser;
        const char* keyPath;
    } cases[] = {
        {true, "Setup\\Links"}, {true, ""}, {true, "\\Software\\Other"}, {false, "Vexora.ZIP\\shell"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keyPath);
        char full[64];
        ASSERT_TRUE(FormatKeyPath(c.currentUser, c.keyPath, full, sizeof full));
        size_t need = strlen(full) + 1;
        for (size_t size : {need, need - 1}) {
            char dest[80];
            memset(dest, 'X', sizeof dest);
            bool fits = FormatKeyPath(c.currentUser, c.keyPath, dest, size);
            EXPECT_EQ(fits, size == need) << size;
            EXPECT_STREQ(dest, fits ? full : "");
            EXPECT_EQ(std::string(dest + size, sizeof dest - size), std::string(sizeof dest - size, 'X'));
        }
    }
    char none = 'X';
    EXPECT_FALSE(FormatKeyPath(false, "", &none, 0));
    EXPECT_EQ(none, 'X');
}

TEST(FormatChildPath, NeverCutsOrOverruns)
{
    char dest[16];
    memset(dest, 'X', sizeof dest);
    EXPECT_TRUE(FormatChildPath("abc\\de", "fghi", dest, 12));
    EXPECT_STREQ(dest, "abc\\de\\fghi");
    memset(dest, 'X', sizeof dest);
    EXPECT_FALSE(FormatChildPath("abc\\de", "fghi", dest, 11));
    EXPECT_STREQ(dest, "");
    EXPECT_EQ(std::string(dest + 11, 5), "XXXXX");
}

}  // namespace
