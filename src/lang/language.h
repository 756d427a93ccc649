// The language file catalogue ("uninstall.lng") and its lookup. The parsing,
// conversion, indexing and lookup are plain code; reading the file and the
// dialogs are the Win32 edge (language_file_win.cpp, dialog_localize_win.cpp).
#pragma once
#include <stddef.h>

#include "lang/array.h"

enum TextKind { kMessageText = 0, kDialogText = 1 };

enum {
    kCatalogueReadSize = 65536,      // bytes taken from the marker on
    kCatalogueBufferSize = 65536 + 1024,
    kMessageTextSize = 256,
    kDialogTextSize = 1024,
    kScaleTextSize = 512,
};

unsigned int Crc32Update(unsigned int crc, const void* bytes, size_t length);

enum { kCatalogueKeySize = 9 };
// The eight lowercase hex digits under which the catalogue holds the
// translation of source (context may be null).
void MakeCatalogueKey(char* key, const char* source, const char* context, TextKind kind);

class LanguageResources {
public:
    LanguageResources();
    ~LanguageResources();

    // Reads the catalogue beside the program, then decides the text direction.
    void Load(const char* fileName);
    // The catalogue part of Load: fileName beside the program, no direction.
    void ReadCatalogue(const char* fileName);
    bool IsLoaded() const { return text != nullptr; }

    // Writes the translation of source (or source itself) into dest, which holds
    // destSize bytes; dest may be source.
    void TranslateText(char* dest, size_t destSize, const char* source, const char* context, TextKind kind) const;
    const char* FindEntry(const char* key) const;

    // The plain part of loading, for the host tests and the fuzzer: takes
    // ownership of a buffer of kCatalogueBufferSize bytes holding length bytes
    // read from the marker on (-1 for a failed read), converts and indexes it,
    // in place of any catalogue loaded before.
    void LoadText(char* buffer, int length);
    // Back to the empty, left-to-right catalogue.
    void Clear();

    bool RightToLeft() const { return rightToLeft; }
    void SetRightToLeft(bool rtl) { rightToLeft = rtl; }

    char* text;
    int length;
    Array<int> index;
    bool rightToLeft;

private:
    LanguageResources(const LanguageResources&) = delete;
    LanguageResources& operator=(const LanguageResources&) = delete;
};

// Position of the 13-byte marker in a block, or -1.
int FindCatalogueMarker(const char* block, int n);

extern LanguageResources Lang;
