// The accelerator against the stand-in Kazaa (tools/fakekazaa.exe, a process
// of its own): discovery by title and control id, start and stop, the first
// start's swallowed request, what one pass sends and at what pace, overlapping
// passes and their cap, the empty tree with and without the shutdown flag, a
// count that fails or never comes, and the handles read as one. The cycle
// period is cut to one second and each item's pause to a tenth, so that a
// case takes seconds; the end-to-end test keeps the real 20 s.
#include "accel/Accelerator.h"
#include "app/SonglarkDlg.h"
#include "tests/win/AccelTestUtil.h"
#include "tests/win/AppTestUtil.h"
#include "tests/win/ShutdownRecorder.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

std::atomic<unsigned> g_itemSleeps{0};
std::atomic<DWORD> g_lastItemSleepMs{0};

void WINAPI TenthSleep(DWORD ms)
{
    ++g_itemSleeps;
    g_lastItemSleepMs = ms;
    ::Sleep(ms / 10);
}

class AccelDlg : public CSonglarkDlg {
public:
    using CSonglarkDlg::OnTimer;
    using CSonglarkDlg::StartAcceleration;
};

class AccelEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hKazaaMain = nullptr;
        g_hKazaaTree = nullptr;
        g_hKazaaPane = nullptr;
        g_nItemSeconds = 1;
        g_bShutdownWhenDone = FALSE;
        g_itemSleeps = 0;
        g_pfnAccelItemSleep = TenthSleep;
        ShutdownRecorder::Get().Install(VER_PLATFORM_WIN32_NT);
        ASSERT_TRUE(dlg.Create(nullptr));
        dlg.m_nCyclePeriod = 1;
        PumpMessages(30);
    }
    void TearDown() override
    {
        if (::IsWindow(dlg.m_hWnd)) {
            ::KillTimer(dlg.m_hWnd, ACCEL_TIMER_ID);
            ::DestroyWindow(dlg.m_hWnd);
        }
        StopWatcherForTest();
        g_bShutdownWhenDone = FALSE;
        g_nItemSeconds = 1;
    }

    void PressStartStop()
    {
        HWND button = dlg.GetDlgItem(IDC_START_ACCEL);
        ::SendMessageA(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_START_ACCEL, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    }
    // Presses the button while a second thread answers the message box it may show.
    std::string PressStartAnswering()
    {
        std::string prompt;
        const DWORD ui = ::GetCurrentThreadId();
        ScriptThread answer([&] { prompt = AnswerMessageBox(ui, 1500); });
        PressStartStop();
        answer.Join(5000);
        return prompt;
    }
    std::string Caption() { return WindowText(dlg.GetDlgItem(IDC_START_ACCEL)); }

    // Serves the dialog's timer until the stand-in has seen `n` messages of this kind.
    static bool WaitFor(const FakeKazaa& k, const char* window, const char* message, unsigned wParam, size_t n,
                        DWORD timeoutMs)
    {
        return PumpUntil([&] { return k.Filter(window, message, wParam).size() >= n; }, timeoutMs);
    }

    KazaaWindowsLock lock;  // first member: held until the dialog and every stand-in are gone
    AccelDlg dlg;
};

size_t IndexOf(const std::vector<KazaaEvent>& ev, const char* window, const char* message, unsigned wParam,
               size_t from = 0)
{
    for (size_t i = from; i < ev.size(); ++i)
        if (ev[i].window == window && ev[i].message == message && ev[i].wParam == wParam) return i;
    return ev.size();
}

}  // namespace

