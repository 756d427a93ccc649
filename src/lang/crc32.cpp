// The CRC-32 of ZIP and PNG (reflected polynomial 0xEDB88320), the checksum
// behind the catalogue keys.
#include "lang/language.h"

namespace {

unsigned int crcTable[256];
bool crcTableBuilt;

void BuildCrcTable()
{
    for (unsigned int i = 0; i < 256; ++i) {
        unsigned int c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        crcTable[i] = c;
    }
    crcTableBuilt = true;
}

unsigned int LittleEndian32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned int>(p[3]) << 24);
}

// Four table steps over a register into which four bytes were XOR-ed: the
// same as four byte-at-a-time steps, since each step only shifts the
// register and folds its low byte.
unsigned int FoldFourBytes(unsigned int crc)
{
    for (int i = 0; i < 4; ++i)
        crc = crcTable[crc & 0xFF] ^ (crc >> 8);
    return crc;
}

}  // namespace

unsigned int Crc32Update(unsigned int crc, const void* bytes, size_t length)
{
    if (!crcTableBuilt)
        BuildCrcTable();
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (; length >= 8; length -= 8, p += 8) {
        crc = FoldFourBytes(crc ^ LittleEndian32(p));
        crc = FoldFourBytes(crc ^ LittleEndian32(p + 4));
    }
    for (; length > 0; --length, ++p)
        crc = crcTable[(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return crc;
}
