#include "lang/dialog_scale.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

namespace {

// atol's reading without its undefined overflow: out-of-range numbers clamp.
int ReadNumber(const char* s)
{
    long n = strtol(s, nullptr, 10);
    if (n > INT_MAX)
        return INT_MAX;
    if (n < INT_MIN)
        return INT_MIN;
    return static_cast<int>(n);
}

}  // namespace

bool ParseScaleEntry(const char* entry, int* sx, int* sy)
{
    const char* star = strchr(entry, '*');
    if (star) {
        *sx = ReadNumber(entry);
        *sy = ReadNumber(star + 1);
    } else {
        *sx = *sy = 100;
    }
    return *sx != 100 || *sy != 100;
}

int ScaleLength(int length, int percent)
{
    // The product of two ints always fits in 64 bits.
    return static_cast<int>(static_cast<long long>(length) * percent / 100);
}

ScaledPlace ScaleControlPlace(const ScaleRect& control, const ScaleRect& dialog, int frameX, int frameY, int sx,
                              int sy)
{
    ScaledPlace place;
    place.x = ScaleLength(control.left - dialog.left - frameX / 2, sx);
    place.y = ScaleLength(control.top - dialog.top - frameY, sy);
    place.width = ScaleLength(control.right - control.left + 1, sx);
    place.height = ScaleLength(control.bottom - control.top + 1, sy);
    return place;
}