TEST_F(AccelEngineTest, OnePassSendsEachCommandOnceThenWalksEveryItemAtThePace)
{
    const int n = 4;
    FakeKazaa kazaa("Kazaa Media Desktop", n);
    ASSERT_TRUE(kazaa.Ready());
    g_nItemSeconds = 2;

    PressStartStop();
    EXPECT_EQ(Caption(), "Stop Acceleration");
    EXPECT_TRUE(dlg.m_bAccelerating);
    EXPECT_EQ(g_hKazaaMain.load(), kazaa.main);
    EXPECT_EQ(g_hKazaaTree.load(), kazaa.tree);
    EXPECT_EQ(g_hKazaaPane.load(), kazaa.pane) << "three parents above the tree";

    ASSERT_TRUE(WaitFor(kazaa, "tree", "WM_KEYUP", VK_DOWN, n, 10000));
    PressStartStop();  // stop before a second pass begins
    EXPECT_EQ(Caption(), "Start Acceleration");
    PumpMessages(300);

    const std::vector<KazaaEvent> ev = kazaa.Events();
    // Discovery's command, then one pass: the two cycle commands, the count,
    // Home, and per item the command with the row selected, then Down.
    EXPECT_EQ(kazaa.Filter("main", "WM_COMMAND", KAZAA_CMD_MAIN).size(), 2u);
    EXPECT_EQ(kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_PANE).size(), 1u);
    EXPECT_EQ(kazaa.Filter("tree", "TVM_GETCOUNT").size(), 1u);
    EXPECT_EQ(kazaa.Filter("tree", "WM_KEYDOWN", VK_HOME).size(), 1u);
    EXPECT_EQ(kazaa.Filter("tree", "WM_KEYUP", VK_HOME).size(), 1u);
    const std::vector<KazaaEvent> items = kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_ITEM);
    ASSERT_EQ(items.size(), static_cast<size_t>(n));
    EXPECT_EQ(kazaa.Filter("tree", "WM_KEYDOWN", VK_DOWN).size(), static_cast<size_t>(n));
    size_t commands = 0, keys = 0;
    for (const KazaaEvent& e : ev) {
        if (e.message == "WM_COMMAND") ++commands;
        if (e.message.compare(0, 3, "WM_") == 0 && e.message != "WM_COMMAND") ++keys;
        EXPECT_NE(e.window, "nest1");
        EXPECT_NE(e.window, "nest2");
    }
    EXPECT_EQ(commands, 2u + 1u + n) << "nothing else";
    EXPECT_EQ(keys, 2u + 2u * n);

    const size_t pane = IndexOf(ev, "pane", "WM_COMMAND", KAZAA_CMD_PANE);
    const size_t home = IndexOf(ev, "tree", "WM_KEYUP", VK_HOME);
    const size_t first = IndexOf(ev, "pane", "WM_COMMAND", KAZAA_CMD_ITEM);
    EXPECT_LT(IndexOf(ev, "main", "WM_COMMAND", KAZAA_CMD_MAIN, 1), pane);
    EXPECT_LT(home, first) << "Home is sent before the first item";
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(items[i].sel, i) << "item " << i << " is selected when its command comes";
        if (i > 0) {
            EXPECT_GE(items[i].tick - items[i - 1].tick, 190u) << "a tenth of 2 s between items";
        }
    }
    EXPECT_EQ(g_itemSleeps.load(), static_cast<unsigned>(n));
    EXPECT_EQ(g_lastItemSleepMs.load(), 2000u);
}

TEST_F(AccelEngineTest, ADelayOfZeroGivesNoPauseBetweenItems)
{
    const int n = 6;
    FakeKazaa kazaa("Kazaa Media Desktop", n);
    ASSERT_TRUE(kazaa.Ready());
    g_nItemSeconds = 0;
    g_pfnAccelItemSleep = ::Sleep;  // nothing to shorten

    PressStartStop();
    ASSERT_TRUE(WaitFor(kazaa, "tree", "WM_KEYUP", VK_DOWN, n, 10000));
    PressStartStop();
    const std::vector<KazaaEvent> items = kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_ITEM);
    ASSERT_EQ(items.size(), static_cast<size_t>(n));
    EXPECT_LT(items.back().tick - items.front().tick, 500u);
}

