// Setup mode as the installer runs it: the real program copied into an
// installation folder of its own, started there with "/setup" and driven
// through its two dialogs the way a user would.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "support/machine_win.h"
#include "support/ui_driver_win.h"

namespace {

const int kTimeout = 20000;
const char kCaption[] = "Vexora Setup";
const char kClsid[] = "{6F3A1C52-94D7-4B0E-8C21-5E7D09B4A3F6}";
const char kSettings[] = "Software\\Vexora";
const char kAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vexora.exe";
const char kUninstallEntry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexora archiver";
const char kApproved[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const char kMissing[] = "<missing>";

// Setup dialog controls.
enum { kZipBox = 5102, kTarBox = 5107, kDesktopBox = 5113, kStartMenuBox = 5114 };
enum { kGroupBox = 5115, kShellBox = 5116, kCascadedBox = 5117, kIconsBox = 5118, kSelectAll = 5119 };
enum { kExplanation = 5120, kHelpButton = 9 };
// Completion dialog controls.
enum { kFolderText = 5101, kRunButton = 5102, kLicenseButton = 5104, kPriceButton = 5105, kHomeButton = 5106 };

// Every extension of the twelve archive types, as the user knows them.
const char* const kArchiveExtensions[] = {".vex", ".zip", ".cab", ".arj", ".lzh", ".lha", ".ace",
                                          ".tar", ".gz",  ".tgz", ".uue", ".xxe", ".uu",  ".bz2",
                                          ".tbz2", ".bz", ".tbz", ".jar", ".iso"};
const char* const kHandlerKeys[] = {
    "Vexora\\shellex\\ContextMenuHandlers\\",  "Vexora\\shellex\\PropertySheetHandlers\\",
    "Vexora.ZIP\\shellex\\ContextMenuHandlers\\", "Vexora.ZIP\\shellex\\PropertySheetHandlers\\",
    "exefile\\shellex\\PropertySheetHandlers\\", "Vexora\\shellex\\DropHandler",
    "Vexora.ZIP\\shellex\\DropHandler",         "*\\shellex\\ContextMenuHandlers\\Vexora",
    "Folder\\shellex\\ContextMenuHandlers\\Vexora", "Folder\\shellex\\DragDropHandlers\\Vexora",
    "Drive\\shellex\\DragDropHandlers\\Vexora",  "Directory\\shellex\\ContextMenuHandlers\\Vexora",
    "Directory\\shellex\\DragDropHandlers\\Vexora",
};

std::string HandlerKey(const char* key)
{
    std::string k = key;
    return k.back() == '\\' ? k + kClsid : k;
}

// --- registry -------------------------------------------------------------

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

machine::RegValue ReadValue(HKEY root, const std::string& path, const std::string& name, bool* found)
{
    machine::RegTree tree = machine::Capture(root, path);
    auto it = tree.values.find(name);
    *found = it != tree.values.end();
    return *found ? it->second : machine::RegValue{REG_NONE, ""};
}

// The text of a REG_SZ value, or kMissing.
std::string ReadString(HKEY root, const std::string& path, const std::string& name = "")
{
    bool found;
    machine::RegValue v = ReadValue(root, path, name, &found);
    if (!found)
        return kMissing;
    if (v.type != REG_SZ)
        return "<type " + std::to_string(v.type) + ">";
    return v.data.c_str();
}

// A REG_DWORD as its number, or kMissing.
std::string ReadDword(HKEY root, const std::string& path, const std::string& name)
{
    bool found;
    machine::RegValue v = ReadValue(root, path, name, &found);
    if (!found)
        return kMissing;
    if (v.type != REG_DWORD || v.data.size() != 4)
        return "<not a dword: " + machine::Show(v) + ">";
    DWORD d;
    memcpy(&d, v.data.data(), 4);
    return std::to_string(d);
}

std::string Setting(const std::string& path, const std::string& name)
{
    return ReadDword(HKEY_CURRENT_USER, std::string(kSettings) + "\\" + path, name);
}

void WriteString(HKEY root, const std::string& path, const std::string& name, const std::string& text)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS)
        << path;
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

void StoreSetting(const std::string& path, const std::string& name, DWORD value)
{
    HKEY key;
    std::string full = std::string(kSettings) + (path.empty() ? "" : "\\" + path);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, full.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// The highest key on the path that does not exist yet (or the path itself):
// putting it back removes every key a run created on the way down.
std::string FirstMissingKey(HKEY root, const std::string& path)
{
    for (size_t pos = path.find('\\');; pos = path.find('\\', pos + 1)) {
        std::string prefix = path.substr(0, pos);
        if (pos == std::string::npos || !KeyExists(root, prefix))
            return prefix;
    }
}

std::string VolumeExtension(int n)
{
    char v[8];
    snprintf(v, sizeof v, ".v%02d", n);
    return v;
}

// What a setup run may write, and what the test writes as the "before" state.
std::vector<std::pair<HKEY, std::string>> ProductKeys()
{
    std::vector<std::pair<HKEY, std::string>> keys = {{HKEY_CURRENT_USER, kSettings}};
    for (const char* e : kArchiveExtensions)
        keys.push_back({HKEY_CLASSES_ROOT, e});
    for (int n = 0; n < 100; ++n)
        keys.push_back({HKEY_CLASSES_ROOT, VolumeExtension(n)});
    for (const char* k : {".rev", "Vexora", "Vexora.ZIP", "Vexora.REV"})
        keys.push_back({HKEY_CLASSES_ROOT, k});
    keys.push_back({HKEY_CLASSES_ROOT, std::string("CLSID\\") + kClsid});
    for (const char* h : kHandlerKeys)
        keys.push_back({HKEY_CLASSES_ROOT, HandlerKey(h)});
    keys.push_back({HKEY_LOCAL_MACHINE, kAppPath});
    keys.push_back({HKEY_LOCAL_MACHINE, kUninstallEntry});
    return keys;
}

std::vector<std::pair<HKEY, std::string>> GuardedKeys()
{
    std::vector<std::pair<HKEY, std::string>> keys = ProductKeys();
    keys.push_back({HKEY_LOCAL_MACHINE, kApproved});
    // The document viewer and browser stand-ins of the completion dialog's buttons.
    for (const char* k : {".txt", "VexTest.Document", "https\\shell\\open\\command"})
        keys.push_back({HKEY_CLASSES_ROOT, k});
    for (auto& k : keys)
        k.second = FirstMissingKey(k.first, k.second);
    return keys;
}

// One line per key and per value, for comparing whole trees.
std::string Dump(const machine::RegTree& tree, const std::string& path)
{
    if (!tree.exists)
        return "";
    std::string out = path + "\n";
    for (const auto& v : tree.values)
        out += path + " [" + v.first + "] " + machine::Show(v.second) + "\n";
    for (const auto& s : tree.subkeys)
        out += Dump(s.second, path + "\\" + s.first);
    return out;
}

// --- shell folders ----------------------------------------------------------

std::string ShellFolder(int csidl)
{
    char path[MAX_PATH];
    if (SHGetFolderPathA(nullptr, csidl, nullptr, 0, path) != S_OK)
        return "";
    return path;
}

std::string DesktopLink()
{
    return ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Vexora.lnk";
}
std::string StartMenuLink()
{
    return ShellFolder(CSIDL_STARTMENU) + "\\Vexora.lnk";
}
std::string UserGroup()
{
    return ShellFolder(CSIDL_PROGRAMS) + "\\Vexora";
}
std::string CommonGroup()
{
    return ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\Vexora";
}

void RemoveLinks()
{
    DeleteFileA(DesktopLink().c_str());
    DeleteFileA(StartMenuLink().c_str());
    machine::RemoveTree(UserGroup());
    machine::RemoveTree(CommonGroup());
}

// --- waiting ----------------------------------------------------------------

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (static_cast<int>(GetTickCount() - start) > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

int BoxState(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return static_cast<int>(state);
}

// "<12 archive boxes>|<boxes 5113 to 5118>": 1 checked, 0 clear, and the
// letters d and e for a clear or checked box that is disabled.
std::string Boxes(HWND dialog)
{
    std::string s;
    for (int id = 5101; id <= kIconsBox; ++id) {
        if (id == kDesktopBox)
            s += '|';
        bool checked = BoxState(dialog, id) == BST_CHECKED;
        bool enabled = IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
        s += enabled ? (checked ? '1' : '0') : (checked ? 'e' : 'd');
    }
    return s;
}

// Clicks a check box and waits until the dialog has handled the click.
void ClickBox(HWND dialog, int id)
{
    int before = BoxState(dialog, id);
    ASSERT_TRUE(ui::Press(dialog, id));
    ASSERT_TRUE(WaitUntil([&] { return BoxState(dialog, id) != before; })) << "box " << id << " did not toggle";
}

std::string ControlText(HWND dialog, int id)
{
    return ui::Text(GetDlgItem(dialog, id));
}

// Lines of a stand-in's log, "<command line>|<current directory>" each.
std::vector<std::string> LogLines(const std::string& path)
{
    std::string text;
    std::vector<std::string> lines;
    if (!machine::ReadFile(path, &text))
        return lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// --- the fixture --------------------------------------------------------------

// The product never installed: no stored choices, no associations, no
// registration, no links. Everything it touches is put back afterwards.
struct SetupRun : ::testing::Test {
    machine::RegistryGuard guard{GuardedKeys()};
    std::string folder;
    machine::Program program;

    void SetUp() override
    {
        for (const auto& k : ProductKeys())
            machine::DeleteTree(k.first, k.second);
        HKEY approved;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kApproved, 0, KEY_SET_VALUE, &approved) == ERROR_SUCCESS) {
            RegDeleteValueA(approved, kClsid);
            RegCloseKey(approved);
        }
        RemoveLinks();
        folder = machine::ScratchDir(std::string("setup-") +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_TRUE(machine::CopyTo(machine::BinDir() + "uninstall.exe", File("uninstall.exe")));
        ASSERT_TRUE(machine::CopyTo(machine::BinDir() + "startrecorder.exe", File("Vexora.exe")));
    }

    void TearDown() override
    {
        machine::Kill(program);
        CloseWindowsLeftOpen();
        RemoveLinks();
        machine::RemoveTree(folder);
    }

    std::string File(const std::string& name) const { return folder + "\\" + name; }

    void Start(const char* args) { program = machine::Start(File("uninstall.exe"), args, folder); }

    HWND WaitSetupDialog()
    {
        HWND dialog = ui::WaitForWindow(kCaption, program.pid, kTimeout);
        return dialog && GetDlgItem(dialog, kExplanation) ? dialog : nullptr;
    }

    // Both dialogs have the same caption: the completion dialog is the one
    // with the "Run Vexora" button, after the setup dialog has gone.
    HWND WaitDoneDialog(HWND setupDialog)
    {
        if (!ui::WaitForWindowGone(setupDialog, kTimeout))
            return nullptr;
        HWND dialog = ui::WaitForWindow(kCaption, program.pid, kTimeout);
        return dialog && GetDlgItem(dialog, kRunButton) ? dialog : nullptr;
    }

    // OK on the setup dialog; returns the completion dialog.
    HWND Confirm(HWND setupDialog)
    {
        ui::Press(setupDialog, IDOK);
        return WaitDoneDialog(setupDialog);
    }

    // The exit code; a program still running is ended, so that it does not
    // outlive the test with a dialog open.
    DWORD WaitForExit()
    {
        DWORD code = machine::Wait(program, kTimeout);
        if (code == STILL_ACTIVE)
            machine::Kill(program);
        return code;
    }

    DWORD Finish(HWND doneDialog)
    {
        ui::Press(doneDialog, IDOK);
        return WaitForExit();
    }

    // The program group folder that setup has the shell open afterwards.
    bool CloseGroupWindow(int timeoutMs = kTimeout)
    {
        HWND window = ui::WaitForWindow("Vexora", 0, timeoutMs);
        if (window)
            CloseFolderWindow(window);
        return window != nullptr;
    }

    // The folder window's process inherited the installation folder as its
    // current directory, which keeps the folder from being removed until the
    // process has ended.
    static void CloseFolderWindow(HWND window)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        ui::Close(window);
        if (process) {
            WaitForSingleObject(process, kTimeout);
            CloseHandle(process);
        }
    }

    void CloseWindowsLeftOpen()
    {
        CloseGroupWindow(0);
        if (HWND helpError = ui::WaitForWindow("ERROR", 0, 0))
            ui::Press(helpError, IDNO);
    }

    // Everything setup could change, for before-and-after comparisons.
    std::string Snapshot() const
    {
        std::string out;
        auto keys = ProductKeys();
        keys.push_back({HKEY_LOCAL_MACHINE, kApproved});
        for (const auto& k : keys)
            out += Dump(machine::Capture(k.first, k.second), k.second);
        for (const std::string& path : {DesktopLink(), StartMenuLink(), UserGroup(), CommonGroup(),
                                        File("vexnew.dat"), File("zipnew.dat")})
            if (machine::Exists(path))
                out += path + " exists\n";
        return out;
    }
};

// --- the setup dialog -----------------------------------------------------------

// Nothing stored: the defaults, with ISO clear when another program has ".iso".
TEST_F(SetupRun, FreshPrefixShowsTheDefaults)
{
    static const struct {
        const char* isoClass;
        const char* boxes;
    } kCases[] = {
        {nullptr, "111111111111|001101"},
        {"OtherIso", "111111111110|001101"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.isoClass ? c.isoClass : "no .iso class");
        if (c.isoClass)
            WriteString(HKEY_CLASSES_ROOT, ".iso", "", c.isoClass);
        Start("/setup");
        HWND dialog = WaitSetupDialog();
        ASSERT_TRUE(dialog) << "no setup dialog";
        EXPECT_EQ(Boxes(dialog), c.boxes);
        ui::Close(dialog);
        EXPECT_EQ(WaitForExit(), 0u);
    }
}

TEST_F(SetupRun, ShellBoxEnablesItsTwoBoxesAndTheirMarksAreKept)
{
    StoreSetting("Setup", "ShellExt", 0);
    StoreSetting("Setup", "CascadedMenu", 1);
    StoreSetting("Setup", "MenuIcons", 0);
    StoreSetting("Setup\\Links", "Desktop", 1);
    StoreSetting("Setup\\.zip", "Set", 0);
    Start("/setup");
    HWND dialog = WaitSetupDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Boxes(dialog), "101111111111|1010ed");

    ClickBox(dialog, kShellBox);
    EXPECT_EQ(Boxes(dialog), "101111111111|101110");
    ClickBox(dialog, kShellBox);
    EXPECT_EQ(Boxes(dialog), "101111111111|1010ed");

    // Confirmed while disabled, the two boxes are stored as they are marked.
    HWND done = Confirm(dialog);
    ASSERT_TRUE(done) << "no completion dialog";
    EXPECT_EQ(Finish(done), 0u);
    EXPECT_EQ(Setting("Setup", "ShellExt"), "0");
    EXPECT_EQ(Setting("Setup", "CascadedMenu"), "1");
    EXPECT_EQ(Setting("Setup", "MenuIcons"), "0");
    CloseGroupWindow();
}

TEST_F(SetupRun, SelectAllChecksTheTwelveArchiveTypesOnly)
{
    for (const char* e : {".zip", ".tar", ".jar"})
        StoreSetting(std::string("Setup\\") + e, "Set", 0);
    StoreSetting("Setup\\Links", "Desktop", 1);
    StoreSetting("Setup\\Links", "Programs", 0);
    StoreSetting("Setup", "ShellExt", 0);
    StoreSetting("Setup", "MenuIcons", 0);
    Start("/setup");
    HWND dialog = WaitSetupDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Boxes(dialog), "101111011101|1000dd");

