// Appends "<command line>|<current directory>" as one line to the file named
// like this program with ".log" added (Vexora.exe -> Vexora.exe.log), then ends.
#include <windows.h>
#include <stdio.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char log[MAX_PATH + 8];
    DWORD n = GetModuleFileNameA(nullptr, log, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    strcat(log, ".log");
    char folder[MAX_PATH];
    if (GetCurrentDirectoryA(sizeof folder, folder) >= sizeof folder)
        folder[0] = 0;
    FILE* f = fopen(log, "ab");
    if (!f)
        return 1;
    fprintf(f, "%s|%s\n", GetCommandLineA(), folder);
    fclose(f);
    return 0;
}