TEST_F(AccelEngineTest, FirstStartPassesOnePeriodLaterALaterStartAtOnce)
{
    FakeKazaa kazaa("Kazaa Media Desktop", 1);
    ASSERT_TRUE(kazaa.Ready());

    PressStartStop();
    const DWORD pressed = ::GetTickCount();
    ASSERT_TRUE(WaitFor(kazaa, "pane", "WM_COMMAND", KAZAA_CMD_PANE, 1, 5000));
    const DWORD firstPass = kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_PANE)[0].tick;
    EXPECT_GE(firstPass - pressed, 900u) << "the immediate request of the first start is swallowed";
    // The timer goes on: a second pass one period after the first.
    ASSERT_TRUE(WaitFor(kazaa, "pane", "WM_COMMAND", KAZAA_CMD_PANE, 2, 5000));
    PressStartStop();
    PumpMessages(200);

    const size_t before = kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_PANE).size();
    // Taken before the press: the pass may reach the stand-in before the
    // press returns, and the two processes' clocks tick apart by a millisecond.
    const DWORD again = ::GetTickCount();
    PressStartStop();
    ASSERT_TRUE(WaitFor(kazaa, "pane", "WM_COMMAND", KAZAA_CMD_PANE, before + 1, 5000));
    EXPECT_LT(static_cast<int>(kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_PANE)[before].tick - again), 500)
        << "a start after a stop passes at once";
    EXPECT_TRUE(dlg.StartAcceleration()) << "a start that finds the tree sets the timer";
}

TEST_F(AccelEngineTest, PassesOverlapWhenOneOutlastsThePeriodAndStopLetsTheRunningOneFinish)
{
    const int n = 8;  // 8 x 0.3 s: longer than the 1 s period
    FakeKazaa kazaa("Kazaa Media Desktop", n);
    ASSERT_TRUE(kazaa.Ready());
    g_nItemSeconds = 3;

    PressStartStop();
    ASSERT_TRUE(WaitFor(kazaa, "pane", "WM_COMMAND", KAZAA_CMD_PANE, 2, 8000));
    PressStartStop();  // stop while both passes walk
    const DWORD stopped = ::GetTickCount();
    EXPECT_LT(kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_ITEM).size(), 2u * n) << "stopped during a pass";
    ASSERT_TRUE(WaitFor(kazaa, "pane", "WM_COMMAND", KAZAA_CMD_ITEM, 2 * n, 10000)) << "running passes finish";
    PumpUntil([&] { return ::GetTickCount() - stopped > 2500; }, 5000);

    const std::vector<KazaaEvent> ev = kazaa.Events();
    const size_t secondPass = IndexOf(ev, "pane", "WM_COMMAND", KAZAA_CMD_PANE, IndexOf(ev, "pane", "WM_COMMAND", KAZAA_CMD_PANE) + 1);
    size_t itemsBeforeSecond = 0;
    for (size_t i = 0; i < secondPass; ++i)
        if (ev[i].window == "pane" && ev[i].wParam == KAZAA_CMD_ITEM) ++itemsBeforeSecond;
    EXPECT_LT(itemsBeforeSecond, static_cast<size_t>(n)) << "the second pass began inside the first";
    EXPECT_EQ(kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_PANE).size(), 2u) << "no pass after Stop";
    EXPECT_EQ(kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_ITEM).size(), 2u * n);
    EXPECT_EQ(kazaa.Filter("tree", "WM_KEYDOWN", VK_HOME).size(), 2u);
}

TEST_F(AccelEngineTest, AnEmptyTreeSendsOnlyTheCycleCommandsAndShutsDownOnlyWhenAsked)
{
    FakeKazaa kazaa("Kazaa Media Desktop", 0);
    ASSERT_TRUE(kazaa.Ready());

    PressStartStop();
    ASSERT_TRUE(WaitFor(kazaa, "pane", "WM_COMMAND", KAZAA_CMD_PANE, 2, 5000));
    EXPECT_TRUE(dlg.m_bAccelerating) << "an empty tree leaves the accelerator on";
    EXPECT_EQ(Caption(), "Stop Acceleration");
    EXPECT_EQ(ShutdownRecorder::Get().Count("ExitWindowsEx"), 0);

    // With the flag set, every pass that finds the tree empty asks once.
    g_bShutdownWhenDone = TRUE;
    const size_t before = kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_PANE).size();
    ASSERT_TRUE(WaitFor(kazaa, "pane", "WM_COMMAND", KAZAA_CMD_PANE, before + 2, 5000));
    PressStartStop();
    PumpMessages(300);
    const size_t passesWithFlag = kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_PANE).size() - before;
    EXPECT_EQ(ShutdownRecorder::Get().Count("ExitWindowsEx"), static_cast<int>(passesWithFlag));

    EXPECT_EQ(kazaa.Filter("tree", "WM_KEYDOWN").size(), 0u);
    EXPECT_EQ(kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_ITEM).size(), 0u);
    EXPECT_EQ(g_itemSleeps.load(), 0u);
}