    for (int press = 1; press <= 2; ++press) {
        SCOPED_TRACE(press);
        ui::Press(dialog, kSelectAll);
        EXPECT_TRUE(WaitUntil([&] { return BoxState(dialog, kZipBox) == BST_CHECKED; }));
        EXPECT_EQ(Boxes(dialog), "111111111111|1000dd");
    }
    ui::Close(dialog);
    EXPECT_EQ(WaitForExit(), 0u);
}

// Esc and the close box both cancel: the program ends without the
// completion dialog, and nothing on the machine has changed.
TEST_F(SetupRun, CancelChangesNothing)
{
    static const struct {
        const char* name;
        std::function<void(HWND)> cancel;
    } kWays[] = {
        {"Esc key", [](HWND d) { ui::PressKey(d, VK_ESCAPE); }},
        {"close box", [](HWND d) { ui::Close(d); }},
    };
    WriteString(HKEY_CLASSES_ROOT, ".zip", "", "OtherZip");
    StoreSetting("Setup\\Links", "Desktop", 1);
    for (const auto& way : kWays) {
        SCOPED_TRACE(way.name);
        std::string before = Snapshot();
        Start("/setup");
        HWND dialog = WaitSetupDialog();
        ASSERT_TRUE(dialog);
        ClickBox(dialog, kStartMenuBox);
        way.cancel(dialog);
        EXPECT_EQ(WaitForExit(), 0u) << "still running: a completion dialog?";
        EXPECT_EQ(Snapshot(), before);
    }
}

