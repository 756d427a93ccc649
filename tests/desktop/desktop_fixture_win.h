// What the desktop tests share: one machine-wide lock, and texts translated
// by the stand-in language module.
#pragma once
#include <windows.h>

#include <string>

#include "lang/message_text.h"
#include "support/machine_win.h"

namespace desktop_test {

// The desktop, Start menu, Programs folders and the two HKLM entries are one
// per prefix, and ctest runs test cases (and the win98 copy) side by side:
// every case that touches them holds this mutex of the prefix's wineserver.
class MachineLock {
public:
    MachineLock() : mutex(CreateMutexA(nullptr, FALSE, "VexoraDesktopTestsMachineLock"))
    {
        // An abandoned mutex (a crashed case) is still ours.
        if (mutex)
            WaitForSingleObject(mutex, INFINITE);
    }
    ~MachineLock()
    {
        if (mutex) {
            ReleaseMutex(mutex);
            CloseHandle(mutex);
        }
    }

private:
    MachineLock(const MachineLock&) = delete;
    MachineLock& operator=(const MachineLock&) = delete;
    HANDLE mutex;
};

// While alive, message texts come from the stand-in language module, as
// they would from an installed "vexlng.dll".
class TranslatedTexts {
public:
    TranslatedTexts() : saved(ResourceInstance), module(LoadLibraryA((machine::BinDir() + "desktop_translated.dll").c_str()))
    {
        if (module)
            ResourceInstance = module;
    }
    ~TranslatedTexts()
    {
        ResourceInstance = saved;
        if (module)
            FreeLibrary(module);
    }
    bool Loaded() const { return module != nullptr; }

private:
    TranslatedTexts(const TranslatedTexts&) = delete;
    TranslatedTexts& operator=(const TranslatedTexts&) = delete;
    HINSTANCE saved;
    HMODULE module;
};

}  // namespace desktop_test
