// CBandEvents: the events of a chronology as the band view places them: each event's stretch of
// time, grouped by priority and sorted by time within a group, so that the events of any stretch
// are found by binary search whatever the size of the table. No toolkit.
//
// The index points into the table's own records: it is to be rebuilt (Build) whenever the table
// changes, and must not be used after the table has changed or gone.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include <corvane/YearEvent.h>

// One event on the line of time (see CBandScale): a day, a month, or a whole year for an event
// without a month.
struct SBandEvent {
    double dBegin = 0;
    double dEnd = 0;                       // exclusive; at most a year after dBegin
    int nListIndex = -1;                   // its position in the table's list
    const SEventData* pData = nullptr;     // the table's record
};

class CBandEvents {
public:
    // The groups: priority 0 (and below), 1, 2, and 3 or above (shown only with every priority).
    static constexpr int kGroups = 4;
    // The group of a priority, and the number of groups (from group 0) a filter shows.
    static int GroupOf(std::int32_t nPriority);
    static int GroupsShown(EEventPriority eFilter);

    // Indexes every event of the table (linear in its size, plus a sort when it is not in date
    // order); Clear forgets them.
    void Build(const CYearEvent& events);
    void Clear();

    std::size_t Size() const { return m_vWhere.size(); }
    const std::vector<SBandEvent>& Group(int nGroup) const { return m_avGroups[nGroup]; }
    // The positions [first, last) in a group of the events that begin at dFrom or later and
    // before dTo.
    std::pair<std::size_t, std::size_t> Range(int nGroup, double dFrom, double dTo) const;
    // The number of events the filter shows that overlap dFrom..dTo.
    std::size_t CountVisible(EEventPriority eFilter, double dFrom, double dTo) const;
    // The indexed event at a list index and its group; null for an index outside the table.
    const SBandEvent* Find(int nListIndex, int* pGroup = nullptr) const;
    // The stretch from the first event's beginning to a year after the last one's beginning;
    // false when there is no event.
    bool Extent(double& dFrom, double& dTo) const;

private:
    std::vector<SBandEvent> m_avGroups[kGroups];
    std::vector<std::pair<int, int>> m_vWhere;   // list index -> (group, position)
};
