// Which translated texts may serve as a format with one string argument.
#include <gtest/gtest.h>

#include "lang/format_text.h"

namespace {

TEST(IsSingleStringFormat, Cases)
{
    static const struct {
        const char* format;
        bool single;
    } cases[] = {
        {"%s", true},
        {"You should delete %s manually", true},
        {"%%%s%%", true},
        {"100%% sure: %s", true},
        {"%s%%", true},
        {"", false},
        {"no conversion", false},
        {"%%s", false},  // a percent sign and an s
        {"%d", false},
        {"%s %s", false},
        {"%s%n", false},
        {"%", false},
        {"%s %", false},
        {"%-5s", false},
        {"%5s", false},
        {"%.3s", false},
        {"%ls", false},
        {"%S", false},
        {"% s", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(IsSingleStringFormat(c.format), c.single);
    }
}

}  // namespace
