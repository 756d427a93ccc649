// The registry layer against Wine's real registry. Everything happens under
// HKCU\Software\VexoraTest, except the tests of the settings root, which save
// and restore HKCU\Software\Vexora.
#include <gtest/gtest.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "registry/registry_internal.h"
#include "shell/system.h"
#include "support/machine_win.h"

namespace {

// Each test (and family) has a scratch key of its own, as ctest runs them in
// parallel: HKCU\Software\VexoraTest\<test>. kTop is the same key as a key
// path: the leading backslash leaves the settings root.
std::string kScratch;
std::string kTop;
const DWORD kFallback = 0xdeadbeef;

bool IsNt()
{
    return NtMajorVersion() != 0;
}

struct Stored {
    DWORD type;
    std::string bytes;
};

void RawSet(HKEY root, const std::string& path, const char* name, const Stored& v)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0) << path;
    EXPECT_EQ(RegSetValueExA(key, name, 0, v.type, reinterpret_cast<const BYTE*>(v.bytes.data()),
                             static_cast<DWORD>(v.bytes.size())),
              0);
    RegCloseKey(key);
}

void RawCreate(HKEY root, const std::string& path)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0) << path;
    RegCloseKey(key);
}

// Subkey names of a key, or "gone".
std::string Children(HKEY root, const std::string& path)
{
    machine::RegTree tree = machine::Capture(root, path);
    if (!tree.exists)
        return "gone";
    std::string out;
    for (const auto& s : tree.subkeys)
        out += (out.empty() ? "" : " ") + s.first;
    return out;
}

std::string Dword(DWORD d)
{
    return std::string(reinterpret_cast<const char*>(&d), 4);
}

// Watches the passes of one tree deletion.
std::vector<int> passCounts;
std::vector<std::string> afterPass;
HKEY watchedRoot;
std::string watchedPath;
void RecordPass(int deleted)
{
    passCounts.push_back(deleted);
    afterPass.push_back(Children(watchedRoot, watchedPath));
}
void Watch(HKEY root, const std::string& path)
{
    passCounts.clear();
    afterPass.clear();
    watchedRoot = root;
    watchedPath = path;
    TreePassDone = RecordPass;
}

struct Registry : ::testing::Test {
    HKEY base = nullptr;  // the scratch key used as a root: its paths pass unchanged
    void SetUp() override
    {
        kScratch = std::string("Software\\VexoraTest\\") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name() + (IsNt() ? "" : ".9x");
        kTop = "\\" + kScratch;
        machine::DeleteTree(HKEY_CURRENT_USER, kScratch);  // a crashed run must not poison this one
        RawCreate(HKEY_CURRENT_USER, kScratch);
        RegOpenKeyExA(HKEY_CURRENT_USER, kScratch.c_str(), 0, KEY_ALL_ACCESS, &base);
    }
    void TearDown() override
    {
        TreePassDone = nullptr;
        RegCloseKey(base);
        machine::DeleteTree(HKEY_CURRENT_USER, kScratch);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VexoraTest");  // once the last test is done with it
    }
};

TEST_F(Registry, ResolveKeyPathByRoot)
{
    static const struct {
        HKEY root;
        const char* keyPath;
        const char* resolved;
    } cases[] = {
        {HKEY_CURRENT_USER, "", "Software\\Vexora"},
        {HKEY_CURRENT_USER, "Setup\\Links", "Software\\Vexora\\Setup\\Links"},
        {HKEY_CURRENT_USER, "\\Software\\Classes\\.vex", "Software\\Classes\\.vex"},
        {HKEY_CLASSES_ROOT, "Vexora.ZIP\\shell", "Vexora.ZIP\\shell"},
        {HKEY_CLASSES_ROOT, "\\x", "\\x"},
        {HKEY_LOCAL_MACHINE, "Software\\Vexora", "Software\\Vexora"},
        {HKEY_LOCAL_MACHINE, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keyPath);
        char dest[kResolvedPathSize];
        EXPECT_TRUE(ResolveKeyPath(c.root, c.keyPath, dest, sizeof dest));
        EXPECT_STREQ(dest, c.resolved);
    }
    // The settings root counts against the 256 bytes: "Software\\Vexora\\" is 16 characters.
    char dest[kResolvedPathSize];
    EXPECT_TRUE(ResolveKeyPath(HKEY_CURRENT_USER, std::string(239, 'k').c_str(), dest, sizeof dest));
    EXPECT_EQ(strlen(dest), 255u);
    EXPECT_FALSE(ResolveKeyPath(HKEY_CURRENT_USER, std::string(240, 'k').c_str(), dest, sizeof dest));
    EXPECT_STREQ(dest, "");
}

