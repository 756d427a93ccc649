// RemoveIntegration in process, on the family the test program runs under.
#include <gtest/gtest.h>
#include <ole2.h>

#include "removal_fixture_win.h"
#include "support/machine_win.h"
#include "uninstall/uninstall.h"

namespace {

struct Com {
    Com() { OleInitialize(nullptr); }
    ~Com() { OleUninitialize(); }
};

TEST(RemoveIntegration, UndoesWhatSetupRegistered)
{
    Com com;
    machine::RegistryGuard guard(removal::ProductKeys());
    removal::RegisterEverything();
    removal::ExpectRegistered();
    RemoveIntegration();
    removal::ExpectRegistrationsGone();
}

// Another program may have taken ".rev" after setup; its registration stays.
TEST(RemoveIntegration, RevExtensionOnlyWhileItIsOurs)
{
    static const struct {
        const char* name;
        const char* owner;  // null: a key without a default value
        bool removed;
    } kCases[] = {
        {"ours", "Vexora.REV", true},
        {"ours, other case", "vEXORA.rev", true},
        {"another program's", "WinRAR.REV", false},
        {"a longer name", "Vexora.REV.2", false},
        {"no default value", nullptr, false},
    };
    machine::RegistryGuard guard(removal::ProductKeys());
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        machine::DeleteTree(HKEY_CLASSES_ROOT, ".rev");
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".rev\\ShellNew", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        if (c.owner) {
            ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".rev", REG_SZ, c.owner, 0), ERROR_SUCCESS);
        }
        const machine::RegTree before = machine::Capture(HKEY_CLASSES_ROOT, ".rev");
        RemoveIntegration();
        const machine::RegTree after = machine::Capture(HKEY_CLASSES_ROOT, ".rev");
        if (c.removed) {
            EXPECT_FALSE(after.exists);
        } else {
            EXPECT_EQ(machine::Diff(before, after, ".rev"), "");
        }
    }
}

}  // namespace
