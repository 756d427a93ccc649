#include "shell/system.h"

#include <string.h>

namespace {
DWORD cachedPlatform = static_cast<DWORD>(-1);
DWORD cachedMajor = 0;
}  // namespace

void InitLeadByteTable(LeadByteTable& table)
{
    CPINFO info;
    memset(&info, 0, sizeof info);
    GetCPInfo(CP_ACP, &info);
    table.entry[kMultiByteFlag] = info.MaxCharSize > 1 ? 1 : 0;
    for (int b = 0; b < 256; ++b)
        table.entry[b] = IsDBCSLeadByte(static_cast<BYTE>(b)) ? 1 : 0;
}

DWORD NtMajorVersion()
{
    if (cachedPlatform == static_cast<DWORD>(-1)) {
        OSVERSIONINFOA info;
        memset(&info, 0, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        GetVersionExA(&info);
        cachedPlatform = info.dwPlatformId;
        cachedMajor = info.dwMajorVersion;
    }
    return cachedPlatform == VER_PLATFORM_WIN32_NT ? cachedMajor : 0;
}

char* PathNamePart(char* path)
{
    return PathNamePart(LeadBytes, path);
}

bool GetSiblingPath(const char* name, char* out, size_t size)
{
    char module[kPathSize];
    DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
    if (n == 0 || n >= sizeof module) {
        if (size)
            out[0] = 0;
        return false;
    }
    char* namePart = PathNamePart(module);
    *namePart = 0;
    return CopyText(out, size, module) && AppendText(out, size, name);
}

bool LaunchProgram(char* commandLine, const char* currentDirectory, DWORD waitMs)
{
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, currentDirectory, &startup,
                        &process))
        return false;
    if (waitMs != 0)
        WaitForSingleObject(process.hProcess, waitMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
