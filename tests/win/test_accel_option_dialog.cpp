// The accelerator's option dialog: template 133, what Apply, Enter, Close and
// Escape do, the integer checks and the item delay's bounds, and what reaches
// the engine through the main dialog's button 1018.
#include "accel/AccelOptionDlg.h"
#include "accel/Accelerator.h"
#include "app/SonglarkDlg.h"
#include "framework/WinApp.h"
#include "tests/win/AccelTestUtil.h"
#include "tests/win/AppTestUtil.h"

#include <gtest/gtest.h>

namespace {

struct ControlSpec {
    int id;
    const char* cls;
    const char* caption;
    int x, y, w, h;
};

const ControlSpec kOptionControls[] = {
    {IDC_ACCEL_APPLY, "Button", "Apply", 131, 113, 50, 16},
    {IDC_FILE_LIMIT, "Edit", "", 156, 58, 25, 12},
    {IDC_CYCLE_SECONDS, "Edit", "", 156, 27, 38, 12},
    {-1, "Static", "seconds between cycles", 33, 26, 95, 8},
    {-1, "Button", "Setting", 18, 12, 229, 84},
    {-1, "Static", "seconds between items", 33, 43, 100, 8},
    {IDC_ITEM_SECONDS, "Edit", "", 156, 40, 39, 12},
    {IDC_LIMIT_FILES, "Button", "limit downloading file number", 33, 58, 106, 8},
    {IDC_SHUTDOWN_WHEN_DONE, "Button", "Shutdown when all download finished", 33, 78, 140, 8},
    {IDC_ACCEL_CLOSE, "Button", "Close", 195, 114, 50, 16},
};

HWND Item(HWND dlg, int id)
{
    return ::GetDlgItem(dlg, id);
}

void SetText(HWND dlg, int id, const char* text)
{
    ::SendMessageA(Item(dlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void Click(HWND dlg, int id)
{
    ::SendMessageA(Item(dlg, id), BM_CLICK, 0, 0);
}

// Waits for a window to go; false when it is still there after timeoutMs.
bool WaitGone(HWND h, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (::IsWindow(h)) {
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(20);
    }
    return true;
}

// Runs the dialog modally while `script` drives it from a second thread;
// the script gets the dialog's window and the modal thread's id. A dialog the
// script leaves open is cancelled afterwards, so a script that tests a way of
// cancelling must see the dialog go by itself (WaitGone).
INT_PTR RunModal(CAccelOptionDlg& dlg, const std::function<void(HWND, DWORD)>& script)
{
    const DWORD ui = ::GetCurrentThreadId();
    ScriptThread driver([&] {
        HWND h = WaitThreadWindow(ui, "#32770", "Option", 10000);
        if (h) script(h, ui);
        if (h && ::IsWindow(h)) ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);  // never leave it open
    });
    return dlg.DoModal();
}

// The text and selection of an edit, and whether it has the focus, once a
// failed check has put the focus there.
struct FailedField {
    std::string prompt;
    bool focused = false;
    DWORD selStart = 0, selEnd = 0;
};

FailedField PressAndAnswer(HWND dlg, DWORD ui, int button, int expectFocus)
{
    FailedField f;
    if (button == IDOK)
        ::PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    else
        ::PostMessageA(Item(dlg, button), BM_CLICK, 0, 0);
    f.prompt = AnswerMessageBox(ui, 5000, dlg);
    HWND edit = Item(dlg, expectFocus);
    const DWORD start = ::GetTickCount();
    while (FocusOf(ui) != edit && ::GetTickCount() - start < 3000) ::Sleep(20);
    f.focused = FocusOf(ui) == edit;
    ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&f.selStart), reinterpret_cast<LPARAM>(&f.selEnd));
    return f;
}

}  // namespace

