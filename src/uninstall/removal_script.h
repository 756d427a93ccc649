// The batch script that deletes the program file and its folder after the
// process has ended.
#pragma once
#include <stddef.h>

#include "uninstall/script_text.h"

// Returns only when the script file cannot be created; otherwise the process
// ends inside with exit code 0.
void WriteSelfRemovalScript(const char* programPath);

// The steps of WriteSelfRemovalScript that do not end the process.

// A form of the path that the interpreter, reading the script in the OEM code
// page, reads back as the same path (no "%" doubled yet). False when there is
// none: a "?" in its place would be a wildcard.
bool GetInterpreterPath(const char* path, char* out, size_t size);
// "<temp folder>Uninstall.Vex.Bat"; false when it does not fit.
bool GetScriptPath(char* out, size_t size);
// The pieces for the program path, the current directory as the folder to
// remove and the script path, for the family NtMajorVersion reports.
bool ComposeSelfRemovalScript(const char* programPath, const char* scriptPath, ScriptPieces* pieces);
// Starts the interpreter on the script, hidden (NT) or detached with "NUL"
// as its standard handles (9x), from the parent of the current directory,
// which it leaves as the current directory.
bool StartSelfRemovalScript(const char* scriptPath);
