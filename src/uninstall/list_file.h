// The list file "Uninstall.lst" and the paths made from its entries. Plain
// logic: the deletion itself is in uninstall_win.cpp.
#pragma once
#include <stddef.h>
#include <stdio.h>

enum { kListLineSize = 2048, kEntryPathSize = 1024 };

extern const char kListFileName[];

// The folder of the program path: cut at its last backslash, which stays at
// a drive root ("C:\\"). False when the path holds no backslash or the folder
// does not fit.
bool MakeProgramFolder(const char* programPath, char* folder, size_t size);

// Reads the next line of the list, raw, without its line feed. A line that
// does not fit the buffer, or holds a zero byte, is skipped whole: a piece of
// it is not an entry the installer wrote. False at the end of the file.
bool ReadListLine(FILE* list, char* line, size_t size);

// False for an entry that could name something outside the program folder:
// a "..", a drive or other colon, a leading double separator.
bool IsSafeListEntry(const char* entry);

// folderPrefix (ending in a backslash) followed by the entry. False for an
// empty or unsafe entry and for a path that does not fit; out is then empty.
bool MakeEntryPath(const char* folderPrefix, const char* entry, char* out, size_t size);
