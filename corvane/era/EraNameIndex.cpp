#include "era/EraNameIndex.h"

#include <functional>

namespace {

std::uint64_t HashOf(const CString& str)
{
    return std::hash<CString>()(str);
}

} // namespace

CEraNameIndex::SFirst& CEraNameIndex::FindOrInsert(const CString& strName, SFirst first, bool& bInserted)
{
    if ((m_entries.size() + 1) * 2 > m_slots.size())
        Grow();
    const std::uint64_t nHash = HashOf(strName);
    const std::uint64_t nTag = nHash >> 32;
    const std::size_t nMask = m_slots.size() - 1;
    for (std::size_t i = nHash & nMask;; i = (i + 1) & nMask) {
        const std::uint64_t nSlot = m_slots[i];
        if (nSlot == 0) {
            m_entries.push_back({strName, first});
            m_slots[i] = (nTag << 32) | m_entries.size();
            bInserted = true;
            return m_entries.back().first;
        }
        if ((nSlot >> 32) == nTag) {
            SEntry& entry = m_entries[(nSlot & 0xFFFFFFFFu) - 1];
            if (entry.strName == strName) {
                bInserted = false;
                return entry.first;
            }
        }
    }
}

void CEraNameIndex::Clear()
{
    std::vector<SEntry>().swap(m_entries);
    std::vector<std::uint64_t>().swap(m_slots);
}

void CEraNameIndex::Grow()
{
    m_slots.assign(m_slots.empty() ? 16 : m_slots.size() * 2, 0);
    for (std::size_t n = 0; n < m_entries.size(); ++n)
        Place(HashOf(m_entries[n].strName), n);
}

void CEraNameIndex::Place(std::size_t nHash, std::size_t nEntry)
{
    const std::size_t nMask = m_slots.size() - 1;
    std::size_t i = nHash & nMask;
    while (m_slots[i] != 0)
        i = (i + 1) & nMask;
    m_slots[i] = (static_cast<std::uint64_t>(nHash >> 32) << 32) | (nEntry + 1);
}
