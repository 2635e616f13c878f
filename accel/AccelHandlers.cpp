// The main dialog's accelerator handlers: button 1017 starts and stops, each
// timer tick asks for a pass, button 1018 opens the option dialog.
#include "accel/AccelOptionDlg.h"
#include "accel/Accelerator.h"
#include "app/SonglarkDlg.h"
#include "framework/WinApp.h"

namespace {
const char kStartCaption[] = "Start Acceleration";
const char kStopCaption[] = "Stop Acceleration";
const char kKazaaNotRunning[] = "Kazaa is not running now, please run it.\r\n";
}  // namespace

void CSonglarkDlg::OnStartAcceleration()
{
    HWND hButton = GetDlgItem(IDC_START_ACCEL);
    if (m_bAccelerating) {
        // A pass under way is not stopped; it finishes its walk.
        KillTimer(ACCEL_TIMER_ID);
        ::SetWindowTextA(hButton, kStartCaption);
        m_bAccelerating = FALSE;
        return;
    }

    StartAcceleration();
    if (!g_hKazaaTree) {
        FindKazaaWindows();
        if (!g_hKazaaTree) {
            AfxMessageBox(kKazaaNotRunning, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        // Found at the second look: run as a normal start does, so that
        // "Stop Acceleration" never shows while no timer runs.
        OnTimer(ACCEL_TIMER_ID);
        SetTimer(ACCEL_TIMER_ID, static_cast<UINT>(m_nCyclePeriod) * 1000u);
    }
    ::SetWindowTextA(hButton, kStopCaption);
    m_bAccelerating = TRUE;
}

BOOL CSonglarkDlg::StartAcceleration()
{
    ForgetKazaaTree();
    FindKazaaWindows();
    if (!g_hKazaaTree) return 0;

    OnTimer(ACCEL_TIMER_ID);
    return SetTimer(ACCEL_TIMER_ID, static_cast<UINT>(m_nCyclePeriod) * 1000u) != 0;
}

void CSonglarkDlg::OnTimer(UINT_PTR)
{
    // A Kazaa that was closed, restarted or stopped answering is looked for again.
    if (KazaaWindowsLost()) ForgetKazaaTree();
    if (!g_hKazaaTree) {
        FindKazaaWindows();
        if (!g_hKazaaTree) return;
    }
    // The first request that finds the tree (the immediate one of the first
    // start) is swallowed: the first pass after launch comes one period later.
    if (m_bSkipNextTick) {
        m_bSkipNextTick = FALSE;
        return;
    }
    // Passes may overlap, up to a cap; a tick that finds it reached starts none.
    StartAcceleratePass();
}

void CSonglarkDlg::OnAcceleratorOption()
{
    CAccelOptionDlg dlg;
    if (dlg.DoModal() != IDOK) return;
    // Only these two reach the engine; the cycle period stays fixed.
    g_nItemSeconds = dlg.m_nItemSeconds;
    g_bShutdownWhenDone = dlg.m_bShutdown;
}
