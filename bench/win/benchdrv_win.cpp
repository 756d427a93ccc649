// benchdrv: starts and times programs from inside Wine, where a process
// start costs what it costs a Windows program and no Wine start-up of its own.
//
//   benchdrv alternate RUNS CMDLINE...
//       runs the command lines in turn, RUNS rounds (after one unmeasured
//       round); prints "<round> <index> <ms>" for each run
//   benchdrv confirm CMDLINE CAPTION BUTTON
//       starts the program, waits for its window CAPTION, presses BUTTON and
//       prints the milliseconds from the press to the end of the process
//   benchdrv run CMDLINE
//       prints the milliseconds from the start to the end of the process
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The programs and whatever they start (the self-removal script's command
// interpreter) write to NUL, not into the figures on our standard output.
HANDLE Start(const char* commandLine)
{
    static HANDLE nul;
    if (!nul) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                          OPEN_EXISTING, 0, nullptr);
    }
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi = {};
    char line[4096];
    lstrcpynA(line, commandLine, sizeof line);
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        fprintf(stderr, "benchdrv: cannot start %s (%lu)\n", commandLine, GetLastError());
        exit(1);
    }
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

void Finish(HANDLE process)
{
    if (WaitForSingleObject(process, 600000) != WAIT_OBJECT_0) {
        fprintf(stderr, "benchdrv: the program did not end\n");
        TerminateProcess(process, 1);
        exit(1);
    }
    CloseHandle(process);
}

double TimeRun(const char* commandLine)
{
    double t0 = Now();
    Finish(Start(commandLine));
    return Now() - t0;
}

struct Search {
    DWORD pid;
    const char* caption;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param)
{
    Search* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char caption[256];
    if (pid == s->pid && IsWindowVisible(window) && GetWindowTextA(window, caption, sizeof caption) &&
        strcmp(caption, s->caption) == 0) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

int Confirm(const char* commandLine, const char* caption, int button)
{
    HANDLE process = Start(commandLine);
    Search s = {GetProcessId(process), caption, nullptr};
    for (int waited = 0; !s.found; waited += 5) {
        if (waited > 60000 || WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            fprintf(stderr, "benchdrv: no window \"%s\"\n", caption);
            return 1;
        }
        Sleep(5);
        EnumWindows(Match, reinterpret_cast<LPARAM>(&s));
    }
    HWND control = GetDlgItem(s.found, button);
    // Until the box has its buttons it is not ready for a click.
    for (int waited = 0; !control && waited < 10000; waited += 5) {
        Sleep(5);
        control = GetDlgItem(s.found, button);
    }
    Sleep(100);  // let the box settle; the measured time begins with the press
    double t0 = Now();
    PostMessageA(control, BM_CLICK, 0, 0);
    Finish(process);
    printf("%.3f\n", Now() - t0);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && strcmp(argv[1], "alternate") == 0) {
        int rounds = atoi(argv[2]);
        for (int round = 0; round <= rounds; ++round) {
            for (int i = 3; i < argc; ++i) {
                double ms = TimeRun(argv[i]);
                if (round > 0)
                    printf("%d %d %.3f\n", round, i - 3, ms);
            }
            fflush(stdout);
        }
        return 0;
    }
    if (argc == 5 && strcmp(argv[1], "confirm") == 0)
        return Confirm(argv[2], argv[3], atoi(argv[4]));
    if (argc == 3 && strcmp(argv[1], "run") == 0) {
        printf("%.3f\n", TimeRun(argv[2]));
        return 0;
    }
    fprintf(stderr, "usage: benchdrv alternate RUNS CMDLINE... | confirm CMDLINE CAPTION BUTTON | run CMDLINE\n");
    return 2;
}
