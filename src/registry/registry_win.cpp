// Placeholder until the registry layer lands.
#include "registry/registry.h"

bool ResolveKeyPath(HKEY, const char*, char* dest, size_t destSize)
{
    if (destSize)
        dest[0] = 0;
    return false;
}
void WriteRegString(HKEY, const char*, const char*, const char*) {}
void WriteRegDword(HKEY, const char*, const char*, DWORD) {}
void WriteRegBinary(HKEY, const char*, const char*, const void*, DWORD) {}
bool ReadRegString(HKEY, const char*, const char*, char* dest, const char* fallback, DWORD)
{
    lstrcpyA(dest, fallback);
    return false;
}
DWORD ReadRegDword(HKEY, const char*, const char*, DWORD fallback)
{
    return fallback;
}
void DeleteRegKey(HKEY, const char*) {}
void DeleteRegValue(HKEY, const char*, const char*) {}
void DeleteRegTree(HKEY, const char*) {}
bool RegKeyExists(HKEY, const char*)
{
    return false;
}
void WriteSettingString(const char*, const char*, const char*) {}
void WriteSettingDword(const char*, const char*, DWORD) {}
bool ReadSettingString(const char*, const char*, char* dest, const char* fallback, DWORD)
{
    lstrcpyA(dest, fallback);
    return false;
}
DWORD ReadSettingDword(const char*, const char*, DWORD fallback)
{
    return fallback;
}
