// What the removal tests share: an installed copy of the program in a
// scratch folder, environment variables set for one test, and a lock that
// keeps the tests which touch the product's registry keys from overlapping.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/machine_win.h"
#include "support/ui_driver_win.h"

namespace removal {

// Sets an environment variable of the test process (inherited by what it
// starts) and puts the old value back. A null value removes it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name)
    {
        char old[4096];
        DWORD n = GetEnvironmentVariableA(name, old, sizeof old);
        had = n > 0 && n < sizeof old;
        if (had)
            saved = old;
        SetEnvironmentVariableA(name, value);
    }
    ~ScopedEnv() { SetEnvironmentVariableA(name.c_str(), had ? saved.c_str() : nullptr); }

private:
    std::string name;
    std::string saved;
    bool had;
};

// The removal run deletes the product's registry tree and classes: two such
// tests at once would see each other's changes.
class SerialLock {
public:
    SerialLock() : mutex(CreateMutexA(nullptr, FALSE, "VexoraRemovalTests"))
    {
        WaitForSingleObject(mutex, 300000);
    }
    ~SerialLock()
    {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }

private:
    HANDLE mutex;
};

inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 100) {
        if (done())
            return true;
        Sleep(100);
    }
    return done();
}

// "name=value" lines.
inline std::map<std::string, std::string> ReadReport(const std::string& path)
{
    std::map<std::string, std::string> report;
    std::string bytes;
    if (!machine::ReadFile(path, &bytes))
        return report;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            report[line.substr(0, eq)] = line.substr(eq + 1);
        start = end + 1;
    }
    return report;
}

// A file (name without trailing backslash) or a folder (name ending in one).
inline bool MakeEntries(const std::string& dir, const std::vector<std::string>& entries)
{
    for (const std::string& e : entries) {
        std::string path = dir + "\\" + e;
        bool ok = e.back() == '\\' ? CreateDirectoryA(path.substr(0, path.size() - 1).c_str(), nullptr) != 0
                                   : machine::WriteFile(path, "content of " + e);
        if (!ok)
            return false;
    }
    return true;
}

// The entries of the list that still exist.
inline std::vector<std::string> Remaining(const std::string& dir, const std::vector<std::string>& entries)
{
    std::vector<std::string> left;
    for (const std::string& e : entries)
        if (machine::Exists(dir + "\\" + e))
            left.push_back(e);
    return left;
}

// C:\vextest\<name>\ holding the program folder and a temp folder of its own
// (TMP and TEMP point there while the test runs, so each test has its own
// script file).
struct Installation {
    std::string root;     // no trailing backslash
    std::string dir;      // the program folder
    std::string program;  // the copy of uninstall.exe
    std::string temp;     // with a trailing backslash
    std::string Script() const { return temp + "Uninstall.Vex.Bat"; }
};

inline Installation Install(const std::string& name, const std::string& folder, const std::string& programName,
                            const std::vector<std::string>& entries, const char* list)
{
    Installation in;
    in.root = machine::ScratchDir(name);
    in.dir = in.root + "\\" + folder;
    in.program = in.dir + "\\" + programName;
    in.temp = in.root + "\\temp\\";
    CreateDirectoryA(in.dir.c_str(), nullptr);
    CreateDirectoryA(in.temp.c_str(), nullptr);
    machine::CopyTo(machine::BinDir() + "uninstall.exe", in.program);
    MakeEntries(in.dir, entries);
    if (list)
        machine::WriteFile(in.dir + "\\Uninstall.lst", list);
    return in;
}

struct BoxSearch {
    const char* caption;
    std::string text;
    HWND found;
};

// A message box of any process with this caption and text: the "/warning"
// instance is started by the script, not by the test.
inline HWND WaitForMessageBox(const char* caption, const std::string& text, int timeoutMs)
{
    BoxSearch search = {caption, text, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(
                [](HWND w, LPARAM p) -> BOOL {
                    auto* s = reinterpret_cast<BoxSearch*>(p);
                    if (IsWindowVisible(w) && ui::Text(w) == s->caption && ui::MessageBoxText(w) == s->text) {
                        s->found = w;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

}  // namespace removal
