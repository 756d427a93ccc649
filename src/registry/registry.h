// Every registry read, write and deletion of the program goes through here.
// Each call opens or creates its key, does one thing and closes it again.
// Key paths under HKEY_CURRENT_USER are relative to "Software\\Vexora" unless
// they begin with a backslash. Failures are never reported: writes and
// deletions fail silently, reads fall back to the caller's value.
#pragma once
#include <windows.h>

enum { kResolvedPathSize = 256, kTreePathSize = 200, kTreeChildPathSize = 512, kTreeNameSize = 200 };

// False (dest empty) when the resolved path does not fit destSize.
bool ResolveKeyPath(HKEY root, const char* keyPath, char* dest, size_t destSize);

void WriteRegString(HKEY root, const char* keyPath, const char* name, const char* text);
void WriteRegDword(HKEY root, const char* keyPath, const char* name, DWORD value);
void WriteRegBinary(HKEY root, const char* keyPath, const char* name, const void* bytes, DWORD size);
bool ReadRegString(HKEY root, const char* keyPath, const char* name, char* dest, const char* fallback,
                   DWORD destSize);
DWORD ReadRegDword(HKEY root, const char* keyPath, const char* name, DWORD fallback);
// The stored bytes, whatever their type, and their count in *size; false (and
// *size 0) when the key or value is missing or needs more than destSize.
bool ReadRegBinary(HKEY root, const char* keyPath, const char* name, void* dest, DWORD destSize, DWORD* size);
void DeleteRegKey(HKEY root, const char* keyPath);
void DeleteRegValue(HKEY root, const char* keyPath, const char* name);
void DeleteRegTree(HKEY root, const char* keyPath);
bool RegKeyExists(HKEY root, const char* keyPath);

void WriteSettingString(const char* keyPath, const char* name, const char* text);
void WriteSettingDword(const char* keyPath, const char* name, DWORD value);
bool ReadSettingString(const char* keyPath, const char* name, char* dest, const char* fallback, DWORD destSize);
DWORD ReadSettingDword(const char* keyPath, const char* name, DWORD fallback);
