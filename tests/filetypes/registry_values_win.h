// Registry values written and read back by the file-type tests, and the keys
// a test must save and restore.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "support/machine_win.h"

namespace ft {

// One value under base\key (key "": base itself); a key-only entry names a
// key without a value of its own.
struct Value {
    std::string key;
    std::string name;
    DWORD type;
    std::string data;
};
const DWORD kKeyOnly = 0xFFFFFFFF;

inline Value Key(const std::string& key)
{
    return {key, "", kKeyOnly, ""};
}

inline Value Sz(const std::string& key, const std::string& name, const std::string& text)
{
    return {key, name, REG_SZ, text + '\0'};
}

inline Value Bin(const std::string& key, const std::string& name, const std::string& bytes)
{
    return {key, name, REG_BINARY, bytes};
}

inline Value Dword(const std::string& key, const std::string& name, DWORD number)
{
    return {key, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4)};
}

inline std::string Join(const std::string& base, const std::string& sub)
{
    return sub.empty() ? base : base + "\\" + sub;
}

inline void Put(HKEY root, const std::string& base, const Value& v)
{
    HKEY key;
    if (RegCreateKeyExA(root, Join(base, v.key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (v.type != kKeyOnly)
        RegSetValueExA(key, v.name.c_str(), 0, v.type, reinterpret_cast<const BYTE*>(v.data.data()),
                       static_cast<DWORD>(v.data.size()));
    RegCloseKey(key);
}

inline void PutAll(HKEY root, const std::string& base, const std::vector<Value>& values)
{
    for (const Value& v : values)
        Put(root, base, v);
}

// Adds the values (and their keys) to a captured tree.
inline void AddTo(machine::RegTree& tree, const std::vector<Value>& values)
{
    tree.exists = true;
    for (const Value& v : values) {
        machine::RegTree* t = &tree;
        std::string rest = v.key;
        while (!rest.empty()) {
            size_t cut = rest.find('\\');
            t = &t->subkeys[rest.substr(0, cut)];
            t->exists = true;
            rest = cut == std::string::npos ? "" : rest.substr(cut + 1);
        }
        if (v.type != kKeyOnly)
            t->values[v.name] = machine::RegValue{v.type, v.data};
    }
}

// The tree that exactly these values make (no values: an empty key).
inline machine::RegTree TreeOf(const std::vector<Value>& values)
{
    machine::RegTree tree;
    AddTo(tree, values);
    return tree;
}

inline bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// What to save so that writing path and restoring leaves nothing behind: the
// first key on the way down that does not exist yet, or path itself.
inline std::pair<HKEY, std::string> GuardFor(HKEY root, const std::string& path)
{
    for (size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1))
        if (!KeyExists(root, path.substr(0, cut)))
            return {root, path.substr(0, cut)};
    return {root, path};
}

// Windows 95, 98 and NT 4.0 take the New menu's template as "Data".
inline bool UsesDataTemplates()
{
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof v;
    GetVersionExA(&v);
    return v.dwMajorVersion <= 4 && v.dwMinorVersion <= 10;
}

inline bool IsNtFamily()
{
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof v;
    GetVersionExA(&v);
    return v.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// A file beside the test program that a test creates or removes, put back as
// it was when the test ends.
class SiblingFile {
public:
    explicit SiblingFile(const std::string& name) : path(machine::BinDir() + name)
    {
        existed = machine::ReadFile(path, &saved);
    }
    ~SiblingFile()
    {
        if (existed)
            machine::WriteFile(path, saved);
        else
            DeleteFileA(path.c_str());
    }
    const std::string path;

private:
    bool existed;
    std::string saved;
};

}  // namespace ft
