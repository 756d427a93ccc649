// What the Windows tests need from the machine: folders of their own inside
// the Wine prefix, files, programs started and waited for, and registry trees
// captured and restored.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace machine {

// The folder of the running test program (build/win64/bin), with a trailing backslash.
std::string BinDir();
// A fresh, empty folder C:\vextest\<name> inside the prefix (removed first).
std::string ScratchDir(const std::string& name);
bool RemoveTree(const std::string& path);
bool WriteFile(const std::string& path, const std::string& bytes);
bool ReadFile(const std::string& path, std::string* bytes);
bool Exists(const std::string& path);
bool CopyTo(const std::string& from, const std::string& to);

struct Program {
    HANDLE process = nullptr;
    DWORD pid = 0;
};
// Starts exe with the arguments, in the folder cwd (or the caller's).
Program Start(const std::string& exe, const std::string& args, const std::string& cwd = "");
// The exit code, or STILL_ACTIVE on timeout. Closes the handle when it ended.
DWORD Wait(Program& program, int timeoutMs);
void Kill(Program& program);

// Sets (or, with an empty version, removes) Wine's Windows version for every
// program of this file name started from now on: "win98", "win2k"...
void SetWineVersion(const std::string& exeName, const std::string& version);

// A registry tree as values and subkeys, for round trips.
struct RegValue {
    DWORD type;
    std::string data;
    bool operator==(const RegValue& o) const { return type == o.type && data == o.data; }
};
struct RegTree {
    bool exists = false;
    std::map<std::string, RegValue> values;   // names as stored
    std::map<std::string, RegTree> subkeys;
    bool operator==(const RegTree& o) const
    {
        return exists == o.exists && values == o.values && subkeys == o.subkeys;
    }
};
RegTree Capture(HKEY root, const std::string& path);
// Deletes the key and writes the captured tree back (nothing when it did not exist).
void Restore(HKEY root, const std::string& path, const RegTree& tree);
// Human-readable differences "path: before -> after", empty when equal.
std::string Diff(const RegTree& before, const RegTree& after, const std::string& path);
std::string Show(const RegValue& v);
void DeleteTree(HKEY root, const std::string& path);

// Captures the given keys when built and puts them back when destroyed.
// Guards in all test programs of the prefix take turns (ctest runs tests in
// parallel), so two tests never work on the same saved key at once.
class RegistryGuard {
public:
    RegistryGuard(std::vector<std::pair<HKEY, std::string>> keys);
    ~RegistryGuard();

private:
    std::vector<std::pair<HKEY, std::string>> keys;
    std::vector<RegTree> saved;
    HANDLE lock;
};

}  // namespace machine
