// Placeholder until the catalogue lands: no language file is ever loaded.
#include <stdlib.h>
#include <string.h>

#include "lang/language.h"
#include "shell/path.h"

LanguageResources::LanguageResources() : text(nullptr), length(0), rightToLeft(false) {}

LanguageResources::~LanguageResources()
{
    free(text);
}

void LanguageResources::LoadText(char* buffer, int n)
{
    free(buffer);
}

void LanguageResources::TranslateText(char* dest, size_t destSize, const char* source, const char* context,
                                      TextKind kind) const
{
    if (dest != source)
        CopyText(dest, destSize, source);
}

const char* LanguageResources::FindEntry(const char* key) const
{
    return nullptr;
}
