#include "registry/key_path.h"

#include "shell/path.h"

static bool Fail(char* dest, size_t size)
{
    if (size)
        dest[0] = 0;
    return false;
}

bool FormatKeyPath(bool currentUser, const char* keyPath, char* dest, size_t size)
{
    bool fits;
    if (!currentUser)
        fits = CopyText(dest, size, keyPath);
    else if (keyPath[0] == '\\')
        fits = CopyText(dest, size, keyPath + 1);
    else
        fits = CopyText(dest, size, "Software\\Vexora") &&
               (keyPath[0] == 0 || (AppendText(dest, size, "\\") && AppendText(dest, size, keyPath)));
    return fits || Fail(dest, size);
}

bool FormatChildPath(const char* path, const char* name, char* dest, size_t size)
{
    bool fits = CopyText(dest, size, path) && AppendText(dest, size, "\\") && AppendText(dest, size, name);
    return fits || Fail(dest, size);
}
