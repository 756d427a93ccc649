// Registry differences one by one, for judging them: every key and value
// that is not as it was.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "machine_state_win.h"
#include "support/machine_win.h"

namespace changes {

using machine::RegTree;
using machine::RegValue;

inline bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// path is prefix itself or lies below it.
inline bool Under(const std::string& path, const std::string& prefix)
{
    return SamePath(path, prefix) ||
           (path.size() > prefix.size() && path[prefix.size()] == '\\' && SamePath(path.substr(0, prefix.size()), prefix));
}

struct Change {
    enum Kind { KeyAdded, KeyRemoved, ValueAdded, ValueRemoved, ValueChanged } kind;
    HKEY root;
    std::string path;  // the key
    std::string name;  // the value's, for the value kinds
    RegValue before, after;
};

inline const char* KindName(int kind)
{
    static const char* const kKindNames[] = {"key added", "key removed", "value added", "value removed", "value changed"};
    return kKindNames[kind];
}

inline std::string Describe(const Change& c)
{
    std::string root = c.root == HKEY_CLASSES_ROOT ? "HKCR" : c.root == HKEY_CURRENT_USER ? "HKCU" : "HKLM";
    std::string out = root + "\\" + c.path;
    if (c.kind >= Change::ValueAdded)
        out += " [" + c.name + "]";
    out += std::string(": ") + KindName(c.kind);
    if (c.kind == Change::ValueRemoved || c.kind == Change::ValueChanged)
        out += " " + machine::Show(c.before);
    if (c.kind == Change::ValueAdded || c.kind == Change::ValueChanged)
        out += (c.kind == Change::ValueChanged ? " -> " : " ") + machine::Show(c.after);
    return out;
}

// Every key and value that differs, one change each.
inline void Flatten(HKEY root, const std::string& path, const RegTree& before, const RegTree& after, std::vector<Change>* out)
{
    static const RegTree missing;
    if (!before.exists && !after.exists)
        return;
    if (before.exists != after.exists)
        out->push_back({before.exists ? Change::KeyRemoved : Change::KeyAdded, root, path, "", RegValue{}, RegValue{}});
    for (const auto& v : before.values) {
        auto it = after.values.find(v.first);
        if (it == after.values.end())
            out->push_back({Change::ValueRemoved, root, path, v.first, v.second, RegValue{}});
        else if (!(it->second == v.second))
            out->push_back({Change::ValueChanged, root, path, v.first, v.second, it->second});
    }
    for (const auto& v : after.values)
        if (!before.values.count(v.first))
            out->push_back({Change::ValueAdded, root, path, v.first, RegValue{}, v.second});
    const std::string prefix = path.empty() ? "" : path + "\\";
    for (const auto& s : before.subkeys) {
        auto it = after.subkeys.find(s.first);
        Flatten(root, prefix + s.first, s.second, it == after.subkeys.end() ? missing : it->second, out);
    }
    for (const auto& s : after.subkeys)
        if (!before.subkeys.count(s.first))
            Flatten(root, prefix + s.first, missing, s.second, out);
}

// A change of the wide view that the narrow one has judged, or sees as HKEY_CLASSES_ROOT.
inline bool AlreadyCompared(const Change& c)
{
    if (c.root != HKEY_CLASSES_ROOT && Under(c.path, "Software\\Classes"))
        return true;
    for (const auto& k : state::ComparedKeys())
        if (k.first == c.root && Under(c.path, k.second))
            return true;
    return false;
}

// The changes between two wide snapshots outside the compared keys: places
// the program has no business in.
inline std::string OutsideChanges(const state::Snapshot& before, const state::Snapshot& after)
{
    const auto wide = state::WideKeys();
    std::vector<Change> all;
    for (size_t i = 0; i < wide.size() && i < before.wide.size() && i < after.wide.size(); ++i)
        Flatten(wide[i].first, wide[i].second, before.wide[i], after.wide[i], &all);
    std::string out;
    for (const Change& c : all)
        if (!AlreadyCompared(c))
            out += "  " + Describe(c) + "\n";
    return out;
}

}  // namespace changes
