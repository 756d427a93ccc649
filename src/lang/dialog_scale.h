// The arithmetic of a rescaled dialog, apart from the windows it moves.
// Plain logic.
#pragma once

struct ScaleRect {
    int left, top, right, bottom;
};

struct ScaledPlace {
    int x, y, width, height;
};

// Reads a scale entry "<horizontal>*<vertical>" (percent, each number read as
// atol reads it); both are 100 without a "*". True unless both are 100.
bool ParseScaleEntry(const char* entry, int* sx, int* sy);

// length * percent / 100, multiplied first, truncated toward zero.
int ScaleLength(int length, int percent);

// Where a control goes: control and dialog are screen rectangles taken before
// anything moved; frameX and frameY are the dialog's frame sizes.
ScaledPlace ScaleControlPlace(const ScaleRect& control, const ScaleRect& dialog, int frameX, int frameY, int sx,
                              int sy);
