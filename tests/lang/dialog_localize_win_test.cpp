// Dialogs translated, rescaled and mirrored as they open, with dialog
// templates of the tests' own (lang_test_dialogs.dll).
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "lang/dialog_localize.h"
#include "lang/language.h"
#include "lang/message_text.h"
#include "support/machine_win.h"

namespace {

struct Placed {
    HWND window;
    RECT rect;     // screen
    RECT dropped;  // drop-down combo boxes: the dropped list
    WNDPROC proc;  // the control's own, while it is watched
    bool sized;         // a size was asked for...
    int width, height;  // ...and this one
};

// The dialog as it was when WM_INITDIALOG came, before the hook changed it.
struct Before {
    RECT window, client;
    LONG exStyle;
    std::vector<Placed> controls;
} before;
const char* dialogName;

bool IsDropDownCombo(HWND control)
{
    char name[64];
    GetClassNameA(control, name, sizeof name);
    return _stricmp(name, "ComboBox") == 0 && (GetWindowLongA(control, GWL_STYLE) & 3) != CBS_SIMPLE;
}

Placed* FindPlaced(HWND control);

// Notes the first size asked for, before the control adjusts it: a combo box
// resizes itself to its field and keeps the rest for its list.
LRESULT CALLBACK WatchSize(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    Placed* p = FindPlaced(control);
    if (message == WM_WINDOWPOSCHANGING && !p->sized && !(reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_NOSIZE)) {
        p->sized = true;
        p->width = reinterpret_cast<WINDOWPOS*>(lParam)->cx;
        p->height = reinterpret_cast<WINDOWPOS*>(lParam)->cy;
    }
    return CallWindowProcA(p->proc, control, message, wParam, lParam);
}

void TakeBefore(HWND dialog)
{
    GetWindowRect(dialog, &before.window);
    GetClientRect(dialog, &before.client);
    before.exStyle = GetWindowLongA(dialog, GWL_EXSTYLE);
    before.controls.clear();
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        Placed p = {c, {}, {}, nullptr, false, 0, 0};
        GetWindowRect(c, &p.rect);
        if (IsDropDownCombo(c))
            SendMessageA(c, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&p.dropped));
        before.controls.push_back(p);
    }
    for (Placed& p : before.controls)
        p.proc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(p.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchSize)));
}

Placed* FindPlaced(HWND control)
{
    for (Placed& p : before.controls)
        if (p.window == control)
            return &p;
    abort();
}

INT_PTR CALLBACK TestDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        TakeBefore(window);
    DialogHook(window, message, wParam, lParam, dialogName);
    return message == WM_INITDIALOG;
}

std::string Text(HWND window)
{
    char text[1024];
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string Entry(const char* source, const char* context, const std::string& value)
{
    char key[kCatalogueKeySize];
    MakeCatalogueKey(key, source, context, kDialogText);
    return std::string(key) + "=\"" + value + "\"\r\n";
}

class DialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ProgramInstance = ResourceInstance = GetModuleHandleA(nullptr);
        Lang.Clear();
        library = LoadLibraryA((machine::BinDir() + "lang_test_dialogs.dll").c_str());
        ASSERT_TRUE(library);
        templates = library;
    }
    void TearDown() override
    {
        if (dialog)
            DestroyWindow(dialog);
        FreeLibrary(library);
        Lang.Clear();
    }
    void LoadCatalogue(const std::string& entries)
    {
        std::string text = "***messages***\r\n" + entries;
        char* buffer = static_cast<char*>(malloc(kCatalogueBufferSize));
        memcpy(buffer, text.data(), text.size());
        Lang.LoadText(buffer, static_cast<int>(text.size()));
    }
    HWND Open(const char* templateName, const char* name)
    {
        dialogName = name;
        dialog = CreateDialogParamA(templates, templateName, nullptr, TestDialogProc, 0);
        EXPECT_TRUE(dialog) << templateName;
        return dialog;
    }
    HWND Control(int id) { return GetDlgItem(dialog, id); }

    HMODULE library = nullptr;
    HMODULE templates = nullptr;
    HWND dialog = nullptr;
};

TEST_F(DialogTest, TranslatesCaptionAndControlTexts)
{
    // "a8604cfa" is "OK" in "SETUPDLG".
    LoadCatalogue("a8604cfa=\"Bien\"\r\n" + Entry("Test caption", "SETUPDLG", "Titel") +
                  Entry("Label", "SETUPDLG", "Etikett") + Entry("Label", "DONEDLG", "Falsch") +
                  Entry("", "SETUPDLG", "wrong: the scale entry"));
    Open("LANGTEST", "SETUPDLG");
    EXPECT_EQ(Text(dialog), "Titel");
    EXPECT_EQ(Text(Control(IDOK)), "Bien");
    EXPECT_EQ(Text(Control(101)), "Etikett");
    EXPECT_EQ(Text(Control(102)), "") << "an empty text is not looked up";
    EXPECT_EQ(Text(Control(106)), "Check &me");
}