// Help and F1 both ask WinHelp for "vexora.hlp"; with no help file there,
// Wine's WinHelp says it cannot find it. The dialog stays open either way.
TEST_F(SetupRun, HelpButtonAndF1OpenTheHelpFile)
{
    static const struct {
        const char* name;
        std::function<void(HWND)> ask;
    } kWays[] = {
        {"Help button", [](HWND d) { ui::Press(d, kHelpButton); }},
        {"F1",
         [](HWND d) {
             SetForegroundWindow(d);
             Sleep(200);
             INPUT keys[2] = {};
             keys[0].type = keys[1].type = INPUT_KEYBOARD;
             keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
             keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
             SendInput(2, keys, sizeof keys[0]);
         }},
    };
    Start("/setup");
    HWND dialog = WaitSetupDialog();
    ASSERT_TRUE(dialog);
    for (const auto& way : kWays) {
        SCOPED_TRACE(way.name);
        way.ask(dialog);
        HWND box = ui::WaitForWindow("ERROR", 0, kTimeout);
        ASSERT_TRUE(box) << "WinHelp did not answer";
        EXPECT_NE(ui::MessageBoxText(box).find("'vexora.hlp'"), std::string::npos) << ui::MessageBoxText(box);
        ui::Press(box, IDNO);
        EXPECT_TRUE(ui::WaitForWindowGone(box, kTimeout));
        EXPECT_TRUE(IsWindowVisible(dialog));
    }
    ui::Close(dialog);
    EXPECT_EQ(WaitForExit(), 0u);
}