TEST_F(AccelEngineTest, TitlesMustBeginWithKazaaInThatCapitalisation)
{
    {
        FakeKazaa other("kazaa x");
        ASSERT_TRUE(other.Ready());
        EXPECT_EQ(PressStartAnswering(), "Kazaa is not running now, please run it.\r\n");
        EXPECT_EQ(Caption(), "Start Acceleration");
        EXPECT_FALSE(dlg.m_bAccelerating);
        EXPECT_EQ(g_hKazaaTree.load(), nullptr);
        PumpMessages(1300);  // no timer was set: nothing comes
        EXPECT_TRUE(other.Events().empty());
    }
    for (const char* title : {"Kazaa", "Kazaa-something"}) {
        SCOPED_TRACE(title);
        FakeKazaa kazaa(title, 2);
        ASSERT_TRUE(kazaa.Ready());
        EXPECT_EQ(PressStartAnswering(), "");
        EXPECT_TRUE(dlg.m_bAccelerating);
        EXPECT_EQ(g_hKazaaTree.load(), kazaa.tree);
        EXPECT_TRUE(WaitFor(kazaa, "main", "WM_COMMAND", KAZAA_CMD_MAIN, 1, 3000));
        PressStartStop();
    }
}

TEST_F(AccelEngineTest, EveryMatchingWindowHearsDiscoveryAndTheOneWithTheTreeIsUsed)
{
    FakeKazaa withTree("Kazaa Media Desktop", 2);
    FakeKazaa without("Kazaa Lite", 2, 374);
    ASSERT_TRUE(withTree.Ready());
    ASSERT_TRUE(without.Ready());
    // The one without control 373 comes first in the enumeration.
    ::SetWindowPos(without.main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND firstKazaa = nullptr;
    for (HWND h = ::GetTopWindow(nullptr); h && !firstKazaa; h = ::GetWindow(h, GW_HWNDNEXT))
        if (h == without.main || h == withTree.main) firstKazaa = h;
    ASSERT_EQ(firstKazaa, without.main);

    PressStartStop();
    EXPECT_EQ(g_hKazaaMain.load(), withTree.main);
    EXPECT_EQ(g_hKazaaTree.load(), withTree.tree);
    ASSERT_TRUE(WaitFor(withTree, "pane", "WM_COMMAND", KAZAA_CMD_ITEM, 2, 5000));
    PressStartStop();
    PumpMessages(200);
    EXPECT_EQ(without.Filter("main", "WM_COMMAND", KAZAA_CMD_MAIN).size(), 1u) << "discovery only";
    EXPECT_EQ(without.Events().size(), 1u);
    EXPECT_EQ(withTree.Filter("main", "WM_COMMAND", KAZAA_CMD_MAIN).size(), 2u);
}

namespace {

// A Kazaa window on a thread of this process, whose title reads as empty the
// first time discovery asks for it: the first search at start fails, the
// second finds the tree (a window of the same process answers GetWindowText
// through WM_GETTEXT).
struct LateKazaa {
    std::atomic<bool> armed{false};
    std::atomic<int> titleReads{0};
    std::atomic<HWND> main{nullptr};
    std::atomic<HWND> tree{nullptr};
    DWORD threadId = 0;

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        auto* self = reinterpret_cast<LateKazaa*>(::GetWindowLongPtrA(h, GWLP_USERDATA));
        if (m == WM_GETTEXT && self && self->armed && self->main == h && ++self->titleReads == 1) {
            if (w > 0) reinterpret_cast<char*>(l)[0] = '\0';
            return 0;
        }
        return ::DefWindowProcA(h, m, w, l);
    }
    void Run()
    {
        threadId = ::GetCurrentThreadId();
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "LateKazaa";
        ::RegisterClassA(&wc);
        HWND top = ::CreateWindowExA(0, "LateKazaa", "Kazaa Late", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                     wc.hInstance, nullptr);
        HWND pane = ::CreateWindowExA(0, "LateKazaa", "", WS_CHILD, 0, 0, 40, 40, top, nullptr, wc.hInstance, nullptr);
        HWND n1 = ::CreateWindowExA(0, "LateKazaa", "", WS_CHILD, 0, 0, 30, 30, pane, nullptr, wc.hInstance, nullptr);
        HWND n2 = ::CreateWindowExA(0, "LateKazaa", "", WS_CHILD, 0, 0, 20, 20, n1, nullptr, wc.hInstance, nullptr);
        HWND t = ::CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD, 0, 0, 10, 10, n2,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(KAZAA_TREE_ID)), wc.hInstance, nullptr);
        for (HWND h : {top, pane, n1, n2}) ::SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        tree = t;
        main = top;
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
        ::DestroyWindow(top);
    }
};

}  // namespace

