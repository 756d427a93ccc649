#include "uninstall/removal_script.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "shell/path.h"
#include "shell/system.h"

namespace {

enum { kCommandLineSize = 512 };

// The path's bytes in the OEM code page, when every character has one there.
bool ToExactOem(const char* path, char* out, size_t size)
{
    WCHAR wide[kPathSize];
    WCHAR back[kPathSize];
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, wide, kPathSize);
    if (n <= 0)
        return false;
    BOOL usedDefault = FALSE;
    // No WC_NO_BEST_FIT_CHARS (the 9x family rejects it): the round trip
    // below catches a best fit as well.
    int m = WideCharToMultiByte(CP_OEMCP, 0, wide, n, out, static_cast<int>(size), nullptr, &usedDefault);
    if (m <= 0 || usedDefault)
        return false;
    int k = MultiByteToWideChar(CP_OEMCP, 0, out, -1, back, kPathSize);
    return k == n && memcmp(wide, back, n * sizeof(WCHAR)) == 0;
}

bool GetLaunchPath(const char* scriptPath, char* out, size_t size)
{
    // The command line reaches the interpreter through CreateProcessA; an
    // ASCII short form is read the same whatever code page the 9x
    // interpreter takes its command line in.
    char shortPath[kPathSize];
    DWORD n = GetShortPathNameA(scriptPath, shortPath, sizeof shortPath);
    if (HasHighBytes(scriptPath) && n > 0 && n < sizeof shortPath && !HasHighBytes(shortPath))
        return CopyText(out, size, shortPath);
    return CopyText(out, size, scriptPath);
}

}  // namespace

bool GetInterpreterPath(const char* path, char* out, size_t size)
{
    if (!HasHighBytes(path))
        return CopyText(out, size, path);
    char shortPath[kPathSize];
    DWORD n = GetShortPathNameA(path, shortPath, sizeof shortPath);
    const char* form = n > 0 && n < sizeof shortPath ? shortPath : path;
    if (!HasHighBytes(form))
        return CopyText(out, size, form);
    if (ToExactOem(form, out, size))
        return true;
    if (size)
        out[0] = 0;
    return false;
}

bool GetScriptPath(char* out, size_t size)
{
    char temp[kPathSize];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp) {
        if (size)
            out[0] = 0;
        return false;
    }
    return CopyText(out, size, temp) && AppendText(out, size, kScriptName);
}

bool ComposeSelfRemovalScript(const char* programPath, const char* scriptPath, ScriptPieces* pieces)
{
    char folder[kPathSize];
    DWORD n = GetCurrentDirectoryA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder)
        return false;
    // The script file need not exist yet: its folder is converted, its name
    // is taken as it is.
    char scriptFolder[kPathSize], scriptName[kPathSize];
    if (!CopyText(scriptFolder, sizeof scriptFolder, scriptPath))
        return false;
    char* name = PathNamePart(scriptFolder);
    CopyText(scriptName, sizeof scriptName, name);
    *name = 0;
    char program[kPathSize], dir[kPathSize], script[kPathSize];
    return GetInterpreterPath(programPath, program, sizeof program) &&
           GetInterpreterPath(folder, dir, sizeof dir) &&
           GetInterpreterPath(scriptFolder, script, sizeof script) &&
           AppendText(script, sizeof script, scriptName) &&
           ComposeScript(NtMajorVersion() != 0, program, dir, script, pieces);
}

bool StartSelfRemovalScript(const char* scriptPath)
{
    const bool nt = NtMajorVersion() != 0;
    char launchPath[kPathSize];
    GetLaunchPath(scriptPath, launchPath, sizeof launchPath);
    char interpreter[kPathSize];
    interpreter[0] = 0;
    DWORD n = GetEnvironmentVariableA("COMSPEC", interpreter, sizeof interpreter);
    if (n >= sizeof interpreter)
        interpreter[0] = 0;
    char commandLine[kCommandLineSize];
    int used = snprintf(commandLine, sizeof commandLine, "%s /c \"%s\"", interpreter, launchPath);
    bool fits = used >= 0 && used < static_cast<int>(sizeof commandLine);

    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    HANDLE nul = INVALID_HANDLE_VALUE;
    if (nt) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    } else {
        // command.com would otherwise open a console window of its own.
        nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nul;
        startup.hStdOutput = nul;
        startup.hStdError = nul;
    }
    // The interpreter must not hold the folder it is to remove.
    SetCurrentDirectoryA("..");
    PROCESS_INFORMATION process;
    bool started = fits && CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE,
                                          nt ? 0 : DETACHED_PROCESS, nullptr, nullptr, &startup, &process);
    if (!nt)
        CloseHandle(nul);
    return started;
}

void WriteSelfRemovalScript(const char* programPath)
{
    // Composed before the file is created: a path the interpreter cannot read
    // back, or one that does not fit, leaves no script, as a temp folder that
    // cannot be written does.
    char scriptPath[kPathSize];
    ScriptPieces pieces;
    if (!GetScriptPath(scriptPath, sizeof scriptPath) ||
        !ComposeSelfRemovalScript(programPath, scriptPath, &pieces))
        return;
    FILE* file = fopen(scriptPath, "wb");
    if (!file)
        return;
    WriteScript(file, pieces);
    fclose(file);
    // Whether or not the interpreter starts, this process is done: its
    // handles of the new process are left to the system.
    StartSelfRemovalScript(scriptPath);
    ExitProcess(0);
}
