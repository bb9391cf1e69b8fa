// CEraNameIndex: for each era name, the years of the first record bearing it; the bookkeeping
// behind CGengouEra::SetData's name check while the table is sorted. Internal to the library.
//
// The names sit side by side in one array and an open-addressing table of 8-byte slots (linear
// probing, at most half full) finds them: a lookup touches one slot and, when a slot's part of the
// hash matches, one name. Compact on purpose: at a few hundred thousand names a node-based map
// spends most of its time waiting for memory.
#pragma once

#include <framework/String.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class CEraNameIndex {
public:
    struct SFirst {
        std::int32_t lBeginYear;
        std::int32_t lEndYear;
    };

    // The entry of strName. When there is none, enters strName with first and sets bInserted.
    // The reference stays valid until the next FindOrInsert or Clear.
    SFirst& FindOrInsert(const CString& strName, SFirst first, bool& bInserted);

    // Removes every name and frees the storage.
    void Clear();

    std::size_t GetCount() const { return m_entries.size(); }

private:
    struct SEntry {
        CString strName;
        SFirst first;
    };

    void Grow();
    void Place(std::size_t nHash, std::size_t nEntry);

    std::vector<SEntry> m_entries;
    // Empty or a power of two in size. A used slot holds the high 32 bits of the name's hash and
    // the entry's index + 1 in its low 32 bits; 0 is an empty slot.
    std::vector<std::uint64_t> m_slots;
};
