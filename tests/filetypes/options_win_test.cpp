// The stored setup choices and the ownership test, against Wine's registry.
// The tests save and restore the settings root and the classes they touch.
#include <gtest/gtest.h>
#include <string.h>

#include <functional>
#include <string>

#include "filetypes/options.h"
#include "support/machine_win.h"

namespace {

const char kRoot[] = "Software\\Vexora";

// Where each choice is stored, and what it reads as when nothing is.
const struct {
    int flag;
    const char* key;
    const char* name;
    int fallback;
} kStored[] = {
    {0, "Setup\\.vex", "Set", 1},
    {1, "Setup\\.zip", "Set", 1},
    {2, "Setup\\.cab", "Set", 1},
    {3, "Setup\\.arj", "Set", 1},
    {4, "Setup\\.lzh", "Set", 1},
    {5, "Setup\\.ace", "Set", 1},
    {6, "Setup\\.tar", "Set", 1},
    {7, "Setup\\.gz", "Set", 1},
    {8, "Setup\\.uue", "Set", 1},
    {9, "Setup\\.bz2", "Set", 1},
    {10, "Setup\\.jar", "Set", 1},
    {20, "Setup\\Links", "Desktop", 0},
    {21, "Setup\\Links", "StartMenu", 0},
    {22, "Setup\\Links", "Programs", 1},
    {23, "Setup", "ShellExt", 1},
    {24, "Setup", "CascadedMenu", 0},
    {25, "Setup", "MenuIcons", 1},
};

void Set(HKEY root, const std::string& path, const char* name, DWORD type, const std::string& bytes)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0) << path;
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void SetDword(const std::string& key, const char* name, DWORD value)
{
    Set(HKEY_CURRENT_USER, std::string(kRoot) + "\\" + key, name, REG_DWORD,
        std::string(reinterpret_cast<const char*>(&value), 4));
}

// An extension's class as another program may write it: unterminated when asked.
void SetClass(const char* extension, const std::string& name, bool terminated = true)
{
    Set(HKEY_CLASSES_ROOT, extension, "", REG_SZ, terminated ? std::string(name.c_str(), name.size() + 1) : name);
}

IntegrationOptions Read()
{
    IntegrationOptions record;
    memset(&record, 0xAA, sizeof record);
    ReadIntegrationOptions(&record);
    return record;
}

struct Options : ::testing::Test {
    machine::RegistryGuard guard{{{HKEY_CURRENT_USER, kRoot},
                                  {HKEY_CLASSES_ROOT, ".iso"},
                                  {HKEY_CLASSES_ROOT, ".vexoptionstest"}}};
    void SetUp() override
    {
        machine::DeleteTree(HKEY_CURRENT_USER, kRoot);
        machine::DeleteTree(HKEY_CLASSES_ROOT, ".iso");
        machine::DeleteTree(HKEY_CLASSES_ROOT, ".vexoptionstest");
    }
};

TEST_F(Options, NothingStoredReadsTheDefaults)
{
    IntegrationOptions record = Read();
    EXPECT_EQ(record.flag[kFlagIso], 1);
    for (const auto& s : kStored)
        EXPECT_EQ(record.flag[s.flag], s.fallback) << s.key << " " << s.name;
    for (int f = kArchiveTypeCount; f < kFlagDesktopLink; ++f)
        EXPECT_EQ(record.flag[f], 0xAA) << "flag " << f << " carries no choice and is left alone";
}

