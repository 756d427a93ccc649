// Messages 5106 and 5108 are printf formats with one "%s". A translation
// with other conversions, from a language file or a language module, must
// give way to the program's own text; the real program shows it and ends
// normally. Other translated texts stay translated.
#include <gtest/gtest.h>

#include "lang/format_text.h"
#include "lang/language.h"
#include "support/machine_win.h"
#include "support/ui_driver_win.h"
#include "uninstall/removal_fixture_win.h"

namespace {

const char kOwnWarning[] = "You should delete %s manually";
const char kOwnListError[] = "Cannot open list file Uninstall.lst";

struct Shown {
    std::string warning;    // the "/warning" message box
    std::string listError;  // the removal's message without a list file
};

std::string MessageEntry(const char* source, const std::string& value)
{
    char key[kCatalogueKeySize];
    MakeCatalogueKey(key, source, nullptr, kMessageText);
    return std::string(key) + "=\"" + value + "\"\r\n";
}

// Runs the program in the folder; waits for the message box with this
// caption (answering the removal's question first) and closes it.
std::string RunToMessage(const std::string& program, const char* args, const char* caption, bool removal)
{
    std::string dir = program.substr(0, program.rfind('\\'));
    machine::Program p = machine::Start(program, args, dir);
    EXPECT_TRUE(p.process) << program;
    HWND box = ui::WaitForWindow(caption, p.pid, 20000);
    if (box && removal) {
        EXPECT_EQ(ui::MessageBoxText(box), "Continue with uninstall Vexora");
        ui::Press(box, IDYES);
        EXPECT_TRUE(ui::WaitForWindowGone(box, 10000));
        box = ui::WaitForWindow(caption, p.pid, 20000);
    }
    if (!box) {
        ADD_FAILURE() << "no message box \"" << caption << "\" from " << program << " " << args;
        machine::Kill(p);
        return "";
    }
    std::string text = ui::MessageBoxText(box);
    ui::Press(box, IDOK);
    EXPECT_EQ(machine::Wait(p, 20000), 0u) << "the program did not end normally";
    return text;
}

// The "/warning" box and the removal's list-file error of a copy of the
// program with a language file or module beside it. No list file: the
// removal stops at its message and changes nothing.
Shown ShowBoth(const std::string& name, const char* caption, const std::string* languageFile, const char* module)
{
    machine::RegistryGuard guard(removal::ProductKeys());
    std::string dir = machine::ScratchDir("lang-format-" + name);
    std::string program = dir + "\\uninstall.exe";
    EXPECT_TRUE(machine::CopyTo(machine::BinDir() + "uninstall.exe", program));
    if (languageFile) {
        EXPECT_TRUE(machine::WriteFile(dir + "\\uninstall.lng", *languageFile));
    }
    if (module) {
        EXPECT_TRUE(machine::CopyTo(machine::BinDir() + "langmodule\\" + module + "\\vexlng.dll", dir + "\\vexlng.dll"));
    }
    Shown shown;
    shown.warning = RunToMessage(program, "/warning", caption, false);
    shown.listError = RunToMessage(program, "", caption, true);
    EXPECT_TRUE(machine::Exists(program)) << "the removal went on without a list file";
    machine::RemoveTree(dir);
    return shown;
}

std::string Filled(const char* format, const std::string& argument)
{
    char text[512];
    snprintf(text, sizeof text, format, argument.c_str());
    return text;
}

const struct {
    const char* format;
    const char* module;  // bin/langmodule/<module>/vexlng.dll translates both to format
} kBadFormats[] = {
    {"%d", "format-d"},
    {"%s %s", "format-s-s"},
    {"%n", "format-n"},
    {"%", "format-percent"},
};

TEST(FormatMessages, LanguageFileWithOtherConversions)
{
    for (const auto& c : kBadFormats) {
        SCOPED_TRACE(c.format);
        ASSERT_FALSE(IsSingleStringFormat(c.format));
        std::string file = "***messages***\r\n" + MessageEntry("Uninstall Vexora", "Vexora entfernen") +
                           MessageEntry("Uninstall completed", "Fertig") + MessageEntry(kOwnWarning, c.format) +
                           MessageEntry("Cannot open list file %s", c.format);
        Shown shown = ShowBoth("file", "Vexora entfernen", &file, nullptr);
        std::string program = "C:\\vextest\\lang-format-file\\uninstall.exe";
        EXPECT_EQ(shown.warning, "Fertig\n" + Filled(kOwnWarning, program));
        EXPECT_EQ(shown.listError, kOwnListError);
    }
}

TEST(FormatMessages, LanguageModuleWithOtherConversions)
{
    for (const auto& c : kBadFormats) {
        SCOPED_TRACE(c.format);
        Shown shown = ShowBoth("module", "Module: Uninstall Vexora", nullptr, c.module);
        std::string program = "C:\\vextest\\lang-format-module\\uninstall.exe";
        EXPECT_EQ(shown.warning, "Module: Uninstall completed\n" + Filled(kOwnWarning, program));
        EXPECT_EQ(shown.listError, kOwnListError);
    }
}

// "%%" is no conversion: such a translation is used.
TEST(FormatMessages, TranslationWithPercentSignsIsUsed)
{
    std::string file = "***messages***\r\n" + MessageEntry("Uninstall Vexora", "Vexora entfernen") +
                       MessageEntry(kOwnWarning, "%% Bitte %s von Hand l\xf6schen (100%%)") +
                       MessageEntry("Cannot open list file %s", "%s fehlt zu 100%%");
    Shown shown = ShowBoth("good", "Vexora entfernen", &file, nullptr);
    EXPECT_EQ(shown.warning,
              "Uninstall completed\n% Bitte C:\\vextest\\lang-format-good\\uninstall.exe von Hand l\xf6schen (100%)");
    EXPECT_EQ(shown.listError, "Uninstall.lst fehlt zu 100%");
}

}  // namespace
