#include "core/watch/KnownFiles.h"

#include <cstring>

namespace songlark {

namespace {
// Eight bytes at a time: paths are long and the hash is on every lookup.
uint64_t Hash(const char* s, size_t size)
{
    const uint64_t k = 0x9E3779B97F4A7C15ull;
    uint64_t h = size * k;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t w;
        std::memcpy(&w, s + i, 8);
        h = (h ^ w) * k;
        h ^= h >> 29;
    }
    uint64_t tail = 0;
    std::memcpy(&tail, s + i, size - i);
    h = (h ^ tail) * k;
    return h ^ (h >> 32);
}
// Paths of the watched folders fit here; longer ones take the heap.
constexpr size_t kFoldBuffer = 1024;
}  // namespace

KnownFiles::KnownFiles(Fold fold) : m_fold(fold), m_slots(64)
{
}

const char* KnownFiles::Folded(const std::string& path, char* buffer, size_t size, std::string& spill) const
{
    char* folded = buffer;
    if (path.size() < size) {
        std::memcpy(buffer, path.c_str(), path.size() + 1);
    } else {
        spill = path;
        folded = &spill[0];
    }
    if (m_fold) {
        m_fold(folded, path.size());
    } else {
        for (size_t i = 0; i < path.size(); ++i)
            if (folded[i] >= 'A' && folded[i] <= 'Z') folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
    }
    return folded;
}

size_t KnownFiles::Find(const char* folded, size_t length, uint64_t hash) const
{
    const size_t mask = m_slots.size() - 1;
    const uint32_t tag = static_cast<uint32_t>(hash >> 32);
    for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.entry == 0) return i;
        if (slot.hash != tag) continue;
        const char* entry = m_arena.data() + slot.entry - 1;
        uint32_t stored;
        std::memcpy(&stored, entry, sizeof stored);
        if (stored == length && std::memcmp(entry + sizeof stored, folded, length) == 0) return i;
    }
}

bool KnownFiles::Contains(const std::string& path) const
{
    char buffer[kFoldBuffer];
    std::string spill;
    const char* folded = Folded(path, buffer, sizeof buffer, spill);
    return m_slots[Find(folded, path.size(), Hash(folded, path.size()))].entry != 0;
}

bool KnownFiles::Add(const std::string& path)
{
    char buffer[kFoldBuffer];
    std::string spill;
    const char* folded = Folded(path, buffer, sizeof buffer, spill);
    const size_t length = path.size();
    const uint64_t hash = Hash(folded, length);
    size_t i = Find(folded, length, hash);
    if (m_slots[i].entry != 0) return false;
    // Keep the table at most half full so that probes stay short.
    if ((m_paths.size() + 1) * 2 > m_slots.size()) {
        Grow();
        i = Find(folded, length, hash);
    }
    // Everything that may fail to allocate comes before the slot is set: a
    // failed Add leaves the set as it was, never a slot pointing past the arena.
    const size_t offset = m_arena.size();
    const uint32_t stored = static_cast<uint32_t>(length);
    try {
        m_arena.append(reinterpret_cast<const char*>(&stored), sizeof stored);
        m_arena.append(folded, length);
        m_paths.push_back(path);
    } catch (...) {
        m_arena.resize(offset);
        throw;
    }
    m_slots[i] = Slot{static_cast<uint32_t>(offset + 1), static_cast<uint32_t>(hash >> 32)};
    return true;
}

void KnownFiles::Grow()
{
    // The slot index comes from the low half of the hash, which the table
    // does not keep; it is computed again from the arena.
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    const size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.entry == 0) continue;
        const char* entry = m_arena.data() + slot.entry - 1;
        uint32_t length;
        std::memcpy(&length, entry, sizeof length);
        const uint64_t hash = Hash(entry + sizeof length, length);
        size_t i = static_cast<size_t>(hash) & mask;
        while (m_slots[i].entry != 0) i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

}  // namespace songlark
