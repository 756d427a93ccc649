// The real program fed bad input and put in hostile conditions, one table
// per area. Every case must end with exit code 0, write nothing outside its
// program folder (and the temp folder, for the script), and lose nothing it
// should keep.
//
// Covered elsewhere and not repeated here: an unset COMSPEC and a missing
// temp folder (uninstall RemovalRun.WithoutAnInterpreterTheProcessEndsAllTheSame,
// RemovalRun.ScriptThatCannotBeCreatedLeavesTheProgram), a folder with "%" or a
// character outside ASCII (RemovalRun.FolderWithPercentSign and
// ...OutsideAscii), the list file's lines one by one and entries that climb
// out of the folder, in process (uninstall ListFile.*, ListEntry.*,
// DeletionPasses.*), the registry layer's reads at and past their buffers
// (registry Registry.ReadRegString*, Registry.ReadRegDword), the catalogue's
// limits in process (lang ReadCatalogue.*, LoadText.*).
#include <gtest/gtest.h>
#include <ole2.h>

#include <functional>
#include <memory>

#include "lang/language.h"
#include "machine_state_win.h"
#include "registry_changes_win.h"
#include "support/ui_driver_win.h"

namespace {

using ft::Bin;
using ft::Dword;
using ft::Sz;
using ft::Value;
using removal::Installation;
using Entries = std::vector<std::string>;

const int kTimeout = 30000;
const char kComponentList[] = "uninstall.exe\r\nVexora.exe\r\nvexext.dll\r\nDocs\r\nDocs\\Vex.txt\r\n"
                              "vexnew.dat\r\nzipnew.dat\r\n";
const Entries kComponents = {"Vexora.exe", "vexext.dll", "Docs\\", "Docs\\Vex.txt"};

// Files beside and above the program folder that no run may touch.
const Entries kOutside = {"keep.txt", "Outside\\", "Outside\\keep.txt", "Outside\\Vexora.exe"};

// Every file under root except the program folder and the temp folder, with
// its size.
std::string OutsideFiles(const Installation& in)
{
    std::string out;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((in.root + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return "(no folder)";
    do {
        std::string path = in.root + "\\" + data.cFileName;
        std::string name = data.cFileName;
        if (name == "." || name == ".." || changes::SamePath(path, in.dir) || changes::SamePath(path + "\\", in.temp))
            continue;
        out += name + (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? "\\{" + state::Listing(path) + "}"
                                                                         : " " + std::to_string(data.nFileSizeLow)) +
               "; ";
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return out;
}

DWORD Finish(machine::Program& p)
{
    DWORD code = machine::Wait(p, kTimeout);
    if (code == STILL_ACTIVE)
        machine::Kill(p);
    return code;
}

// The stored choices of a setup run that opens no folder window.
void StoreQuietChoices()
{
    IntegrationOptions record;
    memset(&record, 1, sizeof record);
    record.flag[kFlagProgramGroup] = 0;
    SaveIntegrationOptions(&record);
}

DWORD SilentSetup(const Installation& in)
{
    machine::Program p = machine::Start(in.program, "/setup /s", in.dir);
    EXPECT_TRUE(p.process) << in.program;
    return Finish(p);
}

// The removal run answered Yes. With a stand-in interpreter the script is
// written and not run, so the run ends without the two seconds of "/wait".
DWORD Removal(const Installation& in, bool realInterpreter)
{
    removal::ScopedEnv tmp("TMP", in.temp.c_str()), temp("TEMP", in.temp.c_str());
    const std::string standin = machine::BinDir() + "interpreter_standin.exe";
    const std::string report = in.root + "\\interpreter.txt";
    std::unique_ptr<removal::ScopedEnv> comspec, reportPath;
    if (!realInterpreter) {
        comspec.reset(new removal::ScopedEnv("COMSPEC", standin.c_str()));
        reportPath.reset(new removal::ScopedEnv("VEX_COMSPEC_REPORT", report.c_str()));
    }
    machine::Program p = machine::Start(in.program, "", in.root);
    EXPECT_TRUE(p.process) << in.program;
    HWND box = ui::WaitForWindow("Uninstall Vexora", p.pid, kTimeout);
    EXPECT_TRUE(box) << "no question";
    if (box)
        ui::Press(box, IDYES);
    DWORD code = Finish(p);
    if (!realInterpreter)
        removal::WaitUntil([&] { return machine::Exists(report); }, 5000);
    DeleteFileA(report.c_str());
    return code;
}

// The machine the cases start from and go back to: the product's keys and
// links saved, cleared for each case and put back at the end.
class BadInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        turn.reset(new machine::RegistryGuard({}));
        std::vector<std::pair<HKEY, std::string>> keys;
        for (const auto& k : state::ComparedKeys())
            keys.push_back(ft::GuardFor(k.first, k.second));
        guard.reset(new machine::RegistryGuard(keys));
        com.reset(new Com);
    }
    void TearDown() override { state::ClearMachine(""); }

    // A fresh installation under C:\vextest\<name>, with files outside the
    // program folder, on a machine without the product.
    Installation Install(const std::string& name, const std::string& folder, const char* list)
    {
        state::ClearMachine("");
        Installation in = removal::Install(name, folder, "uninstall.exe", kComponents, list);
        removal::MakeEntries(in.root, kOutside);
        return in;
    }

    struct Com {
        Com() { OleInitialize(nullptr); }
        ~Com() { OleUninitialize(); }
    };
    std::unique_ptr<machine::RegistryGuard> turn, guard;
    std::unique_ptr<Com> com;
};

bool KeyExists(HKEY root, const std::string& path)
{
    return ft::KeyExists(root, path);
}

std::string ReadText(HKEY root, const std::string& path, const std::string& name)
{
    machine::RegTree tree = machine::Capture(root, path);
    auto it = tree.values.find(name);
    return it == tree.values.end() ? "<missing>" : std::string(it->second.data.c_str(), strnlen(it->second.data.c_str(), it->second.data.size()));
}

// --- paths -------------------------------------------------------------------------

// Creates every folder of path (a \\?\ path for lengths the ANSI functions
// refuse); false when the platform cannot.
bool MakeFolders(const std::wstring& path)
{
    for (size_t cut = path.find(L'\\', 7); cut != std::wstring::npos; cut = path.find(L'\\', cut + 1))
        CreateDirectoryW(path.substr(0, cut).c_str(), nullptr);
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool IsWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string Padded(const std::string& base, size_t pathLength)
{
    std::string path = base;
    while (path.size() < pathLength) {
        size_t room = pathLength - path.size();
        path += "\\" + std::string(room > 201 ? 200 : room - 1, 'p');
    }
    return path;
}

TEST_F(BadInput, Paths)
{
    const bool japanese = GetACP() == 932;
    const std::string root = "C:\\vextest\\reliability-paths";
    static const struct {
        const char* name;
        std::string folder;  // the program folder, below root unless it is a drive root
        bool underCp932;     // also run by the code page 932 copy
        bool onlyCp932;
        const char* wineSkip = nullptr;  // why Wine cannot run it, when it cannot
    } kCases[] = {
        {"blanks", "Program Files\\Vexora Archiver", false, false},
        {"characters the interpreter reads specially", "Tom & Jerry ^ 100% !Tools! (x86); a=b", false, false},
        // Shift JIS: the second byte of each of the first and the last
        // character is 0x5C, the backslash.
        {"double-byte characters", "\x95\x5c\x8e\xa6 \x83\x5c\x83\x74\x83\x67", true, true},
        {"program path of 258 characters", Padded(root, 258 - 14).substr(root.size() + 1), false, false},
        {"program path of 259 characters", Padded(root, 259 - 14).substr(root.size() + 1), false, false,
         "Wine's command interpreter cannot start a program whose path has 259 characters (258 it can), so the "
         "script's first line fails and the program file is still held when it deletes"},
        {"program path of 300 characters", Padded(root, 300 - 14).substr(root.size() + 1), false, false},
        {"program path of 1020 characters", Padded(root, 1020 - 14).substr(root.size() + 1), false, false},
        {"drive root", "", false, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        if (japanese ? !c.underCp932 : c.onlyCp932) {
            printf("[ SKIPPED  ] %s: %s\n", c.name,
                   japanese ? "run by the default code page" : "needs code page 932 (the _cp932 copy)");
            continue;
        }
        if (c.wineSkip && IsWine()) {
            printf("[ SKIPPED  ] %s: %s\n", c.name, c.wineSkip);
            continue;
        }
        const bool driveRoot = c.folder.empty();
        state::ClearMachine("");
        Installation in;
        in.root = machine::ScratchDir("reliability-paths");
        in.temp = in.root + "\\temp\\";
        CreateDirectoryA(in.temp.c_str(), nullptr);
        removal::MakeEntries(in.root, kOutside);
        in.dir = driveRoot ? "C:\\" : root + "\\" + c.folder;
        in.program = driveRoot ? "C:\\vexora-reliability.exe" : in.dir + "\\uninstall.exe";
        const std::string prefix = driveRoot ? in.dir : in.dir + "\\";
        // Past MAX_PATH the ANSI functions refuse the path, on Windows as under Wine.
        std::wstring wide(in.dir.size() + 1, L'\0');
        wide.resize(MultiByteToWideChar(CP_ACP, 0, in.dir.c_str(), -1, &wide[0], static_cast<int>(wide.size())) - 1);
        if (!driveRoot && (!MakeFolders(L"\\\\?\\" + wide) || !CreateDirectoryA((in.dir + "\\Docs").c_str(), nullptr))) {
            printf("[ SKIPPED  ] %s: the platform cannot make the folder through the ANSI functions (%lu)\n", c.name,
                   GetLastError());
            machine::RemoveTree(in.root);
            continue;
        }
        ASSERT_TRUE(machine::CopyTo(machine::BinDir() + "uninstall.exe", in.program)) << in.program;
        const Entries files = {"Vexora.exe", "vexext.dll", "Docs\\Vex.txt"};
        for (const std::string& f : files)
            if (!driveRoot || f.find('\\') == std::string::npos)
                machine::WriteFile(prefix + f, "component");
        const std::string programName = in.program.substr(prefix.size());
        machine::WriteFile(prefix + "Uninstall.lst", programName + "\r\n" + kComponentList);
        StoreQuietChoices();
        const state::Snapshot before = state::Take({}, true);

        EXPECT_EQ(SilentSetup(in), 0u);
        EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vexora.exe", ""),
                  prefix + "Vexora.exe");
        EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexora archiver",
                           "UninstallString"),
                  in.program);
        EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, ".vex\\ShellNew", "FileName"), prefix + "vexnew.dat");
        std::string image;
        EXPECT_TRUE(machine::ReadFile(prefix + "vexnew.dat", &image) && image == state::kVexImage);

