#include "core/watch/KnownFiles.h"

#include <cstring>

namespace songlark {

namespace {
// Eight bytes at a time: paths are long and the hash is on every lookup.
uint64_t Hash(const std::string& s)
{
    const uint64_t k = 0x9E3779B97F4A7C15ull;
    uint64_t h = s.size() * k;
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        h = (h ^ w) * k;
        h ^= h >> 29;
    }
    uint64_t tail = 0;
    std::memcpy(&tail, s.data() + i, s.size() - i);
    h = (h ^ tail) * k;
    return h ^ (h >> 32);
}
}  // namespace

KnownFiles::KnownFiles(Fold fold) : m_fold(fold), m_slots(64)
{
}

const std::string& KnownFiles::Folded(const std::string& path) const
{
    m_scratch.assign(path);
    if (m_fold) {
        m_fold(m_scratch);
    } else {
        for (char& c : m_scratch)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return m_scratch;
}

size_t KnownFiles::Find(const std::string& folded, uint64_t hash) const
{
    const size_t mask = m_slots.size() - 1;
    const uint32_t tag = static_cast<uint32_t>(hash >> 32);
    for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.entry == 0) return i;
        if (slot.hash != tag) continue;
        const char* entry = m_arena.data() + slot.entry - 1;
        uint32_t length;
        std::memcpy(&length, entry, sizeof length);
        if (length == folded.size() && std::memcmp(entry + sizeof length, folded.data(), length) == 0) return i;
    }
}

bool KnownFiles::Contains(const std::string& path) const
{
    const std::string& folded = Folded(path);
    return m_slots[Find(folded, Hash(folded))].entry != 0;
}

bool KnownFiles::Add(const std::string& path)
{
    const std::string& folded = Folded(path);
    const uint64_t hash = Hash(folded);
    size_t i = Find(folded, hash);
    if (m_slots[i].entry != 0) return false;
    // Keep the table at most half full so that probes stay short.
    if ((m_paths.size() + 1) * 2 > m_slots.size()) {
        Grow();
        i = Find(folded, hash);
    }
    m_slots[i] = Slot{static_cast<uint32_t>(m_arena.size() + 1), static_cast<uint32_t>(hash >> 32)};
    const uint32_t length = static_cast<uint32_t>(folded.size());
    m_arena.append(reinterpret_cast<const char*>(&length), sizeof length);
    m_arena += folded;
    m_paths.push_back(path);
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
        const uint64_t hash = Hash(std::string(entry + sizeof length, length));
        size_t i = static_cast<size_t>(hash) & mask;
        while (m_slots[i].entry != 0) i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

}  // namespace songlark
