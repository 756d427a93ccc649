// The entry point's modes, run as the real program under Wine.
#include <gtest/gtest.h>

#include "support/machine_win.h"
#include "support/ui_driver_win.h"

namespace {

std::string Program()
{
    return machine::BinDir() + "uninstall.exe";
}

TEST(EntryPoint, WarningShowsCompletionAndPath)
{
    machine::Program p = machine::Start(Program(), "/warning");
    ASSERT_TRUE(p.process);
    HWND box = ui::WaitForWindow("Uninstall Vexora", p.pid, 20000);
    ASSERT_TRUE(box) << "no message box";
    EXPECT_EQ(ui::MessageBoxText(box), "Uninstall completed\nYou should delete " + Program() + " manually");
    ui::Press(box, IDOK);
    EXPECT_EQ(machine::Wait(p, 20000), 0u);
}

}  // namespace
