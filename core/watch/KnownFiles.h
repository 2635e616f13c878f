#pragma once

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

namespace songlark {

// The paths the watcher has met, in the order met; only grows. Lookups
// compare without regard to letter case and cost the same however many
// paths are known: each path is kept once more in its folded form in a hash
// set. The folding is given by the caller (the system's multibyte lower
// case on Windows), so the answers match a case-insensitive comparison.
class KnownFiles {
public:
    using Fold = std::function<std::string(const std::string&)>;

    // Without a fold function, ASCII letters are folded.
    explicit KnownFiles(Fold fold = Fold());

    bool Contains(const std::string& path) const;
    // Appends the path; false (and nothing added) when it is already known.
    bool Add(const std::string& path);

    size_t size() const { return m_paths.size(); }
    const std::string& operator[](size_t i) const { return m_paths[i]; }

private:
    std::string Folded(const std::string& path) const;

    Fold m_fold;
    std::vector<std::string> m_paths;
    std::unordered_set<std::string> m_folded;
};

}  // namespace songlark
