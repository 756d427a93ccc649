// The removal run: confirmation, registrations undone, listed files deleted.
#pragma once
#include <stdio.h>

void RunUninstall();
void RemoveIntegration();

// Deletes the list's entries, joined to folderPrefix (which ends in a
// backslash), in passes from the list's current position until a pass
// deletes nothing. Returns the number of passes.
int DeleteListedEntries(FILE* list, const char* folderPrefix);