// --- what OK applies -------------------------------------------------------------

TEST_F(SetupRun, OkStoresAndAppliesTheChoices)
{
    // Another archiver owns ZIP, with an empty-file New menu entry.
    WriteString(HKEY_CLASSES_ROOT, ".zip", "", "OtherZip");
    WriteString(HKEY_CLASSES_ROOT, ".zip", "Content Type", "application/zip");
    WriteString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "NullFile", "");
    ASSERT_TRUE(machine::WriteFile(File("vexext.dll"), ""));

    Start("/setup");
    HWND dialog = WaitSetupDialog();
    ASSERT_TRUE(dialog);
    ClickBox(dialog, kTarBox);
    ClickBox(dialog, kDesktopBox);
    EXPECT_EQ(Boxes(dialog), "111111011111|101101");
    HWND done = Confirm(dialog);
    ASSERT_TRUE(done) << "no completion dialog";
    EXPECT_EQ(ControlText(done, kFolderText), folder);
    EXPECT_EQ(Finish(done), 0u);
    EXPECT_TRUE(CloseGroupWindow()) << "the program group was not opened";

    {
        SCOPED_TRACE("stored choices");
        static const struct {
            const char* key;
            const char* name;
            const char* value;
        } kStored[] = {
            {"Setup\\.vex", "Set", "1"},       {"Setup\\.zip", "Set", "1"},          {"Setup\\.cab", "Set", "1"},
            {"Setup\\.arj", "Set", "1"},       {"Setup\\.lzh", "Set", "1"},          {"Setup\\.ace", "Set", "1"},
            {"Setup\\.tar", "Set", "0"},       {"Setup\\.gz", "Set", "1"},           {"Setup\\.uue", "Set", "1"},
            {"Setup\\.bz2", "Set", "1"},       {"Setup\\.jar", "Set", "1"},          {"Setup\\.iso", "Set", kMissing},
            {"Setup\\Links", "Desktop", "1"},  {"Setup\\Links", "StartMenu", "0"},   {"Setup\\Links", "Programs", "1"},
            {"Setup", "ShellExt", "1"},        {"Setup", "CascadedMenu", "0"},       {"Setup", "MenuIcons", "1"},
        };
        for (const auto& s : kStored)
            EXPECT_EQ(Setting(s.key, s.name), s.value) << s.key << " " << s.name;
    }
    {
        SCOPED_TRACE("associations");
        static const struct {
            const char* key;
            const char* name;
            const char* value;
        } kClasses[] = {
            {".vex", "", "Vexora"},
            {".vex", "Content Type", "application/x-vex-compressed"},
            {".zip", "", "Vexora.ZIP"},
            {".cab", "", "Vexora"},
            {".lha", "", "Vexora"},
            {".tbz", "", "Vexora"},
            {".iso", "", "Vexora"},
            {".tar", "", kMissing},
            {".v00", "", "Vexora"},
            {".v29", "", "Vexora"},
            {".v30", "", kMissing},  // the NT family registers 30 volumes
            {".rev", "", "Vexora.REV"},
            {"Vexora.REV", "", "VEX recovery volume"},
        };
        for (const auto& c : kClasses)
            EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, c.key, c.name), c.value) << c.key << " [" << c.name << "]";
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Vexora\\shell\\open\\command"),
                  "\"" + File("Vexora.exe") + "\" \"%1\"");
        // The previous owner of ZIP is kept for giving it back.
        std::string backup = "Software\\Vexora\\Setup\\.zip";
        EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, backup, "Exist"), "1");
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, backup, "Type"), "OtherZip");
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, backup, "Content"), "application/zip");
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, backup, "ShellNew"), "*");
    }
    {
        SCOPED_TRACE("new-archive templates");
        std::string vex, zip;
        ASSERT_TRUE(machine::ReadFile(File("vexnew.dat"), &vex));
        ASSERT_TRUE(machine::ReadFile(File("zipnew.dat"), &zip));
        EXPECT_EQ(vex.size(), 20u);
        EXPECT_EQ(vex.substr(0, 7), std::string("Vex!\x1a\x07\x00", 7));
        EXPECT_EQ(zip, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".vex\\ShellNew", "FileName"), File("vexnew.dat"));
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName"), File("zipnew.dat"));
    }
    {
        SCOPED_TRACE("shell extension");
        std::string server = std::string("CLSID\\") + kClsid + "\\InProcServer32";
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, server), File("vexext.dll"));
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, server, "ThreadingModel"), "Apartment");
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Folder\\shellex\\ContextMenuHandlers\\Vexora"), kClsid);
        EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kApproved, kClsid), "Vexora shell extension");
    }
    {
        SCOPED_TRACE("links");
        EXPECT_TRUE(machine::Exists(DesktopLink()));
        EXPECT_FALSE(machine::Exists(StartMenuLink()));
        for (const std::string& group : {UserGroup(), CommonGroup()})
            for (const char* link : {"Vexora.lnk", "Vexora help.lnk", "Console VEX manual.lnk"})
                EXPECT_TRUE(machine::Exists(group + "\\" + link)) << group << "\\" << link;
    }
    {
        SCOPED_TRACE("application registration");
        EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kAppPath), File("Vexora.exe"));
        EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kAppPath, "Path"), folder);
        EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallEntry, "DisplayName"), "Vexora archiver");
        EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallEntry, "UninstallString"), File("uninstall.exe"));
    }
}

