// The tray icon: what Create hands the shell and what destruction takes back,
// the callback's routing, the double click's default command, the popup's
// default item and position, the "TaskbarCreated" re-add, and the main
// dialog without an icon. The shell calls go to Wine's real notification
// area unless a case makes the shell refuse.
#include "app/SonglarkDlg.h"
#include "tests/win/AccelTestUtil.h"
#include "tests/win/AppTestUtil.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct NotifyCall {
    DWORD message;
    NOTIFYICONDATAA data;
};

// Records the tray's shell and menu calls, passing them on unless told not to.
struct TrayRecorder {
    std::vector<NotifyCall> notifies;
    bool refuseAdd = false;
    int menuLoads = 0;
    bool realPopup = false;
    UINT chooseCommand = 0;  // the seam's popup "chooses" this command
    int popups = 0;
    UINT popupDefault = 0;
    UINT popupFlags = ~0u;
    POINT popupAt{};
    HWND popupOwner = nullptr;
    std::vector<std::string> popupItems;

    static TrayRecorder* s_current;

    static BOOL WINAPI Notify(DWORD message, PNOTIFYICONDATAA data)
    {
        s_current->notifies.push_back({message, *data});
        if (message == NIM_ADD && s_current->refuseAdd) return FALSE;
        return ::Shell_NotifyIconA(message, data);
    }
    static HMENU WINAPI LoadMenu(HINSTANCE inst, LPCSTR name)
    {
        ++s_current->menuLoads;
        return ::LoadMenuA(inst, name);
    }
    static BOOL WINAPI Track(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect)
    {
        TrayRecorder& r = *s_current;
        ++r.popups;
        r.popupDefault = ::GetMenuDefaultItem(menu, FALSE, 0);
        r.popupFlags = flags;
        r.popupAt = POINT{x, y};
        r.popupOwner = owner;
        r.popupItems.clear();
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            char text[32] = {0};
            ::GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            r.popupItems.push_back(std::to_string(static_cast<int>(::GetMenuItemID(menu, i))) + " " + text);
        }
        if (r.realPopup) return ::TrackPopupMenu(menu, flags, x, y, reserved, owner, rect);
        // A choice reaches the owner as a menu command would.
        if (r.chooseCommand) ::PostMessageA(owner, WM_COMMAND, r.chooseCommand, 0);
        return TRUE;
    }

    size_t Count(DWORD message) const
    {
        size_t n = 0;
        for (const NotifyCall& c : notifies) n += c.message == message;
        return n;
    }
};
TrayRecorder* TrayRecorder::s_current = nullptr;

class TestTray : public CSystemTray {
public:
    using CSystemTray::m_bDefaultByPos;
    using CSystemTray::m_nid;
    using CSystemTray::m_uDefaultItem;
};

// The main dialog, recording the tray commands that reach it.
class TrayDlg : public CSonglarkDlg {
public:
    std::vector<UINT> commands;
    BOOL initResult = 0;
    bool timerAliveAfterExit = true;
    std::function<void(TrayDlg&)> onStart;

protected:
    BOOL OnInitDialog() override
    {
        initResult = CSonglarkDlg::OnInitDialog();
        if (onStart) ::PostMessageA(m_hWnd, WM_APP, 0, 0);
        return initResult;
    }
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message == WM_APP && onStart) {
            onStart(*this);
            return true;
        }
        const bool trayCommand = message == WM_COMMAND && HIWORD(wParam) == 0 && LOWORD(wParam) >= ID_TRAY_EXIT;
        if (trayCommand) commands.push_back(LOWORD(wParam));
        const bool handled = CSonglarkDlg::ProcessMessage(message, wParam, lParam, result);
        if (trayCommand && LOWORD(wParam) == ID_TRAY_EXIT)
            timerAliveAfterExit = ::KillTimer(m_hWnd, ACCEL_TIMER_ID) != FALSE;
        return handled;
    }
};

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TrayRecorder::s_current = &rec;
        g_trayApi = TrayApi{TrayRecorder::Notify, TrayRecorder::LoadMenu, TrayRecorder::Track};
    }
    void TearDown() override
    {
        if (dlg.m_hWnd && ::IsWindow(dlg.m_hWnd)) ::DestroyWindow(dlg.m_hWnd);
        StopWatcherForTest();
        g_trayApi = TrayApi{::Shell_NotifyIconA, ::LoadMenuA, ::TrackPopupMenu};
    }
    void OpenDialog()
    {
        ASSERT_TRUE(dlg.Create(nullptr));
        PumpMessages(30);
    }
    LRESULT Notify(WPARAM id, UINT mouse) { return ::SendMessageA(dlg.m_hWnd, WM_TRAYNOTIFY, id, mouse); }

    TrayRecorder rec;
    TrayDlg dlg;
};

