// The real program's setup dialog with a language file or a language module
// beside it: translated, rescaled, mirrored. Each run is cancelled, so
// nothing is set up. Pictures of a scaled and of a mirrored dialog are kept
// in build/.
#include <gtest/gtest.h>

#include <vector>

#include "lang/language.h"
#include "support/machine_win.h"
#include "support/ui_driver_win.h"

namespace {

std::string Entry(const char* source, const char* context, TextKind kind, const std::string& value)
{
    char key[kCatalogueKeySize];
    MakeCatalogueKey(key, source, context, kind);
    return std::string(key) + "=\"" + value + "\"\r\n";
}

struct Shown {
    bool ok = false;
    RECT window;
    POINT clientOrigin;  // screen
    RECT client;
    LONG exStyle;
    std::vector<ui::Control> controls;
};

struct Beside {
    const char* languageFile;  // or null
    bool rtlModule;
};

// Starts "/setup" from a folder of its own with the files beside it, reads
// the dialog with this caption, saves its picture if asked, and cancels.
Shown ShowSetup(const std::string& name, const char* caption, const Beside& beside, const char* picture = nullptr)
{
    Shown shown;
    std::string dir = machine::ScratchDir("lang-setup-" + name);
    std::string program = dir + "\\uninstall.exe";
    EXPECT_TRUE(machine::CopyTo(machine::BinDir() + "uninstall.exe", program));
    if (beside.languageFile) {
        EXPECT_TRUE(machine::WriteFile(dir + "\\uninstall.lng", beside.languageFile));
    }
    if (beside.rtlModule) {
        EXPECT_TRUE(machine::CopyTo(machine::BinDir() + "langmodule\\rtl\\vexlng.dll", dir + "\\vexlng.dll"));
    }
    // One of these dialogs at a time: they open at the same place, and the
    // pictures are taken from the screen.
    HANDLE turn = CreateMutexA(nullptr, FALSE, "vex-lang-setup-dialog");
    WaitForSingleObject(turn, 60000);
    machine::Program p = machine::Start(program, "/setup", dir);
    HWND dialog = ui::WaitForWindow(caption, p.pid, 20000);
    if (!dialog) {
        ADD_FAILURE() << "no setup dialog \"" << caption << "\"";
        machine::Kill(p);
        ReleaseMutex(turn);
        CloseHandle(turn);
        return shown;
    }
    GetWindowRect(dialog, &shown.window);
    GetClientRect(dialog, &shown.client);
    shown.clientOrigin = POINT{0, 0};
    ClientToScreen(dialog, &shown.clientOrigin);
    shown.exStyle = GetWindowLongA(dialog, GWL_EXSTYLE);
    shown.controls = ui::Controls(dialog);
    if (picture) {
        Sleep(300);  // painted
        std::string path = machine::BinDir() + "..\\..\\" + picture;
        EXPECT_TRUE(ui::SaveScreenshot(dialog, path.c_str())) << path;
    }
    ui::Press(dialog, IDCANCEL);
    EXPECT_EQ(machine::Wait(p, 20000), 0u);
    ReleaseMutex(turn);
    CloseHandle(turn);
    machine::RemoveTree(dir);
    shown.ok = true;
    return shown;
}

const ui::Control* FindControl(const Shown& shown, int id)
{
    return ui::Find(shown.controls, id);
}

TEST(LocalizedSetup, ScaledAndTranslated)
{
    Shown plain = ShowSetup("plain", "Vexora Setup", {nullptr, false});
    ASSERT_TRUE(plain.ok);
    EXPECT_FALSE(plain.exStyle & WS_EX_LAYOUTRTL);
    // "9b889d24" is the setup dialog's scale entry, "a8604cfa" its "OK".
    const std::string file = "***messages***\r\n9b889d24=\"120*110\"\r\na8604cfa=\"Bien\"\r\n" +
                             Entry("Vexora Setup", "SETUPDLG", kDialogText, "Vexora einrichten") +
                             Entry("Select &all", "SETUPDLG", kDialogText, "&Alle") +
                             Entry("Interface", "SETUPDLG", kDialogText, "Oberfl\xe4" "che");
    Shown scaled = ShowSetup("scaled", "Vexora einrichten", {file.c_str(), false}, "lang-setupdlg-scaled.bmp");
    ASSERT_TRUE(scaled.ok);

    const int sx = 120, sy = 110;
    const RECT& W = plain.window;
    const RECT& C = plain.client;
    int fx = (W.right - W.left + 1) - C.right;
    int fy = (W.bottom - W.top + 1) - C.bottom;
    // Same place, new size; the client area thus grows by the scale and one pixel.
    EXPECT_EQ(scaled.window.left, W.left);
    EXPECT_EQ(scaled.window.top, W.top);
    EXPECT_EQ(scaled.window.right - scaled.window.left, C.right * sx / 100 + fx);
    EXPECT_EQ(scaled.window.bottom - scaled.window.top, C.bottom * sy / 100 + fy);
    EXPECT_EQ(scaled.client.right, C.right * sx / 100 + 1);
    EXPECT_EQ(scaled.client.bottom, C.bottom * sy / 100 + 1);

    fy -= GetSystemMetrics(SM_CYDLGFRAME);
    ASSERT_EQ(scaled.controls.size(), plain.controls.size());
    for (size_t i = 0; i < plain.controls.size(); ++i) {
        const ui::Control& before = plain.controls[i];
        const ui::Control& after = scaled.controls[i];
        SCOPED_TRACE(testing::Message() << "control " << before.id << " \"" << before.text << "\"");
        ASSERT_EQ(after.id, before.id);
        // The control's screen rectangle relative to the window's corner.
        int left = before.rect.left + plain.clientOrigin.x - W.left;
        int top = before.rect.top + plain.clientOrigin.y - W.top;
        EXPECT_EQ(after.rect.left, (left - fx / 2) * sx / 100);
        EXPECT_EQ(after.rect.top, (top - fy) * sy / 100);
        EXPECT_EQ(after.rect.right - after.rect.left, (before.rect.right - before.rect.left + 1) * sx / 100);
        EXPECT_EQ(after.rect.bottom - after.rect.top, (before.rect.bottom - before.rect.top + 1) * sy / 100);
    }
    ASSERT_TRUE(FindControl(scaled, IDOK));
    EXPECT_EQ(FindControl(scaled, IDOK)->text, "Bien");
    EXPECT_EQ(FindControl(scaled, 5119)->text, "&Alle");
    EXPECT_EQ(FindControl(scaled, 5101)->text, "&VEX") << "no entry";
}

TEST(LocalizedSetup, RightToLeft)
{
    const std::string direction = "***messages***\r\n50a17ae8=\"RTL\"\r\n";
    static const struct {
        const char* name;
        const char* caption;
        Beside beside;
        const char* picture;
    } cases[] = {
        {"direction-entry", "Vexora Setup", {direction.c_str(), false}, "lang-setupdlg-rtl.bmp"},
        {"module-marker", "Modul: Vexora einrichten", {nullptr, true}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Shown shown = ShowSetup(c.name, c.caption, c.beside, c.picture);
        ASSERT_TRUE(shown.ok);
        EXPECT_TRUE(shown.exStyle & WS_EX_LAYOUTRTL);
    }
}

}  // namespace
