// The main dialog created from its resource in-process: caption, and Escape
// ending the modal loop.
#include "app/SonglarkDlg.h"
#include "res/resource.h"
#include "tests/win/AppTestUtil.h"

#include <gtest/gtest.h>

namespace {

// Posts Escape to the focused control once the dialog is up and records what
// it saw, so the test can check the live window before the loop ended.
class EscapeOnInit : public CSonglarkDlg {
public:
    CString caption;

protected:
    BOOL OnInitDialog() override
    {
        const BOOL r = CSonglarkDlg::OnInitDialog();
        GetWindowText(caption);
        ::PostMessageA(m_hWnd, WM_APP, 0, 0);
        return r;
    }
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message == WM_APP) {
            HWND focus = ::GetFocus();
            ::PostMessageA(focus ? focus : m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
            return true;
        }
        return CSonglarkDlg::ProcessMessage(message, wParam, lParam, result);
    }
};

}  // namespace

TEST(MainDialogSmoke, OpensWithItsCaptionAndEscapeEndsIt)
{
    EscapeOnInit dlg;
    const INT_PTR result = dlg.DoModal();
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_STREQ(dlg.caption, "Peerpal");
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    StopWatcherForTest();
}