TEST_F(Registry, WritesStoreTypeAndSize)
{
    static const struct {
        const char* what;
        std::function<void(const char* path)> write;
        const char* name;
        Stored stored;
    } cases[] = {
        {"empty text", [](const char* p) { WriteRegString(HKEY_CURRENT_USER, p, "s", ""); }, "s",
         {REG_SZ, std::string(1, '\0')}},
        {"text", [](const char* p) { WriteRegString(HKEY_CURRENT_USER, p, "", "Vexora"); }, "",
         {REG_SZ, std::string("Vexora", 7)}},
        {"dword", [](const char* p) { WriteRegDword(HKEY_CURRENT_USER, p, "d", 0x01020304); }, "d",
         {REG_DWORD, Dword(0x01020304)}},
        {"binary", [](const char* p) { WriteRegBinary(HKEY_CURRENT_USER, p, "b", "\0\x01\xff", 3); }, "b",
         {REG_BINARY, std::string("\0\x01\xff", 3)}},
        {"empty binary", [](const char* p) { WriteRegBinary(HKEY_CURRENT_USER, p, "b", "", 0); }, "b",
         {REG_BINARY, ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // Missing keys above the written one are created.
        std::string path = kTop + "\\w\\missing\\" + c.what;
        c.write(path.c_str());
        machine::RegTree tree = machine::Capture(HKEY_CURRENT_USER, path.substr(1));
        ASSERT_TRUE(tree.exists);
        ASSERT_EQ(tree.values.size(), 1u);
        EXPECT_EQ(tree.values.begin()->first, c.name);
        EXPECT_EQ(machine::Show(tree.values.begin()->second), machine::Show({c.stored.type, c.stored.bytes}));
        EXPECT_EQ(tree.values.begin()->second.data.size(), c.stored.bytes.size());
    }
}

// Whatever is stored, the result is a terminated text within the destination
// size, and nothing past the destination size is touched.
TEST_F(Registry, ReadRegStringStaysInsideItsBuffer)
{
    static const struct {
        const char* what;
        bool present;
        Stored stored;
        DWORD size;
        bool read;
        const char* text;
    } cases[] = {
        {"fits with its terminator", true, {REG_SZ, std::string("abc", 4)}, 4, true, "abc"},
        {"one byte too long", true, {REG_SZ, std::string("abc", 4)}, 3, false, "fb"},
        {"stored unterminated, room left", true, {REG_SZ, "abc"}, 8, true, "abc"},
        {"stored unterminated, room for the zero", true, {REG_SZ, "abc"}, 4, true, "abc"},
        {"stored unterminated, fills the buffer", true, {REG_SZ, "abc"}, 3, false, "fb"},
        {"empty, no bytes", true, {REG_SZ, ""}, 4, true, ""},
        {"empty text", true, {REG_SZ, std::string(1, '\0')}, 1, true, ""},
        {"binary bytes", true, {REG_BINARY, "xy"}, 4, true, "xy"},
        {"binary filling the buffer", true, {REG_BINARY, "wxyz"}, 4, false, "fb"},
        {"dword bytes", true, {REG_DWORD, Dword(0x00434241)}, 8, true, "ABC"},
        {"missing value", false, {}, 8, false, "fb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = kTop + "\\r";
        machine::DeleteTree(HKEY_CURRENT_USER, path.substr(1));
        RawCreate(HKEY_CURRENT_USER, path.substr(1));
        if (c.present)
            RawSet(HKEY_CURRENT_USER, path.substr(1), "v", c.stored);
        char dest[32];
        memset(dest, 'X', sizeof dest);
        EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, path.c_str(), "v", dest, "fb", c.size), c.read);
        EXPECT_STREQ(dest, c.text);
        EXPECT_EQ(std::string(dest + c.size, sizeof dest - c.size), std::string(sizeof dest - c.size, 'X'));
    }
}

TEST_F(Registry, ReadRegStringFallbacks)
{
    char dest[16];
    EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, (kTop + "\\none").c_str(), "", dest, "fallback", 16));
    EXPECT_STREQ(dest, "fallback");
    // A fallback longer than the buffer is not written beyond it.
    memset(dest, 'X', sizeof dest);
    EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, (kTop + "\\none").c_str(), "", dest, "fallback", 4));
    EXPECT_STREQ(dest, "");
    EXPECT_EQ(std::string(dest + 4, 12), std::string(12, 'X'));
    // Reading never creates the key.
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, (kTop + "\\none").c_str()));
}

