#include "support/machine_win.h"

#include <shellapi.h>
#include <stdio.h>
#include <string.h>

namespace machine {

std::string BinDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = strrchr(path, '\\');
    if (slash)
        slash[1] = 0;
    return path;
}

std::string ScratchDir(const std::string& name)
{
    CreateDirectoryA("C:\\vextest", nullptr);
    std::string dir = "C:\\vextest\\" + name;
    RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

namespace {

// Deletes a tree through the wide functions and "\\\\?\\" paths, which
// take any length. (Wine's SHFileOperation, given a tree with paths past
// MAX_PATH, deletes from the current directory instead.)
bool RemoveWideTree(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path.c_str()) != 0
                                                       : DeleteFileW(path.c_str()) != 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name != L"." && name != L"..")
                RemoveWideTree(path + L"\\" + name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return RemoveDirectoryW(path.c_str()) != 0;
}

}  // namespace

bool RemoveTree(const std::string& path)
{
    // Only a full path with a drive: a relative one would be taken from the
    // current directory, the build or the source folder.
    if (path.size() < 4 || path[1] != ':' || path[2] != '\\')
        return false;
    int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return false;
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], n);
    wide.resize(n - 1);
    while (!wide.empty() && wide.back() == L'\\')
        wide.pop_back();
    return RemoveWideTree(L"\\\\?\\" + wide);
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool ReadFile(const std::string& path, std::string* bytes)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes->clear();
    char buffer[8192];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes->append(buffer, n);
    fclose(f);
    return true;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CopyTo(const std::string& from, const std::string& to)
{
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

Program Start(const std::string& exe, const std::string& args, const std::string& cwd)
{
    Program p;
    std::string commandLine = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       cwd.empty() ? nullptr : cwd.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        p.process = info.hProcess;
        p.pid = info.dwProcessId;
    }
    return p;
}

DWORD Wait(Program& program, int timeoutMs)
{
    if (!program.process)
        return static_cast<DWORD>(-1);
    if (WaitForSingleObject(program.process, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(program.process, &code);
    CloseHandle(program.process);
    program.process = nullptr;
    return code;
}

void Kill(Program& program)
{
    if (!program.process)
        return;
    TerminateProcess(program.process, 1);
    WaitForSingleObject(program.process, 5000);
    CloseHandle(program.process);
    program.process = nullptr;
}

void SetWineVersion(const std::string& exeName, const std::string& version)
{
    std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
    if (version.empty()) {
        RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
        return;
    }
    HKEY k;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) == 0) {
        RegSetValueExA(k, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                       static_cast<DWORD>(version.size() + 1));
        RegCloseKey(k);
    }
}

RegTree Capture(HKEY root, const std::string& path)
{
    RegTree tree;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return tree;
    tree.exists = true;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameSize = sizeof name, type = 0, dataSize = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS)
            break;
        std::string data(dataSize, '\0');
        nameSize = sizeof name;
        RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &dataSize);
        data.resize(dataSize);
        tree.values[name] = RegValue{type, data};
    }
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& n : names)
        tree.subkeys[n] = Capture(root, path + "\\" + n);
    return tree;
}

void DeleteTree(HKEY root, const std::string& path)
{
    if (path.empty())
        return;  // never a root
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& n : names)
        DeleteTree(root, path + "\\" + n);
    RegDeleteKeyA(root, path.c_str());
}

namespace {
void Write(HKEY root, const std::string& path, const RegTree& tree)
{
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    for (const auto& v : tree.values)
        RegSetValueExA(key, v.first.c_str(), 0, v.second.type, reinterpret_cast<const BYTE*>(v.second.data.data()),
                       static_cast<DWORD>(v.second.data.size()));
    RegCloseKey(key);
    for (const auto& s : tree.subkeys)
        Write(root, path + "\\" + s.first, s.second);
}
}  // namespace

void Restore(HKEY root, const std::string& path, const RegTree& tree)
{
    DeleteTree(root, path);
    if (tree.exists)
        Write(root, path, tree);
}

std::string Show(const RegValue& v)
{
    char head[32];
    snprintf(head, sizeof head, "type %lu ", static_cast<unsigned long>(v.type));
    std::string out = head;
    if (v.type == REG_SZ || v.type == REG_EXPAND_SZ) {
        out += "\"" + std::string(v.data.c_str()) + "\"";
        if (v.data.size() != strlen(v.data.c_str()) + 1)
            out += " (" + std::to_string(v.data.size()) + " bytes)";
    } else if (v.type == REG_DWORD && v.data.size() == 4) {
        DWORD d;
        memcpy(&d, v.data.data(), 4);
        out += std::to_string(d);
    } else {
        for (unsigned char c : v.data) {
            char hex[4];
            snprintf(hex, sizeof hex, "%02x ", c);
            out += hex;
        }
    }
    return out;
}

std::string Diff(const RegTree& before, const RegTree& after, const std::string& path)
{
    std::string out;
    if (before.exists != after.exists) {
        out += path + (before.exists ? ": key removed\n" : ": key added\n");
        if (!before.exists || !after.exists)
            return out;
    }
    for (const auto& v : before.values) {
        auto it = after.values.find(v.first);
        if (it == after.values.end())
            out += path + " [" + v.first + "]: " + Show(v.second) + " -> removed\n";
        else if (!(it->second == v.second))
            out += path + " [" + v.first + "]: " + Show(v.second) + " -> " + Show(it->second) + "\n";
    }
    for (const auto& v : after.values)
        if (!before.values.count(v.first))
            out += path + " [" + v.first + "]: added " + Show(v.second) + "\n";
    static const RegTree missing;
    for (const auto& s : before.subkeys) {
        auto it = after.subkeys.find(s.first);
        out += Diff(s.second, it == after.subkeys.end() ? missing : it->second, path + "\\" + s.first);
    }
    for (const auto& s : after.subkeys)
        if (!before.subkeys.count(s.first))
            out += Diff(missing, s.second, path + "\\" + s.first);
    return out;
}

RegistryGuard::RegistryGuard(std::vector<std::pair<HKEY, std::string>> k) : keys(std::move(k))
{
    // A mutex left by a crashed holder is handed on as abandoned: still ours.
    lock = CreateMutexA(nullptr, FALSE, "VexoraTestRegistryGuard");
    WaitForSingleObject(lock, INFINITE);
    for (const auto& key : keys)
        saved.push_back(Capture(key.first, key.second));
}

RegistryGuard::~RegistryGuard()
{
    for (size_t i = 0; i < keys.size(); ++i)
        Restore(keys[i].first, keys[i].second, saved[i]);
    ReleaseMutex(lock);
    CloseHandle(lock);
}

}  // namespace machine
