#include "uninstall/list_file.h"

#include <string.h>

#include "shell/path.h"

const char kListFileName[] = "Uninstall.lst";

bool MakeProgramFolder(const char* programPath, char* folder, size_t size)
{
    if (size)
        folder[0] = 0;
    // A byte search is enough: the program's own file name holds no
    // double-byte character, so its last backslash byte is the separator.
    const char* slash = strrchr(programPath, '\\');
    if (!slash)
        return false;
    size_t n = static_cast<size_t>(slash - programPath);
    if (n > 0 && programPath[n - 1] == ':')
        ++n;
    if (n >= size)
        return false;
    memcpy(folder, programPath, n);
    folder[n] = 0;
    return true;
}

bool ReadListLine(FILE* list, char* line, size_t size)
{
    for (;;) {
        size_t n = 0;
        bool any = false;
        bool whole = size > 0;
        int c;
        while ((c = getc(list)) != EOF && c != '\n') {
            any = true;
            if (c == 0 || n + 1 >= size)
                whole = false;
            else
                line[n++] = static_cast<char>(c);
        }
        if (c == '\n')
            any = true;
        if (!any)
            return false;
        if (whole) {
            line[n] = 0;
            return true;
        }
    }
}

namespace {

// "..", and the forms the system reads as ".." once it drops a component's
// trailing dots and blanks.
bool IsClimbingComponent(const char* begin, const char* end)
{
    int dots = 0;
    for (const char* p = begin; p < end; ++p) {
        if (*p == '.')
            ++dots;
        else if (*p != ' ')
            return false;
    }
    return dots >= 2;
}

}  // namespace

bool IsSafeListEntry(const char* entry)
{
    if (IsPathSeparator(entry[0]) && IsPathSeparator(entry[1]))
        return false;
    if (strchr(entry, ':'))
        return false;
    // Separators are found byte by byte: in a double-byte code page that can
    // only split more finely, never hide a real "..".
    const char* begin = entry;
    for (const char* p = entry;; ++p) {
        if (*p == 0 || IsPathSeparator(*p)) {
            if (IsClimbingComponent(begin, p))
                return false;
            if (*p == 0)
                return true;
            begin = p + 1;
        }
    }
}

bool MakeEntryPath(const char* folderPrefix, const char* entry, char* out, size_t size)
{
    if (size)
        out[0] = 0;
    if (entry[0] == 0 || !IsSafeListEntry(entry))
        return false;
    if (!CopyText(out, size, folderPrefix) || !AppendText(out, size, entry)) {
        if (size)
            out[0] = 0;
        return false;
    }
    return true;
}