TEST_F(Registry, ReadRegDword)
{
    static const struct {
        const char* what;
        bool present;
        Stored stored;
        DWORD value;
    } cases[] = {
        {"dword", true, {REG_DWORD, Dword(5)}, 5},
        {"zero is a value", true, {REG_DWORD, Dword(0)}, 0},
        {"eight bytes", true, {REG_BINARY, std::string(8, '\x01')}, kFallback},
        {"two bytes fill the low ones", true, {REG_BINARY, "\x34\x12"}, 0x1234},
        {"missing value", false, {}, kFallback},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = kTop + "\\d";
        machine::DeleteTree(HKEY_CURRENT_USER, path.substr(1));
        RawCreate(HKEY_CURRENT_USER, path.substr(1));
        if (c.present)
            RawSet(HKEY_CURRENT_USER, path.substr(1), "v", c.stored);
        EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, path.c_str(), "v", kFallback), c.value);
        DWORD dest = 0;
        EXPECT_EQ(QueryRegDword(HKEY_CURRENT_USER, path.c_str(), "v", &dest, kFallback), c.value != kFallback);
        EXPECT_EQ(dest, c.value);
    }
    EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, (kTop + "\\none").c_str(), "v", kFallback), kFallback);
}

TEST_F(Registry, SettingsLiveUnderTheSettingsRoot)
{
    machine::RegistryGuard guard({{HKEY_CURRENT_USER, "Software\\Vexora"}});
    machine::DeleteTree(HKEY_CURRENT_USER, "Software\\Vexora");
    WriteSettingString("Setup\\.zip", "", "WinThing.zip");
    WriteSettingDword("Setup\\Links", "Desktop", 1);
    WriteSettingDword("", "AtRoot", 2);
    WriteSettingDword(kTop.c_str(), "Outside", 3);

    machine::RegTree root = machine::Capture(HKEY_CURRENT_USER, "Software\\Vexora");
    EXPECT_EQ(machine::Show(root.values["AtRoot"]), "type 4 2");
    EXPECT_EQ(machine::Show(root.subkeys["Setup"].subkeys[".zip"].values[""]), "type 1 \"WinThing.zip\"");
    EXPECT_EQ(machine::Show(root.subkeys["Setup"].subkeys["Links"].values["Desktop"]), "type 4 1");
    EXPECT_EQ(machine::Show(machine::Capture(HKEY_CURRENT_USER, kScratch).values["Outside"]), "type 4 3");

    char text[16];
    EXPECT_TRUE(ReadSettingString("Setup\\.zip", "", text, "", sizeof text));
    EXPECT_STREQ(text, "WinThing.zip");
    EXPECT_FALSE(ReadSettingString("Setup\\.zip", "none", text, "fb", sizeof text));
    EXPECT_STREQ(text, "fb");
    EXPECT_EQ(ReadSettingDword("Setup\\Links", "Desktop", 7), 1u);
    EXPECT_EQ(ReadSettingDword("", "AtRoot", 7), 2u);
    EXPECT_EQ(ReadSettingDword("Setup", "none", 7), 7u);
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, ""));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Setup\\Links"));
}

TEST_F(Registry, DeleteValueAndKey)
{
    const std::string k = kScratch + "\\k";
    RawSet(HKEY_CURRENT_USER, k, "a", {REG_DWORD, Dword(1)});
    RawSet(HKEY_CURRENT_USER, k, "b", {REG_DWORD, Dword(2)});
    RawSet(HKEY_CURRENT_USER, k, "", {REG_SZ, std::string("d", 2)});
    DeleteRegValue(HKEY_CURRENT_USER, (kTop + "\\k").c_str(), "a");
    DeleteRegValue(HKEY_CURRENT_USER, (kTop + "\\k").c_str(), "");
    machine::RegTree tree = machine::Capture(HKEY_CURRENT_USER, k);
    ASSERT_TRUE(tree.exists);
    EXPECT_EQ(tree.values.size(), 1u);
    EXPECT_EQ(tree.values.count("b"), 1u);

    // Deleting a value of a missing key does not create the key.
    DeleteRegValue(HKEY_CURRENT_USER, (kTop + "\\none").c_str(), "a");
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, (kTop + "\\none").c_str()));

    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, (kTop + "\\k").c_str()));
    DeleteRegKey(HKEY_CURRENT_USER, (kTop + "\\k").c_str());
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, (kTop + "\\k").c_str()));

    // A key with a subkey: the platform decides.
    RawCreate(HKEY_CURRENT_USER, kScratch + "\\p\\child");
    DeleteRegKey(HKEY_CURRENT_USER, (kTop + "\\p").c_str());
    EXPECT_EQ(Children(HKEY_CURRENT_USER, kScratch + "\\p"), IsNt() ? "child" : "gone");
}