TEST_F(AccelEngineTest, WhenOnlyTheSecondSearchFindsTheTreeTheTimerRunsToo)
{
    LateKazaa late;
    ScriptThread thread([&] { late.Run(); });
    ASSERT_TRUE(PumpUntil([&] { return late.main.load() != nullptr; }, 5000));
    late.armed = true;

    EXPECT_EQ(PressStartAnswering(), "");
    EXPECT_EQ(late.titleReads.load(), 2) << "one failed search, one that found the window";
    EXPECT_EQ(g_hKazaaTree.load(), late.tree.load());
    EXPECT_TRUE(dlg.m_bAccelerating);
    EXPECT_EQ(Caption(), "Stop Acceleration");
    EXPECT_TRUE(::KillTimer(dlg.m_hWnd, ACCEL_TIMER_ID)) << "the cycle timer is set";

    ::PostThreadMessageA(late.threadId, WM_QUIT, 0, 0);
}

TEST_F(AccelEngineTest, ACountThatFailsOrNeverComesIsUnknownNotAnEmptyTree)
{
    // With the flag on, a tree that answers 0 shuts the computer down (above);
    // one that does not answer within the bound, or whose count fails (here a
    // tree that has gone; on Windows also an elevated Kazaa refusing our
    // messages), is walked by no pass and shuts nothing down.
    g_bShutdownWhenDone = TRUE;
    {
        FakeKazaa hung("Kazaa Media Desktop", 2, KAZAA_TREE_ID, static_cast<int>(kKazaaCountTimeoutMs) + 1000);
        ASSERT_TRUE(hung.Ready());
        FindKazaaWindows();
        ASSERT_EQ(g_hKazaaTree.load(), hung.tree);
        AccelerateCycleProc(nullptr);
        EXPECT_EQ(hung.Filter("tree", "TVM_GETCOUNT").size(), 1u);
        EXPECT_EQ(hung.Filter("tree", "WM_KEYDOWN").size(), 0u) << "no Home after a count that never came";
    }
    {
        {
            FakeKazaa gone("Kazaa Media Desktop", 2);
            ASSERT_TRUE(gone.Ready());
            ForgetKazaaTree();
            FindKazaaWindows();
            ASSERT_EQ(g_hKazaaTree.load(), gone.tree);
        }
        ASSERT_FALSE(::IsWindow(g_hKazaaTree));
        AccelerateCycleProc(nullptr);
    }
    EXPECT_EQ(ShutdownRecorder::Get().Count("ExitWindowsEx"), 0);
    EXPECT_EQ(g_itemSleeps.load(), 0u);
}

