// Taking archive types over from their previous owners and giving them back,
// against Wine's registry. Runs on the NT family and, through families.txt,
// as Windows 95, 98, Me, NT 4.0 and 2000.
#include <gtest/gtest.h>

#include <stdio.h>

#include <map>
#include <memory>

#include "filetypes/associations.h"
#include "registry_values_win.h"

namespace {

using ft::Bin;
using ft::Dword;
using ft::Key;
using ft::Sz;
using ft::Value;
using machine::RegTree;

const HKEY kClasses = HKEY_CLASSES_ROOT;
const char* const kMembers[] = {".vex", ".zip", ".cab",  ".arj",  ".lzh", ".lha",  ".ace",
                                ".tar", ".gz",  ".tgz",  ".uue",  ".xxe", ".uu",   ".bz2",
                                ".tbz2", ".bz", ".tbz",  ".jar",  ".iso"};
const char kVexContent[] = "application/x-vex-compressed";
const std::string kVexImage("Vex!\x1A\x07\x00\xCF\x90\x73\x00\x00\x0D\x00\x00\x00\x00\x00\x00\x00", 20);
const std::string kZipImage = std::string("PK\x05\x06", 4) + std::string(18, '\0');

std::string Volume(int j)
{
    char name[8];
    snprintf(name, sizeof name, ".v%02d", j);
    return name;
}

std::string BackupKey(const std::string& extension)
{
    return "Software\\Vexora\\Setup\\" + extension;
}

IntegrationOptions Record(bool archiveTypes, bool shellIntegration)
{
    IntegrationOptions r = {};
    for (int row = 0; row < kArchiveTypeCount; ++row)
        r.flag[row] = archiveTypes;
    r.flag[kFlagShellIntegration] = shellIntegration;
    return r;
}

machine::RegValue V(const Value& v)
{
    return {v.type, v.data};
}

// The lines machine::Diff gives for one changed value.
std::string Added(const std::string& path, const Value& v)
{
    return path + " [" + v.name + "]: added " + machine::Show(V(v)) + "\n";
}
std::string Removed(const std::string& path, const Value& v)
{
    return path + " [" + v.name + "]: " + machine::Show(V(v)) + " -> removed\n";
}
std::string Changed(const std::string& path, const Value& from, const Value& to)
{
    return path + " [" + from.name + "]: " + machine::Show(V(from)) + " -> " + machine::Show(V(to)) + "\n";
}

class Associations : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Other test programs take their turn before the keys are chosen.
        turn.reset(new machine::RegistryGuard({}));
        vexFile.reset(new ft::SiblingFile("vexnew.dat"));
        zipFile.reset(new ft::SiblingFile("zipnew.dat"));
        for (const char* m : kMembers)
            keys.push_back(ft::GuardFor(kClasses, m));
        for (int j = 0; j < 100; ++j)
            keys.push_back(ft::GuardFor(kClasses, Volume(j)));
        for (const char* k : {"Vexora", "Vexora.ZIP", "Vexora.REV", ".rev"})
            keys.push_back(ft::GuardFor(kClasses, k));
        keys.push_back(ft::GuardFor(HKEY_CURRENT_USER, "Software\\Vexora"));
        guard.reset(new machine::RegistryGuard(keys));
        Clear();
    }

    // Nothing registered, no backups, no template files.
    void Clear()
    {
        for (const auto& k : keys)
            machine::DeleteTree(k.first, k.second);
        DeleteFileA(vexFile->path.c_str());
        DeleteFileA(zipFile->path.c_str());
    }

    // Destroyed in reverse order: the files and keys are put back before the turn ends.
    std::unique_ptr<machine::RegistryGuard> turn;
    std::vector<std::pair<HKEY, std::string>> keys;
    std::unique_ptr<machine::RegistryGuard> guard;
    std::unique_ptr<ft::SiblingFile> vexFile, zipFile;
};

