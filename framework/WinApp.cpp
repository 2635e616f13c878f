#include "framework/WinApp.h"

#include "framework/Wnd.h"

#include <cstdlib>
#include <winsock.h>

namespace {
CWinApp* g_pApp = nullptr;

CString ModuleBaseName()
{
    char path[MAX_PATH] = {0};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString s(path);
    const int slash = s.ReverseFind('\\');
    if (slash >= 0) s = s.Mid(slash + 1);
    const int dot = s.ReverseFind('.');
    if (dot > 0) s = s.Left(dot);
    return s;
}

void CleanupSockets()
{
    ::WSACleanup();
}
}  // namespace

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return 0;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(m_hInstance ? m_hInstance : ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource));
}

void CWinApp::EnableDialogControls()
{
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    if (g_pApp && g_pApp->m_hInstance) return g_pApp->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

int AfxMessageBox(const char* pszText, UINT nType)
{
    CString title = g_pApp ? g_pApp->GetAppTitle() : CString();
    if (title.IsEmpty()) title = ModuleBaseName();
    // Owned by the window the user is in (a dialog over the main window, say),
    // so that it is the one disabled while the box is up.
    CWnd* pMain = AfxGetMainWnd();
    HWND owner = (pMain && pMain->m_hWnd && ::IsWindow(pMain->m_hWnd)) ? ::GetLastActivePopup(pMain->m_hWnd) : nullptr;
    return ::MessageBoxA(owner, pszText, title, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType)
{
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType);
}

BOOL AfxSocketInit()
{
    WSADATA data;
    if (::WSAStartup(MAKEWORD(1, 1), &data) != 0) return FALSE;
    if (LOBYTE(data.wVersion) != 1 || HIBYTE(data.wVersion) != 1) {
        ::WSACleanup();
        return FALSE;
    }
    std::atexit(CleanupSockets);
    return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, int)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_strTitle = ModuleBaseName();
    // The shell's folder browser wants COM in an apartment on its thread.
    const HRESULT hrCom = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = pApp->InitInstance() ? pApp->Run() : pApp->ExitInstance();
    if (SUCCEEDED(hrCom)) ::CoUninitialize();
    return result;
}
