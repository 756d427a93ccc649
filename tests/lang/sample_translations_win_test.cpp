// The shipped translations beside the real program: every text of the setup
// dialog is found under the key the translator's kit gave it, the one the
// program computes from what the dialog shows. Each run is cancelled.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "lang/language.h"
#include "support/machine_win.h"
#include "support/ui_driver_win.h"

namespace {

struct Shown {
    std::string caption;
    std::vector<ui::Control> controls;
    LONG exStyle = 0;
};

// "/setup" from a folder of its own, with the language file beside it (or
// none); the first setup dialog of that process is read and cancelled.
Shown ShowSetup(const std::string& name, const std::string* languageFile)
{
    Shown shown;
    std::string dir = machine::ScratchDir("lang-sample-" + name);
    std::string program = dir + "\\uninstall.exe";
    EXPECT_TRUE(machine::CopyTo(machine::BinDir() + "uninstall.exe", program));
    if (languageFile) {
        EXPECT_TRUE(machine::WriteFile(dir + "\\uninstall.lng", *languageFile));
    }
    HANDLE turn = CreateMutexA(nullptr, FALSE, "vex-lang-setup-dialog");
    WaitForSingleObject(turn, 60000);
    machine::Program p = machine::Start(program, "/setup", dir);
    HWND dialog = nullptr;
    for (int waited = 0; !dialog && waited < 20000; waited += 100) {
        Sleep(100);
        EnumWindows(
            [](HWND w, LPARAM found) -> BOOL {
                if (!IsWindowVisible(w) || !GetDlgItem(w, 5120))
                    return TRUE;
                *reinterpret_cast<HWND*>(found) = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&dialog));
    }
    if (dialog) {
        Sleep(200);
        shown.caption = ui::Text(dialog);
        shown.controls = ui::Controls(dialog);
        shown.exStyle = GetWindowLongA(dialog, GWL_EXSTYLE);
        ui::Press(dialog, IDCANCEL);
    } else {
        ADD_FAILURE() << "no setup dialog";
        machine::Kill(p);
    }
    EXPECT_EQ(machine::Wait(p, 20000), 0u);
    ReleaseMutex(turn);
    CloseHandle(turn);
    machine::RemoveTree(dir);
    return shown;
}

std::string Translate(const LanguageResources& catalogue, const std::string& source)
{
    char text[kDialogTextSize];
    catalogue.TranslateText(text, sizeof text, source.c_str(), "SETUPDLG", kDialogText);
    return text;
}

TEST(SampleTranslations, TranslateEveryTextOfTheSetupDialog)
{
    Shown own = ShowSetup("own", nullptr);
    ASSERT_FALSE(own.controls.empty());
    static const struct {
        const char* language;
        bool rtl;
    } samples[] = {{"german", false}, {"hebrew", true}};
    for (const auto& s : samples) {
        SCOPED_TRACE(s.language);
        std::string file;
        ASSERT_TRUE(machine::ReadFile(machine::BinDir() + "translations\\" + s.language + ".lng", &file));
        // The catalogue as the program holds it, to look the dialog's own texts up in.
        LanguageResources catalogue;
        size_t marker = file.find("***messages**");
        ASSERT_NE(marker, std::string::npos);
        char* buffer = static_cast<char*>(malloc(kCatalogueBufferSize));
        int n = static_cast<int>(std::min<size_t>(file.size() - marker, kCatalogueReadSize));
        memcpy(buffer, file.data() + marker, n);
        catalogue.LoadText(buffer, n);

        Shown translated = ShowSetup(s.language, &file);
        EXPECT_EQ(translated.caption, Translate(catalogue, own.caption));
        EXPECT_NE(translated.caption, own.caption);
        EXPECT_EQ((translated.exStyle & WS_EX_LAYOUTRTL) != 0, s.rtl);
        ASSERT_EQ(translated.controls.size(), own.controls.size());
        for (size_t i = 0; i < own.controls.size(); ++i) {
            const std::string& source = own.controls[i].text;
            SCOPED_TRACE(testing::Message() << "control " << own.controls[i].id << " \"" << source << "\"");
            if (source.empty())
                continue;
            // Found: the file's text, not the source handed back for a missing entry.
            char key[kCatalogueKeySize];
            MakeCatalogueKey(key, source.c_str(), "SETUPDLG", kDialogText);
            EXPECT_TRUE(catalogue.FindEntry(key)) << "no entry under " << key;
            EXPECT_EQ(translated.controls[i].text, Translate(catalogue, source));
        }
    }
}

}  // namespace