        EXPECT_EQ(Removal(in, true), 0u);
        EXPECT_TRUE(removal::WaitUntil(
            [&] { return !machine::Exists(in.program) && !machine::Exists(in.Script()); }, 40000))
            << "program or script left";
        if (driveRoot) {
            EXPECT_TRUE(machine::Exists("C:\\windows"));
            for (const char* f : {"Vexora.exe", "vexext.dll", "vexnew.dat", "zipnew.dat", "Uninstall.lst"})
                EXPECT_FALSE(machine::Exists(std::string("C:\\") + f)) << f;
        } else {
            EXPECT_TRUE(removal::WaitUntil([&] { return !machine::Exists(in.dir); }, 10000))
                << "left: " << state::Listing(in.dir);
        }
        EXPECT_EQ(removal::Remaining(in.root, kOutside), kOutside);
        const state::Snapshot after = state::Take({}, true);
        EXPECT_EQ(changes::OutsideChanges(before, after), "");
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".vex"));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Vexora"));
        machine::RemoveTree(in.root);
        for (const char* f : {"vexora-reliability.exe", "Vexora.exe", "vexext.dll", "vexnew.dat", "zipnew.dat",
                              "Uninstall.lst"})
            if (driveRoot)
                DeleteFileA((std::string("C:\\") + f).c_str());
    }
}

