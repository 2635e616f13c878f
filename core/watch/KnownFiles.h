#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace songlark {

// The paths the watcher has met, in the order met; only grows. Lookups
// compare without regard to letter case and cost the same however many
// paths are known: the folded form of each path sits in one contiguous
// arena, found through an open-addressing table of hashes, so a lookup
// touches about two cache lines and allocates nothing. The folding
// is given by the caller (the system's multibyte lower case on Windows), so
// the answers match a case-insensitive comparison. Lookups write nothing, so
// any number of threads may ask at once; Add belongs to one thread, and
// nobody asks while it runs.
class KnownFiles {
public:
    // Folds a zero-terminated path of `length` bytes to its case-free form
    // in place, keeping its length.
    using Fold = void (*)(char* path, size_t length);

    // Without a fold function, ASCII letters are folded.
    explicit KnownFiles(Fold fold = nullptr);

    bool Contains(const std::string& path) const;
    // Appends the path; false (and nothing added) when it is already known.
    bool Add(const std::string& path);

    size_t size() const { return m_paths.size(); }
    const std::string& operator[](size_t i) const { return m_paths[i]; }

private:
    // Eight bytes, so that the table of 100 000 paths stays small enough
    // for the caches. The arena holds each folded path after its length.
    struct Slot {
        uint32_t entry = 0;  // 1 + offset of the entry in m_arena; 0: empty
        uint32_t hash = 0;   // the upper half of the path's hash
    };

    // Copies path folded into `buffer` when it fits, else into `spill`.
    const char* Folded(const std::string& path, char* buffer, size_t size, std::string& spill) const;
    // The slot holding `folded`, or the empty slot where it would go.
    size_t Find(const char* folded, size_t length, uint64_t hash) const;
    void Grow();

    Fold m_fold;
    std::vector<std::string> m_paths;
    std::string m_arena;
    std::vector<Slot> m_slots;
};

}  // namespace songlark
