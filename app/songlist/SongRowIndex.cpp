#include "app/songlist/SongRowIndex.h"

#include "platform/FoldText.h"

#include <cstring>

std::string CSongRowIndex::Key(const CString& artist, const CString& title)
{
    // Texts count up to their first zero byte, as the table holds them; so
    // a zero byte parts the two unambiguously.
    const size_t artistLength = std::strlen(artist.GetString());
    std::string key;
    key.reserve(artistLength + static_cast<size_t>(title.GetLength()) + 2);
    key.append(artist.GetString(), artistLength).push_back('\0');
    key.append(title.GetString()).push_back('\0');
    songlark::FoldTextCase(&key[0], artistLength);
    songlark::FoldTextCase(&key[artistLength + 1], key.size() - artistLength - 2);
    return key;
}

void CSongRowIndex::Append(const CString& artist, const CString& title)
{
    m_rows.push_back(Row{artist, title});
    if (!m_bStale) m_first.emplace(Key(artist, title), static_cast<int>(m_rows.size()) - 1);
}

void CSongRowIndex::Erase(int row)
{
    if (row < 0 || row >= GetCount()) return;
    m_rows.erase(m_rows.begin() + row);
    m_bStale = true;
}

void CSongRowIndex::Clear()
{
    m_rows.clear();
    m_first.clear();
    m_bStale = false;
}

void CSongRowIndex::Rebuild() const
{
    m_first.clear();
    m_first.reserve(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) m_first.emplace(Key(m_rows[i].strArtist, m_rows[i].strTitle), static_cast<int>(i));
    m_bStale = false;
}

int CSongRowIndex::Find(const CString& artist, const CString& title) const
{
    if (m_bStale) Rebuild();
    const auto it = m_first.find(Key(artist, title));
    return it == m_first.end() ? -1 : it->second;
}
