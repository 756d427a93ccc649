// Reading the language file beside the program into the catalogue.
#include <stdlib.h>

#include "fileio/file.h"
#include "lang/dialog_localize.h"
#include "lang/language.h"
#include "shell/system.h"

namespace {

enum {
    kSearchBlockSize = 8192,
    kSearchBlocks = 16,
    // Each block repeats the end of the one before, so a marker cut by a
    // block boundary is seen whole in the next.
    kSearchOverlap = 16,
};

// The program's folder (up to its last backslash) followed by fileName.
bool GetCataloguePath(const char* fileName, char* path, size_t size)
{
    DWORD n = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(size));
    if (n == 0 || n >= size)
        return false;
    // A double-byte character's second byte may be a backslash.
    char* folderEnd = nullptr;
    for (char* p = path; *p; ++p) {
        if (*p == '\\')
            folderEnd = p + 1;
        else if (LeadBytes.entry[static_cast<unsigned char>(*p)] == 1 && p[1] != 0)
            ++p;
    }
    if (!folderEnd)
        return false;
    *folderEnd = 0;
    return AppendText(path, size, fileName);
}

// File position of the marker, or -1.
long long FindMarker(File& file)
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

}  // namespace

void LanguageResources::ReadCatalogue(const char* fileName)
{
    char path[kPathSize];
    if (!GetCataloguePath(fileName, path, sizeof path))
        return;
    File file;
    if (!file.Open(path))
        return;
    long long marker = FindMarker(file);
    if (marker < 0)
        return;
    file.Seek(marker);
    char* buffer = static_cast<char*>(malloc(kCatalogueBufferSize));
    if (!buffer)
        return;
    LoadText(buffer, file.Read(buffer, kCatalogueReadSize));
}

void LanguageResources::Load(const char* fileName)
{
    ReadCatalogue(fileName);
    DetectTextDirection();
}
