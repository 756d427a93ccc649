// Links on the desktop and in the Start menu, and the program groups.
// COM must be initialised on the calling thread.
#pragma once
#include <stddef.h>

#include "filetypes/options.h"

// groupPathOut: a 1024-byte buffer or null; receives the user's group folder
// when the program-group flag is set.
void ApplyLinks(const IntegrationOptions* record, char* groupPathOut);
bool CreateShellLink(const char* target, const char* linkPath, const char* description);
// The buffer must hold one more zero byte after the path's terminator.
bool RemoveFolderTree(char* path, size_t bufferSize);
// buffer of at least MAX_PATH bytes; empty when the folder cannot be located.
void GetDesktopPath(char* buffer);
