// The removal run of the real program, driven as a user would, and the
// self-removal script run by the interpreter.
#include <gtest/gtest.h>

#include "removal_fixture_win.h"
#include "support/machine_win.h"
#include "support/ui_driver_win.h"

namespace {

using removal::Installation;
using Entries = std::vector<std::string>;

const char kCaption[] = "Uninstall Vexora";
const char kQuestion[] = "Continue with uninstall Vexora";

// The temp folder of the installation for everything the test starts.
struct TempFolder {
    explicit TempFolder(const Installation& in) : tmp("TMP", in.temp.c_str()), temp("TEMP", in.temp.c_str()) {}
    removal::ScopedEnv tmp, temp;
};

// Starts the installed program without a switch, as the uninstall entry does,
// from a current directory other than its folder, and waits for the question.
HWND StartRemoval(const Installation& in, machine::Program* p, const char* question = kQuestion)
{
    *p = machine::Start(in.program, "", in.root);
    EXPECT_TRUE(p->process) << in.program;
    HWND box = ui::WaitForWindow(kCaption, p->pid, 20000);
    EXPECT_TRUE(box) << "no question";
    if (box) {
        EXPECT_EQ(ui::MessageBoxText(box), question);
    }
    return box;
}

std::string Listing(const std::string& dir)
{
    std::string out;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return "(no folder)";
    do {
        out += std::string(data.cFileName) + " ";
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return out;
}

// Waits until the script has removed the program folder and then itself.
void ExpectAllGone(const Installation& in)
{
    EXPECT_TRUE(removal::WaitUntil([&] { return !machine::Exists(in.dir) && !machine::Exists(in.Script()); }, 40000))
        << "left in the program folder: " << Listing(in.dir) << "; in temp: " << Listing(in.temp);
    EXPECT_TRUE(machine::Exists(in.root));
}

const Entries kComponents = {"Vexora.exe", "vexext.dll", "vexora.hlp", "license.txt", "Docs\\", "Docs\\Vex.txt"};
const char kComponentList[] =
    "uninstall.exe\r\nDocs\r\nVexora.exe\r\nvexext.dll\r\nvexora.hlp\r\nDocs\\Vex.txt\r\nlicense.txt\r\n";

TEST(RemovalRun, RemovesListedFilesThenItselfAndItsFolder)
{
    machine::RegistryGuard guard(removal::ProductKeys());
    Installation in = removal::Install("uninstall-run", "Vexora", "uninstall.exe", kComponents,
                                       (std::string(kComponentList) + "vexlng.dll\r\n").c_str());
    // The help index files are not listed; a listed language module is loaded while the question is asked.
    ASSERT_TRUE(removal::MakeEntries(in.dir, {"vexora.gid", "vexora.fts"}));
    SetFileAttributesA((in.dir + "\\vexora.gid").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(machine::CopyTo(machine::BinDir() + "uninstall-fixtures\\vexlng.dll", in.dir + "\\vexlng.dll"));
    removal::RegisterEverything();
    removal::ExpectRegistered();
    TempFolder temp(in);
    machine::Program p;
    HWND box = StartRemoval(in, &p, "Remove Vexora (language module)?");
    ASSERT_TRUE(box);
    ui::Press(box, IDYES);
    EXPECT_EQ(machine::Wait(p, 30000), 0u);
    removal::ExpectRegistrationsGone();
    ExpectAllGone(in);
    machine::RemoveTree(in.root);
}

// A program folder whose name the interpreter must read back exactly.
void RemoveFrom(const char* folder)
{
    machine::RegistryGuard guard(removal::ProductKeys());
    Installation in = removal::Install("uninstall-names", folder, "uninstall.exe", kComponents, kComponentList);
    TempFolder temp(in);
    machine::Program p;
    HWND box = StartRemoval(in, &p);
    ASSERT_TRUE(box);
    ui::Press(box, IDYES);
    EXPECT_EQ(machine::Wait(p, 30000), 0u);
    ExpectAllGone(in);
    machine::RemoveTree(in.root);
}

// A "%" the interpreter would take for the start of a variable.
TEST(RemovalRun, FolderWithPercentSign)
{
    RemoveFrom("100% Tools");
}

// A character whose byte differs between the ANSI and the OEM code page.
TEST(RemovalRun, FolderWithCharacterOutsideAscii)
{
    RemoveFrom("Programm\xE9");
}

TEST(RemovalRun, ProgramInTheRootOfADrive)
{
    machine::RegistryGuard guard(removal::ProductKeys());
    // The prefix's drive C: is the test's own; the program and its list sit in its root.
    Installation in = removal::Install("uninstall-root", "Vexora", "uninstall.exe", {}, nullptr);
    in.dir = "C:\\";
    in.program = "C:\\vexora-uninstall-test.exe";
    ASSERT_TRUE(machine::CopyTo(machine::BinDir() + "uninstall.exe", in.program));
    ASSERT_TRUE(machine::WriteFile("C:\\vexora-root-test.txt", "listed"));
    ASSERT_TRUE(machine::WriteFile("C:\\Uninstall.lst", "vexora-root-test.txt\r\n"));
    TempFolder temp(in);
    machine::Program p;
    HWND box = StartRemoval(in, &p);
    ASSERT_TRUE(box);
    ui::Press(box, IDYES);
    EXPECT_EQ(machine::Wait(p, 30000), 0u);
    EXPECT_TRUE(removal::WaitUntil(
        [&] { return !machine::Exists(in.program) && !machine::Exists(in.Script()); }, 40000));
    EXPECT_FALSE(machine::Exists("C:\\vexora-root-test.txt"));
    EXPECT_FALSE(machine::Exists("C:\\Uninstall.lst"));
    EXPECT_TRUE(machine::Exists("C:\\windows"));
    DeleteFileA(in.program.c_str());
    DeleteFileA("C:\\Uninstall.lst");
    machine::RemoveTree(in.root);
}

// Everything in the program folder with its content, for "nothing changed".
std::map<std::string, std::string> Snapshot(const std::string& dir, const Entries& entries)
{
    std::map<std::string, std::string> files;
    for (const std::string& e : entries) {
        std::string bytes;
        if (e.back() == '\\')
            files[e] = machine::Exists(dir + "\\" + e) ? "folder" : "missing";
        else
            files[e] = machine::ReadFile(dir + "\\" + e, &bytes) ? bytes : "missing";
    }
    return files;
}

TEST(RemovalRun, DecliningChangesNothing)
{
    machine::RegistryGuard guard(removal::ProductKeys());
    Installation in = removal::Install("uninstall-no", "Vexora", "uninstall.exe", kComponents, kComponentList);
    Entries all = kComponents;
    all.push_back("Uninstall.lst");
    all.push_back("uninstall.exe");
    const auto before = Snapshot(in.dir, all);
    removal::RegisterEverything();
    const auto keys = removal::CaptureProductKeys();
    TempFolder temp(in);
    machine::Program p;
    HWND box = StartRemoval(in, &p);
    ASSERT_TRUE(box);
    ui::Press(box, IDNO);
    EXPECT_EQ(machine::Wait(p, 30000), 0u);
    EXPECT_EQ(Snapshot(in.dir, all), before);
    EXPECT_EQ(removal::ProductKeyChanges(keys), "");
    EXPECT_TRUE(machine::Exists(removal::DesktopLink()));
    EXPECT_FALSE(machine::Exists(in.Script()));
    machine::RemoveTree(in.root);
}

TEST(RemovalRun, MissingListFileIsReportedAndChangesNothing)
{
    // The language module's text is longer than the message buffer: it is cut, never overrun.
    std::string translated = "The list file Uninstall.lst cannot be opened (language module).";
    for (int i = 0; i < 8; ++i)
        translated += " Please check the folder.";
    static const struct {
        const char* name;
        bool module;
    } kCases[] = {{"own texts", false}, {"language module", true}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        machine::RegistryGuard guard(removal::ProductKeys());
        Installation in = removal::Install("uninstall-nolist", "Vexora", "uninstall.exe", kComponents, nullptr);
        if (c.module) {
            ASSERT_TRUE(machine::CopyTo(machine::BinDir() + "uninstall-fixtures\\vexlng.dll", in.dir + "\\vexlng.dll"));
        }
        Entries all = kComponents;
        all.push_back("uninstall.exe");
        const auto files = Snapshot(in.dir, all);
        removal::RegisterEverything();
        const auto keys = removal::CaptureProductKeys();
        TempFolder temp(in);
        machine::Program p;
        HWND box = StartRemoval(in, &p, c.module ? "Remove Vexora (language module)?" : kQuestion);
        ASSERT_TRUE(box);
        ui::Press(box, IDYES);
        ASSERT_TRUE(ui::WaitForWindowGone(box, 10000));
        HWND error = ui::WaitForWindow(kCaption, p.pid, 20000);
        ASSERT_TRUE(error) << "no error message";
        EXPECT_EQ(ui::MessageBoxText(error),
                  c.module ? translated.substr(0, 199) : "Cannot open list file Uninstall.lst");
        ui::Press(error, IDOK);
        EXPECT_EQ(machine::Wait(p, 30000), 0u);
        EXPECT_EQ(Snapshot(in.dir, all), files);
        EXPECT_EQ(removal::ProductKeyChanges(keys), "");
        EXPECT_TRUE(machine::Exists(removal::DesktopLink()));
        EXPECT_FALSE(machine::Exists(in.Script()));
        machine::RemoveTree(in.root);
    }
}

TEST(RemovalRun, ProgramFileThatCannotGoLeadsToTheWarning)
{
    machine::RegistryGuard guard(removal::ProductKeys());
    Installation in = removal::Install("uninstall-held", "Vexora", "uninstall.exe", kComponents, kComponentList);
    TempFolder temp(in);
    // Open without delete sharing: neither the run nor the script can delete it.
    HANDLE held = CreateFileA(in.program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    machine::Program p;
    HWND box = StartRemoval(in, &p);
    ASSERT_TRUE(box);
    ui::Press(box, IDYES);
    EXPECT_EQ(machine::Wait(p, 30000), 0u);
    HWND warning = removal::WaitForMessageBox(
        kCaption, "Uninstall completed\nYou should delete " + in.program + " manually", 40000);
    EXPECT_TRUE(warning) << "no warning; program folder: " << Listing(in.dir);
    if (warning)
        ui::Press(warning, IDOK);
    // The script deletes itself after the warning is closed.
    EXPECT_TRUE(removal::WaitUntil([&] { return !machine::Exists(in.Script()); }, 20000));
    CloseHandle(held);
    EXPECT_EQ(removal::Remaining(in.dir, {"uninstall.exe", "Uninstall.lst", "Vexora.exe", "Docs\\"}),
              Entries{"uninstall.exe"});
    machine::RemoveTree(in.root);
}

std::string ExpectedScript(bool nt, const Installation& in)
{
    const std::string program = "\"" + in.program + "\"";
    std::string bytes = (nt ? "" : "start /wait ") + program + " /wait\r\n";
    for (int i = 0; i < 5; ++i)
        bytes += "del " + program + "\r\nrd \"" + in.dir + "\"\r\nif not exist " + program + " goto done\r\n";
    return bytes + ":done\r\nif exist " + program + " " + program + " /warning\r\ndel \"" + in.Script() + "\"";
}

// The interpreter replaced by a stand-in that records how it was started;
// the script it was given stays for the test to read.
TEST(RemovalRun, ScriptAndLaunchOfEachFamily)
{
    machine::RegistryGuard guard(removal::ProductKeys());
    static const struct {
        const char* programName;
        const char* version;
        bool nt;
        DWORD flags;
    } kFamilies[] = {
        {"uninstall.exe", "", true, STARTF_USESHOWWINDOW},
        {"uninst98.exe", "win98", false, STARTF_USESTDHANDLES},
    };
    const std::string interpreter = machine::BinDir() + "interpreter_standin.exe";
    for (const auto& f : kFamilies) {
        SCOPED_TRACE(f.programName);
        Installation in = removal::Install("uninstall-launch-run", "Vexora", f.programName, kComponents,
                                           (std::string(kComponentList) + f.programName + "\r\n").c_str());
        removal::RegisterEverything();
        machine::SetWineVersion(f.programName, f.version);
        const std::string report = in.root + "\\report.txt";
        TempFolder temp(in);
        removal::ScopedEnv comspec("COMSPEC", interpreter.c_str());
        removal::ScopedEnv reportPath("VEX_COMSPEC_REPORT", report.c_str());
        machine::Program p;
        HWND box = StartRemoval(in, &p);
        ASSERT_TRUE(box);
        ui::Press(box, IDYES);
        EXPECT_EQ(machine::Wait(p, 30000), 0u);
        machine::SetWineVersion(f.programName, "");
        ASSERT_TRUE(removal::WaitUntil([&] { return machine::Exists(report); }, 20000)) << "no interpreter started";
        auto r = removal::ReadReport(report);
        EXPECT_EQ(r["commandline"], interpreter + " /c \"" + in.Script() + "\"");
        EXPECT_EQ(r["cwd"], in.root);
        EXPECT_EQ(r["flags"], std::to_string(f.flags));
        if (f.nt) {
            EXPECT_EQ(r["show"], std::to_string(SW_HIDE));
        } else {
            EXPECT_EQ(r["samestd"], "1");
        }
        std::string script;
        ASSERT_TRUE(machine::ReadFile(in.Script(), &script));
        EXPECT_EQ(script, ExpectedScript(f.nt, in));
        // The run itself is complete; only the script's part is left.
        removal::ExpectRegistrationsGone();
        EXPECT_EQ(removal::Remaining(in.dir, {f.programName, "Uninstall.lst", "Vexora.exe", "Docs\\"}),
                  Entries{f.programName});
        machine::RemoveTree(in.root);
    }
}

TEST(RemovalRun, WithoutAnInterpreterTheProcessEndsAllTheSame)
{
    machine::RegistryGuard guard(removal::ProductKeys());
    Installation in = removal::Install("uninstall-nocomspec", "Vexora", "uninstall.exe", kComponents, kComponentList);
    TempFolder temp(in);
    removal::ScopedEnv comspec("COMSPEC", nullptr);
    machine::Program p;
    HWND box = StartRemoval(in, &p);
    ASSERT_TRUE(box);
    ui::Press(box, IDYES);
    EXPECT_EQ(machine::Wait(p, 30000), 0u);
    std::string script;
    EXPECT_TRUE(machine::ReadFile(in.Script(), &script));
    EXPECT_EQ(script, ExpectedScript(true, in));
    EXPECT_EQ(removal::Remaining(in.dir, {"uninstall.exe", "Uninstall.lst", "Vexora.exe"}), Entries{"uninstall.exe"});
    machine::RemoveTree(in.root);
}

TEST(RemovalRun, ScriptThatCannotBeCreatedLeavesTheProgram)
{
    machine::RegistryGuard guard(removal::ProductKeys());
    Installation in = removal::Install("uninstall-notemp", "Vexora", "uninstall.exe", kComponents, kComponentList);
    in.temp = in.root + "\\missing\\";
    TempFolder temp(in);
    machine::Program p;
    HWND box = StartRemoval(in, &p);
    ASSERT_TRUE(box);
    ui::Press(box, IDYES);
    EXPECT_EQ(machine::Wait(p, 30000), 0u);
    EXPECT_EQ(removal::Remaining(in.dir, {"uninstall.exe", "Uninstall.lst", "Vexora.exe"}), Entries{"uninstall.exe"});
    EXPECT_FALSE(machine::Exists(in.temp));
    machine::RemoveTree(in.root);
}

}  // namespace
