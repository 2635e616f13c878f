// The main dialog in-process: its layout from the template, its system menu,
// and its window behaviour (minimise to hidden, Show, Hide, Exit, Close,
// Escape, Return).
#include "app/SonglarkDlg.h"
#include "tests/win/AccelTestUtil.h"
#include "tests/win/AppTestUtil.h"
#include "tests/win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ControlSpec {
    int id;
    const char* cls;      // window class, compared case-insensitively
    const char* caption;  // nullptr: not compared
    int x, y, w, h;
};

// Every control in tab order, as the template must give it.
const ControlSpec kMainControls[] = {
    {IDOK, "Button", "Search", 319, 6, 50, 15},
    {IDC_SONG, "Edit", nullptr, 187, 18, 115, 14},
    {-1, "Static", "Artist", 8, 21, 26, 10},
    {-1, "Static", "Song", 144, 19, 34, 10},
    {IDC_LYRIC, "Edit", nullptr, 7, 144, 303, 146},
    {-1, "Button", "Search Lyrics for these songs", 7, 40, 368, 90},
    {-1, "Button", "The song's Lyric", 7, 132, 368, 169},
    {IDC_SONG_LIST, "SysListView32", nullptr, 7, 50, 304, 74},
    {IDC_ARTIST, "ComboBox", nullptr, 36, 18, 78, 102},
    {IDC_OPTIONS, "Button", "Options", 319, 26, 50, 15},
    {IDC_DELETE_LYRIC, "Button", "Delete Lyric", 318, 52, 50, 16},
    {IDC_TO_CLIPBOARD, "Button", "To Clipboard", 317, 148, 50, 16},
    {IDC_EDIT_LYRIC, "Button", "Edit Lyric", 317, 184, 50, 16},
    {IDC_START_ACCEL, "Button", "Start Acceleration", 88, 327, 75, 16},
    {IDC_ACCEL_OPTION, "Button", "Accelerator Option", 179, 327, 81, 16},
    {-1, "Static", "Kazaa Acceleration", 7, 307, 78, 18},
    {IDC_ABOUT, "Button", "&About", 319, 317, 50, 16},
};

std::string ClassOf(HWND h)
{
    char buf[64] = {0};
    ::GetClassNameA(h, buf, sizeof buf);
    return buf;
}

std::string TextOf(HWND h)
{
    char buf[256] = {0};
    ::GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

LONG StyleOf(HWND h)
{
    return ::GetWindowLongA(h, GWL_STYLE);
}

// A live, modeless main dialog for one test.
class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dlg.Create(nullptr));
        hDlg = dlg.m_hWnd;
        PumpMessages(30);
    }
    void TearDown() override
    {
        if (::IsWindow(hDlg)) ::DestroyWindow(hDlg);
        StopWatcherForTest();
    }
    CSonglarkDlg dlg;
    HWND hDlg = nullptr;
};

}  // namespace

