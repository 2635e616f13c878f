#include "framework/Wnd.h"

#include "framework/WinApp.h"

namespace {
const char kObjectProp[] = "SonglarkWndObject";
const char kWndClass[] = "SonglarkWnd";
}  // namespace

CWnd::~CWnd()
{
    if (m_hWnd && ::IsWindow(m_hWnd) && FromHandlePermanent(m_hWnd) == this)
        ::RemovePropA(m_hWnd, kObjectProp);
}

bool CWnd::Attach(HWND hWnd)
{
    if (!hWnd) return false;
    m_hWnd = hWnd;
    ::SetPropA(hWnd, kObjectProp, reinterpret_cast<HANDLE>(this));
    return true;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h && FromHandlePermanent(h) == this) ::RemovePropA(h, kObjectProp);
    m_hWnd = nullptr;
    return h;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd) return nullptr;
    return reinterpret_cast<CWnd*>(::GetPropA(hWnd, kObjectProp));
}

bool CWnd::ProcessMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

void CWnd::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (CWnd* pControl = FromHandlePermanent(lpDrawItemStruct->hwndItem)) {
        if (pControl != this) {
            pControl->DrawItem(lpDrawItemStruct);
            return;
        }
    }
    Default();
}

void ReadWindowText(HWND hWnd, CString& str)
{
    const int n = ::GetWindowTextLengthA(hWnd);
    char* p = str.GetBuffer(n + 1);
    const int got = ::GetWindowTextA(hWnd, p, n + 1);
    str.ReleaseBuffer(got > 0 ? got : 0);
}

LRESULT CALLBACK SonglarkWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd && message == WM_NCCREATE) {
        auto* pcs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        pWnd = static_cast<CWnd*>(pcs->lpCreateParams);
        if (pWnd) pWnd->Attach(hWnd);
    }
    if (!pWnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);

    LRESULT result = 0;
    try {
        result = pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        // No exception may cross into the system's code.
        result = 0;
    }
    if (message == WM_NCDESTROY) {
        ::RemovePropA(hWnd, kObjectProp);
        pWnd->m_hWnd = nullptr;
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (ProcessMessage(message, wParam, lParam, result)) return result;
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

bool CWnd::CreateEx(DWORD dwExStyle, const char* pszWindowName, DWORD dwStyle,
                    int x, int y, int cx, int cy, HWND hWndParent, HMENU hMenu)
{
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSA wc{};
    if (!::GetClassInfoA(hInst, kWndClass, &wc)) {
        wc.style = 0;
        wc.lpfnWndProc = SonglarkWndProc;
        wc.hInstance = hInst;
        wc.lpszClassName = kWndClass;
        if (!::RegisterClassA(&wc)) return false;
    }
    HWND h = ::CreateWindowExA(dwExStyle, kWndClass, pszWindowName, dwStyle, x, y, cx, cy,
                               hWndParent, hMenu, hInst, this);
    return h != nullptr;
}

void CWnd::DestroyWindow()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}
