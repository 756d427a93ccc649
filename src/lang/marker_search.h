// The search for the catalogue's marker in the first blocks of a language
// file. Plain logic over any reader with Tell, Read and Seek, so that the
// program's File and the translator's tool find the same marker or none.
#pragma once
#include "lang/language.h"

enum {
    kSearchBlockSize = 8192,
    kSearchBlocks = 16,
    // Each block repeats the end of the one before, so a marker cut by a
    // block boundary is seen whole in the next.
    kSearchOverlap = 16,
};

// File position of the marker, or -1. Reader: long long Tell(),
// int Read(void*, int) (-1 on failure), void Seek(long long).
template <class Reader>
long long FindMarker(Reader& file)
{
    char block[kSearchBlockSize];
    for (int pass = 0; pass < kSearchBlocks; ++pass) {
        long long position = file.Tell();
        int n = file.Read(block, sizeof block);
        if (n < kSearchOverlap)
            return -1;
        int i = FindCatalogueMarker(block, n);
        if (i >= 0)
            return position + i;
        file.Seek(position + n - kSearchOverlap);
    }
    return -1;
}
