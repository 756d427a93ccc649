#include "filetypes/new_archive_templates.h"

// Both images are held without their first byte, so that the program file
// carries no archive marker of its own: an archiver that looks for an archive
// embedded in an executable must not find one in this one.
static unsigned char VexTemplate[kVexTemplateSize] = {
    0x00, 0x65, 0x78, 0x21, 0x1A, 0x07, 0x00,  // marker block "Vex!" 1A 07 00
    0xCF, 0x90,                                // low 16 bits of the CRC-32 of the 11 bytes from offset 9
    0x73,                                      // main header type
    0x00, 0x00,                                // flags
    0x0D, 0x00,                                // header size from offset 7
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00,        // reserved
};

// The end-of-central-directory record of a ZIP archive without entries.
static unsigned char ZipTemplate[kZipTemplateSize] = {0x00, 0x4B, 0x05, 0x06};

void CompleteNewArchiveTemplates()
{
    VexTemplate[0] = 'V';
    ZipTemplate[0] = 'P';
}

NewArchiveTemplate GetNewArchiveTemplate(int row)
{
    if (row == 0)
        return {"vexnew.dat", VexTemplate, sizeof VexTemplate};
    return {"zipnew.dat", ZipTemplate, sizeof ZipTemplate};
}
