// The language module and the language file beside a program that starts up
// as the real one does (the probe), and the real program's message box.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "lang/language.h"
#include "support/machine_win.h"
#include "support/ui_driver_win.h"

namespace {

enum Module { kNoModule, kPlainModule, kRtlModule };
const char* const kModuleFolders[] = {nullptr, "plain", "rtl"};

std::string Entry(const char* source, const char* context, TextKind kind, const std::string& value)
{
    char key[kCatalogueKeySize];
    MakeCatalogueKey(key, source, context, kind);
    return std::string(key) + "=\"" + value + "\"\r\n";
}

std::string LanguageFile(const std::string& entries)
{
    return "; test language\r\n***messages***\r\n" + entries;
}

// Puts the probe, and the module and language file asked for, into a
// scratch folder, runs it there and returns what it reported.
std::map<std::string, std::string> RunProbe(const std::string& name, Module module, const char* languageFile)
{
    std::map<std::string, std::string> report;
    std::string dir = machine::ScratchDir("lang-" + name);
    std::string probe = dir + "\\langprobe.exe";
    EXPECT_TRUE(machine::CopyTo(machine::BinDir() + "langprobe.exe", probe));
    if (module != kNoModule) {
        EXPECT_TRUE(machine::CopyTo(machine::BinDir() + "langmodule\\" + kModuleFolders[module] + "\\vexlng.dll",
                                    dir + "\\vexlng.dll"));
    }
    if (languageFile) {
        EXPECT_TRUE(machine::WriteFile(dir + "\\uninstall.lng", languageFile));
    }
    std::string out = dir + "\\report.txt";
    machine::Program p = machine::Start(probe, "\"" + out + "\"", dir);
    EXPECT_EQ(machine::Wait(p, 60000), 0u) << "probe in " << dir;
    std::string text;
    EXPECT_TRUE(machine::ReadFile(out, &text));
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            report[line.substr(0, eq)] = line.substr(eq + 1);
    }
    machine::RemoveTree(dir);
    return report;
}

TEST(LanguageModule, NothingBesideTheProgram)
{
    auto r = RunProbe("none", kNoModule, nullptr);
    EXPECT_EQ(r["module"], "0");
    EXPECT_EQ(r["resources"], "program");
    EXPECT_EQ(r["catalogue"], "0");
    EXPECT_EQ(r["5104"], "Uninstall Vexora");
    EXPECT_EQ(r["5111"], "VEX recovery volume");
    EXPECT_EQ(r["again.5104"], "Uninstall Vexora");
}

TEST(LanguageModule, StringsComeFromTheModuleUntilUnloaded)
{
    auto r = RunProbe("module", kPlainModule, nullptr);
    EXPECT_EQ(r["module"], "1");
    EXPECT_EQ(r["resources"], "module");
    EXPECT_EQ(r["5104"], "Module: Uninstall Vexora");
    EXPECT_EQ(r["5101"], "Module: Vexora archiver");
    EXPECT_EQ(r["5105"], "Uninstall completed") << "a string the module lacks comes from the program";
    // Unloading goes back to the program's own texts; a second unload changes nothing.
    for (const char* prefix : {"unloaded.", "again."}) {
        SCOPED_TRACE(prefix);
        EXPECT_EQ(r[std::string(prefix) + "module"], "0");
        EXPECT_EQ(r[std::string(prefix) + "resources"], "program");
        EXPECT_EQ(r[std::string(prefix) + "5104"], "Uninstall Vexora");
        EXPECT_EQ(r[std::string(prefix) + "5101"], "Vexora archiver");
    }
}

TEST(LanguageModule, LanguageFileTakesTheProgramsStringsNotTheModules)
{
    static const struct {
        const char* name;
        std::string file;
        const char* caption;  // 5104
    } cases[] = {
        {"translated", LanguageFile(Entry("Uninstall Vexora", nullptr, kMessageText, "Vexora entfernen")),
         "Vexora entfernen"},
        {"marker line only", "***messages***\r\n", "Uninstall Vexora"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto r = RunProbe("with-file", kPlainModule, c.file.c_str());
        EXPECT_EQ(r["module"], "1");
        EXPECT_EQ(r["catalogue"], "1");
        EXPECT_EQ(r["5104"], c.caption);
        EXPECT_EQ(r["5101"], "Vexora archiver") << "the module's string table is not used";
    }
}

TEST(TextDirection, ModuleMarkerOrDirectionEntry)
{
    const std::string rtl = LanguageFile(Entry("LTR", "LTR", kDialogText, "RTL"));
    static const struct {
        const char* name;
        Module module;
        std::string file;
        bool hasFile;
        const char* rtl;
    } cases[] = {
        {"nothing", kNoModule, "", false, "0"},
        {"plain module", kPlainModule, "", false, "0"},
        {"marker module", kRtlModule, "", false, "1"},
        {"marker module, file says LTR", kRtlModule, LanguageFile(Entry("LTR", "LTR", kDialogText, "LTR")), true,
         "1"},
        {"direction entry RTL", kNoModule, rtl, true, "1"},
        {"direction entry RTL, plain module", kPlainModule, rtl, true, "1"},
        {"lowercase rtl", kNoModule, LanguageFile(Entry("LTR", "LTR", kDialogText, "rtl")), true, "0"},
        {"RTL and a blank", kNoModule, LanguageFile(Entry("LTR", "LTR", kDialogText, "RTL ")), true, "0"},
        {"RTL in another context", kNoModule, LanguageFile(Entry("LTR", "SETUPDLG", kDialogText, "RTL")), true,
         "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto r = RunProbe("direction", c.module, c.hasFile ? c.file.c_str() : nullptr);
        EXPECT_EQ(r["rtl"], c.rtl);
    }
}

// The real program: its "/warning" message box shows three message texts.
TEST(LanguageFile, TranslatesTheProgramsMessageBox)
{
    std::string dir = machine::ScratchDir("lang-warning");
    std::string program = dir + "\\uninstall.exe";
    ASSERT_TRUE(machine::CopyTo(machine::BinDir() + "uninstall.exe", program));
    ASSERT_TRUE(machine::WriteFile(
        dir + "\\uninstall.lng",
        LanguageFile(Entry("Uninstall Vexora", nullptr, kMessageText, "Vexora entfernen") +
                     Entry("Uninstall completed", nullptr, kMessageText, "Fertig") +
                     Entry("You should delete %s manually", nullptr, kMessageText, "Bitte %s selbst l\\\"oschen"))));
    machine::Program p = machine::Start(program, "/warning", dir);
    ASSERT_TRUE(p.process);
    HWND box = ui::WaitForWindow("Vexora entfernen", p.pid, 20000);
    if (!box)
        machine::Kill(p);
    ASSERT_TRUE(box) << "no message box with the translated caption";
    EXPECT_EQ(ui::MessageBoxText(box), "Fertig\nBitte " + program + " selbst l\"oschen");
    ui::Press(box, IDOK);
    EXPECT_EQ(machine::Wait(p, 20000), 0u);
    machine::RemoveTree(dir);
}

}  // namespace
