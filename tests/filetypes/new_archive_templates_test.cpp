// The New menu's empty archives, byte for byte.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string>

#include "filetypes/new_archive_templates.h"

namespace {

std::string Bytes(const NewArchiveTemplate& t)
{
    return std::string(reinterpret_cast<const char*>(t.bytes), t.size);
}

uint32_t Crc32(const unsigned char* p, size_t n)
{
    uint32_t crc = 0xFFFFFFFFu;
    while (n--) {
        crc ^= *p++;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

TEST(NewArchiveTemplates, CompletedImagesAreEmptyArchives)
{
    // Until completed, neither image starts with its archive marker.
    EXPECT_EQ(GetNewArchiveTemplate(0).bytes[0], 0);
    EXPECT_EQ(GetNewArchiveTemplate(1).bytes[0], 0);

    CompleteNewArchiveTemplates();
    NewArchiveTemplate vex = GetNewArchiveTemplate(0), zip = GetNewArchiveTemplate(1);
    EXPECT_STREQ(vex.fileName, "vexnew.dat");
    EXPECT_STREQ(zip.fileName, "zipnew.dat");
    EXPECT_EQ(Bytes(vex), std::string("Vex!\x1A\x07\x00\xCF\x90\x73\x00\x00\x0D\x00\x00\x00\x00\x00\x00\x00", 20));
    EXPECT_EQ(Bytes(zip), std::string("PK\x05\x06", 4) + std::string(18, '\0'));

    // The main header's check value covers the header from its type on.
    uint32_t crc = Crc32(vex.bytes + 9, 11);
    EXPECT_EQ(vex.bytes[7] | vex.bytes[8] << 8, static_cast<int>(crc & 0xFFFF));
    EXPECT_EQ(vex.bytes[12] | vex.bytes[13] << 8, 13);
}

}  // namespace
