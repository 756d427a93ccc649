// Scale entries and the rescaling arithmetic, as plain logic.
#include <gtest/gtest.h>
#include <limits.h>

#include "lang/dialog_scale.h"

namespace {

TEST(ParseScaleEntry, Cases)
{
    static const struct {
        const char* entry;
        int sx, sy;
        bool scaled;
    } cases[] = {
        {"", 100, 100, false},
        {"120", 100, 100, false},  // no "*": no scaling at all
        {"100*100", 100, 100, false},
        {"120*110", 120, 110, true},
        {"90*", 90, 0, true},
        {"*", 0, 0, true},
        {" 120 * \t110", 120, 110, true},
        {"+80*-5", 80, -5, true},
        {"12x*3y", 12, 3, true},
        {"120*110*90", 120, 110, true},
        {"x100*100", 0, 100, true},
        {"99999999999*100", INT_MAX, 100, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        int sx = -1, sy = -1;
        EXPECT_EQ(ParseScaleEntry(c.entry, &sx, &sy), c.scaled);
        EXPECT_EQ(sx, c.sx);
        EXPECT_EQ(sy, c.sy);
    }
}

TEST(ScaleLength, MultipliesFirstAndTruncatesTowardZero)
{
    static const struct {
        int length, percent, result;
    } cases[] = {
        {331, 120, 397}, {3, 33, 0}, {199, 50, 99}, {-1, 110, -1}, {-7, 90, -6}, {-1, 50, 0}, {1000000, 3000, 30000000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleLength(c.length, c.percent), c.result) << c.length << " at " << c.percent << "%";
}

TEST(ScaleControlPlace, Formulas)
{
    // A dialog at (100,50) with a 3-pixel frame (frameX 7) and a control
    // whose top lies above the client area's scaled origin.
    ScaleRect dialog = {100, 50, 500, 350};
    ScaleRect control = {110, 75, 160, 89};
    ScaledPlace p = ScaleControlPlace(control, dialog, 7, 26, 120, 110);
    EXPECT_EQ(p.x, (110 - 100 - 3) * 120 / 100);
    EXPECT_EQ(p.y, -1);  // (75 - 50 - 26) * 110 / 100 = -1.1, toward zero
    EXPECT_EQ(p.width, 51 * 120 / 100);
    EXPECT_EQ(p.height, 15 * 110 / 100);
}

}  // namespace
