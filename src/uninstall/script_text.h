// The text of the self-removal script. Plain logic: finding the paths and
// starting the interpreter are in removal_script_win.cpp.
#pragma once
#include <stddef.h>
#include <stdio.h>

enum { kScriptPieceSize = 1024, kScriptAttempts = 5 };

extern const char kScriptName[];

// The three pieces of the script, each formatted once; the attempt block is
// written kScriptAttempts times.
struct ScriptPieces {
    char startLine[kScriptPieceSize];
    char attemptBlock[kScriptPieceSize];
    char finalBlock[kScriptPieceSize];
};

// True when the text has a byte of 0x80 or above.
bool HasHighBytes(const char* text);

// Copies text with every "%" doubled, so that the interpreter does not expand
// it. False (out empty) when it does not fit.
bool DoublePercents(const char* text, char* out, size_t size);

// Formats the pieces from the paths as the interpreter must read them.
// False when a piece does not fit: no script is better than a cut path.
bool ComposeScript(bool ntFamily, const char* programPath, const char* folder, const char* scriptPath,
                   ScriptPieces* pieces);

// Writes the pieces in their order; false on a write error.
bool WriteScript(FILE* file, const ScriptPieces& pieces);
