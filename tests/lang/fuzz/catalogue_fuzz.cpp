// libFuzzer target over the catalogue: loading from bytes, then lookups.
// The host build compiles it with clang and runs it for five seconds as
// the test host.lang.fuzz. A longer run, from the source folder:
//
//   cmake --preset host && cmake --build --preset host
//   mkdir -p build/host/fuzz/long
//   build/host/bin/catalogue_fuzz -max_total_time=600 -dict=tests/lang/fuzz/catalogue.dict \
//       -artifact_prefix=build/host/fuzz/ build/host/fuzz/long tests/lang/fuzz_corpus
//
// New inputs go to build/host/fuzz/long; a crash is saved as
// build/host/fuzz/crash-*, and running the program with that file repeats it.
#include <sanitizer/asan_interface.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "lang/language.h"

ErrorHandler ErrHandler;

namespace {

void Check(bool condition)
{
    if (!condition)
        abort();
}

unsigned int ByteAtATime(unsigned int crc, const unsigned char* p, size_t n)
{
    while (n--) {
        crc ^= *p++;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}

void CheckIndex(const LanguageResources& catalogue)
{
    Check(catalogue.length >= 0 && catalogue.length <= kCatalogueReadSize);
    Check(catalogue.text[catalogue.length] == 0 && strlen(catalogue.text) == static_cast<size_t>(catalogue.length));
    for (int i = 0; i < catalogue.index.Count(); ++i) {
        int k = catalogue.index[i];
        Check(k >= 1 && k < catalogue.length - 8);
        Check(catalogue.text[k - 1] == '\f' && catalogue.text[k] != '\f');
        if (i > 0)
            Check(strncmp(catalogue.text + catalogue.index[i - 1], catalogue.text + k, 8) <= 0);
    }
}

// Translates into a heap buffer of exactly size bytes, so that any write
// beyond it is caught, in both the copying and the in-place form.
void Translate(const LanguageResources& catalogue, const std::string& source, const char* context, TextKind kind,
               size_t size)
{
    char* dest = static_cast<char*>(malloc(size));
    catalogue.TranslateText(dest, size, source.c_str(), context, kind);
    Check(strlen(dest) < size);
    if (source.size() < size) {
        memcpy(dest, source.c_str(), source.size() + 1);
        catalogue.TranslateText(dest, size, dest, context, kind);
        Check(strlen(dest) < size);
    }
    free(dest);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    Check(Crc32Update(0xFFFFFFFFu, data, size) == ByteAtATime(0xFFFFFFFFu, data, size));
    const char* bytes = reinterpret_cast<const char*>(data);
    int marker = FindCatalogueMarker(bytes, static_cast<int>(size));
    Check(marker == -1 || (marker >= 0 && static_cast<size_t>(marker) + 13 <= size));

    int n = size < kCatalogueReadSize ? static_cast<int>(size) : kCatalogueReadSize;
    char* buffer = static_cast<char*>(malloc(kCatalogueBufferSize));
    memcpy(buffer, data, n);
    LanguageResources catalogue;
    catalogue.LoadText(buffer, n);
    CheckIndex(catalogue);
    // Lookups must stop at the terminator, though the buffer goes on.
    char* slack = catalogue.text + catalogue.length + 1;
    size_t slackSize = kCatalogueBufferSize - (catalogue.length + 1);
    ASAN_POISON_MEMORY_REGION(slack, slackSize);

    // Sources: each indexed line's text, and texts whose keys the seeds hold.
    static const struct {
        const char* source;
        const char* context;
        TextKind kind;
    } known[] = {
        {"OK", "SETUPDLG", kDialogText},          {"", "SETUPDLG", kDialogText},
        {"Uninstall completed", nullptr, kMessageText}, {"", "DONEDLG", kDialogText},
        {"LTR", "LTR", kDialogText},
    };
    static const size_t sizes[] = {1, 2, 11, kMessageTextSize, kScaleTextSize, kDialogTextSize};
    for (const auto& k : known)
        for (size_t s : sizes)
            Translate(catalogue, k.source, k.context, k.kind, s);
    for (int i = 0; i < catalogue.index.Count() && i < 64; ++i) {
        const char* line = catalogue.text + catalogue.index[i];
        Check(catalogue.FindEntry(std::string(line, 8).c_str()) != nullptr);
        std::string source(line, strcspn(line, "\f"));
        Translate(catalogue, source, i % 2 ? "SETUPDLG" : nullptr, i % 3 ? kMessageText : kDialogText,
                  sizes[i % 6]);
    }

    ASAN_UNPOISON_MEMORY_REGION(slack, slackSize);
    return 0;
}
