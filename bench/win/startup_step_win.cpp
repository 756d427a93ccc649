// An empty Win32 program, and the steps that lead from it to the program's
// start-up: its imports, OLE, the rich edit library.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
#if STEP >= 1
    // Never true: only makes the loader bind the DLLs the program imports.
    if (commandLine[0] == '\x01') {
        RegCloseKey(nullptr);
        DeleteObject(nullptr);
        MessageBoxA(nullptr, "", "", 0);
        SHChangeNotify(0, 0, nullptr, nullptr);
        CoCreateInstance(CLSID_ShellLink, nullptr, 0, IID_IShellLinkA, nullptr);
    }
#endif
#if STEP >= 2
    OleInitialize(nullptr);
#endif
#if STEP >= 3
    HMODULE richEdit = LoadLibraryA("riched32.dll");
    if (richEdit)
        FreeLibrary(richEdit);
#endif
#if STEP >= 2
    OleUninitialize();
#endif
    return 0;
}
