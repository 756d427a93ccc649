// The dialogs' own functions, in this process, on dialogs made from the
// program's templates (the test program links its resources).
#include <gtest/gtest.h>
#include <richedit.h>
#include <string.h>

#include "setup_ui/done_dialog.h"
#include "setup_ui/setup_dialog.h"
#include "shell/shell_state.h"
#include "support/machine_win.h"

// This test program stands in for the entry point, whose state the dialogs read.
unsigned char SilentMode;
HICON AppIcon;
HFONT BoldFont;
char GroupPath[kGroupPathSize];

namespace {

const int kDesktopBox = 5113, kShellBox = 5116, kCascadedBox = 5117, kIconsBox = 5118;

INT_PTR CALLBACK InertDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The setup template's check boxes with nothing of the setup dialog's own
// behaviour behind them.
struct SetupBoxes : ::testing::Test {
    HWND dialog = nullptr;
    void SetUp() override
    {
        LoadLibraryA("riched32.dll");  // the "RICHEDIT" class of the explanation
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "SETUPDLG", nullptr, InertDlgProc, 0);
        ASSERT_TRUE(dialog) << "error " << GetLastError();
    }
    void TearDown() override
    {
        if (dialog)
            DestroyWindow(dialog);
    }
    // "<12 archive boxes>|<boxes 5113 to 5118>", 1 for a checked box.
    std::string Marks() const
    {
        std::string s;
        for (int id = 5101; id <= 5118; ++id) {
            if (id == kDesktopBox)
                s += '|';
            s += IsDlgButtonChecked(dialog, id) == BST_CHECKED ? '1' : '0';
        }
        return s;
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }
};

IntegrationOptions RecordFrom(const char* marks)
{
    IntegrationOptions r;
    memset(&r, 1, sizeof r);  // flags 12 to 19 set: they have no box and must not leak into one
    for (int i = 0; i < 12; ++i)
        r.flag[i] = marks[i] == '1';
    for (int i = 0; i < 6; ++i)
        r.flag[20 + i] = marks[13 + i] == '1';
    return r;
}

// One dialog for the whole table, so each row also starts from the previous
// row's boxes (shell integration turned off, then on again).
TEST_F(SetupBoxes, ChoicesRoundTripThroughTheBoxes)
{
    static const struct {
        const char* name;
        const char* marks;
    } kCases[] = {
        {"everything on", "111111111111|111111"},
        {"everything off", "000000000000|000000"},
        {"shell off, its two boxes still marked", "100000000001|000011"},
        {"shell on again", "100000000001|000111"},
        {"alternating", "101010101010|101010"},
        {"the other alternation", "010101010101|010101"},
        {"only ISO and icons", "000000000001|000001"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        IntegrationOptions in = RecordFrom(c.marks);
        SetDialogChoices(dialog, &in);
        EXPECT_EQ(Marks(), c.marks);
        bool shell = c.marks[13 + 3] == '1';
        EXPECT_EQ(Enabled(kCascadedBox), shell);
        EXPECT_EQ(Enabled(kIconsBox), shell);
        EXPECT_TRUE(Enabled(kShellBox));

        IntegrationOptions out;
        memset(&out, 0xA5, sizeof out);
        GetDialogChoices(dialog, &out);
        for (int f = 0; f < kOptionFlagCount; ++f) {
            bool hasBox = f < 12 || f >= 20;
            EXPECT_EQ(out.flag[f], hasBox ? in.flag[f] : 0xA5) << "flag " << f;
        }
    }
}

TEST_F(SetupBoxes, SelectAllChecksTheArchiveTypesOnly)
{
    static const char* const kStarts[] = {"000000000000|101001", "010000100001|010110", "111111111111|000000"};
    for (const char* start : kStarts) {
        SCOPED_TRACE(start);
        IntegrationOptions in = RecordFrom(start);
        SetDialogChoices(dialog, &in);
        std::string others = Marks().substr(12);
        bool cascaded = Enabled(kCascadedBox), icons = Enabled(kIconsBox);
        for (int press = 0; press < 2; ++press) {
            SelectAllArchiveTypes(dialog);
            EXPECT_EQ(Marks(), "111111111111" + others) << "press " << press + 1;
            EXPECT_EQ(Enabled(kCascadedBox), cascaded);
            EXPECT_EQ(Enabled(kIconsBox), icons);
        }
    }
}

TEST_F(SetupBoxes, EnableDialogItemTogglesOneControl)
{
    EnableDialogItem(dialog, kDesktopBox, false);
    EXPECT_FALSE(Enabled(kDesktopBox));
    EXPECT_TRUE(Enabled(kDesktopBox + 1));
    EnableDialogItem(dialog, kDesktopBox, true);
    EXPECT_TRUE(Enabled(kDesktopBox));
}

TEST(SetupDialogHere, SetsTheBigIconAndPutsTheExplanationOnTheButtonFace)
{
    LoadLibraryA("riched32.dll");
    AppIcon = LoadIconA(GetModuleHandleA(nullptr), "VEXICON");
    ASSERT_TRUE(AppIcon);
    SilentMode = 0;
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "SETUPDLG", nullptr, SetupDlgProc, 0);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(AppIcon));
    // Setting a colour answers the one before.
    EXPECT_EQ(SendDlgItemMessageA(dialog, 5120, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3)),
              static_cast<LRESULT>(GetSysColor(COLOR_BTNFACE)));
    DestroyWindow(dialog);
}

// The completion dialog as the entry point shows it, in a folder of the test's
// choosing as current directory.
struct DoneDialogHere : ::testing::Test {
    char savedDirectory[MAX_PATH] = {};
    void SetUp() override
    {
        GetCurrentDirectoryA(sizeof savedDirectory, savedDirectory);
        AppIcon = LoadIconA(GetModuleHandleA(nullptr), "VEXICON");
        BoldFont = CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
        SilentMode = 0;
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(savedDirectory);
        DeleteObject(BoldFont);
        BoldFont = nullptr;
        SilentMode = 0;
    }
};

TEST_F(DoneDialogHere, ShowsTheCurrentDirectoryIconAndBoldClosingLine)
{
    static const struct {
        const char* directory;
        const char* shown;
    } kCases[] = {
        {"C:\\vextest\\done here", "C:\\vextest\\done here"},
        {"C:\\", "C:\\"},  // a drive's root keeps its backslash
    };
    machine::ScratchDir("done here");
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.directory);
        ASSERT_TRUE(SetCurrentDirectoryA(c.directory));
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "DONEDLG", nullptr, DoneDlgProc, 0);
        ASSERT_TRUE(dialog);
        char text[MAX_PATH] = "sentinel";
        GetDlgItemTextA(dialog, 5101, text, sizeof text);
        EXPECT_STREQ(text, c.shown);
        EXPECT_EQ(SendDlgItemMessageA(dialog, 5107, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(BoldFont));
        EXPECT_NE(SendDlgItemMessageA(dialog, 5101, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(BoldFont));
        EXPECT_EQ(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(AppIcon));
        DestroyWindow(dialog);
    }
    machine::RemoveTree("C:\\vextest\\done here");
}

TEST_F(DoneDialogHere, SilentModeEndsItBeforeItIsShown)
{
    SilentMode = 1;
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), "DONEDLG", nullptr, DoneDlgProc, 0), 1);
}

}  // namespace
