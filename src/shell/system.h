// The Win32 side of the shell helpers: the process-wide lead-byte table, the
// OS family probe, sibling paths and program start.
#pragma once
#include <windows.h>
#include "shell/path.h"

enum { kPathSize = 1024 };

// Built during static initialisation, before WinMain (see process_objects_win.cpp).
extern LeadByteTable LeadBytes;
void InitLeadByteTable(LeadByteTable& table);

// 0 on the 9x family, the major version on the NT family. Callers test zero only.
DWORD NtMajorVersion();

// PathNamePart over the process-wide table.
char* PathNamePart(char* path);

// The program's own module file name with its name part replaced by name:
// the path of a file beside the running program. False when it does not fit.
bool GetSiblingPath(const char* name, char* out, size_t size);

bool LaunchProgram(char* commandLine, const char* currentDirectory, DWORD waitMs);
