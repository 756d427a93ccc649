// Placeholder until the links land.
#include "desktop/links.h"

void ApplyLinks(const IntegrationOptions*, char*) {}
bool CreateShellLink(const char*, const char*, const char*)
{
    return false;
}
bool RemoveFolderTree(char*, size_t)
{
    return false;
}
void GetDesktopPath(char* buffer)
{
    buffer[0] = 0;
}
