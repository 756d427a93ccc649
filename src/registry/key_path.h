// How a key path becomes the path handed to the registry functions. Plain
// logic: the caller says whether the root is HKEY_CURRENT_USER.
#pragma once
#include <stddef.h>

// Under HKEY_CURRENT_USER a key path is relative to "Software\\Vexora" (the
// empty path names that key itself) unless it begins with a backslash, which
// takes it from the top of the root. Other roots take the path unchanged.
// False, dest empty, when the result does not fit: a cut path could name a
// different key.
bool FormatKeyPath(bool currentUser, const char* keyPath, char* dest, size_t size);

// "<path>\\<name>"; false, dest empty, when it does not fit.
bool FormatChildPath(const char* path, const char* name, char* dest, size_t size);