const UINT kTaskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");

}  // namespace

TEST_F(TrayTest, CreateHandsTheShellTheFirstRecordAndDestructionTakesTheIconBack)
{
    HWND parent = ::CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    HWND own = nullptr;
    {
        TestTray tray;
        CWnd parentWnd;
        parentWnd.m_hWnd = parent;
        ASSERT_TRUE(tray.Create(&parentWnd, WM_TRAYNOTIFY, "Swiftlane", icon, IDR_TRAY_MENU));
        parentWnd.m_hWnd = nullptr;
        EXPECT_TRUE(tray.IsIconShown());
        ASSERT_EQ(rec.notifies.size(), 1u);
        const NOTIFYICONDATAA& d = rec.notifies[0].data;
        EXPECT_EQ(rec.notifies[0].message, static_cast<DWORD>(NIM_ADD));
        // The first record's layout, which every shell reads: up to the
        // 64-byte tooltip, 88 bytes with 32-bit handles, 104 with 64-bit ones.
        EXPECT_EQ(d.cbSize, sizeof(void*) == 4 ? 88u : 104u);
        EXPECT_EQ(d.hWnd, parent) << "the parent receives the callbacks";
        EXPECT_EQ(d.uID, static_cast<UINT>(IDR_TRAY_MENU));
        EXPECT_EQ(d.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(d.uCallbackMessage, WM_TRAYNOTIFY);
        EXPECT_EQ(d.hIcon, icon);
        EXPECT_STREQ(d.szTip, "Swiftlane");

        // Its own window: hidden, a top-level popup, so that it hears the
        // shell's broadcast.
        own = tray.m_hWnd;
        ASSERT_TRUE(::IsWindow(own));
        EXPECT_FALSE(::IsWindowVisible(own));
        EXPECT_TRUE(::GetWindowLongA(own, GWL_STYLE) & WS_POPUP);
        EXPECT_EQ(::GetAncestor(own, GA_PARENT), ::GetDesktopWindow());
    }
    ASSERT_EQ(rec.notifies.size(), 2u);
    EXPECT_EQ(rec.notifies[1].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(rec.notifies[1].data.uFlags, 0u);
    EXPECT_EQ(rec.notifies[1].data.uID, static_cast<UINT>(IDR_TRAY_MENU));
    EXPECT_FALSE(::IsWindow(own));
    ::DestroyWindow(parent);
}

TEST_F(TrayTest, WithoutAParentTheOwnWindowHearsTheCallbackAndLongTipsAreCut)
{
    const std::string longTip(80, 'x');
    TestTray tray;
    ASSERT_TRUE(tray.Create(nullptr, WM_TRAYNOTIFY, longTip.c_str(), nullptr, IDR_TRAY_MENU));
    EXPECT_EQ(tray.m_nid.hWnd, tray.m_hWnd);
    EXPECT_EQ(std::string(tray.m_nid.szTip), longTip.substr(0, 63));
    EXPECT_EQ(::SendMessageA(tray.m_hWnd, WM_TRAYNOTIFY, IDR_TRAY_MENU, WM_MOUSEMOVE), 1);
    EXPECT_EQ(::SendMessageA(tray.m_hWnd, WM_TRAYNOTIFY, IDR_TRAY_MENU + 1, WM_LBUTTONDBLCLK), 0);
}

TEST_F(TrayTest, OnlyItsOwnIdAndTheTwoMouseActionsDoAnything)
{
    OpenDialog();
    EXPECT_TRUE(dlg.m_trayIcon.IsIconShown());
    EXPECT_EQ(Notify(7, WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(Notify(7, WM_RBUTTONUP), 0);
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE})
        EXPECT_EQ(Notify(IDR_TRAY_MENU, mouse), 1) << mouse;
    PumpMessages(50);
    EXPECT_TRUE(dlg.commands.empty());
    EXPECT_EQ(rec.popups, 0);
}

TEST_F(TrayTest, DoubleClickBringsTheDialogForwardAndShowsItAtOnce)
{
    OpenDialog();
    HWND other = ::CreateWindowExA(0, "Static", "other", WS_POPUP | WS_VISIBLE, 400, 400, 50, 50, nullptr, nullptr,
                                   nullptr, nullptr);
    ::SendMessageA(dlg.m_hWnd, WM_COMMAND, ID_TRAY_HIDE, 0);
    ::SetForegroundWindow(other);
    ASSERT_FALSE(::IsWindowVisible(dlg.m_hWnd));

    EXPECT_EQ(Notify(IDR_TRAY_MENU, WM_LBUTTONDBLCLK), 1);
    // Sent, not posted: Show has run before the call returns.
    EXPECT_EQ(dlg.commands, (std::vector<UINT>{ID_TRAY_HIDE, ID_TRAY_SHOW}));
    EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd));
    EXPECT_EQ(::GetForegroundWindow(), dlg.m_hWnd);
    ::DestroyWindow(other);
}