TEST_F(DialogTest, EmptyCaptionStaysEmpty)
{
    LoadCatalogue(Entry("", "NOCAPTION", "120*110") + Entry("Label", "NOCAPTION", "Etikett"));
    Open("NOCAPTION", "NOCAPTION");
    EXPECT_EQ(Text(dialog), "");
    EXPECT_EQ(Text(Control(101)), "Etikett");
}

TEST_F(DialogTest, ScaleEntriesOfTheDialogs)
{
    LoadCatalogue("9b889d24=\"120*110\"\r\ndebae517=\"90*\"\r\n");
    static const struct {
        const char* name;
        int sx, sy;
        bool scaled;
    } cases[] = {{"SETUPDLG", 120, 110, true}, {"DONEDLG", 90, 0, true}, {"OTHERDLG", 100, 100, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int sx = 0, sy = 0;
        EXPECT_EQ(GetDialogScale(c.name, &sx, &sy), c.scaled);
        EXPECT_EQ(sx, c.sx);
        EXPECT_EQ(sy, c.sy);
    }
    Lang.Clear();
    int sx = 0, sy = 0;
    EXPECT_FALSE(GetDialogScale("SETUPDLG", &sx, &sy)) << "no catalogue";
    EXPECT_EQ(sx, 100);
    EXPECT_EQ(sy, 100);
}

// Every control of the dialog as it is now, in the order of before.controls.
std::vector<RECT> PlacesNow(HWND dialog)
{
    std::vector<RECT> places;
    RECT r;
    GetWindowRect(dialog, &r);
    places.push_back(r);
    for (const Placed& p : before.controls) {
        GetWindowRect(p.window, &r);
        places.push_back(r);
    }
    return places;
}

std::vector<RECT> PlacesBefore()
{
    std::vector<RECT> places = {before.window};
    for (const Placed& p : before.controls)
        places.push_back(p.rect);
    return places;
}

// Which of the rectangles differ, as their positions in the lists.
std::string Moved(const std::vector<RECT>& a, const std::vector<RECT>& b)
{
    std::string moved;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (!EqualRect(&a[i], &b[i]))
            moved += " " + std::to_string(i);
    return a.size() == b.size() ? moved : "count";
}

// The window and every control against the rescaling formulas, computed from
// what the dialog was before the hook ran.
void ExpectScaled(HWND dialog, int sx, int sy)
{
    const RECT& W = before.window;
    const RECT& C = before.client;
    int fx = (W.right - W.left + 1) - C.right;
    int fy = (W.bottom - W.top + 1) - C.bottom;
    RECT now;
    GetWindowRect(dialog, &now);
    EXPECT_EQ(now.left, W.left);
    EXPECT_EQ(now.top, W.top);
    EXPECT_EQ(now.right - now.left, C.right * sx / 100 + fx);
    EXPECT_EQ(now.bottom - now.top, C.bottom * sy / 100 + fy);

    fy -= GetSystemMetrics(SM_CYDLGFRAME);
    for (const Placed& p : before.controls) {
        const RECT& R = p.rect;
        SCOPED_TRACE(testing::Message() << "control " << GetDlgCtrlID(p.window));
        int x = (R.left - W.left - fx / 2) * sx / 100;
        int y = (R.top - W.top - fy) * sy / 100;
        int w = (R.right - R.left + 1) * sx / 100;
        int h = (R.bottom - R.top + 1) * sy / 100;
        RECT r;
        GetWindowRect(p.window, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, x);
        EXPECT_EQ(r.top, y);
        EXPECT_EQ(r.right - r.left, w);
        ASSERT_TRUE(p.sized);
        EXPECT_EQ(p.width, w);
        if (IsDropDownCombo(p.window)) {
            // Asked for its field and its dropped list together.
            EXPECT_EQ(p.height, h + (p.dropped.bottom - p.dropped.top + 1) * sy / 100);
        } else {
            EXPECT_EQ(p.height, h);
            EXPECT_EQ(r.bottom - r.top, h);
        }
    }
}

TEST_F(DialogTest, ScaledByTheFormulas)
{
    static const struct {
        const char* entry;
        int sx, sy;
    } cases[] = {{"120*110", 120, 110}, {"75*130", 75, 130}, {"90*", 90, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        LoadCatalogue(Entry("", "LANGTEST", c.entry) + Entry("Label", "LANGTEST", "Etikett"));
        Open("LANGTEST", "LANGTEST");
        ASSERT_EQ(before.controls.size(), 8u);
        ExpectScaled(dialog, c.sx, c.sy);
        EXPECT_EQ(Text(Control(101)), "Etikett");
        DestroyWindow(dialog);
        dialog = nullptr;
    }
}

TEST_F(DialogTest, NotScaledWithoutAScale)
{
    static const struct {
        const char* name;
        std::string entry;
    } cases[] = {
        {"no scale entry", ""},
        {"no asterisk", Entry("", "LANGTEST", "120")},
        {"100 by 100", Entry("", "LANGTEST", "100*100")},
        {"scale of another dialog", Entry("", "SETUPDLG", "120*110")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LoadCatalogue(c.entry + Entry("Label", "LANGTEST", "Etikett"));
        Open("LANGTEST", "LANGTEST");
        EXPECT_EQ(Moved(PlacesNow(dialog), PlacesBefore()), "");
        EXPECT_EQ(Text(Control(101)), "Etikett") << "texts are still translated";
        DestroyWindow(dialog);
        dialog = nullptr;
    }
}

TEST_F(DialogTest, RightToLeftFromTheFirstMessage)
{
    for (bool rtl : {false, true}) {
        SCOPED_TRACE(rtl ? "right to left" : "left to right");
        Lang.SetRightToLeft(rtl);
        Open("LANGTEST", "LANGTEST");
        // Mirrored on WM_SETFONT, before its controls were made, so they are mirrored too.
        EXPECT_EQ((before.exStyle & WS_EX_LAYOUTRTL) != 0, rtl);
        EXPECT_EQ((GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0, rtl);
        EXPECT_EQ((GetWindowLongA(Control(101), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0, rtl);
        DestroyWindow(dialog);
        dialog = nullptr;
    }
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(DialogTest, AtMost512Controls)
{
    const int kControls = 600;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlainWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LangTestMany";
    RegisterClassA(&wc);
    dialog = CreateWindowExA(0, "LangTestMany", "Many", WS_POPUP | WS_CAPTION, 10, 10, 700, 500, nullptr, nullptr,
                             wc.hInstance, nullptr);
    ASSERT_TRUE(dialog);
    std::string entries = Entry("", "MANY", "200*200");
    for (int i = 0; i < kControls; ++i) {
        char text[16];
        snprintf(text, sizeof text, "c%d", i);
        entries += Entry(text, "MANY", std::string("T") + text);
        CreateWindowExA(0, "STATIC", text, WS_CHILD, (i % 30) * 20, (i / 30) * 20, 8, 8, dialog, nullptr,
                        wc.hInstance, nullptr);
    }
    LoadCatalogue(entries);
    LocalizeDialog(dialog, "MANY");

    int n = 0;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT), ++n) {
        std::string text = Text(c);
        RECT r;
        GetWindowRect(c, &r);
        bool localized = n < 512;
        ASSERT_EQ(text[0], localized ? 'T' : 'c') << "control " << n << ": " << text;
        ASSERT_EQ(r.right - r.left, localized ? 18 : 8) << "control " << n;
    }
    EXPECT_EQ(n, kControls);
}

// The program's own templates, with no procedure but the hook.
class ProgramDialogTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        richEdit = LoadLibraryA("riched32.dll");
        templates = GetModuleHandleA(nullptr);
    }
    void TearDown() override
    {
        DialogTest::TearDown();
        FreeLibrary(richEdit);
    }
    HMODULE richEdit = nullptr;
};

TEST_F(ProgramDialogTest, SetupDialogScaled)
{
    // "9b889d24" is the scale entry of "SETUPDLG", "a8604cfa" its "OK".
    LoadCatalogue("9b889d24=\"120*110\"\r\na8604cfa=\"Bien\"\r\n" +
                  Entry("Vexora Setup", "SETUPDLG", "Vexora einrichten") +
                  Entry("Interface", "SETUPDLG", "Oberfl\xe4" "che"));
    Open("SETUPDLG", "SETUPDLG");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Text(dialog), "Vexora einrichten");
    EXPECT_EQ(Text(Control(IDOK)), "Bien");
    EXPECT_TRUE(FindWindowExA(dialog, nullptr, "Button", "Oberfl\xe4" "che")) << "the group box \"Interface\"";
    ExpectScaled(dialog, 120, 110);
}

TEST_F(ProgramDialogTest, CompletionDialogScaled)
{
    LoadCatalogue("debae517=\"110*125\"\r\n" + Entry("Done", "DONEDLG", "Fertig"));
    Open("DONEDLG", "DONEDLG");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Text(Control(IDOK)), "Fertig");
    ExpectScaled(dialog, 110, 125);
}

TEST_F(ProgramDialogTest, BothDialogsRightToLeft)
{
    Lang.SetRightToLeft(true);
    for (const char* name : {"SETUPDLG", "DONEDLG"}) {
        SCOPED_TRACE(name);
        Open(name, name);
        ASSERT_TRUE(dialog);
        EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
        DestroyWindow(dialog);
        dialog = nullptr;
    }
}
}  // namespace
