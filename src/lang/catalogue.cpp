// The catalogue in memory: the text read from the language file with its
// escapes and line ends converted, the sorted index of its line starts, and
// the lookup by catalogue key.
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "lang/language.h"

namespace {

const char kMarker[] = "***messages**";
enum {
    kMarkerLength = sizeof kMarker - 1,
    kKeyLength = 8,
    // The value follows the key, the "=" and the opening quote; those two
    // are not checked.
    kValueOffset = kKeyLength + 2,
    // A value on the catalogue's last line has no line end to stop it.
    kUnendedValueLength = 255,
};
const char kLineBreak = '\f';

// What a backslash followed by c stands for, or 0 when that is no escape.
char Unescape(char c)
{
    switch (c) {
    case '"':
        return '"';
    case '\\':
        return '\\';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    }
    return 0;
}

// In place: the result is never longer. The file's CR and LF become form
// feeds, so that the CR and LF that escapes produce stay part of a line.
int ConvertText(char* text, int length)
{
    int w = 0;
    for (int j = 0; j < length;) {
        char c = text[j];
        if (c == 0)
            break;
        char escaped = (c == '\\' && j + 1 < length) ? Unescape(text[j + 1]) : 0;
        if (escaped) {
            text[w++] = escaped;
            j += 2;
            continue;
        }
        if (c == '\r' || c == '\n')
            c = kLineBreak;
        text[w++] = c;
        ++j;
    }
    text[w] = 0;
    return w;
}

// Copies n bytes, cut to what dest holds, and terminates.
void CopyCut(char* dest, size_t destSize, const char* src, size_t n)
{
    if (n > destSize - 1)
        n = destSize - 1;
    memmove(dest, src, n);
    dest[n] = 0;
}

// Eight bytes as one number that orders like their unsigned byte comparison.
unsigned long long BigEndian64(const char* p)
{
    unsigned long long v;
    memcpy(&v, p, sizeof v);
    return __builtin_bswap64(v);
}

}  // namespace

int FindCatalogueMarker(const char* block, int n)
{
    for (int i = 0; i + kMarkerLength <= n; ++i)
        if (memcmp(block + i, kMarker, kMarkerLength) == 0)
            return i;
    return -1;
}

void MakeCatalogueKey(char* key, const char* source, const char* context, TextKind kind)
{
    const char prefix = kind == kDialogText ? '$' : 's';
    unsigned int crc = Crc32Update(0xFFFFFFFFu, &prefix, 1);
    if (context)
        crc = Crc32Update(crc, context, strlen(context));
    crc = Crc32Update(crc, source, strlen(source));
    // "%08x" by hand: through snprintf the formatting was a third of a lookup.
    crc = ~crc;
    static const char digits[] = "0123456789abcdef";
    for (int i = 7; i >= 0; --i, crc >>= 4)
        key[i] = digits[crc & 0xF];
    key[8] = 0;
}

LanguageResources::LanguageResources() : text(nullptr), length(0), rightToLeft(false) {}

LanguageResources::~LanguageResources()
{
    free(text);
}

void LanguageResources::Clear()
{
    free(text);
    text = nullptr;
    length = 0;
    index.Clear();
    rightToLeft = false;
}

void LanguageResources::LoadText(char* buffer, int n)
{
    Clear();
    if (!buffer)
        return;
    text = buffer;
    // A failed read (-1) still leaves a loaded, empty catalogue.
    n = std::max(0, std::min(n, static_cast<int>(kCatalogueReadSize)));
    length = ConvertText(text, n);
    // A line starting within the last eight characters has no whole key, and
    // its key comparison would reach the terminator.
    for (int k = 1; k < length - kKeyLength; ++k) {
        if (text[k - 1] == kLineBreak && text[k] != kLineBreak) {
            index.Add(1);
            index[index.Count() - 1] = k;
        }
    }
    const char* t = text;
    std::sort(index.Data(), index.Data() + index.Count(),
              [t](int a, int b) { return strncmp(t + a, t + b, kKeyLength) < 0; });
}

const char* LanguageResources::FindEntry(const char* key) const
{
    int base = 0;
    int n = index.Count();
    // A whole key compares as one number with each line's; a shorter one
    // byte by byte, stopping at its end.
    bool whole = strnlen(key, kKeyLength) == kKeyLength;
    unsigned long long wanted = whole ? BigEndian64(key) : 0;
    while (n > 0) {
        int half = n / 2;
        const char* line = text + index[base + half];
        bool less;
        if (whole) {
            unsigned long long have = BigEndian64(line);
            if (wanted == have)
                return line;
            less = wanted < have;
        } else {
            int order = strncmp(key, line, kKeyLength);
            if (order == 0)
                return line;
            less = order < 0;
        }
        // Selected rather than branched on: which half follows is a coin toss
        // that the processor would guess wrong every other step.
        int above = base + half + 1;
        base = less ? base : above;
        n = less ? half : n - half - 1;
    }
    return nullptr;
}

void LanguageResources::TranslateText(char* dest, size_t destSize, const char* source, const char* context,
                                      TextKind kind) const
{
    if (destSize == 0)
        return;
    const char* line = nullptr;
    if (IsLoaded()) {
        char key[kCatalogueKeySize];
        MakeCatalogueKey(key, source, context, kind);
        line = FindEntry(key);
    }
    if (!line) {
        if (dest != source)
            CopyCut(dest, destSize, source, strlen(source));
        return;
    }
    // An indexed line holds its key before the terminator, but the two
    // characters after the key may be the last ones.
    const char* end = text + length;
    const char* value = std::min(line + kValueOffset, end);
    const char* stop = static_cast<const char*>(memchr(value, kLineBreak, end - value));
    if (!stop)
        stop = value + std::min<ptrdiff_t>(end - value, kUnendedValueLength);
    // The closing quote and what follows it go; inner quotes stay.
    for (const char* p = stop; p > value; --p) {
        if (p[-1] == '"') {
            stop = p - 1;
            break;
        }
    }
    CopyCut(dest, destSize, value, stop - value);
}