// A silent run with the defaults, then the user changes their mind.
TEST_F(SetupRun, SecondRunGivesTheChangedState)
{
    WriteString(HKEY_CLASSES_ROOT, ".zip", "", "OtherZip");
    WriteString(HKEY_CLASSES_ROOT, ".zip", "Content Type", "application/zip");
    WriteString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "NullFile", "");
    ASSERT_TRUE(machine::WriteFile(File("vexext.dll"), ""));
    Start("/setup /s");
    ASSERT_EQ(WaitForExit(), 0u);
    ASSERT_TRUE(CloseGroupWindow());
    ASSERT_EQ(ReadString(HKEY_CLASSES_ROOT, ".zip"), "Vexora.ZIP");
    ASSERT_TRUE(machine::Exists(UserGroup()));

    Start("/setup");
    HWND dialog = WaitSetupDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Boxes(dialog), "111111111111|001101");
    ClickBox(dialog, kZipBox);
    ClickBox(dialog, kStartMenuBox);
    ClickBox(dialog, kGroupBox);
    ClickBox(dialog, kShellBox);
    HWND done = Confirm(dialog);
    ASSERT_TRUE(done);
    EXPECT_EQ(Finish(done), 0u);

    // ZIP is given back to its previous owner, New menu entry and all.
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".zip"), "OtherZip");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".zip", "Content Type"), "application/zip");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "NullFile"), "");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName"), kMissing);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".vex"), "Vexora");
    EXPECT_EQ(Setting("Setup\\.zip", "Set"), "0");
    EXPECT_EQ(Setting("Setup\\Links", "Programs"), "0");
    EXPECT_EQ(Setting("Setup", "ShellExt"), "0");
    // The groups are gone and no folder is opened; the Start menu link is new.
    EXPECT_FALSE(machine::Exists(UserGroup()));
    EXPECT_FALSE(machine::Exists(CommonGroup()));
    EXPECT_TRUE(machine::Exists(StartMenuLink()));
    EXPECT_FALSE(ui::WaitForWindow("Vexora", 0, 2000)) << "a folder was opened";
    // Shell integration off takes the extension's registration away.
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kClsid));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Folder\\shellex\\ContextMenuHandlers\\Vexora"), kMissing);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kApproved, kClsid), kMissing);
}