// The worked case: the index advances past every deleted leaf, so a pass
// takes every second one and the key goes only once it is empty.
TEST_F(Registry, TreeDeletionPassesOnNt)
{
    if (!IsNt())
        GTEST_SKIP() << "the 9x family deletes the tree with one RegDeleteKeyA";
    const std::string tree = kScratch + "\\tree";
    for (const char* leaf : {"a", "b", "c", "d"})
        RawSet(HKEY_CURRENT_USER, tree + "\\" + leaf, "v", {REG_DWORD, Dword(1)});
    RawCreate(HKEY_CURRENT_USER, kScratch + "\\tree2");  // a neighbour with the same start
    Watch(HKEY_CURRENT_USER, tree);
    DeleteRegTree(HKEY_CURRENT_USER, (kTop + "\\tree").c_str());
    EXPECT_EQ(passCounts, (std::vector<int>{2, 1, 2, 0}));
    EXPECT_EQ(afterPass, (std::vector<std::string>{"b d", "d", "gone", "gone"}));
    EXPECT_EQ(Children(HKEY_CURRENT_USER, kScratch), "tree2");
}

TEST_F(Registry, TreeDeletionInOneCallOn9x)
{
    if (IsNt())
        GTEST_SKIP() << "RegDeleteKeyA takes subtrees only on the 9x family";
    // Wine's 9x emulation walks subkeys with a name length it does not reset,
    // so it manages only names that get shorter, as these do; Windows 9x
    // deletes any subtree.
    const std::string tree = kScratch + "\\tree";
    for (const char* leaf : {"aaaa\\x\\y", "bbb", "cc", "d"})
        RawSet(HKEY_CURRENT_USER, tree + "\\" + leaf, "v", {REG_DWORD, Dword(1)});
    RawCreate(HKEY_CURRENT_USER, kScratch + "\\tree2");
    Watch(HKEY_CURRENT_USER, tree);
    DeleteRegTree(HKEY_CURRENT_USER, (kTop + "\\tree").c_str());
    EXPECT_EQ(passCounts, std::vector<int>{});
    EXPECT_EQ(Children(HKEY_CURRENT_USER, kScratch), "tree2");
}

TEST_F(Registry, TreeDeletionOfMissingKeyIsOnePass)
{
    Watch(HKEY_CURRENT_USER, kScratch + "\\none");
    DeleteRegTree(HKEY_CURRENT_USER, (kTop + "\\none").c_str());
    EXPECT_EQ(passCounts, std::vector<int>{0});
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, (kTop + "\\none").c_str()));
}

TEST_F(Registry, TreeDeletionOfNestedKeys)
{
    const std::string t = kScratch + "\\t";
    for (const char* k : {"\\a\\b\\c", "\\a\\d", "\\e", ""})
        RawSet(HKEY_CURRENT_USER, t + k, "v", {REG_SZ, std::string("x", 2)});
    RawSet(HKEY_CURRENT_USER, kScratch + "\\keep\\a", "v", {REG_DWORD, Dword(1)});
    Watch(HKEY_CURRENT_USER, t);
    DeleteRegTree(HKEY_CURRENT_USER, (kTop + "\\t").c_str());
    EXPECT_EQ(Children(HKEY_CURRENT_USER, t), "gone");
    EXPECT_EQ(Children(HKEY_CURRENT_USER, kScratch), "keep");
    EXPECT_EQ(Children(HKEY_CURRENT_USER, kScratch + "\\keep"), "a");
    if (IsNt()) {
        EXPECT_EQ(passCounts.back(), 0);
    }
}

// The empty key path means the whole settings root under HKEY_CURRENT_USER.
TEST_F(Registry, TreeDeletionOfTheSettingsRoot)
{
    machine::RegistryGuard guard({{HKEY_CURRENT_USER, "Software\\Vexora"}});
    WriteSettingDword("Setup\\.vex", "Set", 1);
    WriteSettingString("Setup\\.zip", "", "WinThing.zip");
    WriteSettingDword("Setup\\Links", "Desktop", 0);
    WriteSettingDword("", "Top", 0);
    DeleteRegTree(HKEY_CURRENT_USER, "");
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, ""));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kTop.c_str()));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "\\Software"));
}

