// Registering the shell extension module and removing the registration,
// against Wine's registry, on the NT family and (families.txt) the 9x family.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "filetypes/shell_extension.h"
#include "registry_values_win.h"

namespace {

using ft::Key;
using ft::Sz;
using ft::Value;
using machine::RegTree;

const HKEY kClasses = HKEY_CLASSES_ROOT;
const char kClassId[] = "{6F3A1C52-94D7-4B0E-8C21-5E7D09B4A3F6}";
const std::string kClassKey = std::string("CLSID\\") + kClassId;
const char kApproved[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

// The handler keys with the default value each one gets.
const std::vector<std::pair<std::string, std::string>> kHandlers = {
    {std::string("Vexora\\shellex\\ContextMenuHandlers\\") + kClassId, ""},
    {std::string("Vexora\\shellex\\PropertySheetHandlers\\") + kClassId, ""},
    {std::string("Vexora.ZIP\\shellex\\ContextMenuHandlers\\") + kClassId, ""},
    {std::string("Vexora.ZIP\\shellex\\PropertySheetHandlers\\") + kClassId, ""},
    {std::string("exefile\\shellex\\PropertySheetHandlers\\") + kClassId, ""},
    {"Vexora\\shellex\\DropHandler", kClassId},
    {"Vexora.ZIP\\shellex\\DropHandler", kClassId},
    {"*\\shellex\\ContextMenuHandlers\\Vexora", kClassId},
    {"Folder\\shellex\\ContextMenuHandlers\\Vexora", kClassId},
    {"Folder\\shellex\\DragDropHandlers\\Vexora", kClassId},
    {"Drive\\shellex\\DragDropHandlers\\Vexora", kClassId},
    {"Directory\\shellex\\ContextMenuHandlers\\Vexora", kClassId},
    {"Directory\\shellex\\DragDropHandlers\\Vexora", kClassId},
};

// Whole trees a test compares before and after.
const std::string kWatched[] = {"*",      "Folder",     "Drive",   "Directory",
                                "exefile", "Vexora",    "Vexora.ZIP", kClassKey,
                                "CLSID\\{11111111-2222-3333-4444-555555555555}"};

// Other programs' registrations beside the product's.
const std::vector<std::pair<std::string, Value>> kForeign = {
    {"*\\shellex\\ContextMenuHandlers\\Other", Sz("", "", "{11111111-2222-3333-4444-555555555555}")},
    {"Folder\\shellex\\DragDropHandlers\\Other", Sz("", "", "{11111111-2222-3333-4444-555555555555}")},
    {"exefile\\shellex\\PropertySheetHandlers\\{11111111-2222-3333-4444-555555555555}", Sz("", "", "")},
    {"CLSID\\{11111111-2222-3333-4444-555555555555}\\InProcServer32", Sz("", "", "C:\\other\\other.dll")},
};

IntegrationOptions Record(bool shellIntegration)
{
    IntegrationOptions r = {};
    r.flag[kFlagShellIntegration] = shellIntegration;
    return r;
}

class ShellExtension : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Other test programs take their turn before the keys are chosen.
        turn.reset(new machine::RegistryGuard({}));
        module.reset(new ft::SiblingFile("vexext.dll"));
        std::vector<std::pair<HKEY, std::string>> keys;
        for (const auto& h : kHandlers)
            keys.push_back(ft::GuardFor(kClasses, h.first));
        for (const auto& f : kForeign)
            keys.push_back(ft::GuardFor(kClasses, f.first));
        keys.push_back(ft::GuardFor(kClasses, kClassKey));
        keys.push_back(ft::GuardFor(HKEY_LOCAL_MACHINE, kApproved));
        guard.reset(new machine::RegistryGuard(keys));

        for (const auto& h : kHandlers)
            machine::DeleteTree(kClasses, h.first);
        machine::DeleteTree(kClasses, kClassKey);
        HKEY approved;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kApproved, 0, KEY_WRITE, &approved) == ERROR_SUCCESS) {
            RegDeleteValueA(approved, kClassId);
            RegCloseKey(approved);
        }
        for (const auto& f : kForeign)
            ft::Put(kClasses, f.first, f.second);
        ft::Put(HKEY_LOCAL_MACHINE, kApproved, Sz("", "{11111111-2222-3333-4444-555555555555}", "Other extension"));
    }

    std::map<std::string, RegTree> CaptureAll()
    {
        std::map<std::string, RegTree> trees;
        for (const std::string& w : kWatched)
            trees[w] = machine::Capture(kClasses, w);
        trees["Approved"] = machine::Capture(HKEY_LOCAL_MACHINE, kApproved);
        return trees;
    }

    static std::string DiffAll(const std::map<std::string, RegTree>& expected,
                               const std::map<std::string, RegTree>& actual)
    {
        std::string out;
        for (const auto& e : expected)
            out += machine::Diff(e.second, actual.at(e.first), e.first);
        return out;
    }

    // Destroyed in reverse order: the file and keys are put back before the turn ends.
    std::unique_ptr<machine::RegistryGuard> turn;
    std::unique_ptr<machine::RegistryGuard> guard;
    std::unique_ptr<ft::SiblingFile> module;
};

