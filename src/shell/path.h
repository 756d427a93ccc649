// Path helpers over ANSI strings. Plain logic: the lead-byte table is passed
// in, so the host tests can exercise code page 932 without Windows.
#pragma once
#include <stddef.h>

// Entries 0-255: 1 for a lead byte of a double-byte character.
// Entry 256: 1 when the code page has characters of more than one byte.
struct LeadByteTable {
    unsigned char entry[257];
};
enum { kMultiByteFlag = 256 };

// Fills the table for code page 932 (Shift JIS) or a single-byte one; for tests.
void MakeLeadByteTable(LeadByteTable& table, bool shiftJis);

bool IsPathSeparator(char c);
const char* NextChar(const LeadByteTable& table, const char* p);
// Where the name part of the path begins (see the C:name and C: rules).
const char* PathNamePart(const LeadByteTable& table, const char* path);
char* PathNamePart(const LeadByteTable& table, char* path);

// Appends "\\" unless the string is empty or ends in one. False, and the
// string unchanged, when the buffer has no room for it.
bool AddTrailingSlash(char* path, size_t size);
// Cuts trailing CR, LF, blanks and tabs in place; returns the string.
char* TrimLineEnd(char* s);

// Copies src into dst; false (dst empty) when it does not fit. Never cuts.
bool CopyText(char* dst, size_t size, const char* src);
// Appends src to the text in dst; false (dst unchanged) when it does not fit.
bool AppendText(char* dst, size_t size, const char* src);
