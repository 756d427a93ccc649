// Translated texts that serve as printf formats. Plain logic.
#pragma once

// True when the conversions of format are exactly one "%s" ("%%" anywhere).
bool IsSingleStringFormat(const char* format);
