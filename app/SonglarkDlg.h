#pragma once

#include "app/songlist/SongListCtrl.h"
#include "app/songlist/SongRowIndex.h"
#include "framework/ComboBox.h"
#include "framework/Dialog.h"
#include "res/resource.h"
#include "tray/SystemTray.h"

#include <memory>

// Private messages of the main dialog.
constexpr UINT WM_TRAYNOTIFY = 1125;    // the tray icon's callback
constexpr UINT WM_WATCHER_BASE = 2024;  // first of the watcher's four reports
constexpr UINT WM_LIMEWIRE_SONG = WM_WATCHER_BASE + 0;
constexpr UINT WM_KAZAA_SONG = WM_WATCHER_BASE + 1;
constexpr UINT WM_LIMEWIRE_LYRIC = WM_WATCHER_BASE + 2;
constexpr UINT WM_KAZAA_LYRIC = WM_WATCHER_BASE + 3;
constexpr UINT WM_LYRIC_SEARCH_DONE = WM_WATCHER_BASE + 4;  // a manual search's answer came

struct LyricSearchTask;

// The main window: a modal dialog that holds every control of the program.
// Its handlers live beside the features they serve (song table, lyric search,
// lyric panel, options, accelerator); this file declares them all.
class CSonglarkDlg : public CDialog {
public:
    explicit CSonglarkDlg(CWnd* pParent = nullptr);

    CComboBox m_comboArtist;
    CSongListCtrl m_listSongs;
    CString m_strLyric;
    CString m_strSong;
    CString m_strArtist;
    HICON m_hIcon;
    CSystemTray m_trayIcon;
    BOOL m_bAccelerating;
    BOOL m_bSkipNextTick;
    int m_nCyclePeriod;

    // Song table operations.
    int FindSongRow(const CString& artist, const CString& title) const;
    void SelectSongRow(const CString& artist, const CString& title);
    int AppendSongRow(const char* status, const CString& artist, const CString& title, DWORD rowData);
    void SetSongRowStatus(int row, const char* status, DWORD rowData);

    // Lyric lookup behind the Search command and a row's selection. A
    // fetch runs on a thread of its own; its answer comes back as
    // WM_LYRIC_SEARCH_DONE.
    void SearchLyric(BOOL bFetch);
    bool IsSearching() const { return m_pSearch != nullptr; }

    // The lyric store listing at start-up.
    void LoadStoredLyrics();
    void LoadArtistLyrics(const CString& folder);

    // The stored lyric file of the selected row; empty when none is selected.
    CString GetSelectedLyricPath();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSize(UINT nType, int cx, int cy);
    void OnClose();
    void OnShow();
    void OnHide();
    void OnExit();
    void OnAbout();

    // The accelerator (accel/AccelHandlers.cpp) and the tray icon
    // (tray/TrayHandlers.cpp).
    void OnStartAcceleration();
    BOOL StartAcceleration();
    void OnTimer(UINT_PTR nIDEvent);
    void OnAcceleratorOption();
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);

    // The watcher's reports.
    LRESULT OnLimeWireSong(WPARAM wParam, LPARAM lParam);
    LRESULT OnKazaaSong(WPARAM wParam, LPARAM lParam);
    LRESULT OnLimeWireLyric(WPARAM wParam, LPARAM lParam);
    LRESULT OnKazaaLyric(WPARAM wParam, LPARAM lParam);
    LRESULT OnSongReported(WPARAM wParam, LPARAM lParam, int source);
    LRESULT OnLyricReported(WPARAM wParam, LPARAM lParam, int source);

    // A manual search's answer, and the window's end (a late answer is dropped).
    LRESULT OnSearchDone(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroyDialog(WPARAM wParam, LPARAM lParam);

    // The lyric panel and the artist box.
    void OnDeleteLyric();
    void OnToClipboard();
    void OnEditLyric();
    void OnSelChangeArtist();

    // The Options button.
    void OnOptions();

    LRESULT OnSongListClickOrKey(NMHDR* pNMHDR);
    LRESULT OnSongListItemChanged(NMHDR* pNMHDR);
    LRESULT OnSongListDeleteItem(NMHDR* pNMHDR);
    LRESULT OnSongListDeleteAllItems(NMHDR* pNMHDR);

    BEGIN_MSG_MAP(CSonglarkDlg)
        ON_WM_SYSCOMMAND()
        ON_WM_PAINT()
        ON_WM_QUERYDRAGICON()
        ON_CBN_SELCHANGE(IDC_ARTIST, OnSelChangeArtist)
        ON_NOTIFY(NM_CLICK, IDC_SONG_LIST, OnSongListClickOrKey)
        ON_NOTIFY(LVN_KEYDOWN, IDC_SONG_LIST, OnSongListClickOrKey)
        ON_BN_CLICKED(IDC_OPTIONS, OnOptions)
        ON_WM_CLOSE()
        ON_WM_DRAWITEM()
        ON_NOTIFY(LVN_ITEMCHANGED, IDC_SONG_LIST, OnSongListItemChanged)
        ON_NOTIFY(LVN_DELETEITEM, IDC_SONG_LIST, OnSongListDeleteItem)
        ON_NOTIFY(LVN_DELETEALLITEMS, IDC_SONG_LIST, OnSongListDeleteAllItems)
        ON_BN_CLICKED(IDC_DELETE_LYRIC, OnDeleteLyric)
        ON_BN_CLICKED(IDC_TO_CLIPBOARD, OnToClipboard)
        ON_BN_CLICKED(IDC_EDIT_LYRIC, OnEditLyric)
        ON_WM_TIMER()
        ON_MESSAGE(WM_TRAYNOTIFY, OnTrayNotify)
        ON_WM_SIZE()
        ON_COMMAND(ID_TRAY_EXIT, OnExit)
        ON_COMMAND(ID_TRAY_ABOUT, OnAbout)
        ON_BN_CLICKED(IDC_START_ACCEL, OnStartAcceleration)
        ON_COMMAND(ID_TRAY_SHOW, OnShow)
        ON_COMMAND(ID_TRAY_HIDE, OnHide)
        ON_BN_CLICKED(IDC_ACCEL_OPTION, OnAcceleratorOption)
        ON_BN_CLICKED(IDC_ABOUT, OnAbout)
        ON_MESSAGE(WM_LIMEWIRE_SONG, OnLimeWireSong)
        ON_MESSAGE(WM_KAZAA_SONG, OnKazaaSong)
        ON_MESSAGE(WM_LIMEWIRE_LYRIC, OnLimeWireLyric)
        ON_MESSAGE(WM_KAZAA_LYRIC, OnKazaaLyric)
        ON_MESSAGE(WM_LYRIC_SEARCH_DONE, OnSearchDone)
        ON_MESSAGE(WM_DESTROY, OnDestroyDialog)
    END_MSG_MAP(CDialog)

private:
    // Set while the Search command selects its row, so that the selection
    // fills the boxes but leaves the lyric panel as the search set it.
    bool m_bKeepLyricPanel = false;

    // The search under way, shared with its thread; null when none runs.
    std::shared_ptr<LyricSearchTask> m_pSearch;

    // The table's texts by row, kept beside the list so that finding a row
    // does not read every row; SyncSongRows checks it still matches.
    mutable CSongRowIndex m_songRows;
    void SyncSongRows() const;
};

// Timer of the accelerator's cycles, on the main dialog's window.
constexpr UINT_PTR ACCEL_TIMER_ID = 1;