// A subkey name gets a 200-byte buffer: a longer one ends the walk of its
// parent, which then stays; the passes end once one deletes nothing.
TEST_F(Registry, TreeDeletionWithLongSubkeyNames)
{
    static const struct {
        size_t nameLength;
        std::vector<int> passes;
        bool deleted;
    } cases[] = {
        {199, {1, 2, 0}, true},
        {200, {0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nameLength);
        RawCreate(base, "t\\" + std::string(c.nameLength, '0'));
        RawCreate(base, "t\\z");
        machine::RegTree before = machine::Capture(base, "t");
        Watch(base, "t");
        DeleteRegTree(base, "t");
        if (IsNt()) {
            EXPECT_EQ(passCounts, c.passes);
            EXPECT_EQ(machine::Capture(base, "t") == before, !c.deleted);
            EXPECT_EQ(Children(base, "t") == "gone", c.deleted);
        } else {
            EXPECT_EQ(Children(base, "t"), "gone");
        }
        machine::DeleteTree(base, "t");
    }
}

// Under any root other than HKEY_CURRENT_USER the empty path would name the
// root itself: the scratch key stands in for one.
TEST_F(Registry, EmptyPathNeverDeletesTheRoot)
{
    RawCreate(base, "child");
    DeleteRegKey(base, "");
    Watch(base, "");
    DeleteRegTree(base, "");
    EXPECT_EQ(passCounts, std::vector<int>{0});
    EXPECT_EQ(Children(HKEY_CURRENT_USER, kScratch), "child");
}

// A path of `limit` characters with its terminator fits; one more and the
// operation does nothing at all, not even on the key the cut path would name.
std::string LongPath(size_t length)
{
    std::string path;
    while (path.size() < length)
        path += (path.size() % 50 == 49) ? '\\' : static_cast<char>('a' + path.size() % 26);
    return path;
}

TEST_F(Registry, PathsThatDoNotFitDoNothing)
{
    static const struct {
        const char* what;
        size_t limit;
        std::function<std::string(HKEY, const char*)> act;
        const char* result;    // when the path fits
        const char* fallback;  // when it does not
        bool changes;
    } cases[] = {
        {"WriteRegDword", kResolvedPathSize, [](HKEY r, const char* p) { WriteRegDword(r, p, "w", 1); return ""; },
         "", "", true},
        {"WriteRegString", kResolvedPathSize,
         [](HKEY r, const char* p) { WriteRegString(r, p, "w", "x"); return ""; }, "", "", true},
        {"ReadRegDword", kResolvedPathSize,
         [](HKEY r, const char* p) { return std::to_string(ReadRegDword(r, p, "v", 7)); }, "5", "7", false},
        {"ReadRegString", kResolvedPathSize,
         [](HKEY r, const char* p) {
             char s[8];
             return std::to_string(ReadRegString(r, p, "s", s, "fb", sizeof s)) + s;
         },
         "1x", "0fb", false},
        {"RegKeyExists", kResolvedPathSize, [](HKEY r, const char* p) { return std::to_string(RegKeyExists(r, p)); },
         "1", "0", false},
        {"DeleteRegValue", kResolvedPathSize,
         [](HKEY r, const char* p) { DeleteRegValue(r, p, "v"); return ""; }, "", "", true},
        {"DeleteRegKey", kResolvedPathSize, [](HKEY r, const char* p) { DeleteRegKey(r, p); return ""; }, "", "",
         true},
        {"DeleteRegTree", kTreePathSize, [](HKEY r, const char* p) { DeleteRegTree(r, p); return ""; }, "", "",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string fits = LongPath(c.limit - 1);
        const std::string tooLong = fits + "z";
        for (const std::string* path : {&fits, &tooLong}) {
            // Wine's ANSI calls take paths of up to about 260 characters, so
            // the long keys are captured from their first component.
            const std::string top = LongPath(49);
            machine::DeleteTree(base, top);
            for (const std::string* k : {&fits, &tooLong}) {
                RawSet(base, *k, "v", {REG_DWORD, Dword(5)});
                RawSet(base, *k, "s", {REG_SZ, std::string("x", 2)});
            }
            machine::RegTree before = machine::Capture(base, top);
            machine::RegTree neighbour = machine::Capture(base, tooLong);
            std::string result = c.act(base, path->c_str());
            std::string diff = machine::Diff(before, machine::Capture(base, top), "");
            if (path == &tooLong) {
                EXPECT_EQ(result, c.fallback);
                EXPECT_EQ(diff, "");
            } else {
                EXPECT_EQ(result, c.result);
                EXPECT_EQ(diff != "", c.changes) << diff;
                EXPECT_TRUE(machine::Capture(base, tooLong) == neighbour);
            }
        }
    }
}

}  // namespace