// Any nonzero number reads as on; a value that cannot be a number keeps the default.
TEST_F(Options, StoredValuesRead)
{
    static const struct {
        const char* what;
        DWORD type;
        std::string bytes;
        bool useDefault;
        int flag;
    } cases[] = {
        {"zero", REG_DWORD, std::string(4, '\0'), false, 0},
        {"one", REG_DWORD, std::string("\x01\0\0\0", 4), false, 1},
        {"two", REG_DWORD, std::string("\x02\0\0\0", 4), false, 1},
        {"all bits", REG_DWORD, std::string(4, '\xff'), false, 1},
        {"high byte only", REG_DWORD, std::string("\0\0\0\x80", 4), false, 1},
        {"eight bytes", REG_BINARY, std::string(8, '\0'), true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        machine::DeleteTree(HKEY_CURRENT_USER, kRoot);
        for (const auto& s : kStored)
            Set(HKEY_CURRENT_USER, std::string(kRoot) + "\\" + s.key, s.name, c.type, c.bytes);
        IntegrationOptions record = Read();
        for (const auto& s : kStored)
            EXPECT_EQ(record.flag[s.flag], c.useDefault ? s.fallback : c.flag) << s.key << " " << s.name;
    }
}

// ISO follows its stored choice unless another program's class owns ".iso".
TEST_F(Options, IsoFollowsItsOwner)
{
    enum Owner { None, KeyOnly, Class, Unterminated };
    static const struct {
        const char* what;
        Owner owner;
        std::string name;
        int stored;  // -1: nothing stored
        int flag;
    } cases[] = {
        {"no class", None, "", -1, 1},
        {"no class, stored off", None, "", 0, 0},
        {"no class, stored 3", None, "", 3, 1},
        {"key without default value", KeyOnly, "", -1, 1},
        {"empty class", Class, "", -1, 1},
        {"empty class, stored off", Class, "", 0, 0},
        {"ours", Class, "Vexora", -1, 1},
        {"ours, stored off", Class, "Vexora", 0, 0},
        {"ours in another case", Class, "VEXORA.zip", -1, 1},
        {"recovery volumes are not ours", Class, "Vexora.REV", 1, 0},
        {"another program's", Class, "WinThing.iso", 1, 0},
        {"another program's, unterminated", Unterminated, "WinThing.iso", -1, 0},
        {"another program's of 79 characters", Class, std::string(79, 'W'), -1, 0},
        {"80 characters do not fit and read as none", Class, std::string(80, 'W'), -1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        machine::DeleteTree(HKEY_CURRENT_USER, kRoot);
        machine::DeleteTree(HKEY_CLASSES_ROOT, ".iso");
        if (c.owner == KeyOnly)
            Set(HKEY_CLASSES_ROOT, ".iso\\OpenWithProgids", "", REG_SZ, std::string(1, '\0'));
        if (c.owner == Class || c.owner == Unterminated)
            SetClass(".iso", c.name, c.owner == Class);
        if (c.stored >= 0)
            SetDword("Setup\\.iso", "Set", c.stored);
        EXPECT_EQ(Read().flag[kFlagIso], c.flag);
    }
}

TEST_F(Options, IsOwnedExtension)
{
    static const struct {
        const char* what;
        bool present;
        std::string name;
        bool terminated;
        bool owned;
    } cases[] = {
        {"no key", false, "", true, false},
        {"empty", true, "", true, false},
        {"archives", true, "Vexora", true, true},
        {"ZIP", true, "Vexora.ZIP", true, true},
        {"any case", true, "vExOrA.ZiP", true, true},
        {"any case", true, "VEXORA", true, true},
        {"recovery volumes", true, "Vexora.REV", true, false},
        {"longer", true, "Vexora.ZIP2", true, false},
        {"trailing blank", true, "Vexora ", true, false},
        {"another program's", true, "WinThing.zip", true, false},
        {"stored unterminated", true, "Vexora.ZIP", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + ": " + c.name);
        machine::DeleteTree(HKEY_CLASSES_ROOT, ".vexoptionstest");
        if (c.present)
            SetClass(".vexoptionstest", c.name, c.terminated);
        EXPECT_EQ(IsOwnedExtension(".vexoptionstest"), c.owned);
    }
}

// Each choice is stored as a REG_DWORD of 0 or 1 where the table says, and
// nothing else is: in particular nothing under the key formed from ".iso",
// whatever flag 11 holds. Reading gives the saved choices back.
TEST_F(Options, SaveStoresEachChoiceOnce)
{
    machine::RegTree first;
    for (int pattern = 0; pattern < 2; ++pattern) {
        IntegrationOptions record;
        for (int f = 0; f < kOptionFlagCount; ++f)
            record.flag[f] = (f + pattern) % 2;
        for (int iso = 0; iso < 2; ++iso) {
            SCOPED_TRACE("pattern " + std::to_string(pattern) + ", ISO " + std::to_string(iso));
            machine::DeleteTree(HKEY_CURRENT_USER, kRoot);
            record.flag[kFlagIso] = iso;
            SaveIntegrationOptions(&record);
            machine::RegTree tree = machine::Capture(HKEY_CURRENT_USER, kRoot);
            size_t values = 0;
            for (const auto& s : kStored) {
                machine::RegTree* key = &tree;
                for (const char* part = s.key; part;) {
                    const char* slash = strchr(part, '\\');
                    key = &key->subkeys[slash ? std::string(part, slash) : std::string(part)];
                    part = slash ? slash + 1 : nullptr;
                }
                EXPECT_EQ(machine::Show(key->values[s.name]), "type 4 " + std::to_string(record.flag[s.flag]))
                    << s.key << " " << s.name;
            }
            std::function<void(const machine::RegTree&)> count = [&](const machine::RegTree& t) {
                values += t.values.size();
                for (const auto& sub : t.subkeys)
                    count(sub.second);
            };
            count(machine::Capture(HKEY_CURRENT_USER, kRoot));
            EXPECT_EQ(values, sizeof kStored / sizeof kStored[0]) << "values other than the choices";
            EXPECT_FALSE(machine::Capture(HKEY_CURRENT_USER, std::string(kRoot) + "\\Setup\\.iso").exists);

            // With ".iso" unowned, ISO reads as on again: turning it off is not remembered.
            IntegrationOptions back = Read();
            for (const auto& s : kStored)
                EXPECT_EQ(back.flag[s.flag], record.flag[s.flag]) << s.key << " " << s.name;
            EXPECT_EQ(back.flag[kFlagIso], 1);
        }
    }
}

}  // namespace
