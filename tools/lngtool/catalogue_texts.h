// Every catalogue entry the program looks up, derived from its resource
// script: per dialog its scale entry, caption and non-empty control texts,
// then the direction entry, then the string table. Plain logic.
#pragma once
#include <stddef.h>

#include <string>
#include <vector>

#include "lang/language.h"
#include "resource_script.h"

enum class TextRole { kScale, kDialogText, kDirection, kMessage };

struct CatalogueText {
    TextRole role;
    TextKind kind;
    std::string context;  // empty for message texts
    std::string source;
    std::string where;    // for people: "SETUPDLG, button IDOK (50 x 14)"
    size_t bufferSize;    // of the program's buffer that receives the translation
    std::string key;
    // Used as a printf format: a translation must keep exactly one "%s".
    bool IsFormat() const;
};

// Texts with the same key (the same text twice in one dialog) are listed
// once, with all their places in where.
std::vector<CatalogueText> ListCatalogueTexts(const ResourceScript& script);

// Index into texts of the entry with this key, or -1.
int FindCatalogueText(const std::vector<CatalogueText>& texts, const std::string& key);

std::string CatalogueKey(const std::string& source, const char* context, TextKind kind);