// Every member of every row, each with a different previous owner: what the
// backup holds after the take-over, and what the round trip take-over, give
// back changes in the extension's keys (nothing, unless the design says so).
struct OwnerCase {
    const char* extension;
    std::vector<Value> before;        // under the extension key; none: it did not exist
    std::vector<Value> backupBefore;  // under its backup key
    bool backupWritten;               // else the backup stays as it was
    std::vector<Value> backup;
    std::string roundTripDiff;
    std::string dataFormDiff;  // more, where the templates are "Data"
};

const std::string kLongClass(600, 'A');

const OwnerCase kOwners[] = {
    {".vex",
     {Sz("", "", "OldArc.Vex"), Sz("", "Content Type", "application/x-oldarc"),
      Sz("ShellNew", "FileName", "C:\\Old\\new.vex"), Bin("ShellNew", "Data", std::string("\x01\x00\xFF", 3))},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "OldArc.Vex"), Sz("", "Content", "application/x-oldarc"),
      Sz("", "ShellNew", "C:\\Old\\new.vex"), Bin("", "ShellNewData", std::string("\x01\x00\xFF", 3))},
     "",
     ""},
    // A "Data" and "Command" of an earlier owner do not outlive the backup of the current one.
    {".zip",
     {Sz("", "", "Zipper"), Sz("", "Content Type", "application/zip"), Sz("ShellNew", "NullFile", ""),
      Sz("ShellNew", "Command", "zipper.exe /new \"%1\"")},
     {Bin("", "ShellNewData", "earlier"), Sz("", "ShellNewCommand", "earlier.exe")},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "Zipper"), Sz("", "Content", "application/zip"), Sz("", "ShellNew", "*"),
      Sz("", "ShellNewCommand", "zipper.exe /new \"%1\"")},
     "",
     // The previous owner had no "Data" to give back: the product's image stays.
     Added(".zip\\ShellNew", Bin("", "Data", kZipImage))},
    {".cab",
     {Sz("", "", "CabView"), Sz("", "Content Type", "application/vnd.ms-cab-compressed"),
      Sz("ShellNew", "FileName", "C:\\Templates\\new.cab"), Sz("ShellNew", "NullFile", "")},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "CabView"), Sz("", "Content", "application/vnd.ms-cab-compressed"),
      Sz("", "ShellNew", "C:\\Templates\\new.cab")},
     "",
     ""},
    {".arj",
     {},
     {},
     true,
     {Dword("", "Exist", 0), Sz("", "Type", ""), Sz("", "Content", ""), Sz("", "ShellNew", "")},
     "",
     ""},
    {".lzh",
     {Sz("", "", "LhaView")},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "LhaView"), Sz("", "Content", ""), Sz("", "ShellNew", "")},
     "",
     ""},
    // Given back with the empty class it was backed up with.
    {".lha",
     {Sz("", "Content Type", "application/x-lha")},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", ""), Sz("", "Content", "application/x-lha"), Sz("", "ShellNew", "")},
     Added(".lha", Sz("", "", "")),
     ""},
    // A class longer than the 512-byte read is not kept.
    {".ace",
     {Sz("", "", kLongClass)},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", ""), Sz("", "Content", ""), Sz("", "ShellNew", "")},
     Changed(".ace", Sz("", "", kLongClass), Sz("", "", "")),
     ""},
    // Already the product's, never backed up: given back as an empty class.
    {".tar",
     {Sz("", "", "vexora"), Sz("", "Content Type", "application/x-compressed"),
      Sz("ShellNew", "FileName", "C:\\t.tar")},
     {},
     false,
     {},
     Changed(".tar", Sz("", "", "vexora"), Sz("", "", "")) +
         Removed(".tar", Sz("", "Content Type", "application/x-compressed")) +
         Removed(".tar\\ShellNew", Sz("", "FileName", "C:\\t.tar")),
     ""},
    // A backed-up class of the product's own, in any case, is given back empty.
    {".gz",
     {Sz("", "", "Vexora.ZIP"), Sz("", "Content Type", "application/x-compressed")},
     {Dword("", "Exist", 1), Sz("", "Type", "VEXORA.zip"), Sz("", "Content", "application/x-gzip")},
     false,
     {},
     Changed(".gz", Sz("", "", "Vexora.ZIP"), Sz("", "", "")) +
         Changed(".gz", Sz("", "Content Type", "application/x-compressed"),
                 Sz("", "Content Type", "application/x-gzip")),
     ""},
    {".tgz",
     {Sz("", "", "TarGz"), Sz("ShellNew", "Command", "targz.exe /new")},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "TarGz"), Sz("", "Content", ""), Sz("", "ShellNew", ""),
      Sz("", "ShellNewCommand", "targz.exe /new")},
     "",
     ""},
    // A "NullFile" that does not fit 10 bytes counts as absent.
    {".uue",
     {Sz("", "", "Uudecode"), Sz("ShellNew", "NullFile", "0123456789")},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "Uudecode"), Sz("", "Content", ""), Sz("", "ShellNew", "")},
     "",
     ""},
    {".xxe",
     {Sz("", "", "Xxdecode"), Sz("", "Content Type", "text/x-xxe"), Sz("ShellNew", "FileName", "C:\\x.xxe"),
      Bin("ShellNew", "Data", std::string("\0\0", 2)), Sz("ShellNew", "Command", "xx.exe")},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "Xxdecode"), Sz("", "Content", "text/x-xxe"),
      Sz("", "ShellNew", "C:\\x.xxe"), Bin("", "ShellNewData", std::string("\0\0", 2)),
      Sz("", "ShellNewCommand", "xx.exe")},
     "",
     ""},
    {".uu",
     {Sz("", "", "Uudecode"), Sz("ShellNew", "ItemName", "@uu.dll,-1")},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "Uudecode"), Sz("", "Content", ""), Sz("", "ShellNew", "")},
     "",
     ""},
    // A "Data" larger than its 4096-byte read is not kept.
    {".bz2",
     {Sz("", "", "Bzip2"), Bin("ShellNew", "Data", std::string(5000, 'b'))},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "Bzip2"), Sz("", "Content", ""), Sz("", "ShellNew", "")},
     "",
     ""},
    {".tbz2",
     {},
     {},
     true,
     {Dword("", "Exist", 0), Sz("", "Type", ""), Sz("", "Content", ""), Sz("", "ShellNew", "")},
     "",
     ""},
    {".bz",
     {Sz("", "", "Bzip"), Sz("", "Content Type", "application/x-bzip")},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "Bzip"), Sz("", "Content", "application/x-bzip"), Sz("", "ShellNew", "")},
     "",
     ""},
    {".tbz",
     {Sz("", "", "TarBzip"), Sz("ShellNew", "NullFile", "")},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "TarBzip"), Sz("", "Content", ""), Sz("", "ShellNew", "*")},
     "",
     ""},
    {".jar",
     {Sz("", "", "jarfile"), Sz("", "Content Type", "application/java-archive"),
      Sz("shell\\open\\command", "", "java -jar \"%1\"")},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "jarfile"), Sz("", "Content", "application/java-archive"),
      Sz("", "ShellNew", "")},
     "",
     ""},
    {".iso",
     {Sz("", "", "IsoBurner")},
     {},
     true,
     {Dword("", "Exist", 1), Sz("", "Type", "IsoBurner"), Sz("", "Content", ""), Sz("", "ShellNew", "")},
     "",
     ""},
};

