#include "core/watch/KnownFiles.h"

namespace songlark {

KnownFiles::KnownFiles(Fold fold) : m_fold(std::move(fold))
{
}

std::string KnownFiles::Folded(const std::string& path) const
{
    if (m_fold) return m_fold(path);
    std::string folded = path;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

bool KnownFiles::Contains(const std::string& path) const
{
    return m_folded.count(Folded(path)) != 0;
}

bool KnownFiles::Add(const std::string& path)
{
    if (!m_folded.insert(Folded(path)).second) return false;
    m_paths.push_back(path);
    return true;
}

}  // namespace songlark
