#include "shell/path.h"

#include <string.h>

void MakeLeadByteTable(LeadByteTable& table, bool shiftJis)
{
    memset(table.entry, 0, sizeof table.entry);
    if (!shiftJis)
        return;
    for (int b = 0x81; b <= 0x9F; ++b)
        table.entry[b] = 1;
    for (int b = 0xE0; b <= 0xFC; ++b)
        table.entry[b] = 1;
    table.entry[kMultiByteFlag] = 1;
}

bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

const char* NextChar(const LeadByteTable& table, const char* p)
{
    return p + (table.entry[static_cast<unsigned char>(*p)] == 1 ? 2 : 1);
}

const char* PathNamePart(const LeadByteTable& table, const char* path)
{
    const bool multiByte = table.entry[kMultiByteFlag] == 1;
    const char* name = nullptr;
    for (const char* p = path; *p != 0;) {
        if (IsPathSeparator(*p))
            name = p + 1;
        // A lead byte right before the terminator would step past it.
        if (multiByte && table.entry[static_cast<unsigned char>(*p)] == 1 && p[1] != 0)
            p += 2;
        else
            ++p;
    }
    if (name)
        return name;
    if (path[0] != 0 && path[1] == ':' &&
        (!multiByte || table.entry[static_cast<unsigned char>(path[0])] != 1))
        return path + 2;
    return path;
}

char* PathNamePart(const LeadByteTable& table, char* path)
{
    return const_cast<char*>(PathNamePart(table, static_cast<const char*>(path)));
}

bool AddTrailingSlash(char* path, size_t size)
{
    size_t n = strlen(path);
    if (n == 0 || path[n - 1] == '\\')
        return true;
    if (n + 2 > size)
        return false;
    path[n] = '\\';
    path[n + 1] = 0;
    return true;
}

char* TrimLineEnd(char* s)
{
    for (size_t n = strlen(s); n > 0; --n) {
        char c = s[n - 1];
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t')
            break;
        s[n - 1] = 0;
    }
    return s;
}

bool CopyText(char* dst, size_t size, const char* src)
{
    size_t n = strlen(src);
    if (size == 0)
        return false;
    if (n >= size) {
        dst[0] = 0;
        return false;
    }
    memcpy(dst, src, n + 1);
    return true;
}

bool AppendText(char* dst, size_t size, const char* src)
{
    size_t have = strlen(dst);
    size_t n = strlen(src);
    if (have + n >= size)
        return false;
    memcpy(dst + have, src, n + 1);
    return true;
}