TEST(AccelOptionDialog, TemplateHasEveryControlInTabOrderAndTheDefaultsShow)
{
    CAccelOptionDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    HWND h = dlg.m_hWnd;
    EXPECT_EQ(WindowText(h), "Option");
    const LONG style = ::GetWindowLongA(h, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    LOGFONTA lf{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");
    RECT client;
    ::GetClientRect(h, &client);
    const RECT size = DialogUnits(h, 0, 0, 254, 146);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    size_t i = 0;
    for (HWND c = ::GetWindow(h, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT), ++i) {
        ASSERT_LT(i, sizeof kOptionControls / sizeof kOptionControls[0]);
        const ControlSpec& want = kOptionControls[i];
        SCOPED_TRACE("control " + std::to_string(i));
        EXPECT_EQ(::GetDlgCtrlID(c) & 0xFFFF, want.id & 0xFFFF);
        char cls[32] = {0};
        ::GetClassNameA(c, cls, sizeof cls);
        EXPECT_EQ(_stricmp(cls, want.cls), 0) << cls;
        if (want.id != IDC_FILE_LIMIT && want.id != IDC_CYCLE_SECONDS && want.id != IDC_ITEM_SECONDS) {
            EXPECT_EQ(WindowText(c), want.caption);
        }
        const RECT r = ChildRect(c);
        const RECT du = DialogUnits(h, want.x, want.y, want.w, want.h);
        EXPECT_EQ(r.left, du.left);
        EXPECT_EQ(r.top, du.top);
        EXPECT_EQ(r.right - r.left, du.right - du.left);
        EXPECT_EQ(r.bottom - r.top, du.bottom - du.top);
        const LONG s = ::GetWindowLongA(c, GWL_STYLE);
        if (want.id == IDC_ACCEL_APPLY || want.id == IDC_ACCEL_CLOSE) {
            EXPECT_EQ(s & 0x0F, BS_PUSHBUTTON) << "no default push button";
            EXPECT_TRUE(s & BS_FLAT);
        }
        if (want.id == IDC_LIMIT_FILES || want.id == IDC_SHUTDOWN_WHEN_DONE) {
            EXPECT_EQ(s & 0x0F, BS_AUTOCHECKBOX);
        }
        if (std::string(want.cls) == "Edit") {
            EXPECT_TRUE(s & ES_AUTOHSCROLL);
            // The dialog manager may turn an edit's border into a client edge.
            EXPECT_TRUE((s & WS_BORDER) || (::GetWindowLongA(c, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
        }
    }
    EXPECT_EQ(i, sizeof kOptionControls / sizeof kOptionControls[0]);

    EXPECT_EQ(WindowText(Item(h, IDC_ITEM_SECONDS)), "1");
    EXPECT_EQ(WindowText(Item(h, IDC_FILE_LIMIT)), "10");
    EXPECT_EQ(WindowText(Item(h, IDC_CYCLE_SECONDS)), "20");
    EXPECT_EQ(::SendMessageA(Item(h, IDC_SHUTDOWN_WHEN_DONE), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(::SendMessageA(Item(h, IDC_LIMIT_FILES), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ::DestroyWindow(h);
}

TEST(AccelOptionDialog, ApplyAndEnterReadEveryFieldBackAndCloseWithOK)
{
    for (int button : {IDC_ACCEL_APPLY, IDOK}) {
        SCOPED_TRACE(button == IDOK ? "Enter" : "Apply");
        CAccelOptionDlg dlg;
        const INT_PTR r = RunModal(dlg, [&](HWND h, DWORD) {
            SetText(h, IDC_ITEM_SECONDS, " -0 ");
            SetText(h, IDC_FILE_LIMIT, "\t+7");
            SetText(h, IDC_CYCLE_SECONDS, "-3");
            Click(h, IDC_SHUTDOWN_WHEN_DONE);
            if (button == IDOK)
                ::SendMessageA(h, WM_COMMAND, IDOK, 0);
            else
                Click(h, IDC_ACCEL_APPLY);
        });
        EXPECT_EQ(r, IDOK);
        EXPECT_EQ(dlg.m_nItemSeconds, 0);
        EXPECT_EQ(dlg.m_nFileLimit, 7);
        EXPECT_EQ(dlg.m_nCycleSeconds, -3) << "only the item delay has bounds";
        EXPECT_EQ(dlg.m_bShutdown, TRUE);
    }
}

TEST(AccelOptionDialog, CloseEscapeAndTheCloseBoxCancelWithoutReadingBack)
{
    for (int way : {0, 1, 2}) {
        SCOPED_TRACE(way);
        CAccelOptionDlg dlg;
        bool gone = false;
        const INT_PTR r = RunModal(dlg, [&](HWND h, DWORD) {
            SetText(h, IDC_ITEM_SECONDS, "9");
            if (way == 0) Click(h, IDC_ACCEL_CLOSE);
            if (way == 1) ::PostMessageA(Item(h, IDC_ITEM_SECONDS), WM_KEYDOWN, VK_ESCAPE, 0);
            if (way == 2) ::PostMessageA(h, WM_CLOSE, 0, 0);
            gone = WaitGone(h, 5000);
        });
        EXPECT_TRUE(gone) << "the dialog closed by itself";
        EXPECT_EQ(r, IDCANCEL);
        EXPECT_EQ(dlg.m_nItemSeconds, 1);
    }
}

TEST(AccelOptionDialog, TheFirstBadIntegerIsReportedFocusedAndSelected)
{
    struct Case {
        const char* item;
        const char* limit;
        const char* cycle;
        int field;
    } cases[] = {
        {"1", "10", "2O", IDC_CYCLE_SECONDS},   // letters in the cycle period only
        {"", "10", "x", IDC_ITEM_SECONDS},      // an empty edit, first in exchange order
        {"1", "1 0", "x", IDC_FILE_LIMIT},      // a blank inside a number
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        CAccelOptionDlg dlg;
        FailedField f;
        bool stillOpen = false;
        std::string secondPrompt;
        const INT_PTR r = RunModal(dlg, [&](HWND h, DWORD ui) {
            SetText(h, IDC_ITEM_SECONDS, c.item);
            SetText(h, IDC_FILE_LIMIT, c.limit);
            SetText(h, IDC_CYCLE_SECONDS, c.cycle);
            f = PressAndAnswer(h, ui, IDC_ACCEL_APPLY, c.field);
            ::Sleep(100);
            stillOpen = ::IsWindowVisible(h) != FALSE;
            secondPrompt = AnswerMessageBox(ui, 300, h);
        });
        EXPECT_EQ(r, IDCANCEL);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(f.prompt, "Please enter an integer.");
        EXPECT_EQ(secondPrompt, "") << "one message only";
        EXPECT_TRUE(f.focused);
        // The whole offending text is selected; an empty edit has nothing to select.
        const char* bad = c.field == IDC_ITEM_SECONDS ? c.item : c.field == IDC_FILE_LIMIT ? c.limit : c.cycle;
        if (*bad) {
            EXPECT_EQ(f.selStart, 0u);
            EXPECT_EQ(f.selEnd, std::strlen(bad));
        }
    }
}

TEST(AccelOptionDialog, TheItemDelayMustLieBetweenZeroAndADay)
{
    for (const char* text : {"-1", "86401", "2147483647"}) {
        SCOPED_TRACE(text);
        CAccelOptionDlg dlg;
        FailedField f;
        const INT_PTR r = RunModal(dlg, [&](HWND h, DWORD ui) {
            SetText(h, IDC_ITEM_SECONDS, text);
            f = PressAndAnswer(h, ui, IDOK, IDC_ITEM_SECONDS);
        });
        EXPECT_EQ(r, IDCANCEL) << "the dialog stayed open until the script cancelled it";
        EXPECT_EQ(f.prompt, "Please enter an integer between 0 and 86400.");
        EXPECT_TRUE(f.focused);
        EXPECT_EQ(f.selStart, 0u);
        EXPECT_EQ(f.selEnd, std::string(text).size());
    }
    // A bad integer elsewhere is reported first, with the integer prompt.
    {
        CAccelOptionDlg dlg;
        FailedField f;
        RunModal(dlg, [&](HWND h, DWORD ui) {
            SetText(h, IDC_ITEM_SECONDS, "-5");
            SetText(h, IDC_CYCLE_SECONDS, "abc");
            f = PressAndAnswer(h, ui, IDC_ACCEL_APPLY, IDC_CYCLE_SECONDS);
        });
        EXPECT_EQ(f.prompt, "Please enter an integer.");
        EXPECT_TRUE(f.focused);
    }
    for (const char* text : {"0", "86400"}) {
        CAccelOptionDlg dlg;
        const INT_PTR r = RunModal(dlg, [&](HWND h, DWORD) {
            SetText(h, IDC_ITEM_SECONDS, text);
            Click(h, IDC_ACCEL_APPLY);
        });
        EXPECT_EQ(r, IDOK) << text;
        EXPECT_EQ(dlg.m_nItemSeconds, std::atoi(text));
    }
}

namespace {

// The main dialog, modeless, with the engine's option values reset.
class AccelOptionButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_nItemSeconds = 1;
        g_bShutdownWhenDone = FALSE;
        ASSERT_TRUE(main.Create(nullptr));
        PumpMessages(30);
    }
    void TearDown() override
    {
        if (::IsWindow(main.m_hWnd)) ::DestroyWindow(main.m_hWnd);
        StopWatcherForTest();
        g_nItemSeconds = 1;
        g_bShutdownWhenDone = FALSE;
    }
    // Presses button 1018 and drives the option dialog it opens.
    void OpenOptions(const std::function<void(HWND, DWORD)>& script)
    {
        const DWORD ui = ::GetCurrentThreadId();
        ScriptThread driver([&] {
            HWND h = WaitThreadWindow(ui, "#32770", "Option", 10000);
            if (h) script(h, ui);
            if (h && ::IsWindow(h)) ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
        });
        ::SendMessageA(main.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_ACCEL_OPTION, BN_CLICKED),
                       reinterpret_cast<LPARAM>(main.GetDlgItem(IDC_ACCEL_OPTION)));
    }
    CSonglarkDlg main;
};

}  // namespace

TEST_F(AccelOptionButtonTest, ApplyAtOnceGivesTheEngineOneSecondAndNoShutdown)
{
    g_nItemSeconds = 7;
    g_bShutdownWhenDone = TRUE;
    OpenOptions([](HWND h, DWORD) { Click(h, IDC_ACCEL_APPLY); });
    EXPECT_EQ(g_nItemSeconds.load(), 1);
    EXPECT_EQ(g_bShutdownWhenDone.load(), FALSE);
}

TEST_F(AccelOptionButtonTest, OnlyTheItemDelayAndTheShutdownFlagReachTheEngine)
{
    std::string shownOnReopen;
    OpenOptions([](HWND h, DWORD) {
        SetText(h, IDC_ITEM_SECONDS, "5");
        SetText(h, IDC_CYCLE_SECONDS, "3");
        SetText(h, IDC_FILE_LIMIT, "2");
        Click(h, IDC_LIMIT_FILES);
        Click(h, IDC_SHUTDOWN_WHEN_DONE);
        Click(h, IDC_ACCEL_APPLY);
    });
    EXPECT_EQ(g_nItemSeconds.load(), 5);
    EXPECT_EQ(g_bShutdownWhenDone.load(), TRUE);
    EXPECT_EQ(main.m_nCyclePeriod, 20) << "the cycle period is not wired";

    // Reopened, the dialog shows its defaults again; Close keeps the engine's values.
    bool closed = false;
    OpenOptions([&](HWND h, DWORD) {
        shownOnReopen = WindowText(Item(h, IDC_ITEM_SECONDS));
        SetText(h, IDC_ITEM_SECONDS, "9");
        Click(h, IDC_ACCEL_CLOSE);
        closed = WaitGone(h, 5000);
    });
    EXPECT_TRUE(closed) << "Close ended the dialog";
    EXPECT_EQ(shownOnReopen, "1");
    EXPECT_EQ(g_nItemSeconds.load(), 5);
    EXPECT_EQ(g_bShutdownWhenDone.load(), TRUE);
}

// The integer prompt is owned by the option dialog, not by the main window
// under it, so the option dialog cannot be pressed again or closed under it.
TEST_F(AccelOptionButtonTest, WhileTheIntegerPromptIsUpTheOptionDialogIsDisabled)
{
    CWinApp app;
    app.m_pMainWnd = &main;
    bool disabledUnderBox = false;
    bool enabledAfter = false;
    std::string prompt;
    OpenOptions([&](HWND h, DWORD ui) {
        SetText(h, IDC_CYCLE_SECONDS, "abc");
        ::PostMessageA(Item(h, IDC_ACCEL_APPLY), BM_CLICK, 0, 0);
        const DWORD start = ::GetTickCount();
        while (::IsWindowEnabled(h) && ::GetTickCount() - start < 5000) ::Sleep(20);
        disabledUnderBox = !::IsWindowEnabled(h);
        prompt = AnswerMessageBox(ui, 5000, h);
        ::Sleep(100);
        enabledAfter = ::IsWindowEnabled(h) != FALSE;
    });
    EXPECT_EQ(prompt, "Please enter an integer.");
    EXPECT_TRUE(disabledUnderBox);
    EXPECT_TRUE(enabledAfter);
}
