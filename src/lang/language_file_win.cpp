#include "lang/language.h"

void LanguageResources::Load(const char* fileName) {}