TEST_F(TrayTest, MinimisedTheDialogHidesAndTheIconBringsItBackRestored)
{
    OpenDialog();
    ::SendMessageA(dlg.m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PumpMessages(50);
    EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));
    Notify(IDR_TRAY_MENU, WM_LBUTTONDBLCLK);
    PumpMessages(50);
    EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd));
    EXPECT_FALSE(::IsIconic(dlg.m_hWnd));
}

TEST_F(TrayTest, TheDefaultItemIsStoredAndAppliedEachTimeThePopupOpens)
{
    {
        TestTray fresh;
        EXPECT_TRUE(fresh.SetDefaultMenuItem(0, TRUE));
        EXPECT_EQ(rec.menuLoads, 0) << "the stored pair already says so";
    }
    OpenDialog();
    ::SetCursorPos(300, 200);
    EXPECT_EQ(Notify(IDR_TRAY_MENU, WM_RBUTTONUP), 1);
    EXPECT_EQ(rec.popups, 1);
    EXPECT_EQ(rec.popupDefault, static_cast<UINT>(ID_TRAY_SHOW)) << "by position 0 from the dialog's start";
    EXPECT_EQ(rec.popupItems, (std::vector<std::string>{"32777 Show", "32778 Hide", "0 ", "32773 About", "0 ",
                                                        "32772 Exit"}));
    EXPECT_EQ(rec.popupFlags, 0u);
    EXPECT_EQ(rec.popupOwner, dlg.m_hWnd);
    POINT cursor;
    ::GetCursorPos(&cursor);
    EXPECT_EQ(rec.popupAt.x, cursor.x);
    EXPECT_EQ(rec.popupAt.y, cursor.y);

    EXPECT_TRUE(dlg.m_trayIcon.SetDefaultMenuItem(ID_TRAY_HIDE, FALSE));
    rec.menuLoads = 0;
    EXPECT_EQ(Notify(IDR_TRAY_MENU, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(dlg.commands, std::vector<UINT>{ID_TRAY_HIDE});
    EXPECT_EQ(rec.menuLoads, 0) << "a command id needs no menu";
    EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));

    Notify(IDR_TRAY_MENU, WM_RBUTTONUP);
    EXPECT_EQ(rec.popupDefault, static_cast<UINT>(ID_TRAY_HIDE));
}

TEST_F(TrayTest, AMissingMenuShowsNothing)
{
    TestTray tray;
    ASSERT_TRUE(tray.Create(nullptr, WM_TRAYNOTIFY, "x", nullptr, 999));
    EXPECT_EQ(tray.HandleTrayMessage(999, WM_RBUTTONUP), 0);
    EXPECT_EQ(tray.HandleTrayMessage(999, WM_LBUTTONDBLCLK), 0);
    EXPECT_FALSE(tray.SetDefaultMenuItem(1, TRUE));
    EXPECT_EQ(tray.m_uDefaultItem, 1u) << "the new pair stays stored";
    EXPECT_EQ(rec.popups, 0);
}

namespace {

void ClickAt(int x, int y)
{
    ::SetCursorPos(x, y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, in, sizeof(INPUT));
}

}  // namespace

