// The empty archives behind the shell's New menu entries for VEX and ZIP:
// written as "Data" or as a template file by the associations.
#pragma once
#include <stddef.h>

enum { kVexTemplateSize = 20, kZipTemplateSize = 22 };

struct NewArchiveTemplate {
    const char* fileName;  // the template file beside the program
    const unsigned char* bytes;
    size_t size;
};

// Completes both images; every use of them comes after this call.
void CompleteNewArchiveTemplates();
// The template of archive type row 0 (VEX) or 1 (ZIP).
NewArchiveTemplate GetNewArchiveTemplate(int row);
