#include "app/songlist/SongListCtrl.h"

#include "app/songlist/SongRow.h"
#include "framework/WinApp.h"
#include "res/resource.h"

CSongListCtrl::~CSongListCtrl()
{
    m_bmpGlyphs.DeleteObject();
    // The dialog destroys the control window itself; we only let go of it.
    Detach();
}

int CSongListCtrl::GetColumnCount() const
{
    return static_cast<int>(::SendMessageA(GetHeaderCtrl(), HDM_GETITEMCOUNT, 0, 0));
}

CString FitCellText(const CString& text, int cellWidth, int textWidth)
{
    const int length = text.GetLength();
    // Nothing to measure a character by: a cell narrower than the margins
    // still gets no "..." for an empty (or weightless) text.
    if (cellWidth >= textWidth || length == 0 || textWidth <= 0) return text;
    const double perChar = static_cast<double>(textWidth) / length;
    const int n = static_cast<int>(cellWidth / perChar);
    CString cut = n > 3 ? text.Left(n - 3) : text.Left(1);
    cut += "...";
    return cut;
}

void CSongListCtrl::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (!m_bmpGlyphs.GetSafeHandle()) m_bmpGlyphs.LoadBitmap(AfxGetInstanceHandle(), IDB_STATUS_GLYPHS);

    HDC hDC = lpDrawItemStruct->hDC;
    const int nItem = static_cast<int>(lpDrawItemStruct->itemID);
    const bool selected = (lpDrawItemStruct->itemState & (ODS_SELECTED | ODS_GRAYED)) != 0;
    const bool focused = selected && ::GetFocus() == m_hWnd;

    COLORREF background = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    int glyphRow = 0;
    if (selected && focused) {
        background = RGB(0, 0, 128);
        textColor = RGB(255, 255, 255);
        glyphRow = 1;
    } else if (selected) {
        background = RGB(224, 224, 224);
        glyphRow = 2;
    }

    HBRUSH hBrush = ::CreateSolidBrush(background);
    HGDIOBJ hOldBrush = ::SelectObject(hDC, hBrush);
    HGDIOBJ hOldPen = ::SelectObject(hDC, ::GetStockObject(NULL_PEN));
    ::SetTextColor(hDC, textColor);
    ::SetBkMode(hDC, TRANSPARENT);

    const unsigned rowData = static_cast<unsigned>(GetItemData(nItem));
    const int columns = GetColumnCount();
    for (int i = 0; i < columns; ++i) {
        const CString text = GetItemText(nItem, i);
        RECT rc{};
        GetSubItemRect(nItem, i, LVIR_BOUNDS, rc);
        ::Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);

        if (i == 0) {
            HRGN hRgn = ::CreateRectRgnIndirect(&rc);
            ::SelectClipRgn(hDC, hRgn);
            rc.left += 1;
            rc.right -= 1;
            HDC hMemDC = ::CreateCompatibleDC(hDC);
            HGDIOBJ hOldBitmap = ::SelectObject(hMemDC, m_bmpGlyphs.GetSafeHandle());
            const int s = SourceGlyphColumn(rowData);
            const int t = StateGlyphColumn(rowData);
            ::BitBlt(hDC, rc.left, rc.top, kGlyphWidth, kGlyphHeight, hMemDC, kGlyphWidth * s, kGlyphHeight * glyphRow, SRCCOPY);
            ::BitBlt(hDC, rc.left + kGlyphWidth, rc.top, kGlyphWidth, kGlyphHeight, hMemDC, kGlyphWidth * t, kGlyphHeight * glyphRow, SRCCOPY);
            ::SelectClipRgn(hDC, nullptr);
            ::SelectObject(hMemDC, hOldBitmap);
            ::DeleteDC(hMemDC);
            ::DeleteObject(hRgn);
            continue;
        }

        rc.left += kTextMargin;
        rc.right -= kTextMargin;
        SIZE extent{};
        ::GetTextExtentPoint32A(hDC, text, text.GetLength(), &extent);
        CString shown = FitCellText(text, rc.right - rc.left, extent.cx);
        ::DrawTextA(hDC, shown, shown.GetLength(), &rc, 0);
    }

    ::SelectObject(hDC, hOldPen);
    ::SelectObject(hDC, hOldBrush);
    ::DeleteObject(hBrush);
}
