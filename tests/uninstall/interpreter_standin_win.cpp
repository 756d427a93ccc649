// Stands in for the command interpreter: writes how it was started, one
// "name=value" line each, to the file named by VEX_COMSPEC_REPORT.
#include <windows.h>
#include <stdio.h>

int main()
{
    char reportPath[MAX_PATH];
    if (!GetEnvironmentVariableA("VEX_COMSPEC_REPORT", reportPath, sizeof reportPath))
        return 2;
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    char partial[MAX_PATH + 8];
    snprintf(partial, sizeof partial, "%s.part", reportPath);
    FILE* f = fopen(partial, "wb");
    if (!f)
        return 3;
    fprintf(f, "commandline=%s\n", GetCommandLineA());
    fprintf(f, "cwd=%s\n", cwd);
    fprintf(f, "flags=%lu\n", static_cast<unsigned long>(startup.dwFlags));
    fprintf(f, "show=%u\n", startup.wShowWindow);
    fprintf(f, "samestd=%d\n", startup.hStdInput == startup.hStdOutput && startup.hStdOutput == startup.hStdError);
    fclose(f);
    // Whole or not at all: the test polls for the file.
    MoveFileA(partial, reportPath);
    return 0;
}