RegTree Backup(const std::string& extension)
{
    return machine::Capture(HKEY_CURRENT_USER, BackupKey(extension));
}

TEST_F(Associations, RoundTripGivesEachPreviousOwnerBack)
{
    ASSERT_EQ(sizeof kOwners / sizeof kOwners[0], sizeof kMembers / sizeof kMembers[0]);
    std::map<std::string, RegTree> before;
    for (const OwnerCase& c : kOwners) {
        ft::PutAll(kClasses, c.extension, c.before);
        ft::PutAll(HKEY_CURRENT_USER, BackupKey(c.extension), c.backupBefore);
        before[c.extension] = machine::Capture(kClasses, c.extension);
    }
    std::map<std::string, RegTree> backupBefore;
    for (const OwnerCase& c : kOwners)
        backupBefore[c.extension] = Backup(c.extension);

    IntegrationOptions all = Record(true, true), none = Record(false, false);
    ApplyAssociations(&all);
    for (const OwnerCase& c : kOwners) {
        SCOPED_TRACE(c.extension);
        std::string ext = c.extension;
        RegTree expected = c.backupWritten ? ft::TreeOf(c.backup) : backupBefore[ext];
        EXPECT_EQ(machine::Diff(expected, Backup(ext), "backup " + ext), "");
        RegTree now = machine::Capture(kClasses, ext);
        EXPECT_EQ(machine::Show(now.values[""]), machine::Show(V(Sz("", "", ext == ".zip" ? "Vexora.ZIP" : "Vexora"))));
        EXPECT_EQ(machine::Show(now.values["Content Type"]),
                  machine::Show(V(Sz("", "", ext == ".vex" ? kVexContent : "application/x-compressed"))));
    }

    ApplyAssociations(&none);
    for (const OwnerCase& c : kOwners) {
        SCOPED_TRACE(c.extension);
        std::string expected = c.roundTripDiff + (ft::UsesDataTemplates() ? c.dataFormDiff : "");
        EXPECT_EQ(machine::Diff(before[c.extension], machine::Capture(kClasses, c.extension), c.extension), expected);
    }
}

