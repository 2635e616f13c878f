#pragma once

#include "framework/Afx.h"

// A bitmap we own: loaded from the module's resources, deleted with the object.
class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap() { DeleteObject(); }
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    bool LoadBitmap(HINSTANCE hInstance, UINT nIDResource)
    {
        DeleteObject();
        m_hBitmap = ::LoadBitmapA(hInstance, MAKEINTRESOURCEA(nIDResource));
        return m_hBitmap != nullptr;
    }
    void DeleteObject()
    {
        if (m_hBitmap) ::DeleteObject(m_hBitmap);
        m_hBitmap = nullptr;
    }
    HBITMAP GetSafeHandle() const { return m_hBitmap; }
    operator HBITMAP() const { return m_hBitmap; }

private:
    HBITMAP m_hBitmap = nullptr;
};

// BeginPaint / EndPaint around one WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::BeginPaint(hWnd, &m_ps)) {}
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
    HDC m_hDC;
};
