#include "settings/OptionsDlg.h"

#include "settings/Settings.h"

namespace {

BrowseForFolderFn g_pfnBrowseForFolder = nullptr;

// Opens the browser at the folder already set (lParam is its text).
int CALLBACK BrowseCallback(HWND hWnd, UINT uMsg, LPARAM, LPARAM lpData)
{
    if (uMsg == BFFM_INITIALIZED) ::SendMessageA(hWnd, BFFM_SETSELECTIONA, TRUE, lpData);
    return 0;
}

}  // namespace

void SetBrowseForFolderHook(BrowseForFolderFn pfnBrowse)
{
    g_pfnBrowseForFolder = pfnBrowse;
}

COptionsDlg::COptionsDlg(CWnd* pParent)
    : CDialog(IDD_OPTIONS, pParent), m_bCheckLimeWire(0), m_bCheckKazaa(0)
{
}

COptionsDlg::~COptionsDlg() = default;

void COptionsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_CHECK_LIMEWIRE, m_bCheckLimeWire);
    DDX_Text(pDX, IDC_LIMEWIRE_PATH, m_strLimeWirePath);
    DDX_Check(pDX, IDC_CHECK_KAZAA, m_bCheckKazaa);
    DDX_Text(pDX, IDC_KAZAA_PATH, m_strKazaaPath);
}

BOOL COptionsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    const HKEY hKey = g_regSettings.GetKey();
    // Any nonzero value switches a source on, as LoadSettings reads it; the
    // check box knows only 0 and 1, so OK then stores 1.
    m_bCheckLimeWire = ReadSettingsSwitch("CheckLimeWire") ? TRUE : FALSE;
    if (!g_regSettings.ReadString(hKey, "", "LimeWirePath", m_strLimeWirePath)) m_strLimeWirePath.Empty();
    m_bCheckKazaa = ReadSettingsSwitch("CheckKazaa") ? TRUE : FALSE;
    if (!g_regSettings.ReadString(hKey, "", "KazaaPath", m_strKazaaPath)) m_strKazaaPath.Empty();

    // Unlike LoadSettings, a stored empty folder also offers Kazaa's own, so
    // the user sees a sensible choice; it is only stored if they press OK.
    if (m_strKazaaPath.IsEmpty()) ReadKazaaDownloadDir(m_strKazaaPath);

    UpdateData(FALSE);
    return TRUE;
}

void COptionsDlg::OnOK()
{
    // Nothing here can fail validation: every field is stored as it stands.
    UpdateData(TRUE);

    const HKEY hKey = g_regSettings.GetKey();
    g_regSettings.WriteDword(hKey, "", "CheckLimeWire", static_cast<DWORD>(m_bCheckLimeWire));
    g_regSettings.WriteString(hKey, "", "LimeWirePath", m_strLimeWirePath);
    g_regSettings.WriteDword(hKey, "", "CheckKazaa", static_cast<DWORD>(m_bCheckKazaa));
    g_regSettings.WriteString(hKey, "", "KazaaPath", m_strKazaaPath);

    EndDialog(IDOK);
}

void COptionsDlg::OnBrowseLimeWire()
{
    BrowseForFolder(m_strLimeWirePath, "select LimeWire Incomplete path");
}

void COptionsDlg::OnBrowseKazaa()
{
    BrowseForFolder(m_strKazaaPath, "select Kazaa Incomplete path");
}

void COptionsDlg::BrowseForFolder(CString& strFolder, const char* pszTitle)
{
    // A folder typed by hand is where the browser starts.
    UpdateData(TRUE);
    const CString strStart = strFolder;

    char szDisplayName[MAX_PATH] = {0};
    BROWSEINFOA bi{};
    bi.hwndOwner = m_hWnd;
    bi.pidlRoot = nullptr;
    bi.pszDisplayName = szDisplayName;
    bi.lpszTitle = pszTitle;
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(strStart.GetString());

    PIDLIST_ABSOLUTE pidl = g_pfnBrowseForFolder ? g_pfnBrowseForFolder(&bi) : ::SHBrowseForFolderA(&bi);
    if (!pidl) return;  // cancelled

    char szPath[MAX_PATH] = {0};
    if (::SHGetPathFromIDListA(pidl, szPath)) {
        strFolder = szPath;
        UpdateData(FALSE);
    }
    // The list belongs to us once the browser has returned it.
    ::CoTaskMemFree(pidl);
}
