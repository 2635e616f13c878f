#include "app/SonglarkDlg.h"

#include "framework/WinApp.h"
#include "res/resource.h"

CSonglarkDlg::CSonglarkDlg(CWnd* pParent)
    : CDialog(IDD_SONGLARK_DIALOG, pParent), m_hIcon(AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : nullptr)
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
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    return TRUE;
}

void CSonglarkDlg::OnOK()
{
    // The Search command; it never ends the dialog.
}
