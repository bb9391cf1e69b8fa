// Finding by text: going round at either end, the count kept for one state of the table, the
// filter; finding by year.
#include "EventSearch.h"

#include <gtest/gtest.h>

#include <framework/Cp932.h>

#include "EventTestData_test.h"

namespace {

// Five events, two of them of low priority (2): 0 a幕府 (1), 1 b, 2 c幕府 (2), 3 d, 4 e幕府.
void Fill(CYearEvent& events)
{
    events.SetData(Event(1300, "a幕府", 1), true, -1, PRIORITY_ALL);
    events.SetData(Event(1400, "b", 0), true, -1, PRIORITY_ALL);
    events.SetData(Event(1500, "c幕府", 2), true, -1, PRIORITY_ALL);
    events.SetData(Event(1600, "d", 2), true, -1, PRIORITY_ALL);
    events.SetData(Event(1700, "e幕府", 0), true, -1, PRIORITY_ALL);
}

} // namespace

TEST(EventSearch, FindsOnAndGoesRoundAtEitherEnd)
{
    CYearEvent events;
    Fill(events);
    const struct {
        int nCurrent;
        bool bForward;
        EEventPriority eFilter;
        int nFound;
        bool bWrapped;
    } aCases[] = {
        {-1, true, PRIORITY_ALL, 0, false},     // nothing selected: the first
        {-1, false, PRIORITY_ALL, 4, false},    // backwards: the last
        {0, true, PRIORITY_ALL, 2, false},
        {2, true, PRIORITY_ALL, 4, false},
        {4, true, PRIORITY_ALL, 0, true},       // round from the start
        {3, true, PRIORITY_ALL, 4, false},      // from a row that does not match
        {4, false, PRIORITY_ALL, 2, false},
        {0, false, PRIORITY_ALL, 4, true},      // round from the end
        {2, false, PRIORITY_MIDDLE, 0, false},  // c (priority 2) is hidden
        {0, true, PRIORITY_MIDDLE, 4, false},
        {4, true, PRIORITY_MIDDLE, 0, true},
        {0, false, PRIORITY_HIGH, 4, true},
        {4, true, PRIORITY_HIGH, 4, true},      // the only match: found again, going round
        {99, true, PRIORITY_ALL, 0, false},     // a selection past the end counts as none
    };
    for (const auto& test : aCases) {
        CEventSearch search;
        const CEventSearch::SFound found =
            search.Find(events, CP932("幕府"), test.eFilter, test.nCurrent, test.bForward, 1);
        EXPECT_EQ(test.nFound, found.nIndex) << test.nCurrent << (test.bForward ? " forward " : " back ") << test.eFilter;
        EXPECT_EQ(test.bWrapped, found.bWrapped) << test.nCurrent << (test.bForward ? " forward " : " back ");
    }
}

TEST(EventSearch, CountsTheShownMatchesOncePerState)
{
    CYearEvent events;
    Fill(events);
    CEventSearch search;
    EXPECT_EQ(3, search.Find(events, CP932("幕府"), PRIORITY_ALL, -1, true, 1).nCount);
    EXPECT_EQ(2, search.Find(events, CP932("幕府"), PRIORITY_MIDDLE, -1, true, 1).nCount);
    EXPECT_EQ(1, search.Find(events, CP932("幕府"), PRIORITY_HIGH, -1, true, 1).nCount);
    EXPECT_EQ(CP932("幕府"), search.LastText());

    // The same revision keeps the count even though the table changed behind its back; a new
    // revision counts again.
    events.SetData(Event(1800, "f幕府", 0), true, -1, PRIORITY_ALL);
    EXPECT_EQ(1, search.Count(events, CP932("幕府"), PRIORITY_HIGH, 1));
    EXPECT_EQ(2, search.Count(events, CP932("幕府"), PRIORITY_HIGH, 2));
    EXPECT_EQ(4, search.Count(events, CP932("幕府"), PRIORITY_ALL, 2));

    // Nothing to find: no index, the selection stays with the caller.
    const CEventSearch::SFound none = search.Find(events, CP932("見つからない"), PRIORITY_ALL, 2, true, 2);
    EXPECT_EQ(-1, none.nIndex);
    EXPECT_EQ(0, none.nCount);
    EXPECT_EQ(-1, search.Find(events, CString(), PRIORITY_ALL, 2, true, 2).nIndex);
    EXPECT_EQ(-1, search.Find(CYearEvent(), CP932("幕府"), PRIORITY_ALL, -1, true, 3).nIndex);
}

TEST(EventSearch, YearRowIsTheFirstShownEventOfTheYearOrAfter)
{
    CYearEvent events;
    Fill(events);
    const struct {
        std::int32_t lYear;
        EEventPriority eFilter;
        int nShown;
        int nRow;
    } aCases[] = {
        {1300, PRIORITY_ALL, 5, 0}, {1301, PRIORITY_ALL, 5, 1}, {1, PRIORITY_ALL, 5, 0},
        {1700, PRIORITY_ALL, 5, 4}, {2000, PRIORITY_ALL, 5, 4},   // after the last: the last row
        {1500, PRIORITY_MIDDLE, 3, 2},                          // c and d hidden: e is row 2
        {1500, PRIORITY_HIGH, 2, 1}, {1300, PRIORITY_HIGH, 2, 0},
        {1500, PRIORITY_ALL, 0, -1},                            // nothing shown
    };
    for (const auto& test : aCases)
        EXPECT_EQ(test.nRow, CEventSearch::YearRow(events, test.lYear, test.eFilter, test.nShown))
            << test.lYear << " " << test.eFilter;
}
