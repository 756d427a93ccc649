// The layer's own operations, for registry_win.cpp and its tests.
#pragma once
#include "registry/registry.h"

// Null when the key cannot be created or opened (or its path does not fit).
HKEY CreateRegKey(HKEY root, const char* keyPath);  // KEY_WRITE, missing parents created
HKEY OpenRegKey(HKEY root, const char* keyPath);    // KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS
bool CloseRegKey(HKEY key);
// On failure (also a value of more than 4 bytes) stores fallback and returns false.
bool QueryRegDword(HKEY root, const char* keyPath, const char* name, DWORD* dest, DWORD fallback);

// Tree deletion on a path already resolved.
void DeleteResolvedTree(HKEY root, const char* path);
void DeleteTreePass(HKEY root, const char* path);

// Null in the program. When set, called after every pass of a tree deletion
// with the number of keys that pass deleted; it must not change the registry.
extern void (*TreePassDone)(int deleted);