TEST_F(AccelEngineTest, AKazaaThatStopsAnsweringNeitherHoldsAPassNorKeepsTheAcceleratorOnIt)
{
    // Hung after answering the count: the pass gives up on Home within its bound.
    {
        FakeKazaa hangsOnHome("Kazaa Media Desktop", 2, KAZAA_TREE_ID, 0, 30000);
        ASSERT_TRUE(hangsOnHome.Ready());
        FindKazaaWindows();
        ASSERT_EQ(g_hKazaaTree.load(), hangsOnHome.tree);
        const DWORD start = ::GetTickCount();
        AccelerateCycleProc(nullptr);
        EXPECT_LT(::GetTickCount() - start, 2 * kKazaaCountTimeoutMs + 3000);
        EXPECT_EQ(g_itemSleeps.load(), 0u) << "no item walked past a Home that was not taken";
    }

    // Counts that fail three ticks in a row: the next tick looks for Kazaa
    // again and drives the one it finds (the live one, brought to the top).
    FakeKazaa hung("Kazaa Media Desktop", 2, KAZAA_TREE_ID, static_cast<int>(kKazaaCountTimeoutMs) + 500);
    ASSERT_TRUE(hung.Ready());
    ForgetKazaaTree();
    FindKazaaWindows();
    ASSERT_EQ(g_hKazaaTree.load(), hung.tree);
    FakeKazaa live("Kazaa Media Desktop", 2);
    ASSERT_TRUE(live.Ready());
    dlg.m_bSkipNextTick = FALSE;
    for (int tick = 0; tick < kCountFailuresBeforeSearch; ++tick) {
        dlg.OnTimer(ACCEL_TIMER_ID);
        EXPECT_EQ(g_hKazaaTree.load(), hung.tree) << "tick " << tick;
        ASSERT_TRUE(PumpUntil([] { return AcceleratePassesAlive() == 0; }, 20000));
    }
    ::SetWindowPos(live.main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    dlg.OnTimer(ACCEL_TIMER_ID);
    EXPECT_EQ(g_hKazaaTree.load(), live.tree);
    EXPECT_TRUE(WaitFor(live, "pane", "WM_COMMAND", KAZAA_CMD_ITEM, 2, 10000)) << "the live Kazaa is driven";
    ASSERT_TRUE(PumpUntil([] { return AcceleratePassesAlive() == 0; }, 20000));
}

namespace {

// The stack the calling thread has reserved (Windows 8 and Wine have the call).
size_t StackReservation()
{
    using LimitsFn = void(WINAPI*)(PULONG_PTR, PULONG_PTR);
    static const auto limits = reinterpret_cast<LimitsFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetCurrentThreadStackLimits")));
    ULONG_PTR low = 0, high = 0;
    if (limits) limits(&low, &high);
    return static_cast<size_t>(high - low);
}

HANDLE g_releasePasses = nullptr;
std::atomic<size_t> g_passStackBytes{0};

// Keeps every pass in its first item's pause until the test lets them go.
void WINAPI HeldSleep(DWORD)
{
    g_passStackBytes = StackReservation();
    ::WaitForSingleObject(g_releasePasses, 30000);
}

unsigned __stdcall MeasureDefaultStack(void* bytes)
{
    *static_cast<size_t*>(bytes) = StackReservation();
    return 0;
}

}  // namespace

TEST_F(AccelEngineTest, PassesReserveASmallStackAndATickAtTheCapStartsNone)
{
    FakeKazaa kazaa("Kazaa Media Desktop", 1);
    ASSERT_TRUE(kazaa.Ready());
    g_releasePasses = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    struct Release {
        ~Release() { ::SetEvent(g_releasePasses); }
    } releaseOnExit;
    g_pfnAccelItemSleep = HeldSleep;
    FindKazaaWindows();
    ASSERT_EQ(g_hKazaaTree.load(), kazaa.tree);
    dlg.m_bSkipNextTick = FALSE;

    for (int i = 0; i < kMaxPassesAlive + 3; ++i) dlg.OnTimer(ACCEL_TIMER_ID);
    ASSERT_TRUE(WaitFor(kazaa, "pane", "WM_COMMAND", KAZAA_CMD_ITEM, kMaxPassesAlive, 10000));
    PumpMessages(300);
    EXPECT_EQ(kazaa.Filter("pane", "WM_COMMAND", KAZAA_CMD_PANE).size(), static_cast<size_t>(kMaxPassesAlive))
        << "the ticks that found the cap reached started none";
    EXPECT_EQ(AcceleratePassesAlive(), kMaxPassesAlive);

    size_t defaultBytes = 0;
    HANDLE plain =
        reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, MeasureDefaultStack, &defaultBytes, 0, nullptr));
    ASSERT_NE(plain, nullptr);
    ::WaitForSingleObject(plain, 10000);
    ::CloseHandle(plain);
    EXPECT_LT(g_passStackBytes.load(), defaultBytes) << "a pass reserves less than a thread's default stack";
    std::printf("stack reserved: pass %lu bytes, default thread %lu bytes\n",
                static_cast<unsigned long>(g_passStackBytes.load()), static_cast<unsigned long>(defaultBytes));

    ::SetEvent(g_releasePasses);
    ASSERT_TRUE(PumpUntil([] { return AcceleratePassesAlive() == 0; }, 10000));
    dlg.OnTimer(ACCEL_TIMER_ID);
    EXPECT_TRUE(WaitFor(kazaa, "pane", "WM_COMMAND", KAZAA_CMD_PANE, kMaxPassesAlive + 1, 5000))
        << "a tick starts a pass again once the passes have ended";
    ASSERT_TRUE(PumpUntil([] { return AcceleratePassesAlive() == 0; }, 10000));
}

