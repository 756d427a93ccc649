// What the removal tests share: an installed copy of the program in a
// scratch folder, environment variables set for one test, and a lock that
// keeps the tests which touch the product's registry keys from overlapping.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <string.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "desktop/app_registration.h"
#include "desktop/links.h"
#include "filetypes/associations.h"
#include "filetypes/options.h"
#include "filetypes/shell_extension.h"
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

// Every key that setup writes and the removal takes back (or a key that
// holds such a value), for a machine::RegistryGuard: a removal run deletes
// the product's keys whatever test made them.
inline std::vector<std::pair<HKEY, std::string>> ProductKeys()
{
    std::vector<std::pair<HKEY, std::string>> keys;
    for (const ArchiveType& type : ArchiveTypes) {
        char extension[32];
        for (const char* rest = NextExtension(type.extensions, extension, sizeof extension); extension[0];
             rest = NextExtension(rest, extension, sizeof extension))
            keys.push_back({HKEY_CLASSES_ROOT, extension});
    }
    for (int i = 0; i < 100; ++i) {
        char volume[8];
        snprintf(volume, sizeof volume, ".v%02d", i);
        keys.push_back({HKEY_CLASSES_ROOT, volume});
    }
    static const char* const kClassesKeys[] = {
        "Vexora", "Vexora.ZIP", "Vexora.REV", ".rev", "CLSID\\{6F3A1C52-94D7-4B0E-8C21-5E7D09B4A3F6}",
        "exefile\\shellex", "*\\shellex", "Folder\\shellex", "Drive\\shellex", "Directory\\shellex",
    };
    for (const char* k : kClassesKeys)
        keys.push_back({HKEY_CLASSES_ROOT, k});
    keys.push_back({HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved"});
    keys.push_back({HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vexora.exe"});
    keys.push_back({HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexora archiver"});
    keys.push_back({HKEY_CURRENT_USER, "Software\\Vexora"});
    return keys;
}

const char kOtherZipClass[] = "OtherZip.Archive";

// What a setup run with every choice made leaves behind, done in the test
// process (the apply sequence's order), after ".zip" was given to another
// program.
inline void RegisterEverything()
{
    OleInitialize(nullptr);  // the links
    HKEY zip;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, ".zip", 0, nullptr, 0, KEY_WRITE, nullptr, &zip, nullptr) == 0) {
        RegSetValueExA(zip, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(kOtherZipClass), sizeof kOtherZipClass);
        RegCloseKey(zip);
    }
    IntegrationOptions all;
    memset(&all, 1, sizeof all);
    SaveIntegrationOptions(&all);
    RegisterAppPath();
    ApplyShellExtension(&all);
    ApplyAssociations(&all);
    RegisterProgIds();
    char group[1024] = "";
    ApplyLinks(&all, group);
    RegisterUninstallEntry();
    OleUninitialize();
}

inline std::vector<machine::RegTree> CaptureProductKeys()
{
    std::vector<machine::RegTree> trees;
    for (const auto& k : ProductKeys())
        trees.push_back(machine::Capture(k.first, k.second));
    return trees;
}

// The differences since CaptureProductKeys, empty when nothing changed.
inline std::string ProductKeyChanges(const std::vector<machine::RegTree>& before)
{
    std::string changes;
    const auto keys = ProductKeys();
    for (size_t i = 0; i < keys.size() && i < before.size(); ++i)
        changes += machine::Diff(before[i], machine::Capture(keys[i].first, keys[i].second), keys[i].second);
    return changes;
}

inline std::string DesktopLink()
{
    char desktop[MAX_PATH];
    GetDesktopPath(desktop);
    return std::string(desktop) + "\\Vexora.lnk";
}

inline std::string ZipOwner()
{
    char owner[256] = "";
    LONG size = sizeof owner;
    RegQueryValueA(HKEY_CLASSES_ROOT, ".zip", owner, &size);
    return owner;
}

inline bool KeyExists(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

struct ProductKey {
    HKEY root;
    const char* path;
};
const ProductKey kProductKeys[] = {
    {HKEY_CLASSES_ROOT, "Vexora"},
    {HKEY_CLASSES_ROOT, "Vexora.ZIP"},
    {HKEY_CLASSES_ROOT, "Vexora.REV"},
    {HKEY_CLASSES_ROOT, ".rev"},
    {HKEY_CLASSES_ROOT, ".vex"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vexora.exe"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexora archiver"},
    {HKEY_CURRENT_USER, "Software\\Vexora"},
};

// RegisterEverything did its part: otherwise "gone" proves nothing.
inline void ExpectRegistered()
{
    for (const ProductKey& k : kProductKeys)
        EXPECT_TRUE(KeyExists(k.root, k.path)) << k.path;
    EXPECT_EQ(ZipOwner(), "Vexora.ZIP");
    EXPECT_TRUE(machine::Exists(DesktopLink()));
}

inline void ExpectRegistrationsGone()
{
    for (const ProductKey& k : kProductKeys)
        EXPECT_FALSE(KeyExists(k.root, k.path)) << k.path;
    EXPECT_EQ(ZipOwner(), kOtherZipClass) << "not handed back";
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{6F3A1C52-94D7-4B0E-8C21-5E7D09B4A3F6}"));
    EXPECT_FALSE(machine::Exists(DesktopLink()));
}

}  // namespace removal
