// Vexora.exe as setup's registrations use it: the open command starts it with
// the file in double quotes, links start it bare, DefaultIcon names its icons
// 0 (archive) and 1 (recovery volume).
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "product_win.h"
#include "support/machine_win.h"

namespace {

std::string MainProgram()
{
    return product::Dir() + "Vexora.exe";
}

TEST(MainProgram, ShowsTheFileItIsGiven)
{
    std::string dir = machine::ScratchDir("vexora main");
    std::string file = dir + "\\new archive.vex";
    const struct {
        const char* name;
        std::string args;
        std::string shown;
    } cases[] = {
        {"no argument, as the links start it", "", "No archive opened"},
        {"a quoted path with blanks, as the open command passes it", "\"" + file + "\"", file},
        {"a file that does not exist is shown all the same", "\"" + dir + "\\gone.zip\"", dir + "\\gone.zip"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine::Program p = machine::Start(MainProgram(), c.args);
        ASSERT_TRUE(p.process);
        EXPECT_EQ(product::TakeShownPath(p.pid), c.shown);
        EXPECT_EQ(machine::Wait(p, 10000), 0u);
        if (p.process)
            machine::Kill(p);
    }
}

// The road of a double click: a class whose open command is formed the way
// setup forms it, "\"<Vexora.exe>\" \"%1\"", and a file of its extension.
TEST(MainProgram, OpensAFileThroughAnOpenCommandLikeSetups)
{
    machine::RegistryGuard guard({{HKEY_CLASSES_ROOT, ".vexstandin"}, {HKEY_CLASSES_ROOT, "VexoraStandInTest"}});
    std::string command = "\"" + MainProgram() + "\" \"%1\"";
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".vexstandin", REG_SZ, "VexoraStandInTest", 0), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "VexoraStandInTest\\shell\\open\\command", REG_SZ, command.c_str(), 0),
              ERROR_SUCCESS);
    std::string file = machine::ScratchDir("vexora open") + "\\two words.vexstandin";
    ASSERT_TRUE(machine::WriteFile(file, "Vex!"));

    INT_PTR started = (INT_PTR)ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    ASSERT_GT(started, 32);
    EXPECT_EQ(product::TakeShownPath(0), file);
}

TEST(MainProgram, CarriesTheArchiveAndRecoveryIcons)
{
    std::string exe = MainProgram();
    EXPECT_EQ(ExtractIconExA(exe.c_str(), -1, nullptr, nullptr, 0), 2u);
    for (int index : {0, 1}) {
        HICON icon = ExtractIconA(GetModuleHandleA(nullptr), exe.c_str(), index);
        EXPECT_NE(icon, nullptr) << "icon " << index;
        if (icon)
            DestroyIcon(icon);
    }
}

}  // namespace
