// Writing language files: the template to translate and the
// pseudo-translation. Plain logic.
#pragma once
#include <string>
#include <vector>

#include "catalogue_texts.h"

// A text as a language file value: quote, backslash, line feed, carriage
// return and tab escaped.
std::string EscapeValue(const std::string& text);

// A complete "uninstall.lng": header, marker line, then each text with a
// comment line naming where it appears and its source, and its untranslated
// text (scale entries "100*100", the direction "LTR") as its value.
std::string WriteTemplate(const std::vector<CatalogueText>& texts);

// The template with every text pseudo-translated, and scale entries "120*110".
std::string WritePseudoTranslation(const std::vector<CatalogueText>& texts);

// A third longer, accented (Windows-1252), in brackets; "&x" mnemonics and
// "%s" / "%%" conversions kept as they are.
std::string PseudoTranslate(const std::string& text);
