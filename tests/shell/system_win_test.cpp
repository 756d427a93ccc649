// The shell helpers on the Win32 side, and the entry point's quiet modes.
#include <gtest/gtest.h>
#include <string.h>

#include "lang/message_text.h"
#include "shell/system.h"
#include "support/machine_win.h"
#include "support/ui_driver_win.h"

namespace {

// The harness names the variants; a variant that silently ran as the
// default would pass every family test for the wrong reason.
bool ProgramNameHas(const char* part)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return strstr(path, part) != nullptr;
}

// Run by every family variant: NT reports its major version, 9x reports 0.
TEST(Family, NtMajorVersionFollowsThePlatform)
{
    OSVERSIONINFOA v;
    memset(&v, 0, sizeof v);
    v.dwOSVersionInfoSize = sizeof v;
    GetVersionExA(&v);
    bool nineX = ProgramNameHas("_win95") || ProgramNameHas("_win98") || ProgramNameHas("_winme");
    EXPECT_EQ(v.dwPlatformId != VER_PLATFORM_WIN32_NT, nineX);
    if (v.dwPlatformId == VER_PLATFORM_WIN32_NT)
        EXPECT_EQ(NtMajorVersion(), v.dwMajorVersion);
    else
        EXPECT_EQ(NtMajorVersion(), 0u) << "platform " << v.dwPlatformId << " version " << v.dwMajorVersion;
    EXPECT_EQ(NtMajorVersion(), NtMajorVersion());
}

// Run by the cp932 variant, under the Japanese locale, and by the default one.
TEST(CodePage, LeadByteTableBuiltBeforeMain)
{
    EXPECT_EQ(GetACP() == 932, ProgramNameHas("_cp932"));
    if (GetACP() == 932) {
        EXPECT_EQ(LeadBytes.entry[kMultiByteFlag], 1);
        EXPECT_EQ(LeadBytes.entry[0x81], 1);
        EXPECT_EQ(LeadBytes.entry['A'], 0);
        // 0x95 0x5C is one character; its second byte is not a separator.
        char path[] = "C:\\\x95\x5C\\x\x95\x5Cy";
        EXPECT_STREQ(PathNamePart(path), "x\x95\x5Cy");
    } else {
        EXPECT_EQ(LeadBytes.entry[kMultiByteFlag], 0);
        char path[] = "C:\\\x95\x5C\\x\x95\x5Cy";
        EXPECT_STREQ(PathNamePart(path), "y");
    }
}

TEST(SiblingPath, ReplacesTheProgramName)
{
    char out[kPathSize];
    ASSERT_TRUE(GetSiblingPath("vexlng.dll", out, sizeof out));
    EXPECT_EQ(std::string(out), machine::BinDir() + "vexlng.dll");
    char small[8];
    memset(small, 'X', sizeof small);
    EXPECT_FALSE(GetSiblingPath("vexlng.dll", small, sizeof small));
    EXPECT_STREQ(small, "");
}

TEST(LaunchProgram, StartsWaitsAndReportsFailure)
{
    std::string dir = machine::ScratchDir("launch");
    char line[kPathSize];
    snprintf(line, sizeof line, "\"%suninstall.exe\" /wait", machine::BinDir().c_str());
    DWORD start = GetTickCount();
    EXPECT_TRUE(LaunchProgram(line, dir.c_str(), 20000));
    EXPECT_GE(GetTickCount() - start, 1900u) << "the wait did not wait for the program";
    char missing[] = "C:\\vextest\\launch\\no-such-program.exe";
    EXPECT_FALSE(LaunchProgram(missing, nullptr, 0));
    machine::RemoveTree(dir);
}

TEST(MessageText, ProgramTableAndRing)
{
    ExtRes.Load(GetModuleHandleA(nullptr));
    EXPECT_STREQ(GetMessageText(5104), "Uninstall Vexora");
    EXPECT_STREQ(GetMessageText(4242), "");  // no such string
    const char* held[9];
    static const int ids[9] = {5101, 5102, 5103, 5104, 5105, 5106, 5107, 5108, 5109};
    for (int i = 0; i < 9; ++i)
        held[i] = GetMessageText(ids[i]);
    EXPECT_EQ(held[8], held[0]) << "the ninth call reuses the first buffer";
    EXPECT_STREQ(held[0], "Vexora archive");
    EXPECT_STREQ(held[1], "Vexora help");
    EXPECT_STREQ(held[7], "Cannot open list file %s");
    // The "/warning" message needs three texts at once.
    const char* a = GetMessageText(5104);
    const char* b = GetMessageText(5105);
    const char* c = GetMessageText(5106);
    EXPECT_STREQ(a, "Uninstall Vexora");
    EXPECT_STREQ(b, "Uninstall completed");
    EXPECT_STREQ(c, "You should delete %s manually");
}

struct QuietCase {
    const char* args;
    DWORD minMs;
};

// Modes that show nothing: each ends with 0, opens no window and leaves the
// product's settings alone; "/waiting" is the wait mode by prefix.
TEST(EntryPoint, QuietModes)
{
    static const QuietCase cases[] = {
        {"/s", 0}, {"/setup /s ", 0}, {"/clean", 0}, {"/s /unknown", 0}, {"/waiting", 1900},
    };
    machine::RegistryGuard guard({{HKEY_CURRENT_USER, "Software\\Vexora"}});
    machine::RegTree before = machine::Capture(HKEY_CURRENT_USER, "Software\\Vexora");
    std::string dir = machine::ScratchDir("quiet");
    std::string exe = dir + "\\uninstall.exe";
    ASSERT_TRUE(machine::CopyTo(machine::BinDir() + "uninstall.exe", exe));
    for (const QuietCase& c : cases) {
        SCOPED_TRACE(c.args);
        DWORD start = GetTickCount();
        machine::Program p = machine::Start(exe, c.args, dir);
        ASSERT_TRUE(p.process);
        EXPECT_EQ(machine::Wait(p, 20000), 0u);
        DWORD elapsed = GetTickCount() - start;
        EXPECT_GE(elapsed, c.minMs);
        if (c.minMs == 0)
            EXPECT_LT(elapsed, 1900u) << "a quiet mode slept";
        EXPECT_EQ(machine::Diff(before, machine::Capture(HKEY_CURRENT_USER, "Software\\Vexora"), "Vexora"), "");
    }
    EXPECT_TRUE(machine::Exists(exe));
    machine::RemoveTree(dir);
}

}  // namespace
