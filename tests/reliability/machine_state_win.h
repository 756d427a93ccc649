// Random prior machines for the round trip: what other programs may have
// left in the places the product writes, built from one seed so that a
// failing case can be replayed. Also the places themselves (keys, shell
// folders, files beside the program), captured before and after.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "filetypes/options.h"
#include "filetypes/registry_values_win.h"
#include "support/machine_win.h"
#include "uninstall/removal_fixture_win.h"

namespace state {

using ft::Bin;
using ft::Dword;
using ft::Key;
using ft::Sz;
using ft::Value;
using machine::RegTree;

const char kClsid[] = "{6F3A1C52-94D7-4B0E-8C21-5E7D09B4A3F6}";
const char kApproved[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const std::string kVexImage("Vex!\x1A\x07\x00\xCF\x90\x73\x00\x00\x0D\x00\x00\x00\x00\x00\x00\x00", 20);
const std::string kZipImage = std::string("PK\x05\x06", 4) + std::string(18, '\0');

// The parents under which the product puts handler keys, and the handler
// keys it writes there, in its own order.
const char* const kHandlerParents[] = {
    "*\\shellex\\ContextMenuHandlers",     "Folder\\shellex\\ContextMenuHandlers",
    "Folder\\shellex\\DragDropHandlers",   "Drive\\shellex\\DragDropHandlers",
    "Directory\\shellex\\ContextMenuHandlers", "Directory\\shellex\\DragDropHandlers",
    "exefile\\shellex\\PropertySheetHandlers",
};
inline std::vector<std::string> HandlerKeys()
{
    std::vector<std::string> keys;
    for (const char* cls : {"Vexora", "Vexora.ZIP"})
        for (const char* kind : {"ContextMenuHandlers", "PropertySheetHandlers"})
            keys.push_back(std::string(cls) + "\\shellex\\" + kind + "\\" + kClsid);
    keys.push_back(std::string("exefile\\shellex\\PropertySheetHandlers\\") + kClsid);
    keys.push_back("Vexora\\shellex\\DropHandler");
    keys.push_back("Vexora.ZIP\\shellex\\DropHandler");
    for (int i = 0; i < 6; ++i)
        keys.push_back(std::string(kHandlerParents[i]) + "\\Vexora");
    return keys;
}

inline std::string Volume(int j)
{
    char name[8];
    snprintf(name, sizeof name, ".v%02d", j);
    return name;
}

// Every member of every row, with its row.
struct Member {
    std::string extension;
    int row;
};
inline std::vector<Member> Members()
{
    std::vector<Member> members;
    for (int row = 0; row < kArchiveTypeCount; ++row) {
        char extension[32];
        for (const char* rest = NextExtension(ArchiveTypes[row].extensions, extension, sizeof extension);
             extension[0]; rest = NextExtension(rest, extension, sizeof extension))
            members.push_back({extension, row});
    }
    return members;
}

inline bool IsNt()
{
    return ft::IsNtFamily();
}

// Volumes the product writes when it takes ".vex".
inline int VolumesTakenOver()
{
    return IsNt() ? 30 : 100;
}

// --- the seed ---------------------------------------------------------------

// A number from the environment, or the fallback.
inline unsigned long EnvNumber(const char* name, unsigned long fallback)
{
    char text[64];
    DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
    if (n == 0 || n >= sizeof text)
        return fallback;
    return strtoul(text, nullptr, 0);
}

class Random {
public:
    explicit Random(unsigned long seed) : engine(static_cast<std::mt19937::result_type>(seed)) {}
    unsigned Below(unsigned n) { return n ? engine() % n : 0; }
    bool Chance(unsigned percent) { return Below(100) < percent; }

private:
    std::mt19937 engine;
};

// --- shell folders and files --------------------------------------------------

inline std::string ShellFolder(int csidl)
{
    char path[MAX_PATH];
    if (SHGetFolderPathA(nullptr, csidl, nullptr, 0, path) != S_OK)
        return "";
    return path;
}

inline std::vector<std::string> LinkFolders()
{
    return {ShellFolder(CSIDL_DESKTOPDIRECTORY), ShellFolder(CSIDL_STARTMENU), ShellFolder(CSIDL_PROGRAMS),
            ShellFolder(CSIDL_COMMON_PROGRAMS)};
}

// The names in a folder, and one level down, with file sizes.
inline std::string Listing(const std::string& dir, int depth = 1)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return "(none)";
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            names.insert(name + "\\" + (depth > 0 ? "{" + Listing(dir + "\\" + name, depth - 1) + "}" : ""));
        else
            names.insert(name + " " + std::to_string(data.nFileSizeLow));
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::string out;
    for (const std::string& n : names)
        out += n + "; ";
    return out;
}

inline void RemoveProductLinks()
{
    const std::vector<std::string> folders = LinkFolders();
    DeleteFileA((folders[0] + "\\Vexora.lnk").c_str());
    DeleteFileA((folders[1] + "\\Vexora.lnk").c_str());
    machine::RemoveTree(folders[2] + "\\Vexora");
    machine::RemoveTree(folders[3] + "\\Vexora");
}

const char kOtherProgram[] = "Another program";

inline void RemoveOtherPrograms()
{
    for (const std::string& f : LinkFolders()) {
        DeleteFileA((f + "\\" + kOtherProgram + ".lnk").c_str());
        machine::RemoveTree(f + "\\" + kOtherProgram);
    }
}

// --- the prior machine ----------------------------------------------------------

// What a case needs to know about one member extension afterwards.
struct History {
    int row = 0;
    bool taken = false;          // the product had it at some point
    bool replacedNew = false;    // ... with its own New menu entry (VEX and ZIP, shell integration)
    bool gainedSubkey = false;   // another program added a subkey while the product had it
    bool existedBefore = false;
};

// Class names of every length that matters: the 80-byte ownership read and
// the 512-byte backup read, each just inside and just past.
inline std::string ClassName(Random& r, const std::string& base)
{
    static const size_t kLengths[] = {79, 80, 511, 512, 700};
    if (!r.Chance(6))
        return base;
    std::string name = base;
    name.resize(kLengths[r.Below(5)], 'x');
    return name;
}

inline std::string Filled(const std::string& base, size_t length)
{
    std::string s = base;
    s.resize(length, 'f');
    return s;
}

// One extension key another program may have left: nothing, or a class
// (or none) with or without a content type, a New menu entry of any form,
// other subkeys.
inline std::vector<Value> ExtensionKey(Random& r, const std::string& extension)
{
    std::vector<Value> v;
    if (r.Chance(30))
        return v;
    const std::string owner = "Other" + extension;
    if (r.Chance(88))
        v.push_back(Sz("", "", ClassName(r, owner)));
    if (r.Chance(50)) {
        std::string content = r.Chance(8) ? "" : "application/x-other-" + extension.substr(1);
        if (r.Chance(5))
            content = Filled(content, r.Chance(50) ? 511 : 512);
        v.push_back(Sz("", "Content Type", content));
    }
    const std::string fileName = r.Chance(5) ? Filled("C:\\Templates\\", r.Chance(50) ? 1023 : 1024)
                                             : "C:\\Templates\\new" + extension;
    const std::string nullFile = r.Chance(85) ? "" : r.Chance(50) ? "123456789" : "1234567890";
    const std::string data = r.Chance(90) ? std::string("\x01\x00\xFE", 3) : std::string(4096 + r.Below(2), 'd');
    switch (r.Below(7)) {
    case 0:
        break;
    case 1:
        v.push_back(Sz("ShellNew", "FileName", fileName));
        break;
    case 2:
        v.push_back(Sz("ShellNew", "NullFile", nullFile));
        break;
    case 3:
        v.push_back(Sz("ShellNew", "FileName", fileName));
        v.push_back(Sz("ShellNew", "NullFile", nullFile));
        break;
    case 4:
        v.push_back(Bin("ShellNew", "Data", data));
        break;
    case 5:
        v.push_back(Sz("ShellNew", "ItemName", "@other.dll,-100"));
        break;
    case 6:
        v.push_back(Key("ShellNew"));
        break;
    }
    if (r.Chance(10))
        v.push_back(Sz("ShellNew", "Command", r.Chance(90) ? "other.exe /new \"%1\"" : Filled("other.exe ", 1024)));
    static const char* const kSubkeys[] = {"OpenWithProgids", "PersistentHandler", "shell\\open\\command"};
    for (const char* sub : kSubkeys)
        if (r.Chance(15))
            v.push_back(Sz(sub, std::string(sub) == "OpenWithProgids" ? owner : "", "other.exe \"%1\""));
    return v;
}

// Volumes: a few taken by another program, inside and outside the range
// the product writes.
inline void WriteVolumes(Random& r)
{
    for (unsigned n = r.Below(5); n > 0; --n) {
        std::string v = Volume(r.Chance(60) ? r.Below(30) : 30 + r.Below(70));
        ft::Put(HKEY_CLASSES_ROOT, v, Sz("", "", "OtherVolume" + v));
        if (r.Chance(50))
            ft::Put(HKEY_CLASSES_ROOT, v, Sz("", "Content Type", "application/x-other-volume"));
        if (r.Chance(20))
            ft::Put(HKEY_CLASSES_ROOT, v, Key("OpenWithProgids"));
    }
}

// Other handlers beside the product's, and other approved extensions.
inline void WriteOtherHandlers(Random& r)
{
    for (const char* parent : kHandlerParents) {
        if (r.Chance(40))
            ft::Put(HKEY_CLASSES_ROOT, std::string(parent) + "\\OtherHandler",
                    Sz("", "", "{0D0C0B0A-0000-4000-8000-00000000ABCD}"));
        if (r.Chance(20))
            ft::Put(HKEY_CLASSES_ROOT, std::string(parent) + "\\{0D0C0B0A-0000-4000-8000-00000000EF01}",
                    Sz("", "", ""));
        if (r.Chance(10))
            ft::Put(HKEY_CLASSES_ROOT, parent, Key(""));
    }
    if (r.Chance(50))
        ft::Put(HKEY_LOCAL_MACHINE, kApproved, Sz("", "{0D0C0B0A-0000-4000-8000-00000000ABCD}", "Other extension"));
    if (r.Chance(20))
        ft::Put(HKEY_LOCAL_MACHINE, kApproved, Key(""));
}

// Settings of an earlier installation: choices (some of the wrong type),
// backups that no longer describe the machine, settings of other parts.
inline void WriteEarlierSettings(Random& r, const std::vector<Member>& members)
{
    if (r.Chance(40))
        return;
    const char* root = "Software\\Vexora";
    for (const Member& m : members) {
        if (!r.Chance(15))
            continue;
        const std::string key = std::string("Setup\\") + m.extension;
        ft::PutAll(HKEY_CURRENT_USER, std::string(root) + "\\" + key,
                   {Dword("", "Set", r.Below(3)), Dword("", "Exist", r.Below(2)), Sz("", "Type", "Stale" + m.extension),
                    Sz("", "Content", "application/x-stale"), Sz("", "ShellNew", r.Chance(50) ? "*" : "C:\\stale.dat")});
        if (r.Chance(30))
            ft::Put(HKEY_CURRENT_USER, std::string(root) + "\\" + key, Bin("", "ShellNewData", "stale"));
        if (r.Chance(30))
            ft::Put(HKEY_CURRENT_USER, std::string(root) + "\\" + key, Sz("", "ShellNewCommand", "stale.exe"));
    }
    if (r.Chance(30))
        ft::Put(HKEY_CURRENT_USER, std::string(root) + "\\Setup\\.iso", Sz("", "Set", "0"));
    if (r.Chance(30))
        ft::Put(HKEY_CURRENT_USER, std::string(root) + "\\Setup\\Links", Bin("", "Desktop", std::string("\x01", 1)));
    if (r.Chance(30))
        ft::Put(HKEY_CURRENT_USER, std::string(root) + "\\Setup", Dword("", "ShellExt", r.Below(2)));
    if (r.Chance(30))
        ft::Put(HKEY_CURRENT_USER, std::string(root) + "\\Viewer", Sz("", "LastFolder", "C:\\Archives"));
}

// Files of another program where the product puts its links.
inline void WriteOtherLinks(Random& r)
{
    const std::vector<std::string> folders = LinkFolders();
    for (size_t i = 0; i < folders.size(); ++i) {
        if (!r.Chance(40))
            continue;
        if (i < 2) {
            machine::WriteFile(folders[i] + "\\" + kOtherProgram + ".lnk", "another program's link");
        } else {
            CreateDirectoryA((folders[i] + "\\" + kOtherProgram).c_str(), nullptr);
            machine::WriteFile(folders[i] + "\\" + kOtherProgram + "\\Readme.lnk", "another program's link");
        }
    }
}

// Template files another program (or an earlier installation) left beside
// the program: they must keep what they hold.
inline void WriteTemplateFiles(Random& r, const std::string& dir)
{
    for (const char* name : {"vexnew.dat", "zipnew.dat"}) {
        std::string path = dir + name;
        DeleteFileA(path.c_str());
        if (r.Chance(20))
            machine::WriteFile(path, std::string("kept ") + name);
    }
}

// Writes a prior machine; returns the history of each member extension (by
// its name) with what existed.
inline std::map<std::string, History> WritePriorState(Random& r, const std::vector<Member>& members)
{
    std::map<std::string, History> history;
    for (const Member& m : members) {
        std::vector<Value> values = ExtensionKey(r, m.extension);
        ft::PutAll(HKEY_CLASSES_ROOT, m.extension, values);
        History h;
        h.row = m.row;
        h.existedBefore = !values.empty();
        history[m.extension] = h;
    }
    // ".rev": another program's recovery volumes, or nothing.
    if (r.Chance(50))
        ft::PutAll(HKEY_CLASSES_ROOT, ".rev", ExtensionKey(r, ".rev"));
    WriteVolumes(r);
    WriteOtherHandlers(r);
    WriteEarlierSettings(r, members);
    WriteOtherLinks(r);
    return history;
}

// --- the places the round trip compares ------------------------------------------

// Every key the product writes or deletes, or a key that holds one.
inline std::vector<std::pair<HKEY, std::string>> ComparedKeys()
{
    return removal::ProductKeys();
}

// Nothing of the product's or of earlier cases: the empty machine a prior
// state is written on. programDir (with its trailing backslash; "" for none)
// loses its template files.
inline void ClearMachine(const std::string& programDir)
{
    for (const auto& k : ComparedKeys())
        machine::DeleteTree(k.first, k.second);
    RemoveProductLinks();
    RemoveOtherPrograms();
    if (programDir.empty())
        return;
    DeleteFileA((programDir + "vexnew.dat").c_str());
    DeleteFileA((programDir + "zipnew.dat").c_str());
}

// All of the classes, the user's software settings and the machine's: a
// write anywhere else shows there. The classes are compared as
// HKEY_CLASSES_ROOT shows them, not again under the two "Software\\Classes".
inline std::vector<std::pair<HKEY, std::string>> WideKeys()
{
    return {{HKEY_CLASSES_ROOT, ""}, {HKEY_CURRENT_USER, "Software"}, {HKEY_LOCAL_MACHINE, "Software"}};
}

struct Snapshot {
    std::vector<RegTree> keys;  // in the order of ComparedKeys
    std::vector<RegTree> wide;  // in the order of WideKeys, when taken
    std::vector<std::string> folders;
    std::map<std::string, std::string> files;  // template files: path -> bytes ("" when missing)

    const RegTree* Find(HKEY root, const std::string& path) const
    {
        const auto names = ComparedKeys();
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i].first == root && lstrcmpiA(names[i].second.c_str(), path.c_str()) == 0)
                return &keys[i];
        return nullptr;
    }
};

inline Snapshot Take(const std::vector<std::string>& programDirs, bool wide = false)
{
    Snapshot s;
    for (const auto& k : ComparedKeys())
        s.keys.push_back(machine::Capture(k.first, k.second));
    if (wide)
        for (const auto& k : WideKeys())
            s.wide.push_back(machine::Capture(k.first, k.second));
    for (const std::string& f : LinkFolders())
        s.folders.push_back(Listing(f));
    for (const std::string& dir : programDirs)
        for (const char* name : {"vexnew.dat", "zipnew.dat"}) {
            std::string bytes;
            s.files[dir + name] = machine::ReadFile(dir + name, &bytes) ? bytes : "";
        }
    return s;
}

}  // namespace state
