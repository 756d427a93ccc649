// The file reader against real files in a scratch folder.
#include <gtest/gtest.h>

#include "fileio/file.h"
#include "support/machine_win.h"

namespace {

class FileTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir = machine::ScratchDir("fileio");
        path = dir + "\\data.bin";
        ASSERT_TRUE(machine::WriteFile(path, "0123456789"));
    }
    void TearDown() override { machine::RemoveTree(dir); }
    std::string dir, path;
};

TEST_F(FileTest, OpenMissingFails)
{
    File file;
    EXPECT_FALSE(file.Open((dir + "\\missing.bin").c_str()));
    char b[4];
    EXPECT_EQ(file.Read(b, sizeof b), -1) << "no file, no data";
    file.Close();  // and the destructor: nothing to close
}

TEST_F(FileTest, ReadsToTheEndThenZero)
{
    File file;
    ASSERT_TRUE(file.Open(path.c_str()));
    char b[16] = {};
    EXPECT_EQ(file.Read(b, 4), 4);
    EXPECT_EQ(std::string(b, 4), "0123");
    EXPECT_EQ(file.Read(b, sizeof b), 6);
    EXPECT_EQ(std::string(b, 6), "456789");
    EXPECT_EQ(file.Read(b, sizeof b), 0);
    EXPECT_EQ(file.Read(b, sizeof b), 0);
}

TEST_F(FileTest, TellAfterSeek)
{
    File file;
    ASSERT_TRUE(file.Open(path.c_str()));
    // Past the end is a valid place; beyond 4 GiB needs the high part.
    for (long long position : {7LL, 0LL, 10LL, 100LL, 0x100000003LL}) {
        file.Seek(position);
        EXPECT_EQ(file.Tell(), position);
    }
    file.Seek(3);
    char b[2];
    ASSERT_EQ(file.Read(b, 2), 2);
    EXPECT_EQ(std::string(b, 2), "34");
    EXPECT_EQ(file.Tell(), 5);
}

TEST_F(FileTest, SharesWithAWriter)
{
    // Opened while another handle writes, and the other way round.
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    File file;
    EXPECT_TRUE(file.Open(path.c_str()));
    HANDLE second = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(second, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(::WriteFile(second, "AB", 2, &written, nullptr));
    char b[2];
    EXPECT_EQ(file.Read(b, 2), 2);
    EXPECT_EQ(std::string(b, 2), "AB");
    CloseHandle(second);
    CloseHandle(writer);
}

TEST_F(FileTest, HolderWithoutReadSharingKeepsItClosed)
{
    HANDLE exclusive = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    File file;
    EXPECT_FALSE(file.Open(path.c_str()));
    CloseHandle(exclusive);
    EXPECT_TRUE(file.Open(path.c_str()));
}

}  // namespace
