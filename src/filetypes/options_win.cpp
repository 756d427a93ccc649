// Placeholder until the options record lands.
#include "filetypes/options.h"

const ArchiveType ArchiveTypes[kArchiveTypeCount] = {};
const char* NextExtension(const char* group, char* out, size_t size)
{
    if (size)
        out[0] = 0;
    return group;
}
bool IsOwnedExtension(const char*)
{
    return false;
}
void ReadIntegrationOptions(IntegrationOptions*) {}
void SaveIntegrationOptions(const IntegrationOptions*) {}