// Confirming with every box cleared gives back all that setup took and
// removes what it created; the product stays registered.
TEST_F(SetupRun, EveryBoxClearedGivesEverythingBack)
{
    WriteString(HKEY_CLASSES_ROOT, ".zip", "", "OtherZip");
    ASSERT_TRUE(machine::WriteFile(File("vexext.dll"), ""));
    StoreSetting("Setup\\Links", "Desktop", 1);
    StoreSetting("Setup\\Links", "StartMenu", 1);
    Start("/setup /s");
    ASSERT_EQ(WaitForExit(), 0u);
    ASSERT_TRUE(CloseGroupWindow());
    ASSERT_EQ(ReadString(HKEY_CLASSES_ROOT, ".vex"), "Vexora");
    machine::DeleteTree(HKEY_LOCAL_MACHINE, kAppPath);
    machine::DeleteTree(HKEY_LOCAL_MACHINE, kUninstallEntry);

    Start("/setup");
    HWND dialog = WaitSetupDialog();
    ASSERT_TRUE(dialog);
    // The icons box before the shell box, which disables it.
    for (int id = 5101; id <= kGroupBox; ++id)
        ClickBox(dialog, id);
    ClickBox(dialog, kIconsBox);
    ClickBox(dialog, kShellBox);
    EXPECT_EQ(Boxes(dialog), "000000000000|0000dd");
    HWND done = Confirm(dialog);
    ASSERT_TRUE(done);
    EXPECT_EQ(Finish(done), 0u);

    EXPECT_EQ(Setting("Setup\\.jar", "Set"), "0");
    EXPECT_EQ(Setting("Setup", "MenuIcons"), "0");
    static const struct {
        const char* key;
        const char* value;
    } kGivenBack[] = {
        {".zip", "OtherZip"}, {".vex", kMissing}, {".lha", kMissing},     {".iso", kMissing},
        {".v00", kMissing},   {".v29", kMissing}, {".rev", "Vexora.REV"},
    };
    for (const auto& g : kGivenBack)
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, g.key), g.value) << g.key;
    for (const std::string& path : {DesktopLink(), StartMenuLink(), UserGroup(), CommonGroup()})
        EXPECT_FALSE(machine::Exists(path)) << path;
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kClsid));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kAppPath), File("Vexora.exe"));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallEntry, "UninstallString"), File("uninstall.exe"));
}

