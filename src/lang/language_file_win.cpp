// Reading the language file beside the program into the catalogue.
#include <stdlib.h>

#include "fileio/file.h"
#include "lang/dialog_localize.h"
#include "lang/language.h"
#include "lang/marker_search.h"
#include "shell/system.h"

namespace {

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
