#include <string.h>

#include "filetypes/options.h"
#include "resources/resource_ids.h"

// The one archive type table: the setup dialog's check boxes, the stored
// choices and the associations all walk it. Row 0 (the product's own format)
// and row 1 (ZIP) get classes of their own; row 11 (ISO) is never stored.
const ArchiveType ArchiveTypes[kArchiveTypeCount] = {
    {IDC_ARCHIVE_FIRST + 0, "&VEX", ".vex", ".vex"},
    {IDC_ARCHIVE_FIRST + 1, "&ZIP", ".zip", ".zip"},
    {IDC_ARCHIVE_FIRST + 2, "CAB", ".cab", ".cab"},
    {IDC_ARCHIVE_FIRST + 3, "ARJ", ".arj", ".arj"},
    {IDC_ARCHIVE_FIRST + 4, "LZH", ".lzh.lha", ".lzh"},
    {IDC_ARCHIVE_FIRST + 5, "ACE", ".ace", ".ace"},
    {IDC_ARCHIVE_FIRST + 6, "TAR", ".tar", ".tar"},
    {IDC_ARCHIVE_FIRST + 7, "GZip", ".gz.tgz", ".gz"},
    {IDC_ARCHIVE_FIRST + 8, "UUE", ".uue.xxe.uu", ".uue"},
    {IDC_ARCHIVE_FIRST + 9, "BZ2", ".bz2.tbz2.bz.tbz", ".bz2"},
    {IDC_ARCHIVE_FIRST + 10, "JAR", ".jar", ".jar"},
    {IDC_ARCHIVE_FIRST + 11, "ISO", ".iso", ".iso"},
};

// A member runs from its dot to the next dot. One that does not fit out is
// skipped rather than cut.
const char* NextExtension(const char* group, char* out, size_t size)
{
    while (*group != 0) {
        const char* end = strchr(group + 1, '.');
        if (!end)
            end = group + strlen(group);
        size_t n = static_cast<size_t>(end - group);
        if (n < size) {
            memcpy(out, group, n);
            out[n] = 0;
            return end;
        }
        group = end;
    }
    if (size)
        out[0] = 0;
    return group;
}
