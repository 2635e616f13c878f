// The framework's own contracts that no single dialog of the program shows:
// a Default() request belongs to the message being handled, DDX_Control binds
// a dialog shown a second time, and the application's thread has COM.
#include "framework/Dialog.h"
#include "framework/WinApp.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const UINT WM_NESTED_PLAIN = WM_APP + 1;    // handled without Default()
const UINT WM_NESTED_DEFAULT = WM_APP + 2;  // handled with Default()

// WM_SETTEXT shows whether the dialog manager's default processing ran: only
// then does the caption change. Its handler may ask for the default and then
// sends itself a nested message, as OnSize does with ShowWindow.
class NestingDlg : public CDialog {
public:
    NestingDlg() : CDialog(IDD_ABOUTBOX) {}
    bool m_bAskDefault = false;
    UINT m_nNested = 0;
    CWnd m_btnOK;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDOK, m_btnOK); }
    LRESULT OnSetText(WPARAM, LPARAM)
    {
        if (m_bAskDefault) Default();
        if (m_nNested) SendMessage(m_nNested);
        return TRUE;
    }
    LRESULT OnNestedPlain(WPARAM, LPARAM) { return 0; }
    LRESULT OnNestedDefault(WPARAM, LPARAM)
    {
        Default();
        return 0;
    }

    BEGIN_MSG_MAP(NestingDlg)
        ON_MESSAGE(WM_SETTEXT, OnSetText)
        ON_MESSAGE(WM_NESTED_PLAIN, OnNestedPlain)
        ON_MESSAGE(WM_NESTED_DEFAULT, OnNestedDefault)
    END_MSG_MAP(CDialog)
};

std::string Caption(HWND h)
{
    char buf[64] = {0};
    ::GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

}  // namespace

TEST(Framework, ADefaultRequestBelongsToTheMessageBeingHandled)
{
    struct Case {
        bool askDefault;
        UINT nested;
        bool captionSet;
    } cases[] = {
        {true, 0, true},
        {false, 0, false},
        {true, WM_NESTED_PLAIN, true},      // a nested message must not lose the request
        {false, WM_NESTED_DEFAULT, false},  // nor invent one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.askDefault) + " " + std::to_string(c.nested));
        NestingDlg dlg;
        ASSERT_TRUE(dlg.Create(nullptr));
        const std::string before = Caption(dlg.m_hWnd);
        dlg.m_bAskDefault = c.askDefault;
        dlg.m_nNested = c.nested;
        ::SetWindowTextA(dlg.m_hWnd, "changed");
        EXPECT_EQ(Caption(dlg.m_hWnd), c.captionSet ? "changed" : before);
        ::DestroyWindow(dlg.m_hWnd);
    }
}

TEST(Framework, DdxControlBindsTheControlsOfEachShowing)
{
    NestingDlg dlg;
    for (int showing = 1; showing <= 2; ++showing) {
        SCOPED_TRACE(showing);
        ASSERT_TRUE(dlg.Create(nullptr));
        EXPECT_EQ(dlg.m_btnOK.m_hWnd, ::GetDlgItem(dlg.m_hWnd, IDOK));
        ::DestroyWindow(dlg.m_hWnd);
    }
}

namespace {

// Records, from inside InitInstance, whether the thread already has COM in
// an apartment: asking for the multithreaded kind then fails.
class ComProbeApp : public CWinApp {
public:
    HRESULT m_hrInside = E_FAIL;
    BOOL InitInstance() override
    {
        m_hrInside = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(m_hrInside)) ::CoUninitialize();
        return FALSE;
    }
};

struct ComProbe {
    ComProbeApp* pApp;
    HRESULT hrAfter = E_FAIL;
};

DWORD WINAPI RunAppThenProbe(void* p)
{
    auto* probe = static_cast<ComProbe*>(p);
    AfxWinMain(::GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    probe->hrAfter = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(probe->hrAfter)) ::CoUninitialize();
    return 0;
}

}  // namespace

TEST(Framework, TheApplicationsThreadHasACOMApartmentWhileItRuns)
{
    ComProbeApp app;
    ComProbe probe{&app};
    // A fresh thread: the test thread may have COM from other tests.
    HANDLE h = ::CreateThread(nullptr, 0, RunAppThenProbe, &probe, 0, nullptr);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(::WaitForSingleObject(h, 10000), WAIT_OBJECT_0);
    ::CloseHandle(h);
    EXPECT_EQ(app.m_hrInside, RPC_E_CHANGED_MODE) << "a single-threaded apartment is already there";
    EXPECT_EQ(probe.hrAfter, S_OK) << "and gone once the application has ended";
}
