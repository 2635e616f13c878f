#include "app/SonglarkDlg.h"

#include "app/AboutDlg.h"
#include "framework/Gdi.h"
#include "framework/WinApp.h"
#include "settings/Settings.h"
#include "watcher/ThreadLimeWire.h"

namespace {
// What the artist and song boxes show at start.
const char kDefaultArtist[] = "Night Owls";
const char kDefaultSong[] = "Blue Hour";
// How long closing the window waits for the watcher to end.
const DWORD kWatcherStopTimeoutMs = 3000;
}  // namespace

CSonglarkDlg::CSonglarkDlg(CWnd* pParent)
    : CDialog(IDD_SONGLARK_DIALOG, pParent),
      m_hIcon(AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_bAccelerating(FALSE),
      m_bSkipNextTick(TRUE),
      m_nCyclePeriod(20)
{
}

void CSonglarkDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ARTIST, m_comboArtist);
    DDX_Control(pDX, IDC_SONG_LIST, m_listSongs);
    DDX_Text(pDX, IDC_LYRIC, m_strLyric);
    DDX_Text(pDX, IDC_SONG, m_strSong);
    DDX_CBString(pDX, IDC_ARTIST, m_strArtist);
}

BOOL CSonglarkDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    LoadSettings();

    // The About item below the system menu's own items.
    if (HMENU hSysMenu = GetSystemMenu(FALSE)) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_strArtist = kDefaultArtist;
    m_strSong = kDefaultSong;
    UpdateData(FALSE);

    m_listSongs.InsertColumn(0, "Status", LVCFMT_LEFT, 50);
    m_listSongs.InsertColumn(1, "Artist", LVCFMT_LEFT, 120);
    m_listSongs.InsertColumn(2, "Title", LVCFMT_LEFT, 260);
    m_listSongs.SetExtendedStyle(m_listSongs.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

    LoadStoredLyrics();

    // The watcher starts at once; if its thread cannot start, the dialog
    // works without it.
    g_pWatcher = new CThreadLimeWire(this, WM_WATCHER_BASE, g_strLimeWirePath, g_strKazaaPath);
    g_pWatcher->CreateThread(0, 0, nullptr);

    // The notification-area icon; without it the dialog opens all the same.
    if (!m_trayIcon.Create(this, WM_TRAYNOTIFY, "Swiftlane",
                           ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME)), IDR_TRAY_MENU))
        return -1;
    // A double click on the icon runs "Show".
    m_trayIcon.SetDefaultMenuItem(0, TRUE);

    return TRUE;
}

void CSonglarkDlg::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        Default();
    }
}

void CSonglarkDlg::OnAbout()
{
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}

void CSonglarkDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
}

HCURSOR CSonglarkDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CSonglarkDlg::OnSize(UINT nType, int, int)
{
    Default();
    // Minimised, the window leaves the screen and the taskbar, and only the
    // tray icon can bring it back; without the icon it stays in the taskbar.
    if (nType == SIZE_MINIMIZED && m_trayIcon.IsIconShown()) ShowWindow(SW_HIDE);
}

void CSonglarkDlg::OnShow()
{
    ShowWindow(SW_RESTORE);
}

void CSonglarkDlg::OnHide()
{
    ShowWindow(SW_HIDE);
}

void CSonglarkDlg::OnExit()
{
    KillTimer(ACCEL_TIMER_ID);
    EndDialog(IDCANCEL);
}

void CSonglarkDlg::OnClose()
{
    if (g_pWatcher) {
        // Destroy the watcher only once its thread has really ended. One that
        // is still inside a lyric fetch when the wait runs out stops at its
        // next step without touching the dialog; it ends with the process.
        if (g_pWatcher->StopAndWait(kWatcherStopTimeoutMs)) delete g_pWatcher;
        g_pWatcher = nullptr;
    }
    // The dialog manager turns WM_CLOSE into Cancel, which ends the dialog.
    Default();
}