namespace {

// A window, its pane three parents up and a control 373 below them, as
// discovery meets Kazaa's.
struct TreeChain {
    HWND top, pane, tree;
};

TreeChain MakeTreeChain()
{
    const HINSTANCE inst = ::GetModuleHandleA(nullptr);
    TreeChain c{};
    c.top = ::CreateWindowExA(0, "STATIC", "chain", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, inst, nullptr);
    c.pane = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 40, 40, c.top, nullptr, inst, nullptr);
    HWND n1 = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 30, 30, c.pane, nullptr, inst, nullptr);
    HWND n2 = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 20, 20, n1, nullptr, inst, nullptr);
    c.tree = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, n2,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(KAZAA_TREE_ID)), inst, nullptr);
    return c;
}

}  // namespace

TEST(AccelWindows, APassReadsTheHandlesOfOneDiscoveryNeverHalfOfARestart)
{
    const TreeChain a = MakeTreeChain(), b = MakeTreeChain();
    ASSERT_TRUE(a.tree && b.tree);
    std::atomic<bool> done{false};
    std::atomic<long> reads{0}, mixed{0};
    ScriptThread pass([&] {
        while (!done) {
            const KazaaWindows w = ReadKazaaWindows();
            const bool whole = w.hTree == nullptr ? w.hPane == nullptr
                                                  : (w.hTree == a.tree && w.hPane == a.pane) ||
                                                        (w.hTree == b.tree && w.hPane == b.pane);
            if (!whole) ++mixed;
            ++reads;
        }
    });
    // Restart after restart, each finding the other chain's tree, for half a
    // second and until the pass has read many times.
    const DWORD start = ::GetTickCount();
    for (int i = 0; (::GetTickCount() - start < 500 || reads < 10000) && ::GetTickCount() - start < 5000; ++i) {
        ForgetKazaaTree();
        EnumKazaaChildProc(i % 2 ? b.tree : a.tree, 0);
    }
    done = true;
    ASSERT_TRUE(pass.Join(5000));
    EXPECT_GE(reads.load(), 10000);
    EXPECT_EQ(mixed.load(), 0) << "of " << reads.load() << " reads";
    ForgetKazaaTree();
    ::DestroyWindow(a.top);
    ::DestroyWindow(b.top);
}
