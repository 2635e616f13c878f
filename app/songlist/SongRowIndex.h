#pragma once

#include "framework/CString.h"

#include <string>
#include <unordered_map>
#include <vector>

// The song table's artist and title per row, in row order, with a hash of
// their case-free forms, so that finding a song costs the same however many
// rows the table holds. Texts compare like _mbsicmp (FoldTextCase); the
// first row of equal texts is the one found.
class CSongRowIndex {
public:
    void Append(const CString& artist, const CString& title);
    void Erase(int row);
    void Clear();
    int GetCount() const { return static_cast<int>(m_rows.size()); }

    // The 0-based index of the first row with these texts, or -1.
    int Find(const CString& artist, const CString& title) const;

private:
    struct Row {
        CString strArtist;
        CString strTitle;
    };

    static std::string Key(const CString& artist, const CString& title);
    void Rebuild() const;

    std::vector<Row> m_rows;
    // The key of each row's texts to the first row that has them; rebuilt
    // after an erase, which moves the rows below it up.
    mutable std::unordered_map<std::string, int> m_first;
    mutable bool m_bStale = false;
};