// --- the list file -----------------------------------------------------------------

std::string Garbage(size_t size, unsigned seed)
{
    state::Random r(seed);
    std::string bytes(size, '\0');
    for (char& b : bytes)
        b = static_cast<char>(r.Below(256));
    return bytes;
}

TEST_F(BadInput, ListFile)
{
    const std::string scratch = "C:\\vextest\\reliability-list";
    static const struct {
        const char* name;
        std::string list;
        Entries left;  // of kComponents and the language module
    } kCases[] = {
        {"empty", "", {"Vexora.exe", "vexext.dll", "Docs\\", "Docs\\Vex.txt", "vexlng.dll"}},
        {"one line of a megabyte", std::string(1 << 20, 'a'),
         {"Vexora.exe", "vexext.dll", "Docs\\", "Docs\\Vex.txt", "vexlng.dll"}},
        {"a long line, then entries", std::string(100000, 'b') + "\r\nVexora.exe\r\n",
         {"vexext.dll", "Docs\\", "Docs\\Vex.txt", "vexlng.dll"}},
        {"binary garbage", Garbage(65536, 7) + "\r\nVexora.exe\r\n",
         {"vexext.dll", "Docs\\", "Docs\\Vex.txt", "vexlng.dll"}},
        // A line holding a zero byte is not an entry the installer wrote.
        {"zero bytes", std::string("Vexora.exe\0\r\n\0\0\0\r\n\0vexext.dll\r\nDocs\\Vex.txt\r\n", 45),
         {"Vexora.exe", "vexext.dll", "Docs\\", "vexlng.dll"}},
        {"the list file, the program and the loaded language module",
         "Uninstall.lst\r\nuninstall.exe\r\nvexlng.dll\r\nVexora.exe\r\n", {"vexext.dll", "Docs\\", "Docs\\Vex.txt"}},
        {"folders first, repeated, with either separator and a trailing one",
         "Docs\r\nDocs/\r\nDocs\\\r\nDocs\\Vex.txt\r\nDocs\\Vex.txt\r\nvexext.dll\r\n", {"Vexora.exe", "vexlng.dll"}},
        {"entries outside the folder and wildcards",
         "..\\keep.txt\r\n..\\Outside\\keep.txt\r\n..\\Outside\\\r\n../Outside/Vexora.exe\r\n" + scratch +
             "\\keep.txt\r\n\\\\?\\" + scratch + "\\keep.txt\r\nDocs\\..\\..\\keep.txt\r\n...\\keep.txt\r\n"
             ".. \\keep.txt\r\nC:..\\keep.txt\r\n*\r\n*.*\r\n?exora.exe\r\nDocs\\*\r\nVexora.exe\r\n",
         {"vexext.dll", "Docs\\", "Docs\\Vex.txt", "vexlng.dll"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Installation in = Install("reliability-list", "Vexora", nullptr);
        ASSERT_TRUE(machine::WriteFile(in.dir + "\\Uninstall.lst", c.list));
        ASSERT_TRUE(machine::CopyTo(machine::BinDir() + "uninstall-fixtures\\vexlng.dll", in.dir + "\\vexlng.dll"));
        const std::string outside = OutsideFiles(in);

        EXPECT_EQ(Removal(in, false), 0u);
        Entries all = kComponents;
        all.push_back("vexlng.dll");
        EXPECT_EQ(removal::Remaining(in.dir, all), c.left);
        EXPECT_FALSE(machine::Exists(in.dir + "\\Uninstall.lst"));
        EXPECT_TRUE(machine::Exists(in.program)) << "left to the script";
        EXPECT_TRUE(machine::Exists(in.Script()));
        EXPECT_EQ(OutsideFiles(in), outside);
        machine::RemoveTree(in.root);
    }
}

// --- the registry ------------------------------------------------------------------

// A value under a root, of any type, with any bytes.
struct Raw {
    HKEY root;
    std::string key;
    std::string name;
    DWORD type;
    std::string data;
};

std::string Dw(DWORD d)
{
    return std::string(reinterpret_cast<const char*>(&d), 4);
}

// A key alone (type ft::kKeyOnly) is made through the wide functions, which
// take names of any length the registry allows.
void Put(const Raw& v)
{
    if (v.type != ft::kKeyOnly) {
        ft::Put(v.root, v.key, Value{"", v.name, v.type, v.data});
        return;
    }
    std::wstring key(v.key.begin(), v.key.end());
    HKEY k;
    if (RegCreateKeyExW(v.root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) == ERROR_SUCCESS)
        RegCloseKey(k);
}

// Wine's ANSI registry functions refuse such long paths, so the usual
// cleanup cannot remove these keys.
void DeleteWideTree(HKEY root, const std::wstring& path)
{
    HKEY k;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return;
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD length = 512;
        if (RegEnumKeyExW(k, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(k);
    for (const std::wstring& n : names)
        DeleteWideTree(root, path + L"\\" + n);
    RegDeleteKeyW(root, path.c_str());
}

bool WideKeyExists(HKEY root, const std::string& path)
{
    std::wstring key(path.begin(), path.end());
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

const HKEY kCr = HKEY_CLASSES_ROOT;
const HKEY kCu = HKEY_CURRENT_USER;

std::string Setting(const std::string& key, const std::string& name)
{
    machine::RegTree tree = machine::Capture(kCu, "Software\\Vexora\\" + key);
    auto it = tree.values.find(name);
    return it == tree.values.end() ? "<missing>" : machine::Show(it->second);
}

TEST_F(BadInput, Registry)
{
    const std::string long255(255, 'k');
    static const struct {
        const char* name;
        std::vector<Raw> values;
        bool setup;  // else only the removal runs
        std::function<void()> afterSetup, afterRemoval;
    } kCases[] = {
        // Flags read as numbers from whatever is stored: the first bytes of a
        // short value, the fallback for a long one.
        {"stored choices of the wrong type",
         {{kCu, "Software\\Vexora\\Setup\\.vex", "Set", REG_SZ, std::string("0", 2)},
          {kCu, "Software\\Vexora\\Setup\\.zip", "Set", REG_BINARY, std::string(1, '\0')},
          {kCu, "Software\\Vexora\\Setup\\.cab", "Set", REG_QWORD, std::string(8, '\0')},
          {kCu, "Software\\Vexora\\Setup\\.arj", "Set", REG_DWORD_BIG_ENDIAN, std::string(4, '\0')},
          {kCu, "Software\\Vexora\\Setup\\Links", "Programs", REG_SZ, std::string(1, '\0')},
          {kCu, "Software\\Vexora\\Setup", "ShellExt", REG_MULTI_SZ, std::string(3, '\0')}},
         true,
         [] {
             EXPECT_EQ(Setting("Setup\\.vex", "Set"), "type 4 1");
             EXPECT_EQ(Setting("Setup\\.zip", "Set"), "type 4 0");
             EXPECT_EQ(Setting("Setup\\.cab", "Set"), "type 4 1");
             EXPECT_EQ(Setting("Setup\\.arj", "Set"), "type 4 0");
             EXPECT_EQ(Setting("Setup\\Links", "Programs"), "type 4 0");
             EXPECT_EQ(Setting("Setup", "ShellExt"), "type 4 0");
         },
         [] {}},
        // Classes read as text from whatever is stored, terminated or not.
        {"classes without a terminator, of the wrong type, at and past the 80-byte read",
         {{kCr, ".zip", "", REG_BINARY, "Other.Zip"},
          {kCr, ".iso", "", REG_SZ, std::string(80, 'i')},
          {kCr, ".cab", "", REG_SZ, std::string(79, 'c') + '\0'},
          {kCr, ".arj", "", REG_DWORD, "Arj!"}},
         true,
         [] {},
         [] {
             EXPECT_EQ(ReadText(kCr, ".zip", ""), "Other.Zip");
             EXPECT_EQ(ReadText(kCr, ".iso", ""), std::string(80, 'i'));
             EXPECT_EQ(ReadText(kCr, ".cab", ""), std::string(79, 'c'));
             EXPECT_EQ(ReadText(kCr, ".arj", ""), "Arj!");
         }},
        {"New menu values of the wrong type and without a terminator",
         {{kCr, ".vex", "", REG_SZ, std::string("Old.Vex", 8)},
          {kCr, ".vex\\ShellNew", "FileName", REG_BINARY, "C:\\old.vex"},
          {kCr, ".vex\\ShellNew", "Data", REG_SZ, std::string("text data", 10)},
          {kCr, ".zip\\ShellNew", "NullFile", REG_DWORD, Dw(0)},
          {kCr, ".zip\\ShellNew", "Command", REG_EXPAND_SZ, "zip.exe %1"}},
         true,
         [] {},
         [] {
             EXPECT_EQ(ReadText(kCr, ".vex", ""), "Old.Vex");
             EXPECT_EQ(ReadText(kCr, ".vex\\ShellNew", "FileName"), "C:\\old.vex");
             EXPECT_EQ(ReadText(kCr, ".vex\\ShellNew", "Data"), "text data");
             EXPECT_EQ(ReadText(kCr, ".zip\\ShellNew", "NullFile"), "");
             EXPECT_EQ(ReadText(kCr, ".zip\\ShellNew", "Command"), "zip.exe %1");
         }},
        // An association backup damaged since setup: read with the same
        // limits, given back as far as it can be.
        {"a backup of the wrong types and past its reads",
         {{kCr, ".zip", "", REG_SZ, std::string("Vexora.ZIP", 11)},
          {kCu, "Software\\Vexora\\Setup\\.zip", "Exist", REG_SZ, std::string("1", 2)},
          {kCu, "Software\\Vexora\\Setup\\.zip", "Type", REG_DWORD, "AAAA"},
          {kCu, "Software\\Vexora\\Setup\\.zip", "Content", REG_SZ, std::string(512, 'c')},
          {kCu, "Software\\Vexora\\Setup\\.zip", "ShellNew", REG_BINARY, std::string(1024, 'n')},
          {kCu, "Software\\Vexora\\Setup\\.zip", "ShellNewData", REG_BINARY, std::string(4097, 'd')},
          {kCu, "Software\\Vexora\\Setup\\.zip", "ShellNewCommand", REG_SZ, std::string(1024, 'm')}},
         false,
         [] {},
         [] {
             EXPECT_EQ(ReadText(kCr, ".zip", ""), "AAAA");
             EXPECT_EQ(ReadText(kCr, ".zip", "Content Type"), "<missing>");
             EXPECT_EQ(machine::Capture(kCr, ".zip\\ShellNew").values.size(), 0u);
         }},
        {"recovery volume and volume classes at and past their reads",
         {{kCr, ".rev", "", REG_SZ, "Vexora.REV" + std::string(60, 'x')},
          {kCr, ".vex", "", REG_SZ, std::string("Vexora", 7)},
          {kCu, "Software\\Vexora\\Setup\\.vex", "Type", REG_SZ, std::string("Old.Vex", 8)},
          {kCr, ".v03", "", REG_BINARY, "Vexora"},
          {kCr, ".v04", "", REG_SZ, "Vexora" + std::string(100, 'v')}},
         false,
         [] {},
         [] {
             EXPECT_EQ(ReadText(kCr, ".rev", ""), "Vexora.REV" + std::string(60, 'x'));
             EXPECT_EQ(ReadText(kCr, ".vex", ""), "Old.Vex");
             EXPECT_EQ(ReadText(kCr, ".v03", ""), "Old.Vex");
             EXPECT_EQ(ReadText(kCr, ".v04", ""), "Vexora" + std::string(100, 'v'));
         }},
        // The tree deletion walks a key's subkeys with a 200-byte name
        // buffer and stops at the first name that does not fit: the settings
        // root then stays whole. Nothing outside it is touched.
        {"settings with a 255-character key name",
         {{kCu, "Software\\Vexora\\" + long255, "", ft::kKeyOnly, ""},
          {kCu, "Software\\Vexora\\Setup", "ShellExt", REG_DWORD, Dw(1)}},
         false,
         [] {},
         [] {
             EXPECT_TRUE(WideKeyExists(kCu, "Software\\Vexora\\" + std::string(255, 'k')));
             EXPECT_TRUE(KeyExists(kCu, "Software\\Vexora\\Setup"));
         }},
        // A child path past 512 bytes is left with the keys above it; the
        // rest of the settings go.
        {"settings with a chain of keys past the 512-byte child path",
         {{kCu, "Software\\Vexora\\Viewer\\" + std::string(199, 'a') + "\\" + std::string(199, 'b') + "\\" +
                    std::string(199, 'c'),
           "", ft::kKeyOnly, ""},
          {kCu, "Software\\Vexora\\Setup", "ShellExt", REG_DWORD, Dw(1)}},
         false,
         [] {},
         [] {
             EXPECT_TRUE(WideKeyExists(kCu, "Software\\Vexora\\Viewer\\" + std::string(199, 'a') + "\\" +
                                                std::string(199, 'b') + "\\" + std::string(199, 'c')));
             EXPECT_FALSE(KeyExists(kCu, "Software\\Vexora\\Setup"));
         }},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        DeleteWideTree(kCu, L"Software\\Vexora");
        Installation in = Install("reliability-registry", "Vexora", kComponentList);
        if (c.setup)
            StoreQuietChoices();
        for (const Raw& v : c.values)
            Put(v);
        const state::Snapshot before = state::Take({}, true);
        const std::string outside = OutsideFiles(in);
        if (c.setup) {
            EXPECT_EQ(SilentSetup(in), 0u);
            c.afterSetup();
        }
        EXPECT_EQ(Removal(in, false), 0u);
        c.afterRemoval();
        EXPECT_EQ(changes::OutsideChanges(before, state::Take({}, true)), "");
        EXPECT_EQ(OutsideFiles(in), outside);
        EXPECT_EQ(removal::Remaining(in.dir, kComponents), Entries{});
        machine::RemoveTree(in.root);
        DeleteWideTree(kCu, L"Software\\Vexora");
    }
}

// --- the environment -------------------------------------------------------------------

TEST_F(BadInput, Environment)
{
    static const struct {
        const char* name;
        const char* variable;
        std::string value;  // "<root>" stands for the installation's root
        bool scriptWritten;
    } kCases[] = {
        {"COMSPEC names no program", "COMSPEC", "C:\\no\\such\\cmd.exe", true},
        {"COMSPEC past its 1024-byte buffer", "COMSPEC", "C:\\" + std::string(1100, 'c') + ".exe", true},
        {"COMSPEC that makes the command line past 512 bytes", "COMSPEC", "C:\\" + std::string(500, 'c') + ".exe",
         true},
        {"temp folder that is a file", "TMP", "<root>\\tempfile", false},
        {"temp folder whose script name is a folder", "TMP", "<root>\\scriptdir", false},
        {"temp folder path past its 1024-byte buffer", "TMP", "<root>\\" + std::string(1100, 't'), false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Installation in = Install("reliability-env", "Vexora", kComponentList);
        machine::WriteFile(in.root + "\\tempfile", "a file");
        CreateDirectoryA((in.root + "\\scriptdir").c_str(), nullptr);
        CreateDirectoryA((in.root + "\\scriptdir\\Uninstall.Vex.Bat").c_str(), nullptr);
        std::string value = c.value;
        if (value.compare(0, 6, "<root>") == 0)
            value = in.root + value.substr(6);
        if (std::string(c.variable) == "TMP")
            in.temp = value + "\\";
        const std::string outside = OutsideFiles(in);
        {
            // Removal sets TMP and TEMP from in.temp; COMSPEC is set here.
            std::unique_ptr<removal::ScopedEnv> comspec;
            if (std::string(c.variable) == "COMSPEC")
                comspec.reset(new removal::ScopedEnv("COMSPEC", value.c_str()));
            removal::ScopedEnv tmp("TMP", in.temp.c_str()), temp("TEMP", in.temp.c_str());
            machine::Program p = machine::Start(in.program, "", in.root);
            HWND box = ui::WaitForWindow("Uninstall Vexora", p.pid, kTimeout);
            ASSERT_TRUE(box) << "no question";
            ui::Press(box, IDYES);
            EXPECT_EQ(Finish(p), 0u);
        }
        // The run itself is complete: the program and its folder are left to
        // the script, or stay when there is none.
        EXPECT_EQ(removal::Remaining(in.dir, kComponents), Entries{});
        EXPECT_TRUE(machine::Exists(in.program));
        EXPECT_FALSE(machine::Exists(in.dir + "\\Uninstall.lst"));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Vexora"));
        if (c.scriptWritten) {
            EXPECT_TRUE(machine::Exists(in.Script()));
        }
        const std::string now = OutsideFiles(in);
        EXPECT_EQ(now, outside);
        machine::RemoveTree(in.root);
    }
}

// --- the language file -----------------------------------------------------------------

const std::string kMarker = "***messages**";

std::string Entry(const char* source, const std::string& text)
{
    char key[kCatalogueKeySize];
    MakeCatalogueKey(key, source, nullptr, kMessageText);
    return std::string(key) + "=\"" + text + "\"";
}

// The marker, filler lines, then tail, so that exactly size bytes follow from
// the marker's first byte on.
std::string Catalogue(const std::string& tail, size_t size)
{
    std::string bytes = kMarker + "\r\n";
    while (bytes.size() + tail.size() < size) {
        size_t room = size - bytes.size() - tail.size();
        bytes += room > 66 ? std::string(62, '.') + "\r\n" : std::string(room - 2, '.') + "\r\n";
    }
    return "head of the file, before the marker\r\n" + bytes + tail;
}

std::vector<std::pair<std::string, std::string>> CorpusFiles()
{
    std::vector<std::pair<std::string, std::string>> files;
    const std::string dir = machine::BinDir() + "..\\..\\..\\tests\\lang\\fuzz_corpus\\";
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        std::string bytes;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && machine::ReadFile(dir + data.cFileName, &bytes))
            files.push_back({data.cFileName, bytes});
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return files;
}

TEST_F(BadInput, LanguageFile)
{
    const std::string displayName = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexora archiver";
    struct Case {
        std::string name;
        std::string file;
        const char* displayName;  // the translation setup writes, or null: not checked
        bool removal = true;
    };
    std::vector<Case> cases = {
        {"65536 bytes from the marker, the translation ending at the last byte",
         Catalogue("\r\n" + Entry("Vexora archiver", "Vexora-Archiv"), 65536), "Vexora-Archiv"},
        {"65536 bytes from the marker, the last byte a backslash",
         Catalogue("\r\n" + Entry("Vexora archiver", "Vexora-Archiv") + "\r\n\\", 65536), "Vexora-Archiv"},
        {"an entry cut by the 65536-byte limit",
         Catalogue("\r\n" + Entry("Vexora archiver", "Vexora-Archiv"), 65536 + 6), nullptr},
        {"an entry just past the limit",
         Catalogue("", 65536) + "\r\n" + Entry("Vexora archiver", "Vexora-Archiv") + "\r\n", "Vexora archiver"},
    };
    // The fuzzer's corpus: the seeds it starts from and, should it ever find
    // one, the input that crashed it.
    for (const auto& f : CorpusFiles())
        cases.push_back({"fuzz corpus " + f.first, f.second, nullptr, false});
    ASSERT_GT(cases.size(), 4u) << "no fuzz corpus found";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Installation in = Install("reliability-lang", "Vexora", kComponentList);
        ASSERT_TRUE(machine::WriteFile(in.dir + "\\uninstall.lng", c.file));
        StoreQuietChoices();
        EXPECT_EQ(SilentSetup(in), 0u);
        if (c.displayName) {
            EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, displayName, "DisplayName"), c.displayName);
        }
        if (c.removal) {
            EXPECT_EQ(Removal(in, false), 0u);
            EXPECT_EQ(removal::Remaining(in.dir, kComponents), Entries{});
        }
        machine::RemoveTree(in.root);
    }
}

}  // namespace