// An extension that another program took while it was the product's keeps
// its new owner, and ".vex" keeps the volumes with it.
TEST_F(Associations, GiveBackLeavesExtensionsThatAreNoLongerOurs)
{
    ft::Put(kClasses, ".cab", Sz("", "", "CabView"));
    IntegrationOptions all = Record(true, false), none = Record(false, false);
    ApplyAssociations(&all);
    ft::PutAll(kClasses, ".vex", {Sz("", "", "Later.Vex")});
    ft::PutAll(kClasses, ".cab", {Sz("", "", "Later.Cab")});
    RegTree vex = machine::Capture(kClasses, ".vex"), cab = machine::Capture(kClasses, ".cab"),
            v03 = machine::Capture(kClasses, ".v03");

    ApplyAssociations(&none);
    EXPECT_EQ(machine::Diff(vex, machine::Capture(kClasses, ".vex"), ".vex"), "");
    EXPECT_EQ(machine::Diff(cab, machine::Capture(kClasses, ".cab"), ".cab"), "");
    EXPECT_EQ(machine::Diff(v03, machine::Capture(kClasses, ".v03"), ".v03"), "");
    EXPECT_FALSE(ft::KeyExists(kClasses, ".arj")) << "a member that did not exist is removed";
}

// Only the volume extensions still registered as the product's are given
// back; the others (never written, or another program's) stay as they are.
TEST_F(Associations, VolumeExtensionsFollowVex)
{
    static const struct {
        const char* name;
        std::vector<Value> vex;
    } kCases[] = {
        {"previous owner with content type", {Sz("", "", "OldArc"), Sz("", "Content Type", "application/x-oldarc")}},
        {"previous owner without content type", {Sz("", "", "OldArc")}},
        {".vex did not exist", {}},
    };
    const int takenOver = ft::IsNtFamily() ? 30 : 100;
    const std::vector<Value> foreign05 = {Sz("", "", "Foreign.V05"), Sz("", "Content Type", "application/x-v05")};
    const std::vector<Value> foreign50 = {Sz("", "", "Foreign.V50"), Sz("", "Content Type", "application/x-v50")};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Clear();
        ft::PutAll(kClasses, ".vex", c.vex);
        ft::PutAll(kClasses, ".v05", foreign05);
        ft::PutAll(kClasses, ".v50", foreign50);
        std::vector<RegTree> before;
        for (int j = 0; j < 100; ++j)
            before.push_back(machine::Capture(kClasses, Volume(j)));

        IntegrationOptions all = Record(true, false), none = Record(false, false);
        ApplyAssociations(&all);
        std::string diffs;
        const RegTree ours = ft::TreeOf({Sz("", "", "Vexora"), Sz("", "Content Type", kVexContent)});
        for (int j = 0; j < 100; ++j)
            diffs += machine::Diff(j < takenOver ? ours : before[j], machine::Capture(kClasses, Volume(j)), Volume(j));
        EXPECT_EQ(diffs, "") << "after the take-over";

        // Meanwhile another program claims ".v07"; ".v08" is ours in other case.
        ft::Put(kClasses, ".v07", Sz("", "", "Other.V07"));
        ft::Put(kClasses, ".v08", Sz("", "", "VEXORA"));
        RegTree v07 = machine::Capture(kClasses, ".v07");

        ApplyAssociations(&none);
        RegTree givenBack;  // .vex did not exist: the volumes go
        if (!c.vex.empty()) {
            givenBack = ft::TreeOf({Sz("", "", "OldArc"),
                                    c.vex.size() > 1 ? c.vex[1] : Sz("", "Content Type", kVexContent)});
        }
        diffs.clear();
        for (int j = 0; j < 100; ++j) {
            const RegTree& expected = j == 7 ? v07 : j < takenOver ? givenBack : before[j];
            diffs += machine::Diff(expected, machine::Capture(kClasses, Volume(j)), Volume(j));
        }
        EXPECT_EQ(diffs, "") << "after the give-back";
    }
}