TEST_F(TrayTest, TheRealPopupOpensAtTheCursorAClickOutsideChoosesNothingAndHideIsChosen)
{
    OpenDialog();
    rec.realPopup = true;
    const DWORD ui = ::GetCurrentThreadId();
    // Opens the real popup and lets `user` act on its menu window; true when
    // the popup went away by itself afterwards.
    auto popup = [&](const std::function<void(HWND, HMENU)>& user) {
        bool closed = false;
        ScriptThread thread([&] {
            HWND menu = WaitThreadWindow(ui, "#32768", nullptr, 5000);
            if (!menu) return;
            user(menu, reinterpret_cast<HMENU>(::SendMessageA(menu, MN_GETHMENU, 0, 0)));
            const DWORD start = ::GetTickCount();
            while (::IsWindowVisible(menu) && ::GetTickCount() - start < 3000) ::Sleep(20);
            closed = !::IsWindowVisible(menu);
            if (!closed) ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        EXPECT_EQ(Notify(IDR_TRAY_MENU, WM_RBUTTONUP), 1);
        thread.Join(10000);
        return closed;
    };

    // Wine moves the X pointer asynchronously: the motion of an earlier move
    // can land after this one, so move again until the position holds.
    POINT cursor{};
    PumpUntil([&] {
        ::SetCursorPos(500, 300);
        PumpMessages(50);
        ::GetCursorPos(&cursor);
        return cursor.x == 500 && cursor.y == 300;
    }, 3000);
    RECT menuRect{};
    UINT menuDefault = 0;
    EXPECT_TRUE(popup([&](HWND menu, HMENU hMenu) {
        ::GetWindowRect(menu, &menuRect);
        menuDefault = ::GetMenuDefaultItem(hMenu, FALSE, 0);
        ClickAt(menuRect.right + 200, menuRect.bottom + 200);
    }));
    PumpMessages(100);
    EXPECT_EQ(cursor.x, 500);
    EXPECT_EQ(cursor.y, 300);
    EXPECT_EQ(menuRect.left, cursor.x) << "the popup's corner is at the cursor";
    EXPECT_EQ(menuRect.top, cursor.y);
    EXPECT_EQ(menuDefault, static_cast<UINT>(ID_TRAY_SHOW)) << "drawn bold";
    EXPECT_TRUE(dlg.commands.empty()) << "dismissing sends nothing";

    // The desktop is shared with the tests that ctest runs beside this one,
    // and a window of theirs that takes the foreground closes an open menu:
    // a choice that came to nothing is made again.
    for (int attempt = 0; attempt < 3 && dlg.commands.empty(); ++attempt) {
        EXPECT_TRUE(popup([](HWND, HMENU hMenu) {
            RECT item{};
            ::GetMenuItemRect(nullptr, hMenu, 1, &item);
            ClickAt((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        }));
        PumpUntil([&] { return !dlg.commands.empty(); }, 2000);
    }
    EXPECT_EQ(dlg.commands, std::vector<UINT>{ID_TRAY_HIDE});
    EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));
}

TEST_F(TrayTest, ExitFromTheMenuKillsTheAcceleratorTimerAndEndsTheDialog)
{
    rec.chooseCommand = ID_TRAY_EXIT;
    dlg.onStart = [](TrayDlg& d) {
        ::SetTimer(d.m_hWnd, ACCEL_TIMER_ID, 100000, nullptr);
        ::SendMessageA(d.m_hWnd, WM_TRAYNOTIFY, IDR_TRAY_MENU, WM_RBUTTONUP);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.commands, std::vector<UINT>{ID_TRAY_EXIT});
    EXPECT_FALSE(dlg.timerAliveAfterExit);
}

TEST_F(TrayTest, TaskbarCreatedPutsTheIconBackUntilItIsDeleted)
{
    OpenDialog();
    HWND own = dlg.m_trayIcon.m_hWnd;
    rec.notifies.clear();
    // Wine's shell still holds the icon: the add fails and a modify keeps it.
    ::SendMessageA(own, kTaskbarCreated, 0, 0);
    ASSERT_GE(rec.notifies.size(), 1u);
    EXPECT_EQ(rec.notifies[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(rec.notifies[0].data.uID, static_cast<UINT>(IDR_TRAY_MENU));
    EXPECT_EQ(rec.notifies[0].data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_TRUE(dlg.m_trayIcon.IsIconShown());

    // A new shell without the icon: the add alone does it.
    dlg.m_trayIcon.DeleteIcon();
    rec.notifies.clear();
    {
        TestTray other;
        rec.refuseAdd = true;
        ASSERT_FALSE(other.Create(nullptr, WM_TRAYNOTIFY, "later", nullptr, IDR_TRAY_MENU));
        rec.refuseAdd = false;
        rec.notifies.clear();
        ::SendMessageA(other.m_hWnd, kTaskbarCreated, 0, 0);
        EXPECT_EQ(rec.notifies.size(), 1u);
        EXPECT_TRUE(other.IsIconShown()) << "the shell came up after the program";
    }

    rec.notifies.clear();
    ::SendMessageA(own, kTaskbarCreated, 0, 0);
    EXPECT_TRUE(rec.notifies.empty()) << "a deleted icon stays away";
    EXPECT_FALSE(dlg.m_trayIcon.IsIconShown());
}

TEST_F(TrayTest, WithoutTheIconTheDialogOpensAndMinimisingKeepsItInTheTaskbar)
{
    rec.refuseAdd = true;
    OpenDialog();
    EXPECT_EQ(dlg.initResult, -1);
    EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd));
    EXPECT_FALSE(dlg.m_trayIcon.IsIconShown());

    ::SendMessageA(dlg.m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PumpMessages(50);
    EXPECT_TRUE(::IsIconic(dlg.m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd)) << "nothing could show it again";
}
