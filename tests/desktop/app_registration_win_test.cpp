// The application path and the uninstall entry, read back from the prefix's
// registry. The program here is the test program itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "desktop/app_registration.h"
#include "desktop/desktop_fixture_win.h"
#include "support/machine_win.h"

namespace {

const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vexora.exe";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexora archiver";

machine::RegValue Text(const std::string& text)
{
    return machine::RegValue{REG_SZ, text + '\0'};
}

std::string ProgramPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

class AppRegistration : public ::testing::Test {
protected:
    void SetUp() override
    {
        machine::DeleteTree(HKEY_LOCAL_MACHINE, kAppPathKey);
        machine::DeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        GetCurrentDirectoryA(sizeof savedDirectory, savedDirectory);
    }
    void TearDown() override { SetCurrentDirectoryA(savedDirectory); }

    void ExpectKey(const char* key, const machine::RegTree& expected)
    {
        machine::RegTree actual = machine::Capture(HKEY_LOCAL_MACHINE, key);
        EXPECT_TRUE(actual == expected) << machine::Diff(expected, actual, key);
    }

    desktop_test::MachineLock lock;
    machine::RegistryGuard guard{{{HKEY_LOCAL_MACHINE, kAppPathKey}, {HKEY_LOCAL_MACHINE, kUninstallKey}}};
    char savedDirectory[MAX_PATH];
};

// One run after the other on the same key: each leaves exactly its own values.
TEST_F(AppRegistration, AppPathIsBesideTheProgramAndPathIsTheCurrentDirectory)
{
    const std::string elsewhere = machine::ScratchDir("desktop-setup cwd");
    const char* const kDirectories[] = {elsewhere.c_str(), "C:\\"};
    for (const char* directory : kDirectories) {
        SCOPED_TRACE(directory);
        ASSERT_TRUE(SetCurrentDirectoryA(directory));
        RegisterAppPath();
        machine::RegTree expected;
        expected.exists = true;
        expected.values[""] = Text(machine::BinDir() + "Vexora.exe");
        expected.values["Path"] = Text(directory);
        ExpectKey(kAppPathKey, expected);
    }
    SetCurrentDirectoryA(savedDirectory);
    machine::RemoveTree(elsewhere);
}

TEST_F(AppRegistration, UninstallEntryStartsThisProgramUnderTheFixedKeyName)
{
    const struct {
        const char* name;
        bool translated;
        const char* displayName;
    } kCases[] = {
        {"untranslated", false, "Vexora archiver"},
        {"language installed", true, "Vexora Archivprogramm"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<desktop_test::TranslatedTexts> translated;
        if (c.translated) {
            translated.reset(new desktop_test::TranslatedTexts);
            ASSERT_TRUE(translated->Loaded());
        }
        RegisterUninstallEntry();
        translated.reset();
        machine::RegTree expected;
        expected.exists = true;
        expected.values["DisplayName"] = Text(c.displayName);
        expected.values["UninstallString"] = Text(ProgramPath());
        ExpectKey(kUninstallKey, expected);
    }
    EXPECT_FALSE(machine::Capture(HKEY_LOCAL_MACHINE,
                                  "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexora Archivprogramm")
                     .exists);
}

}  // namespace
