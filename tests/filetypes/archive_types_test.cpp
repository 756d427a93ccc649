// The archive type table and the walk over its extension groups.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "filetypes/options.h"

namespace {

std::vector<std::string> Members(const char* group, size_t size)
{
    std::vector<std::string> out;
    char ext[16];
    for (const char* p = NextExtension(group, ext, size); ext[0] != 0; p = NextExtension(p, ext, size))
        out.push_back(ext);
    return out;
}

// Each row: its check box, its label and the members its group must yield,
// the first being the primary extension that names its stored choice.
TEST(ArchiveTypes, RowsAndMembers)
{
    static const struct {
        const char* label;
        std::vector<std::string> members;
    } rows[kArchiveTypeCount] = {
        {"&VEX", {".vex"}},
        {"&ZIP", {".zip"}},
        {"CAB", {".cab"}},
        {"ARJ", {".arj"}},
        {"LZH", {".lzh", ".lha"}},
        {"ACE", {".ace"}},
        {"TAR", {".tar"}},
        {"GZip", {".gz", ".tgz"}},
        {"UUE", {".uue", ".xxe", ".uu"}},
        {"BZ2", {".bz2", ".tbz2", ".bz", ".tbz"}},
        {"JAR", {".jar"}},
        {"ISO", {".iso"}},
    };
    for (int r = 0; r < kArchiveTypeCount; ++r) {
        const ArchiveType& t = ArchiveTypes[r];
        SCOPED_TRACE(t.extensions);
        EXPECT_EQ(t.control, 5101 + r);
        EXPECT_STREQ(t.label, rows[r].label);
        EXPECT_EQ(Members(t.extensions, 16), rows[r].members);
        EXPECT_EQ(t.primary, rows[r].members[0]);
    }
}

// A member that does not fit the buffer is skipped whole, never cut, and the
// walk goes on with the next one.
TEST(NextExtension, SmallBuffers)
{
    static const struct {
        const char* group;
        size_t size;
        std::vector<std::string> members;
    } cases[] = {
        {".bz2.tbz2.bz.tbz", 5, {".bz2", ".bz", ".tbz"}},
        {".bz2.tbz2.bz.tbz", 4, {".bz"}},
        {".bz2.tbz2.bz.tbz", 3, {}},
        {".uue.xxe.uu", 4, {".uu"}},
        {"", 8, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.group) + " in " + std::to_string(c.size));
        EXPECT_EQ(Members(c.group, c.size), c.members);
    }

    char out[8];
    memset(out, 'X', sizeof out);
    const char* rest = NextExtension(".tbz2", out, 5);
    EXPECT_STREQ(out, "");
    EXPECT_STREQ(rest, "");
    EXPECT_EQ(std::string(out + 1, 7), "XXXXXXX");
    char none = 'X';
    NextExtension(".gz", &none, 0);
    EXPECT_EQ(none, 'X');
}

}  // namespace
