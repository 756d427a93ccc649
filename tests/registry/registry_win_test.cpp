// The registry layer against Wine's real registry, in keys of the tests' own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/registry_internal.h"
#include "shell/system.h"
#include "support/machine_win.h"

namespace {

// Reached from HKEY_CURRENT_USER with a leading backslash, so outside the settings root.
const char kScratch[] = "Software\\VexoraTest";
const char kScratchPath[] = "\\Software\\VexoraTest";

struct Scratch : ::testing::Test {
    void SetUp() override { machine::DeleteTree(HKEY_CURRENT_USER, kScratch); }
    void TearDown() override { machine::DeleteTree(HKEY_CURRENT_USER, kScratch); }
};

std::vector<int> passes;
void RecordPass(int deleted)
{
    passes.push_back(deleted);
}

TEST_F(Scratch, WriteReadRoundTrip)
{
    WriteRegString(HKEY_CURRENT_USER, "\\Software\\VexoraTest\\a", "text", "hello");
    WriteRegDword(HKEY_CURRENT_USER, "\\Software\\VexoraTest\\a", "n", 42);
    char buffer[16];
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, "\\Software\\VexoraTest\\a", "text", buffer, "fb", sizeof buffer));
    EXPECT_STREQ(buffer, "hello");
    EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, "\\Software\\VexoraTest\\a", "n", 7), 42u);
}

TEST_F(Scratch, TreePassesOnNt)
{
    if (NtMajorVersion() == 0)
        GTEST_SKIP() << "the 9x family deletes the tree at once";
    for (const char* leaf : {"\\a", "\\b", "\\c", "\\d"})
        WriteRegDword(HKEY_CURRENT_USER, (std::string(kScratchPath) + "\\tree" + leaf).c_str(), "v", 1);
    passes.clear();
    TreePassDone = RecordPass;
    DeleteRegTree(HKEY_CURRENT_USER, "\\Software\\VexoraTest\\tree");
    TreePassDone = nullptr;
    EXPECT_EQ(passes, (std::vector<int>{2, 1, 2, 0}));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "\\Software\\VexoraTest\\tree"));
}

}  // namespace