// "/setup /s": the stored choices, defaults where none are stored, go through
// both dialogs without either ever showing.
TEST_F(SetupRun, SilentSetupAppliesTheStoredChoices)
{
    StoreSetting("Setup\\Links", "Desktop", 1);
    StoreSetting("Setup\\Links", "Programs", 0);
    StoreSetting("Setup\\.tar", "Set", 0);
    Start("/setup /s");
    bool shown = false;
    DWORD exitCode = STILL_ACTIVE;
    DWORD start = GetTickCount();
    while (exitCode == STILL_ACTIVE && GetTickCount() - start < static_cast<DWORD>(kTimeout)) {
        shown = shown || ui::WaitForWindow(kCaption, program.pid, 0) != nullptr;
        exitCode = machine::Wait(program, 10);
    }
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(shown) << "a dialog was shown";

    EXPECT_TRUE(machine::Exists(DesktopLink()));
    EXPECT_FALSE(machine::Exists(UserGroup()));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".tar"), kMissing);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".zip"), "Vexora.ZIP");
    // Stored again, the defaults included.
    EXPECT_EQ(Setting("Setup\\.tar", "Set"), "0");
    EXPECT_EQ(Setting("Setup\\.vex", "Set"), "1");
    EXPECT_EQ(Setting("Setup", "MenuIcons"), "1");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallEntry, "UninstallString"), File("uninstall.exe"));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kAppPath), File("Vexora.exe"));
}

// --- the completion dialog -------------------------------------------------------

