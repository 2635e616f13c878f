#pragma once

#include "framework/Gdi.h"
#include "framework/ListCtrl.h"

// The owner-drawn song table: the status column as two glyphs (source and
// search state), the artist and title as text cut with "..." when too wide.
class CSongListCtrl : public CListCtrl {
public:
    CSongListCtrl() = default;
    ~CSongListCtrl() override;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    int GetColumnCount() const;

    // Glyph size and the strip's rows.
    static constexpr int kGlyphWidth = 15;
    static constexpr int kGlyphHeight = 14;
    static constexpr int kTextMargin = 6;

    CBitmap m_bmpGlyphs;
};

// The text drawn for a cell whose text is textWidth pixels wide in a cell of
// cellWidth pixels: the text itself when it fits (or is empty), else its first
// characters by the average character width, minus three, followed by "...".
CString FitCellText(const CString& text, int cellWidth, int textWidth);
