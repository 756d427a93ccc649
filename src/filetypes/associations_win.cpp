// File-type associations. What is written, under HKEY_CLASSES_ROOT unless named:
//   <ext>                 default = class, "Content Type"
//   <ext>\ShellNew        the New menu entry: "FileName", "NullFile", "Data" (+ "Command")
//   .v00 ... .v99         old-style volumes of a VEX archive; they follow ".vex"
//   Vexora, Vexora.ZIP, Vexora.REV, .rev     the product's classes
//   HKCU Software\Vexora\Setup\<ext>         the backup of the previous owner:
//       "Exist", "Type", "Content", "ShellNew", "ShellNewData", "ShellNewCommand"
// Best effort throughout: every read falls back to its default, every write or
// deletion may fail and the walk goes on.
#include "filetypes/associations.h"

#include <shlobj.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "filetypes/new_archive_templates.h"
#include "lang/message_text.h"
#include "registry/registry.h"
#include "resources/resource_ids.h"
#include "shell/system.h"

namespace {

enum {
    kExtensionSize = 32,
    kMemberKeySize = 64,
    kClassSize = 512,          // previous class and content type
    kShellNewFileSize = 1024,  // previous "FileName", also "Command"
    kNullFileSize = 10,
    kShellNewDataSize = 4096,
    kVolumeClassSize = 80,
    kVolumeCount = 100,
    kNtVolumeCount = 30,
};

const char kVexClass[] = "Vexora";
const char kZipClass[] = "Vexora.ZIP";

// One member extension and the two keys formed from it.
struct Member {
    char extension[kExtensionSize];
    char shellNew[kMemberKeySize];  // HKEY_CLASSES_ROOT
    char backup[kMemberKeySize];    // settings key
};

bool FormMember(const char* extension, Member* m)
{
    int a = snprintf(m->shellNew, sizeof m->shellNew, "%s\\ShellNew", extension);
    int b = snprintf(m->backup, sizeof m->backup, "Setup\\%s", extension);
    return a > 0 && static_cast<size_t>(a) < sizeof m->shellNew && b > 0 &&
           static_cast<size_t>(b) < sizeof m->backup && CopyText(m->extension, sizeof m->extension, extension);
}

const char* RowClass(int row)
{
    return row == kFlagZip ? kZipClass : kVexClass;
}

const char* RowContentType(int row)
{
    return row == kFlagVex ? "application/x-vex-compressed" : "application/x-compressed";
}

bool IsProductClass(const char* name)
{
    return lstrcmpiA(name, kVexClass) == 0 || lstrcmpiA(name, kZipClass) == 0;
}

void FormVolumeExtension(int number, char* out, size_t size)
{
    snprintf(out, size, ".v%02d", number);
}

// The backup always describes the last owner other than the product, so
// it is written only while the product does not own the extension. The
// ShellNew "Data" and "Command" are kept too (deleted when the owner has
// none): the New menu entry of a program that uses them must come back.
void WriteBackup(const Member& m)
{
    char type[kClassSize], content[kClassSize], fileName[kShellNewFileSize], nullFile[kNullFileSize];
    char command[kShellNewFileSize];
    unsigned char data[kShellNewDataSize];
    DWORD dataSize;
    ReadRegString(HKEY_CLASSES_ROOT, m.extension, "", type, "", sizeof type);
    ReadRegString(HKEY_CLASSES_ROOT, m.extension, "Content Type", content, "", sizeof content);
    ReadRegString(HKEY_CLASSES_ROOT, m.shellNew, "FileName", fileName, "", sizeof fileName);
    bool hasNullFile = ReadRegString(HKEY_CLASSES_ROOT, m.shellNew, "NullFile", nullFile, "", sizeof nullFile);
    bool hasData = ReadRegBinary(HKEY_CLASSES_ROOT, m.shellNew, "Data", data, sizeof data, &dataSize);
    bool hasCommand = ReadRegString(HKEY_CLASSES_ROOT, m.shellNew, "Command", command, "", sizeof command);

    WriteSettingDword(m.backup, "Exist", RegKeyExists(HKEY_CLASSES_ROOT, m.extension) ? 1 : 0);
    WriteSettingString(m.backup, "Type", type);
    WriteSettingString(m.backup, "Content", content);
    WriteSettingString(m.backup, "ShellNew", fileName[0] != 0 ? fileName : hasNullFile ? "*" : "");
    if (hasData)
        WriteRegBinary(HKEY_CURRENT_USER, m.backup, "ShellNewData", data, dataSize);
    else
        DeleteRegValue(HKEY_CURRENT_USER, m.backup, "ShellNewData");
    if (hasCommand)
        WriteSettingString(m.backup, "ShellNewCommand", command);
    else
        DeleteRegValue(HKEY_CURRENT_USER, m.backup, "ShellNewCommand");
}

// 30 volumes on the NT family, 100 on the 9x family.
// Giving back looks at all 100.
void TakeOverVolumes()
{
    int count = NtMajorVersion() != 0 ? kNtVolumeCount : kVolumeCount;
    for (int j = 0; j < count; ++j) {
        char volume[kExtensionSize];
        FormVolumeExtension(j, volume, sizeof volume);
        WriteRegString(HKEY_CLASSES_ROOT, volume, "", kVexClass);
        WriteRegString(HKEY_CLASSES_ROOT, volume, "Content Type", RowContentType(kFlagVex));
    }
}

void WriteTemplateFile(const char* path, const NewArchiveTemplate& t)
{
    FILE* f = fopen(path, "wb");
    if (!f)
        return;
    fwrite(t.bytes, 1, t.size, f);
    fclose(f);
}

// Windows 95, 98 and NT 4.0 take the template bytes as "Data"; later
// versions a template file beside the program, which is written only once.
void WriteNewArchiveTemplate(int row, const Member& m)
{
    DeleteRegKey(HKEY_CLASSES_ROOT, m.shellNew);
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    NewArchiveTemplate t = GetNewArchiveTemplate(row);
    if (version.dwMajorVersion > 4 || version.dwMinorVersion > 10) {
        char path[kPathSize];
        if (!GetSiblingPath(t.fileName, path, sizeof path))
            return;
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            WriteTemplateFile(path, t);
        WriteRegString(HKEY_CLASSES_ROOT, m.shellNew, "FileName", path);
    } else {
        WriteRegBinary(HKEY_CLASSES_ROOT, m.shellNew, "Data", t.bytes, static_cast<DWORD>(t.size));
    }
}

// Class, content type, volumes and templates are written on every apply,
// whether or not the product owned m already.
void TakeOver(const IntegrationOptions* record, int row, const Member& m)
{
    if (!IsOwnedExtension(m.extension))
        WriteBackup(m);
    WriteRegString(HKEY_CLASSES_ROOT, m.extension, "", RowClass(row));
    WriteRegString(HKEY_CLASSES_ROOT, m.extension, "Content Type", RowContentType(row));
    if (row == kFlagVex)
        TakeOverVolumes();
    if ((row == kFlagVex || row == kFlagZip) && record->flag[kFlagShellIntegration])
        WriteNewArchiveTemplate(row, m);
}

// For an extension that existed before the product took it. A previous
// owner's "Data" and "Command" come back after its file name.
void RestorePreviousOwner(const Member& m, const char* type, const char* content)
{
    WriteRegString(HKEY_CLASSES_ROOT, m.extension, "", type);
    if (content[0] != 0)
        WriteRegString(HKEY_CLASSES_ROOT, m.extension, "Content Type", content);
    else
        DeleteRegValue(HKEY_CLASSES_ROOT, m.extension, "Content Type");

    char shellNew[kShellNewFileSize];
    ReadSettingString(m.backup, "ShellNew", shellNew, "", sizeof shellNew);
    DeleteRegValue(HKEY_CLASSES_ROOT, m.shellNew, "FileName");
    if (shellNew[0] == '*')
        WriteRegString(HKEY_CLASSES_ROOT, m.shellNew, "NullFile", "");
    else if (shellNew[0] != 0)
        WriteRegString(HKEY_CLASSES_ROOT, m.shellNew, "FileName", shellNew);

    unsigned char data[kShellNewDataSize];
    DWORD dataSize;
    if (ReadRegBinary(HKEY_CURRENT_USER, m.backup, "ShellNewData", data, sizeof data, &dataSize))
        WriteRegBinary(HKEY_CLASSES_ROOT, m.shellNew, "Data", data, dataSize);
    char command[kShellNewFileSize];
    if (ReadSettingString(m.backup, "ShellNewCommand", command, "", sizeof command))
        WriteRegString(HKEY_CLASSES_ROOT, m.shellNew, "Command", command);
}

// A volume extension whose class is no longer the product's belongs to
// someone else, or was never written (30 on the NT family): it stays as it is.
void GiveBackVolumes(bool existed, const char* type, const char* content)
{
    for (int j = 0; j < kVolumeCount; ++j) {
        char volume[kExtensionSize], owner[kVolumeClassSize];
        FormVolumeExtension(j, volume, sizeof volume);
        ReadRegString(HKEY_CLASSES_ROOT, volume, "", owner, "", sizeof owner);
        if (lstrcmpiA(owner, kVexClass) != 0)
            continue;
        if (existed && type[0] != 0) {
            WriteRegString(HKEY_CLASSES_ROOT, volume, "", type);
            if (content[0] != 0)
                WriteRegString(HKEY_CLASSES_ROOT, volume, "Content Type", content);
        } else {
            DeleteRegKey(HKEY_CLASSES_ROOT, volume);
        }
    }
}

// An extension that another program owns now is left alone, and
// with ".vex" so are the volumes. The backup stays in place.
void GiveBack(int row, const Member& m)
{
    if (!IsOwnedExtension(m.extension))
        return;
    // No backup at all counts as an extension that existed without a class.
    bool existed = ReadSettingDword(m.backup, "Exist", 1) != 0;
    char type[kClassSize], content[kClassSize];
    ReadSettingString(m.backup, "Type", type, "", sizeof type);
    if (IsProductClass(type))
        type[0] = 0;
    ReadSettingString(m.backup, "Content", content, "", sizeof content);

    if (existed) {
        RestorePreviousOwner(m, type, content);
    } else {
        DeleteRegKey(HKEY_CLASSES_ROOT, m.shellNew);
        DeleteRegKey(HKEY_CLASSES_ROOT, m.extension);
    }
    if (row == kFlagVex)
        GiveBackVolumes(existed, type, content);
}

}  // namespace