TEST_F(MainDialogTest, EveryControlStandsWhereTheTemplatePutsItInTabOrder)
{
    std::vector<HWND> children;
    for (HWND c = ::GetWindow(hDlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
    ASSERT_EQ(children.size(), sizeof kMainControls / sizeof kMainControls[0]);

    for (size_t i = 0; i < children.size(); ++i) {
        const ControlSpec& want = kMainControls[i];
        HWND c = children[i];
        SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(want.id));
        EXPECT_EQ(::GetDlgCtrlID(c) & 0xFFFF, want.id & 0xFFFF) << "template order";
        EXPECT_EQ(_stricmp(ClassOf(c).c_str(), want.cls), 0) << ClassOf(c);
        if (want.caption) {
            EXPECT_EQ(TextOf(c), want.caption);
        }

        const RECT place = DialogUnits(hDlg, want.x, want.y, want.w, want.h);
        const RECT got = ChildRect(c);
        EXPECT_EQ(got.left, place.left);
        EXPECT_EQ(got.top, place.top);
        EXPECT_EQ(got.right - got.left, place.right - place.left);
        if (want.id != IDC_ARTIST) {  // a combo box's height is its closed height
            EXPECT_EQ(got.bottom - got.top, place.bottom - place.top);
        }
    }
}

TEST_F(MainDialogTest, ControlStylesAndDialogFrame)
{
    EXPECT_EQ(TextOf(hDlg), "Peerpal");
    EXPECT_TRUE(::GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    const LONG dlgStyle = StyleOf(hDlg);
    EXPECT_TRUE(dlgStyle & WS_MINIMIZEBOX);
    EXPECT_TRUE(dlgStyle & WS_SYSMENU);
    EXPECT_FALSE(dlgStyle & WS_MAXIMIZEBOX);

    const LONG lyric = StyleOf(::GetDlgItem(hDlg, IDC_LYRIC));
    EXPECT_TRUE(lyric & ES_MULTILINE);
    EXPECT_TRUE(lyric & ES_CENTER);
    EXPECT_TRUE(lyric & WS_VSCROLL);
    EXPECT_TRUE(lyric & WS_HSCROLL);
    EXPECT_FALSE(lyric & ES_WANTRETURN) << "Return belongs to the dialog";
    EXPECT_FALSE(lyric & ES_READONLY);

    const LONG list = StyleOf(::GetDlgItem(hDlg, IDC_SONG_LIST));
    EXPECT_EQ(list & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(list & LVS_SINGLESEL);
    EXPECT_TRUE(list & LVS_SHOWSELALWAYS);
    EXPECT_TRUE(list & LVS_OWNERDRAWFIXED);
    const DWORD ex = static_cast<DWORD>(::SendMessageA(::GetDlgItem(hDlg, IDC_SONG_LIST), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_TRUE(ex & LVS_EX_GRIDLINES);
    EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);

    const LONG combo = StyleOf(::GetDlgItem(hDlg, IDC_ARTIST));
    EXPECT_EQ(combo & 3, CBS_DROPDOWN);
    EXPECT_TRUE(combo & CBS_SORT);

    for (int id : {IDOK, IDC_OPTIONS, IDC_DELETE_LYRIC, IDC_TO_CLIPBOARD, IDC_EDIT_LYRIC, IDC_START_ACCEL,
                   IDC_ACCEL_OPTION, IDC_ABOUT}) {
        const LONG s = StyleOf(::GetDlgItem(hDlg, id));
        EXPECT_TRUE(s & BS_FLAT) << id;
        EXPECT_NE(s & 0x0F, BS_DEFPUSHBUTTON) << id;
    }

    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(hDlg, WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    ASSERT_TRUE(::GetObjectA(font, sizeof lf, &lf));
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
}

TEST_F(MainDialogTest, StartsWithTheDefaultTextsAndTheThreeColumns)
{
    EXPECT_EQ(TextOf(::GetDlgItem(hDlg, IDC_ARTIST)), "Night Owls");
    EXPECT_EQ(TextOf(::GetDlgItem(hDlg, IDC_SONG)), "Blue Hour");
    EXPECT_EQ(dlg.m_listSongs.GetColumnCount(), 3);
    HWND list = ::GetDlgItem(hDlg, IDC_SONG_LIST);
    const char* headers[] = {"Status", "Artist", "Title"};
    const int widths[] = {50, 120, 260};
    for (int i = 0; i < 3; ++i) {
        char text[32] = {0};
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.pszText = text;
        col.cchTextMax = sizeof text;
        ASSERT_TRUE(::SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&col)));
        EXPECT_STREQ(text, headers[i]);
        EXPECT_EQ(col.cx, widths[i]);
        EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
}

TEST_F(MainDialogTest, SystemMenuEndsWithASeparatorAndTheAboutItem)
{
    HMENU m = ::GetSystemMenu(hDlg, FALSE);
    const int n = ::GetMenuItemCount(m);
    ASSERT_GE(n, 2);
    MENUITEMINFOA sep{};
    sep.cbSize = sizeof sep;
    sep.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoA(m, n - 2, TRUE, &sep));
    EXPECT_TRUE(sep.fType & MFT_SEPARATOR);
    char text[64] = {0};
    ::GetMenuStringA(m, n - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Songlark...");
    EXPECT_EQ(::GetMenuItemID(m, n - 1), static_cast<UINT>(IDM_ABOUTBOX));
}

TEST_F(MainDialogTest, MinimiseHidesAndShowRestoresAtTheFormerPlace)
{
    ::SetWindowPos(hDlg, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT before;
    ::GetWindowRect(hDlg, &before);

    ::SendMessageA(hDlg, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PumpMessages(50);
    EXPECT_FALSE(::IsWindowVisible(hDlg)) << "a minimised window leaves the taskbar";
    EXPECT_TRUE(::IsIconic(hDlg));

    ::SendMessageA(hDlg, WM_COMMAND, ID_TRAY_SHOW, 0);
    PumpMessages(50);
    EXPECT_TRUE(::IsWindowVisible(hDlg));
    EXPECT_FALSE(::IsIconic(hDlg));
    RECT after;
    ::GetWindowRect(hDlg, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(MainDialogTest, HideHidesWithoutMinimisingAndShowBringsItBack)
{
    ::SendMessageA(hDlg, WM_COMMAND, ID_TRAY_HIDE, 0);
    EXPECT_FALSE(::IsWindowVisible(hDlg));
    EXPECT_FALSE(::IsIconic(hDlg));
    ::SendMessageA(hDlg, WM_COMMAND, ID_TRAY_SHOW, 0);
    EXPECT_TRUE(::IsWindowVisible(hDlg));
    EXPECT_FALSE(::IsIconic(hDlg));
}

namespace {

constexpr UINT_PTR kStepTimer = 77;

// Runs the real modal loop and performs `action` once the dialog is up;
// counts the Search commands on their way to the dialog's own OnOK.
class ScriptedDlg : public CSonglarkDlg {
public:
    std::function<void(ScriptedDlg&)> action;
    int searches = 0;
    bool timerAliveAfterExit = true;

protected:
    BOOL OnInitDialog() override
    {
        const BOOL r = CSonglarkDlg::OnInitDialog();
        ::PostMessageA(m_hWnd, WM_APP, 0, 0);
        return r;
    }
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) ++searches;
        if (message == WM_TIMER && wParam == kStepTimer) {
            ::KillTimer(m_hWnd, kStepTimer);
            message = WM_APP;
        }
        if (message == WM_APP) {
            action(*this);
            // A failed ASSERT leaves the action before it ends the dialog:
            // end it here, so that the test fails instead of hanging.
            if (::testing::Test::HasFatalFailure()) EndDialog(IDABORT);
            return true;
        }
        return CSonglarkDlg::ProcessMessage(message, wParam, lParam, result);
    }
};

// Posts a key to a control, as the keyboard would.
void PostKey(HWND h, WPARAM vk)
{
    ::PostMessageA(h, WM_KEYDOWN, vk, 0);
    ::PostMessageA(h, WM_KEYUP, vk, 0);
}

}  // namespace

TEST(MainDialogModal, EscapeEndsTheDialogAndLeavesTheWatcherRunning)
{
    ScriptedDlg dlg;
    dlg.action = [](ScriptedDlg& d) { PostKey(::GetDlgItem(d.m_hWnd, IDC_SONG), VK_ESCAPE); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_NE(g_pWatcher, nullptr);
    EXPECT_EQ(::WaitForSingleObject(g_pWatcher->m_hThread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    StopWatcherForTest();
}

TEST(MainDialogModal, CloseStopsAndDestroysTheWatcherThenEndsTheDialog)
{
    ScriptedDlg dlg;
    HANDLE watcherThread = nullptr;
    dlg.action = [&](ScriptedDlg& d) {
        ASSERT_NE(g_pWatcher, nullptr);
        ::DuplicateHandle(::GetCurrentProcess(), g_pWatcher->m_hThread, ::GetCurrentProcess(), &watcherThread, 0,
                          FALSE, DUPLICATE_SAME_ACCESS);
        ::PostMessageA(d.m_hWnd, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(g_pWatcher, nullptr);
    ASSERT_NE(watcherThread, nullptr);
    EXPECT_EQ(::WaitForSingleObject(watcherThread, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "the thread has ended";
    ::CloseHandle(watcherThread);
}

TEST(MainDialogModal, ExitKillsTheAcceleratorTimerAndEndsTheDialog)
{
    ScriptedDlg dlg;
    dlg.action = [](ScriptedDlg& d) {
        ::SetTimer(d.m_hWnd, ACCEL_TIMER_ID, 100000, nullptr);
        ::SendMessageA(d.m_hWnd, WM_COMMAND, ID_TRAY_EXIT, 0);
        // KillTimer fails when the timer is already gone.
        d.timerAliveAfterExit = ::KillTimer(d.m_hWnd, ACCEL_TIMER_ID) != FALSE;
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(dlg.timerAliveAfterExit);
    StopWatcherForTest();
}

TEST(MainDialogModal, ReturnInEachEditRunsSearchAndNeverEndsTheDialog)
{
    ScriptedDlg dlg;
    int step = 0;
    const int fields[] = {IDC_SONG, IDC_LYRIC, IDC_ARTIST};
    std::vector<int> searchesAfter;
    dlg.action = [&](ScriptedDlg& d) {
        // Empty boxes: the real Search then asks no lyrics site.
        if (step == 0) {
            ::SetDlgItemTextA(d.m_hWnd, IDC_SONG, "");
            ::SetDlgItemTextA(d.m_hWnd, IDC_ARTIST, "");
        }
        if (step > 0) searchesAfter.push_back(d.searches);
        if (step == 3) {
            PostKey(::GetDlgItem(d.m_hWnd, IDC_SONG), VK_ESCAPE);
            return;
        }
        HWND field = ::GetDlgItem(d.m_hWnd, fields[step]);
        if (fields[step] == IDC_ARTIST) field = ::GetWindow(field, GW_CHILD);  // the combo's edit
        ::SetFocus(field);
        PostKey(field, VK_RETURN);
        ++step;
        // Look again once the key has gone its way (an edit hands Return to
        // the default button, which then sends the command).
        ::SetTimer(d.m_hWnd, kStepTimer, 200, nullptr);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL) << "only the final Escape ends it";
    StopWatcherForTest();
    ASSERT_EQ(searchesAfter.size(), 3u);
    EXPECT_EQ(searchesAfter[0], 1);
    EXPECT_EQ(searchesAfter[1], 2);
    EXPECT_EQ(searchesAfter[2], 3);
}

TEST_F(MainDialogTest, TheAboutBoxOpensFromTheSystemMenuButton1016AndTheTrayMenu)
{
    // The tray menu's own About item, as the menu resource gives it.
    HMENU menu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = ::GetSubMenu(menu, 0);
    UINT trayAbout = 0;
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
        char text[32] = {0};
        ::GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
        if (std::string(text) == "About") trayAbout = ::GetMenuItemID(popup, i);
    }
    ::DestroyMenu(menu);
    ASSERT_NE(trayAbout, 0u);

    struct Way {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } ways[] = {
        {"system menu", WM_SYSCOMMAND, IDM_ABOUTBOX, 0},
        {"button 1016", WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED), reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_ABOUT))},
        {"tray menu", WM_COMMAND, trayAbout, 0},
    };
    const DWORD ui = ::GetCurrentThreadId();
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        HWND about = nullptr;
        ScriptThread closer([&] {
            about = WaitThreadWindow(ui, "#32770", "About Songlark", 5000);
            if (about) ::PostMessageA(about, WM_COMMAND, IDOK, 0);
        });
        ::SendMessageA(hDlg, way.message, way.wParam, way.lParam);  // returns once the box has closed
        closer.Join(10000);
        EXPECT_NE(about, nullptr);
    }
}