// The class is registered only when the module lies beside the program; a
// registration made earlier stays when it is missing. Handlers and approval
// are written either way, and a second call changes nothing.
TEST_F(ShellExtension, FlagOnRegisters)
{
    const std::vector<Value> earlier = {Sz("", "", "Vexora"), Sz("InProcServer32", "", "C:\\old\\vexext.dll"),
                                        Sz("InProcServer32", "ThreadingModel", "Apartment")};
    static const struct {
        const char* name;
        bool modulePresent;
        bool earlierRegistration;
    } kCases[] = {
        {"module present", true, false},
        {"module present, earlier registration", true, true},
        {"module missing", false, false},
        {"module missing, earlier registration", false, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        machine::DeleteTree(kClasses, kClassKey);
        if (c.earlierRegistration)
            ft::PutAll(kClasses, kClassKey, earlier);
        if (c.modulePresent)
            ASSERT_TRUE(machine::WriteFile(module->path, "MZ"));
        else
            DeleteFileA(module->path.c_str());

        IntegrationOptions on = Record(true);
        ApplyShellExtension(&on);
        auto once = CaptureAll();
        ApplyShellExtension(&on);
        EXPECT_EQ(DiffAll(once, CaptureAll()), "") << "second call";

        RegTree expected;
        if (c.modulePresent)
            expected = ft::TreeOf({Sz("", "", "Vexora"), Sz("InProcServer32", "", module->path),
                                   Sz("InProcServer32", "ThreadingModel", "Apartment")});
        else if (c.earlierRegistration)
            expected = ft::TreeOf(earlier);
        EXPECT_EQ(machine::Diff(expected, machine::Capture(kClasses, kClassKey), kClassKey), "");
        for (const auto& h : kHandlers)
            EXPECT_EQ(machine::Diff(ft::TreeOf({Sz("", "", h.second)}), machine::Capture(kClasses, h.first), h.first),
                      "");
        RegTree approved = machine::Capture(HKEY_LOCAL_MACHINE, kApproved);
        EXPECT_EQ(machine::Show(approved.values[kClassId]),
                  machine::Show({REG_SZ, std::string("Vexora shell extension") + '\0'}));
    }
}

// Flag off deletes the class, handler keys 1 to 7 and the approval value, and
// empties the six keys named "Vexora" outside the product's classes: exactly
// that, whatever was registered before, and nothing of other programs.
TEST_F(ShellExtension, FlagOffRemovesExactlyTheRegistration)
{
    // What stays after a registration has been removed: the six emptied
    // keys, and the parents of the deleted ones.
    const std::vector<std::pair<std::string, std::string>> residue = {
        {"*", "shellex\\ContextMenuHandlers\\Vexora"},
        {"Folder", "shellex\\ContextMenuHandlers\\Vexora"},
        {"Folder", "shellex\\DragDropHandlers\\Vexora"},
        {"Drive", "shellex\\DragDropHandlers\\Vexora"},
        {"Directory", "shellex\\ContextMenuHandlers\\Vexora"},
        {"Directory", "shellex\\DragDropHandlers\\Vexora"},
        {"Vexora", "shellex\\ContextMenuHandlers"},
        {"Vexora", "shellex\\PropertySheetHandlers"},
        {"Vexora.ZIP", "shellex\\ContextMenuHandlers"},
        {"Vexora.ZIP", "shellex\\PropertySheetHandlers"},
        {"exefile", "shellex\\PropertySheetHandlers"},
    };
    // Nothing registered first: that case must leave the registry as it was.
    for (bool registeredFirst : {false, true}) {
        SCOPED_TRACE(registeredFirst ? "after a registration" : "with nothing registered");
        ASSERT_TRUE(machine::WriteFile(module->path, "MZ"));
        auto before = CaptureAll();
        IntegrationOptions on = Record(true), off = Record(false);
        if (registeredFirst)
            ApplyShellExtension(&on);

        ApplyShellExtension(&off);
        auto expected = before;
        if (registeredFirst) {
            for (const auto& r : residue)
                ft::AddTo(expected[r.first], {Key(r.second)});
        }
        EXPECT_EQ(DiffAll(expected, CaptureAll()), "");
    }
}

}  // namespace
