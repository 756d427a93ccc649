// The integration options record, the archive type table and the stored
// choices under "Software\\Vexora\\Setup".
#pragma once
#include <stddef.h>

enum {
    kArchiveTypeCount = 12,
    kOptionFlagCount = 26,
    kFlagVex = 0,
    kFlagZip = 1,
    kFlagIso = 11,
    kFlagDesktopLink = 20,
    kFlagStartMenuLink = 21,
    kFlagProgramGroup = 22,
    kFlagShellIntegration = 23,
    kFlagCascadedMenus = 24,
    kFlagMenuIcons = 25,
};

// 26 one-byte flags, each 0 or 1; 12 to 19 carry no choice.
struct IntegrationOptions {
    unsigned char flag[kOptionFlagCount];
};

struct ArchiveType {
    int control;             // the setup dialog's check box
    const char* label;
    const char* extensions;  // members, each beginning with its dot; the first is the primary
    const char* primary;
};

// The one table: row r is flag r, check box 5101 + r, stored-choice key "Setup\\<primary>".
extern const ArchiveType ArchiveTypes[kArchiveTypeCount];

// Takes the next member of an extension group ("" when none is left) into
// out; returns the rest of the group.
const char* NextExtension(const char* group, char* out, size_t size);

bool IsOwnedExtension(const char* extension);
void ReadIntegrationOptions(IntegrationOptions* record);
void SaveIntegrationOptions(const IntegrationOptions* record);