// "Exist" 0: the New menu entry, then the extension key go. Where one
// deletion takes only a key without subkeys (the NT family), an extension key
// that gained one stays, still with the product's class.
TEST_F(Associations, ExtensionThatDidNotExistIsRemoved)
{
    IntegrationOptions some = Record(false, true), none = Record(false, false);
    some.flag[kFlagZip] = 1;
    some.flag[3] = 1;  // ARJ
    ApplyAssociations(&some);
    ft::Put(kClasses, ".arj", Key("OpenWithProgids"));

    ApplyAssociations(&none);
    EXPECT_FALSE(ft::KeyExists(kClasses, ".zip"));
    if (ft::IsNtFamily()) {
        EXPECT_EQ(machine::Diff(ft::TreeOf({Sz("", "", "Vexora"), Sz("", "Content Type", "application/x-compressed"),
                                            Key("OpenWithProgids")}),
                                machine::Capture(kClasses, ".arj"), ".arj"),
                  "");
    } else {
        EXPECT_FALSE(ft::KeyExists(kClasses, ".arj"));
    }
}

// ".vex" and ".zip" get the New menu's empty archives with shell integration
// on: "Data" up to Windows 98, a template file beside the program from
// Windows Me and 2000 on.
TEST_F(Associations, NewArchiveTemplates)
{
    static const struct {
        const char* name;
        bool shellIntegration;
        const char* vexFileBefore;  // nullptr: none
    } kCases[] = {
        {"no template files yet", true, nullptr},
        {"an existing template file is kept", true, "not an archive"},
        {"shell integration off", false, nullptr},
    };
    const std::vector<Value> vexBefore = {Sz("", "", "OldArc"), Sz("ShellNew", "NullFile", "")};
    const std::vector<Value> zipBefore = {Sz("", "", "Zipper"), Sz("ShellNew", "FileName", "C:\\z.zip"),
                                          Sz("ShellNew", "Config", "x")};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Clear();
        ft::PutAll(kClasses, ".vex", vexBefore);
        ft::PutAll(kClasses, ".zip", zipBefore);
        if (c.vexFileBefore) {
            ASSERT_TRUE(machine::WriteFile(vexFile->path, c.vexFileBefore));
        }

        IntegrationOptions all = Record(true, c.shellIntegration);
        ApplyAssociations(&all);
        ApplyAssociations(&all);  // a second apply rewrites the same
        RegTree vexNew = machine::Capture(kClasses, ".vex\\ShellNew");
        RegTree zipNew = machine::Capture(kClasses, ".zip\\ShellNew");
        std::string vexBytes, zipBytes;
        bool haveVexFile = machine::ReadFile(vexFile->path, &vexBytes);
        bool haveZipFile = machine::ReadFile(zipFile->path, &zipBytes);

        if (!c.shellIntegration) {
            EXPECT_EQ(machine::Diff(ft::TreeOf({Sz("", "NullFile", "")}), vexNew, ".vex\\ShellNew"), "");
            EXPECT_EQ(machine::Diff(ft::TreeOf({Sz("", "FileName", "C:\\z.zip"), Sz("", "Config", "x")}), zipNew,
                                    ".zip\\ShellNew"),
                      "");
            EXPECT_FALSE(haveVexFile || haveZipFile);
        } else if (ft::UsesDataTemplates()) {
            EXPECT_EQ(machine::Diff(ft::TreeOf({Bin("", "Data", kVexImage)}), vexNew, ".vex\\ShellNew"), "");
            EXPECT_EQ(machine::Diff(ft::TreeOf({Bin("", "Data", kZipImage)}), zipNew, ".zip\\ShellNew"), "");
            EXPECT_EQ(haveVexFile, c.vexFileBefore != nullptr);
            EXPECT_FALSE(haveZipFile);
        } else {
            EXPECT_EQ(machine::Diff(ft::TreeOf({Sz("", "FileName", vexFile->path)}), vexNew, ".vex\\ShellNew"), "");
            EXPECT_EQ(machine::Diff(ft::TreeOf({Sz("", "FileName", zipFile->path)}), zipNew, ".zip\\ShellNew"), "");
            EXPECT_EQ(vexBytes, c.vexFileBefore ? c.vexFileBefore : kVexImage);
            EXPECT_EQ(zipBytes, kZipImage);
        }
    }
}

