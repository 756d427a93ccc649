// An empty Win32 program, and the steps that lead from it to the program's
// start-up: the user interface DLLs, the rest of its imports, OLE, the rich
// edit library.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    // Never true: the calls only make the loader bind the DLLs.
    if (commandLine[0] == '\x01') {
#if STEP >= 1
        DeleteObject(nullptr);
        MessageBoxA(nullptr, "", "", 0);
#endif
#if STEP >= 2
        RegCloseKey(nullptr);
        SHChangeNotify(0, 0, nullptr, nullptr);
        CoCreateInstance(CLSID_ShellLink, nullptr, 0, IID_IShellLinkA, nullptr);
#endif
    }
#if STEP >= 3
    OleInitialize(nullptr);
#endif
#if STEP >= 4
    HMODULE richEdit = LoadLibraryA("riched32.dll");
    if (richEdit)
        FreeLibrary(richEdit);
#endif
#if STEP >= 3
    OleUninitialize();
#endif
    return 0;
}
