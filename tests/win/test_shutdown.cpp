// ShutdownComputer through its recorded system calls: the Windows 95 family
// waits a second and forces a shutdown, every other family enables the
// shutdown privilege and asks for a planned power-off; no family types keys.
#include "accel/Accelerator.h"
#include "tests/win/ShutdownRecorder.h"
#include "tests/win/AccelTestUtil.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

std::atomic<int> g_keyEvents{0};

LRESULT CALLBACK CountKeys(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) ++g_keyEvents;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs the shutdown on a thread of its own, as a pass does, and counts the
// keyboard events that reach the system meanwhile.
int RunShutdownCountingKeys()
{
    g_keyEvents = 0;
    HHOOK hook = ::SetWindowsHookExA(WH_KEYBOARD_LL, CountKeys, ::GetModuleHandleA(nullptr), 0);
    {
        ScriptThread worker([] { ShutdownComputer(); });
        EXPECT_TRUE(worker.Join(10000));
    }
    PumpMessages(100);
    if (hook) ::UnhookWindowsHookEx(hook);
    return g_keyEvents;
}

}  // namespace

TEST(Shutdown, Windows95FamilyPausesOneSecondThenForcesTheShutdown)
{
    ShutdownRecorder::Get().Install(VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_EQ(RunShutdownCountingKeys(), 0);
    const std::vector<std::string> want = {"GetVersionEx 148", "Sleep 1000", "ExitWindowsEx 5 0"};
    EXPECT_EQ(ShutdownRecorder::Get().Calls(), want);
}

TEST(Shutdown, OtherFamiliesEnableThePrivilegeAndAskForAPlannedPowerOff)
{
    const std::string access = std::to_string(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY);
    const std::string exitCall = "ExitWindowsEx " + std::to_string(EWX_SHUTDOWN | EWX_POWEROFF | EWX_FORCEIFHUNG) +
                                 " " + std::to_string(SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED);
    for (DWORD family : {DWORD(VER_PLATFORM_WIN32_NT), DWORD(VER_PLATFORM_WIN32s)}) {
        SCOPED_TRACE("platform " + std::to_string(family));
        ShutdownRecorder::Get().Install(family);
        EXPECT_EQ(RunShutdownCountingKeys(), 0) << "no keystrokes";
        const std::vector<std::string> want = {
            "GetVersionEx 148",
            "OpenProcessToken self " + access,
            "LookupPrivilegeValue local SeShutdownPrivilege",
            "AdjustTokenPrivileges token 0 1 luid 19 attr " + std::to_string(SE_PRIVILEGE_ENABLED),
            "CloseHandle token",
            exitCall,
        };
        EXPECT_EQ(ShutdownRecorder::Get().Calls(), want);
    }
}

TEST(Shutdown, TheHookSeesKeysWhenTheyAreTyped)
{
    // The key count above means something only if synthesised keys reach
    // the hook. Typed only into Wine's own desktop, never a real one.
    if (!::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version")) GTEST_SKIP() << "not under Wine";
    g_keyEvents = 0;
    HHOOK hook = ::SetWindowsHookExA(WH_KEYBOARD_LL, CountKeys, ::GetModuleHandleA(nullptr), 0);
    ASSERT_NE(hook, nullptr);
    {
        ScriptThread typist([] { ::keybd_event(VK_F24, 0, KEYEVENTF_KEYUP, 0); });
        typist.Join(5000);
    }
    PumpUntil([] { return g_keyEvents > 0; }, 2000);
    ::UnhookWindowsHookEx(hook);
    EXPECT_GE(g_keyEvents, 1);
}

TEST(Shutdown, APassThatCatchesTheHandlesClearedNeverShutsDown)
{
    // A restart clears the handles while it searches again; a pass starting
    // in that moment must not take the missing tree for an empty one.
    ShutdownRecorder::Get().Install(VER_PLATFORM_WIN32_NT);
    const HWND savedTree = g_hKazaaTree, savedPane = g_hKazaaPane;
    g_hKazaaTree = nullptr;
    g_hKazaaPane = nullptr;
    g_bShutdownWhenDone = TRUE;
    AccelerateCycleProc(nullptr);
    g_bShutdownWhenDone = FALSE;
    g_hKazaaTree = savedTree;
    g_hKazaaPane = savedPane;
    EXPECT_EQ(ShutdownRecorder::Get().Count("ExitWindowsEx"), 0);
}