// Reaches the completion dialog without a program group, so no folder window
// opens at the end.
struct CompletionDialog : SetupRun {
    HWND done = nullptr;
    void SetUp() override
    {
        SetupRun::SetUp();
        if (HasFatalFailure())
            return;
        StoreSetting("Setup\\Links", "Programs", 0);
        Start("/setup");
        HWND dialog = WaitSetupDialog();
        ASSERT_TRUE(dialog);
        done = Confirm(dialog);
        ASSERT_TRUE(done) << "no completion dialog";
    }
};

TEST_F(CompletionDialog, EndsWithDoneEscOrTheCloseBox)
{
    static const struct {
        const char* name;
        std::function<void(HWND)> end;
    } kWays[] = {
        {"Done", [](HWND d) { ui::Press(d, IDOK); }},
        {"Esc key", [](HWND d) { ui::PressKey(d, VK_ESCAPE); }},
        {"close box", [](HWND d) { ui::Close(d); }},
    };
    for (const auto& way : kWays) {
        SCOPED_TRACE(way.name);
        if (!done) {
            Start("/setup");
            HWND dialog = WaitSetupDialog();
            ASSERT_TRUE(dialog);
            done = Confirm(dialog);
            ASSERT_TRUE(done);
        }
        way.end(done);
        EXPECT_EQ(WaitForExit(), 0u);
        done = nullptr;
    }
}

TEST_F(CompletionDialog, RunVexoraStartsTheProgramInTheFolderEachTime)
{
    EXPECT_EQ(ControlText(done, kFolderText), folder);
    std::string log = File("Vexora.exe.log");
    for (size_t press = 1; press <= 2; ++press) {
        ui::Press(done, kRunButton);
        EXPECT_TRUE(WaitUntil([&] { return LogLines(log).size() == press; }, kTimeout)) << "press " << press;
    }
    for (const std::string& line : LogLines(log))
        EXPECT_EQ(line, File("Vexora.exe") + "|" + folder);
    EXPECT_TRUE(IsWindowVisible(done));
    EXPECT_EQ(Finish(done), 0u);
}

// The documents and the home page go to whatever the shell has for them:
// here stand-ins that record what they were given.
TEST_F(CompletionDialog, DocumentsAndHomePageOpenThroughTheShell)
{
    std::string viewer = File("viewer.exe"), browser = File("browser.exe");
    ASSERT_TRUE(machine::CopyTo(machine::BinDir() + "startrecorder.exe", viewer));
    ASSERT_TRUE(machine::CopyTo(machine::BinDir() + "startrecorder.exe", browser));
    WriteString(HKEY_CLASSES_ROOT, ".txt", "", "VexTest.Document");
    WriteString(HKEY_CLASSES_ROOT, "VexTest.Document\\shell\\open\\command", "", "\"" + viewer + "\" \"%1\"");
    WriteString(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", "", "\"" + browser + "\" \"%1\"");
    ASSERT_TRUE(machine::WriteFile(File("license.txt"), "licence"));
    ASSERT_TRUE(machine::WriteFile(File("order.txt"), "prices"));

    ui::Press(done, kLicenseButton);
    ASSERT_TRUE(WaitUntil([&] { return LogLines(viewer + ".log").size() == 1; }, kTimeout));
    ui::Press(done, kPriceButton);
    ASSERT_TRUE(WaitUntil([&] { return LogLines(viewer + ".log").size() == 2; }, kTimeout));
    ui::Press(done, kHomeButton);
    ASSERT_TRUE(WaitUntil([&] { return LogLines(browser + ".log").size() == 1; }, kTimeout));

    std::vector<std::string> documents = LogLines(viewer + ".log");
    EXPECT_NE(documents[0].find("\"" + File("license.txt") + "\""), std::string::npos) << documents[0];
    EXPECT_NE(documents[1].find("\"" + File("order.txt") + "\""), std::string::npos) << documents[1];
    std::string page = LogLines(browser + ".log")[0];
    EXPECT_NE(page.find("\"https://www.vexora.example/\""), std::string::npos) << page;

    // A missing document opens nothing and leaves the dialog as it was.
    DeleteFileA(File("order.txt").c_str());
    ui::Press(done, kPriceButton);
    Sleep(1000);
    EXPECT_EQ(LogLines(viewer + ".log").size(), 2u);
    EXPECT_TRUE(IsWindowVisible(done));
    EXPECT_EQ(Finish(done), 0u);
}

}  // namespace