TEST_F(Associations, RegisterProgIdsWritesTheThreeClasses)
{
    ft::Put(kClasses, ".rev", Sz("", "", "Recovery.Other"));
    RegisterProgIds();

    std::string program = machine::BinDir() + "Vexora.exe";
    std::string open = "\"" + program + "\" \"%1\"";
    const struct {
        const char* key;
        std::vector<Value> values;
    } kClassesWritten[] = {
        {"Vexora",
         {Sz("", "", "Vexora archive"), Sz("shell\\open\\command", "", open), Sz("DefaultIcon", "", program + ",0")}},
        {"Vexora.ZIP",
         {Sz("", "", "Vexora ZIP archive"), Sz("shell\\open\\command", "", open),
          Sz("DefaultIcon", "", program + ",0")}},
        {"Vexora.REV",
         {Sz("", "", "VEX recovery volume"), Sz("shell\\open\\command", "", open),
          Sz("DefaultIcon", "", program + ",1")}},
        {".rev", {Sz("", "", "Vexora.REV")}},
    };
    for (const auto& c : kClassesWritten)
        EXPECT_EQ(machine::Diff(ft::TreeOf(c.values), machine::Capture(kClasses, c.key), c.key), "");
}

// The images are completed only when used, so the program file itself holds
// no archive marker for an archiver to find.
TEST(ProgramFile, HoldsNoArchiveMarker)
{
    std::string program;
    ASSERT_TRUE(machine::ReadFile(machine::BinDir() + "uninstall.exe", &program));
    EXPECT_EQ(program.find(kVexImage.substr(0, 7)), std::string::npos);
    EXPECT_EQ(program.find(kZipImage.substr(0, 4)), std::string::npos);
}

}  // namespace
