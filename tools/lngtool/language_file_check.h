// What would go wrong with a language file in the program: each finding
// with its line. Plain logic over the program's own marker search, catalogue
// conversion and lookup.
#pragma once
#include <string>
#include <vector>

#include "catalogue_texts.h"

struct Finding {
    int line;  // 1-based; 0 for the file as a whole
    bool error;
    std::string message;
};

// Errors are what breaks or loses a translation; warnings what leaves a text
// untranslated or is useless. Sorted by line, those of the whole file last.
std::vector<Finding> CheckLanguageFile(const std::string& bytes, const std::vector<CatalogueText>& texts);

// The first byte past the part of a file in which the program finds the marker.
long long MarkerSearchLimit();
