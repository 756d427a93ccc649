// Every key is opened and closed within one call; no handle outlives it.
// Nothing here reports a failure: writes and deletions fail silently, reads
// fall back to the caller's value. A path that does not fit its buffer makes
// the operation behave as if the key could not be opened.
#include "registry/registry_internal.h"

#include <string.h>

#include "registry/key_path.h"
#include "shell/path.h"
#include "shell/system.h"

// Keys deleted during the current pass of a tree deletion. One tree deletion
// at a time: the program has one thread.
static int PassCounter;
void (*TreePassDone)(int deleted);

bool ResolveKeyPath(HKEY root, const char* keyPath, char* dest, size_t destSize)
{
    return FormatKeyPath(root == HKEY_CURRENT_USER, keyPath, dest, destSize);
}

HKEY CreateRegKey(HKEY root, const char* keyPath)
{
    char path[kResolvedPathSize];
    HKEY key;
    if (!ResolveKeyPath(root, keyPath, path, sizeof path) ||
        RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY OpenRegKey(HKEY root, const char* keyPath)
{
    char path[kResolvedPathSize];
    HKEY key;
    if (!ResolveKeyPath(root, keyPath, path, sizeof path) ||
        RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool CloseRegKey(HKEY key)
{
    return RegCloseKey(key) == ERROR_SUCCESS;
}

static void SetValue(HKEY root, const char* keyPath, const char* name, DWORD type, const void* bytes, DWORD size)
{
    HKEY key = CreateRegKey(root, keyPath);
    if (!key)
        return;
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(bytes), size);
    CloseRegKey(key);
}

void WriteRegString(HKEY root, const char* keyPath, const char* name, const char* text)
{
    SetValue(root, keyPath, name, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1));
}

void WriteRegDword(HKEY root, const char* keyPath, const char* name, DWORD value)
{
    SetValue(root, keyPath, name, REG_DWORD, &value, sizeof value);
}

void WriteRegBinary(HKEY root, const char* keyPath, const char* name, const void* bytes, DWORD size)
{
    SetValue(root, keyPath, name, REG_BINARY, bytes, size);
}

// The stored bytes, whatever their type, as a terminated text within destSize.
static bool QueryText(HKEY root, const char* keyPath, const char* name, char* dest, DWORD destSize)
{
    if (destSize == 0)
        return false;
    HKEY key = OpenRegKey(root, keyPath);
    if (!key)
        return false;
    DWORD size = destSize;
    LONG status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(dest), &size);
    CloseRegKey(key);
    if (status != ERROR_SUCCESS)
        return false;
    // Another program may have stored a string without its terminating zero:
    // terminate it here, and when it fills the buffer it did not fit.
    if (size < destSize)
        dest[size] = 0;
    else if (size > destSize || dest[destSize - 1] != 0)
        return false;
    return true;
}

bool ReadRegString(HKEY root, const char* keyPath, const char* name, char* dest, const char* fallback,
                   DWORD destSize)
{
    if (QueryText(root, keyPath, name, dest, destSize))
        return true;
    // Callers pass fallbacks shorter than their buffers; a longer one leaves it empty.
    CopyText(dest, destSize, fallback);
    return false;
}

bool QueryRegDword(HKEY root, const char* keyPath, const char* name, DWORD* dest, DWORD fallback)
{
    // A value shorter than 4 bytes fills only the low bytes.
    *dest = 0;
    LONG status = ERROR_FILE_NOT_FOUND;
    if (HKEY key = OpenRegKey(root, keyPath)) {
        DWORD size = sizeof *dest;
        status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(dest), &size);
        CloseRegKey(key);
    }
    if (status == ERROR_SUCCESS)
        return true;
    *dest = fallback;
    return false;
}

DWORD ReadRegDword(HKEY root, const char* keyPath, const char* name, DWORD fallback)
{
    DWORD value;
    QueryRegDword(root, keyPath, name, &value, fallback);
    return value;
}

bool ReadRegBinary(HKEY root, const char* keyPath, const char* name, void* dest, DWORD destSize, DWORD* size)
{
    *size = 0;
    HKEY key = OpenRegKey(root, keyPath);
    if (!key)
        return false;
    DWORD stored = destSize;
    LONG status = RegQueryValueExA(key, name, nullptr, nullptr, static_cast<BYTE*>(dest), &stored);
    CloseRegKey(key);
    if (status != ERROR_SUCCESS)
        return false;
    *size = stored;
    return true;
}

// On the NT family this deletes only a key without subkeys, on the 9x family
// the whole subtree.
void DeleteRegKey(HKEY root, const char* keyPath)
{
    char path[kResolvedPathSize];
    // The empty path would name the root itself.
    if (ResolveKeyPath(root, keyPath, path, sizeof path) && path[0] != 0)
        RegDeleteKeyA(root, path);
}

void DeleteRegValue(HKEY root, const char* keyPath, const char* name)
{
    char path[kResolvedPathSize];
    HKEY key;
    if (!ResolveKeyPath(root, keyPath, path, sizeof path) ||
        RegOpenKeyExA(root, path, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    CloseRegKey(key);
}

bool RegKeyExists(HKEY root, const char* keyPath)
{
    char path[kResolvedPathSize];
    HKEY key;
    if (!ResolveKeyPath(root, keyPath, path, sizeof path) ||
        RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    CloseRegKey(key);
    return true;
}

void DeleteRegTree(HKEY root, const char* keyPath)
{
    char path[kTreePathSize];
    if (ResolveKeyPath(root, keyPath, path, sizeof path))
        DeleteResolvedTree(root, path);
}

// On the 9x family RegDeleteKeyA takes the subtree with the key. On the NT
// family it deletes only a key without subkeys, so passes repeat until one
// deletes nothing: that ends a finished deletion as well as one that is stuck
// on a key it cannot delete.
void DeleteResolvedTree(HKEY root, const char* path)
{
    if (NtMajorVersion() == 0 && path[0] != 0 && RegDeleteKeyA(root, path) == ERROR_SUCCESS)
        return;
    do {
        PassCounter = 0;
        DeleteTreePass(root, path);
        if (TreePassDone)
            TreePassDone(PassCounter);
    } while (PassCounter != 0);
}

// Every key is addressed by its full path from the root. The index advances
// after each child whether or not it went, so one pass deletes only part of
// the children; the next pass takes the rest.
void DeleteTreePass(HKEY root, const char* path)
{
    // A root is never deleted.
    if (path[0] == 0)
        return;
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    char name[kTreeNameSize];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        char child[kTreeChildPathSize];
        // A child whose path does not fit is left, like one that cannot be opened.
        if (FormatChildPath(path, name, child, sizeof child))
            DeleteTreePass(root, child);
    }
    CloseRegKey(key);
    if (RegDeleteKeyA(root, path) == ERROR_SUCCESS)
        ++PassCounter;
}

void WriteSettingString(const char* keyPath, const char* name, const char* text)
{
    WriteRegString(HKEY_CURRENT_USER, keyPath, name, text);
}

void WriteSettingDword(const char* keyPath, const char* name, DWORD value)
{
    WriteRegDword(HKEY_CURRENT_USER, keyPath, name, value);
}

bool ReadSettingString(const char* keyPath, const char* name, char* dest, const char* fallback, DWORD destSize)
{
    return ReadRegString(HKEY_CURRENT_USER, keyPath, name, dest, fallback, destSize);
}

DWORD ReadSettingDword(const char* keyPath, const char* name, DWORD fallback)
{
    return ReadRegDword(HKEY_CURRENT_USER, keyPath, name, fallback);
}
