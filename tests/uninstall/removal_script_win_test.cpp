// The self-removal script's paths, composition and launch, in process; the
// family is the one the test program runs under.
#include <gtest/gtest.h>

#include <string.h>

#include "removal_fixture_win.h"
#include "shell/system.h"
#include "support/machine_win.h"
#include "uninstall/removal_script.h"

namespace {

// How the interpreter reads the bytes back.
std::wstring FromOem(const std::string& bytes)
{
    WCHAR wide[1024];
    int n = MultiByteToWideChar(CP_OEMCP, 0, bytes.c_str(), -1, wide, 1024);
    return n > 0 ? std::wstring(wide) : std::wstring();
}

std::wstring FromAnsi(const std::string& bytes)
{
    WCHAR wide[1024];
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.c_str(), -1, wide, 1024);
    return n > 0 ? std::wstring(wide) : std::wstring();
}

std::wstring LongForm(const std::wstring& path)
{
    WCHAR out[1024];
    DWORD n = GetLongPathNameW(path.c_str(), out, 1024);
    return n > 0 && n < 1024 ? std::wstring(out) : path;
}

TEST(InterpreterPath, ReadsBackAsTheSamePath)
{
    // The byte values below are characters of the Western code pages.
    if (GetACP() != 1252 || GetOEMCP() != 437)
        GTEST_SKIP() << "needs ANSI code page 1252 and OEM code page 437, have " << GetACP() << "/" << GetOEMCP();
    const std::string root = machine::ScratchDir("uninstall-oem");
    static const struct {
        const char* name;
        const char* folder;  // relative to root
        bool create;
        bool ok;
        const char* oem;  // the expected bytes when there is no short form to take; null: any
    } kCases[] = {
        {"ASCII", "Vexora", true, true, "Vexora"},
        {"percent sign", "100% Tools", true, true, "100% Tools"},
        {"accent, folder exists", "Programm\xE9", true, true, nullptr},
        {"accent, short name fits 8.3", "Caf\xE9", true, true, nullptr},
        {"accent, no short form", "Programm\xE9 gone", false, true, "Programm\x82 gone"},
        {"several, no short form", "\xC4rger \xFC\xF1\xEF", false, true, "\x8Erger \x81\xA4\x8B"},
        // 1252 has a euro sign, 437 has none: never a "?" in its place.
        {"no OEM character, no short form", "Euro \x80 gone", false, false, nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string dir = root + "\\" + c.folder;
        const std::string path = dir + "\\uninstall.exe";
        if (c.create) {
            ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
            ASSERT_TRUE(machine::WriteFile(path, "program"));
        }
        char out[1024 + 1];
        out[1024] = '#';
        const bool ok = GetInterpreterPath(path.c_str(), out, 1024);
        EXPECT_EQ(out[1024], '#');
        EXPECT_EQ(ok, c.ok);
        if (!ok) {
            EXPECT_STREQ(out, "");
            continue;
        }
        EXPECT_EQ(strchr(out, '?'), nullptr) << out;
        if (c.oem) {
            EXPECT_EQ(std::string(out), root + "\\" + c.oem + "\\uninstall.exe");
        }
        // A short form names the same file; otherwise the characters are the same.
        EXPECT_EQ(LongForm(FromOem(out)), LongForm(FromAnsi(path)));
    }
    machine::RemoveTree(root);
}

// The program folder as current directory for the duration of a test.
class InFolder {
public:
    explicit InFolder(const std::string& dir)
    {
        GetCurrentDirectoryA(sizeof saved, saved);
        SetCurrentDirectoryA(dir.c_str());
    }
    ~InFolder() { SetCurrentDirectoryA(saved); }

private:
    char saved[MAX_PATH];
};

TEST(SelfRemovalScript, StartLineOfTheFamily)
{
    const std::string root = machine::ScratchDir("uninstall-compose");
    const std::string dir = root + "\\Vexora";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    const std::string program = dir + "\\uninstall.exe";
    const std::string script = root + "\\Uninstall.Vex.Bat";
    ScriptPieces pieces;
    {
        InFolder in(dir);
        ASSERT_TRUE(ComposeSelfRemovalScript(program.c_str(), script.c_str(), &pieces));
    }
    const std::string quoted = "\"" + program + "\" /wait\r\n";
    EXPECT_EQ(pieces.startLine, NtMajorVersion() != 0 ? quoted : "start /wait " + quoted);
    EXPECT_EQ(std::string(pieces.attemptBlock), "del \"" + program + "\"\r\nrd \"" + dir + "\"\r\nif not exist \"" +
                                                    program + "\" goto done\r\n");
    EXPECT_EQ(std::string(pieces.finalBlock),
              ":done\r\nif exist \"" + program + "\" \"" + program + "\" /warning\r\ndel \"" + script + "\"");
    machine::RemoveTree(root);
}

TEST(SelfRemovalScript, LaunchOfTheFamily)
{
    const std::string root = machine::ScratchDir("uninstall-launch");
    const std::string dir = root + "\\Vexora";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    const std::string script = root + "\\Uninstall.Vex.Bat";
    const std::string report = root + "\\report.txt";
    const std::string interpreter = machine::BinDir() + "interpreter_standin.exe";
    removal::ScopedEnv comspec("COMSPEC", interpreter.c_str());
    removal::ScopedEnv reportPath("VEX_COMSPEC_REPORT", report.c_str());
    char after[MAX_PATH];
    {
        InFolder in(dir);
        EXPECT_TRUE(StartSelfRemovalScript(script.c_str()));
        GetCurrentDirectoryA(sizeof after, after);
    }
    EXPECT_STREQ(after, root.c_str());
    ASSERT_TRUE(removal::WaitUntil([&] { return machine::Exists(report); }, 20000)) << "the interpreter never ran";
    auto r = removal::ReadReport(report);
    EXPECT_EQ(r["commandline"], interpreter + " /c \"" + script + "\"");
    EXPECT_EQ(r["cwd"], root);
    if (NtMajorVersion() != 0) {
        EXPECT_EQ(r["flags"], std::to_string(STARTF_USESHOWWINDOW));
        EXPECT_EQ(r["show"], std::to_string(SW_HIDE));
    } else {
        EXPECT_EQ(r["flags"], std::to_string(STARTF_USESTDHANDLES));
        EXPECT_EQ(r["samestd"], "1");
    }
    machine::RemoveTree(root);
}

}  // namespace