void ApplyAssociations(const IntegrationOptions* record)
{
    CompleteNewArchiveTemplates();
    for (int row = 0; row < kArchiveTypeCount; ++row) {
        const char* rest = ArchiveTypes[row].extensions;
        for (;;) {
            char extension[kExtensionSize];
            rest = NextExtension(rest, extension, sizeof extension);
            if (extension[0] == 0)
                break;
            Member m;
            if (!FormMember(extension, &m))
                continue;
            if (record->flag[row])
                TakeOver(record, row, m);
            else
                GiveBack(row, m);
        }
    }
}

void RegisterProgIds()
{
    // The texts formed from the main program's path; one that does not fit
    // is not written.
    enum { kOpenCommand, kIcon0, kIcon1, kFormedCount };
    static const char* const kFormats[kFormedCount] = {"\"%s\" \"%%1\"", "%s,0", "%s,1"};
    char program[kPathSize];
    char formed[kFormedCount][kPathSize];
    bool haveProgram = GetSiblingPath("Vexora.exe", program, sizeof program);
    for (int i = 0; i < kFormedCount; ++i) {
        int n = haveProgram ? snprintf(formed[i], kPathSize, kFormats[i], program) : -1;
        if (n < 0 || n >= kPathSize)
            formed[i][0] = 0;
    }

    // A key's text is a message text (id), a fixed text, or a formed one.
    static const struct {
        const char* key;
        int messageId;
        const char* fixed;
        int formed;
    } kClassValues[] = {
        {"Vexora", IDS_VEX_CLASS, nullptr, -1},
        {"Vexora\\shell\\open\\command", 0, nullptr, kOpenCommand},
        {"Vexora\\DefaultIcon", 0, nullptr, kIcon0},
        {"Vexora.ZIP", IDS_ZIP_CLASS, nullptr, -1},
        {"Vexora.ZIP\\shell\\open\\command", 0, nullptr, kOpenCommand},
        {"Vexora.ZIP\\DefaultIcon", 0, nullptr, kIcon0},
        {".rev", 0, "Vexora.REV", -1},
        {"Vexora.REV", IDS_REV_CLASS, nullptr, -1},
        {"Vexora.REV\\shell\\open\\command", 0, nullptr, kOpenCommand},
        {"Vexora.REV\\DefaultIcon", 0, nullptr, kIcon1},
    };
    for (const auto& v : kClassValues) {
        if (v.messageId != 0)
            WriteRegString(HKEY_CLASSES_ROOT, v.key, "", GetMessageText(v.messageId));
        else if (v.fixed)
            WriteRegString(HKEY_CLASSES_ROOT, v.key, "", v.fixed);
        else if (formed[v.formed][0] != 0)
            WriteRegString(HKEY_CLASSES_ROOT, v.key, "", formed[v.formed]);
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
