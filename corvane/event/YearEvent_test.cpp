#include <corvane/YearEvent.h>

#include "testing/EventTestSupport.h"
#include "testing/FakeHostUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

namespace {

using eventtest::Event;

// The event texts in list order, separated by blanks.
std::string Texts(CYearEvent& table)
{
    std::string str;
    SEventData data;
    for (bool b = table.GetFirstData(&data); b; b = table.GetNextData(&data))
        str += (str.empty() ? "" : " ") + data.strEvent.Str();
    return str;
}

void Add(CYearEvent& table, const SEventData& data, bool bSorted = true)
{
    ASSERT_TRUE(table.SetData(data, bSorted, -1, PRIORITY_ALL));
}

TEST(YearEventTest, SortedAddingOrdersByYearAndDateKeyInEveryArrivalOrder)
{
    // undated < month 3 < 3/1 < leap month 3 < month 4, whatever order they arrive in.
    std::array<SEventData, 5> events = {Event(1700, -1, -1, "a"), Event(1700, 3, -1, "b"), Event(1700, 3, 1, "c"),
                                        Event(1700, 3, -1, "d", 0, true), Event(1700, 4, -1, "e")};
    std::array<int, 5> order = {0, 1, 2, 3, 4};
    do {
        CYearEvent table;
        Add(table, Event(1701, -1, -1, "z"));
        Add(table, Event(1699, 12, 31, "y"));
        for (int i : order)
            Add(table, events[static_cast<std::size_t>(i)]);
        ASSERT_EQ("y a b c d e z", Texts(table));
    } while (std::next_permutation(order.begin(), order.end()));

    // Equal year and key: insertion order, the newer after; an equal key ignores the note.
    CYearEvent table;
    for (const char* psz : {"1", "2", "3"})
        Add(table, Event(1700, 3, 1, psz));
    Add(table, Event(1700, 3, 1, "4", 2, false, "note"));
    Add(table, Event(1700, -1, 0, "0"));   // day 0 with no month has key 0, as an undated event
    Add(table, Event(1700, -1, -1, "00"));
    EXPECT_EQ("0 00 1 2 3 4", Texts(table));
}

TEST(YearEventTest, InsertAtDateTakesOwnershipOnlyOnSuccess)
{
    CYearEvent table;
    auto pFirst = std::make_unique<SEventData>(Event(1700, 5, -1, "first"));
    EXPECT_FALSE(table.InsertAtDate(pFirst));   // empty table: the caller keeps the record
    ASSERT_NE(nullptr, pFirst);
    EXPECT_FALSE(table.GetModified());
    Add(table, *pFirst);

    auto pLater = std::make_unique<SEventData>(Event(1800, 1, 1, "later"));
    EXPECT_FALSE(table.InsertAtDate(pLater));   // nothing sorts after it
    ASSERT_NE(nullptr, pLater);

    auto pEarlier = std::make_unique<SEventData>(Event(1600, 1, 1, "earlier"));
    const SEventData* pRecord = pEarlier.get();
    EXPECT_TRUE(table.InsertAtDate(pEarlier));
    EXPECT_EQ(nullptr, pEarlier);
    EXPECT_EQ(pRecord, table.GetEventData().front().get());   // the very record, now the table's
    EXPECT_TRUE(table.GetModified());

    std::unique_ptr<SEventData> pNone;
    EXPECT_FALSE(table.InsertAtDate(pNone));
    EXPECT_EQ("earlier first", Texts(table));
}

TEST(YearEventTest, SetDataReplacesInPlaceOrMovesByItsRules)
{
    const auto make = [] {
        auto pTable = std::make_unique<CYearEvent>();
        for (const SEventData& data : {Event(1700, -1, -1, "u"), Event(1700, 2, -1, "b"), Event(1700, 5, 1, "e"),
                                       Event(1701, 1, 1, "n")})
            pTable->SetData(data, true, -1, PRIORITY_ALL);
        pTable->SetData(Event(1700, 1, 1, "late"), false, -1, PRIORITY_ALL);   // appended, out of order
        pTable->SetModified(false);
        return pTable;
    };
    struct SCase {
        int nIndex;
        SEventData data;
        const char* pszTexts;
    };
    const SCase cases[] = {
        {0, Event(1700, -1, -1, "U"), "U b e n late"},      // undated, new text: keeps its place
        {0, Event(1700, 6, -1, "U"), "b e U n late"},       // a month now: goes to its date
        {2, Event(1700, -1, -1, "E"), "u b E n late"},      // dated to undated: stays between dated ones
        {2, Event(1700, 5, 1, "E", 2), "u b E n late"},     // same date, new priority: in place
        {4, Event(1700, 1, 1, "L", 1), "u b e n L"},        // same date: stays out of order
        {4, Event(1700, 1, 2, "L"), "u L b e n"},           // new day: removed and inserted by date
        {2, Event(1702, 5, 1, "e"), "u b n late e"},        // new year: sorted, whatever bSorted says
    };
    for (const SCase& c : cases) {
        auto pTable = make();
        EXPECT_TRUE(pTable->SetData(c.data, false, c.nIndex, PRIORITY_ALL));
        EXPECT_EQ(c.pszTexts, Texts(*pTable)) << c.data.strEvent;
        EXPECT_TRUE(pTable->GetModified());
    }

    auto pTable = make();
    SEventData same;
    ASSERT_TRUE(pTable->GetAt(1, &same, PRIORITY_ALL));
    EXPECT_TRUE(pTable->SetData(same, true, 1, PRIORITY_ALL));   // equal: nothing changes
    EXPECT_FALSE(pTable->GetModified());
    EXPECT_FALSE(pTable->SetData(same, true, 5, PRIORITY_ALL));
    EXPECT_FALSE(pTable->SetData(same, true, -2, PRIORITY_ALL));
    EXPECT_EQ("u b e n late", Texts(*pTable));
    EXPECT_FALSE(pTable->GetModified());
}

TEST(YearEventTest, FiltersHideEventsFromIndexes)
{
    CYearEvent table;
    for (const SEventData& data : {Event(1, -1, -1, "p2", 2), Event(2, -1, -1, "p0", 0), Event(3, -1, -1, "p1", 1),
                                   Event(4, -1, -1, "p3", 3), Event(5, -1, -1, "q0", 0)})
        Add(table, data);
    const auto at = [&](int nIndex, EEventPriority eFilter) {
        SEventData data;
        return table.GetAt(nIndex, &data, eFilter) ? data.strEvent.Str() : std::string("-");
    };
    EXPECT_EQ("p0", at(0, PRIORITY_HIGH));
    EXPECT_EQ("q0", at(1, PRIORITY_HIGH));
    EXPECT_EQ("-", at(2, PRIORITY_HIGH));
    EXPECT_EQ("p1", at(1, PRIORITY_MIDDLE));
    EXPECT_EQ("p3", at(3, PRIORITY_LOW));    // the index rule shows every event under LOW
    EXPECT_EQ("-", at(0, static_cast<EEventPriority>(-1)));
    EXPECT_EQ("-", at(-1, PRIORITY_ALL));
    EXPECT_EQ("-", at(5, PRIORITY_ALL));
    // Walking backwards and forwards again under a filter gives the same events.
    EXPECT_EQ("q0", at(1, PRIORITY_HIGH));
    EXPECT_EQ("p0", at(0, PRIORITY_HIGH));
    // The query rule hides priority 3 under LOW, the index rule does not.
    EXPECT_EQ(-1, table.GetIndexFromYear(4, PRIORITY_LOW));
    EXPECT_EQ(3, table.GetIndexFromYear(4, PRIORITY_ALL));
    EXPECT_EQ(3, table.GetIndexFromEventData(Event(4, -1, -1, "p3", 3), PRIORITY_LOW));
    // IsShown is the query rule: at each edge of each filter it agrees with the year queries.
    for (const EEventPriority eFilter : {static_cast<EEventPriority>(-1), PRIORITY_HIGH, PRIORITY_MIDDLE,
                                         PRIORITY_LOW, PRIORITY_ALL}) {
        for (const int nPriority : {-1, 0, 1, 2, 3, 7}) {
            CYearEvent one;
            Add(one, Event(1, -1, -1, "e", nPriority));
            EXPECT_EQ(one.GetNumOfYear(1, eFilter) == 1, CYearEvent::IsShown(Event(1, -1, -1, "e", nPriority), eFilter))
                << "filter " << eFilter << ", priority " << nPriority;
        }
    }
    EXPECT_TRUE(CYearEvent::IsShown(Event(1, -1, -1, "e", 7), PRIORITY_ALL));
    EXPECT_FALSE(CYearEvent::IsShown(Event(1, -1, -1, "e", 3), PRIORITY_LOW));

    SEventData removed;
    EXPECT_TRUE(table.RemoveAt(1, PRIORITY_HIGH, &removed));   // the last visible, last of the list
    EXPECT_EQ("q0", removed.strEvent.Str());
    EXPECT_FALSE(table.RemoveAt(1, PRIORITY_HIGH, nullptr));
    const SEventData replacement = Event(9, -1, -1, "r", 2);
    EXPECT_TRUE(table.SetAt(0, &replacement, PRIORITY_HIGH));  // in place, no re-sorting
    EXPECT_EQ("p2 r p1 p3", Texts(table));
}

TEST(YearEventTest, CursorWalksAndIsResetByEveryChange)
{
    CYearEvent table;
    SEventData data;
    EXPECT_FALSE(table.GetFirstData(&data));
    EXPECT_FALSE(table.GetTailData(&data));
    for (const char* psz : {"a", "b", "c"})
        Add(table, Event(1, -1, -1, psz));
    EXPECT_TRUE(table.GetTailData(&data));
    EXPECT_EQ("c", data.strEvent.Str());
    EXPECT_FALSE(table.GetNextData(&data));
    EXPECT_TRUE(table.GetCurPos() == table.GetEventData().end());

    ASSERT_TRUE(table.GetFirstData(&data));
    EXPECT_EQ("b", (*table.GetCurPos())->strEvent.Str());
    table.MoveToAfter(1, 0, PRIORITY_ALL);   // any change of the list
    EXPECT_FALSE(table.GetNextData(&data));

    ASSERT_TRUE(table.GetFirstData(&data));
    table.RemoveAll();
    EXPECT_FALSE(table.GetNextData(&data));
}

TEST(YearEventTest, AssignmentCopiesEventsAndBaseFields)
{
    CYearEvent source;
    source.SetTableName("name");
    source.SetTodayDate(true);
    for (const char* psz : {"a", "b"})
        Add(source, Event(1, -1, -1, psz));
    source.SetFileName("f.lev");

    CYearEvent target;
    Add(target, Event(0, -1, -1, "old"));
    target.SetModified(false);
    target = source;
    EXPECT_EQ("a b", Texts(target));
    EXPECT_EQ(CString("name"), target.GetTableName());
    EXPECT_EQ(CString("f.lev"), target.GetFileName());
    EXPECT_TRUE(target.GetTodayDate());
    EXPECT_TRUE(target.GetModified());
    EXPECT_NE(source.GetEventData().front().get(), target.GetEventData().front().get());

    SEventData data;
    ASSERT_TRUE(target.GetFirstData(&data));
    const CYearEvent& self = target;
    target = self;   // changes nothing, the cursor included
    EXPECT_TRUE(target.GetNextData(&data));
    EXPECT_EQ("a b", Texts(target));
}

TEST(YearEventTest, YearQueriesAndTheirSentinels)
{
    CYearEvent table;
    for (const SEventData& data : {Event(1600, -1, -1, "a", 1), Event(1600, 5, -1, "b", 0), Event(1603, -1, -1, "c", 2),
                                   Event(1610, -1, -1, "d", 0)})
        Add(table, data);
    struct SCase {
        std::int32_t lYear;
        EEventPriority eFilter;
        int nIndex, nNearest, nCount;
        std::int32_t lNext;
    };
    const SCase cases[] = {
        {1600, PRIORITY_ALL, 0, 0, 2, 1603},    {1600, PRIORITY_HIGH, 0, 0, 1, 1610},
        {1601, PRIORITY_ALL, -1, 2, 0, 1603},   {1603, PRIORITY_MIDDLE, -1, 2, 0, 1610},
        {1610, PRIORITY_HIGH, 1, 1, 1, NO_YEAR}, {1611, PRIORITY_ALL, -1, -1, 0, NO_YEAR},
        {-5, PRIORITY_ALL, -1, 0, 0, 1600},
    };
    for (const SCase& c : cases) {
        EXPECT_EQ(c.nIndex, table.GetIndexFromYear(c.lYear, c.eFilter)) << c.lYear << " " << c.eFilter;
        EXPECT_EQ(c.nNearest, table.GetNearestYear(c.lYear, c.eFilter)) << c.lYear << " " << c.eFilter;
        EXPECT_EQ(c.nCount, table.GetNumOfYear(c.lYear, c.eFilter)) << c.lYear << " " << c.eFilter;
        EXPECT_EQ(c.lNext, table.GetNextYear(c.lYear, c.eFilter)) << c.lYear << " " << c.eFilter;
    }
    EXPECT_EQ(2, table.GetIndexFromEventData(Event(1603, -1, -1, "c", 2), PRIORITY_ALL));
    EXPECT_EQ(-1, table.GetIndexFromEventData(Event(1603, -1, -1, "c", 2), PRIORITY_MIDDLE));
    EXPECT_EQ(1, table.GetIndexFromEventData(Event(1610, -1, -1, "d", 0), PRIORITY_HIGH));

    std::vector<SEventData*> vData(3, nullptr);
    EXPECT_TRUE(table.GetData(1600, vData, PRIORITY_ALL));
    ASSERT_EQ(2u, vData.size());
    EXPECT_EQ(table.GetEventData().front().get(), vData[0]);   // the table's own records
    EXPECT_FALSE(table.GetData(1603, vData, PRIORITY_MIDDLE));
    EXPECT_TRUE(vData.empty());
    EXPECT_EQ(0u, vData.capacity());
}

TEST(YearEventTest, SearchStrLooksInTextWithoutMarkup)
{
    CYearEvent table;
    for (const SEventData& data : {Event(1600, -1, -1, "<a href=\"fire.htm\">x</a>", 0), Event(1601, -1, -1, "fire", 2),
                                   Event(1602, -1, -1, "<b>fi</b>re", 0), Event(1603, -1, -1, "fire", 0)})
        Add(table, data);
    std::int32_t lYear = 7;
    EXPECT_EQ(-1, table.SearchStr("fire.htm", lYear, 0, 9999, PRIORITY_ALL, -1));   // inside markup only
    EXPECT_EQ(7, lYear);
    EXPECT_EQ(1, table.SearchStr("fire", lYear, 0, 9999, PRIORITY_ALL, -1));
    EXPECT_EQ(NO_YEAR, lYear);
    EXPECT_EQ(2, table.SearchStr("fire", lYear, 0, 9999, PRIORITY_MIDDLE, -1));   // priority 2 hidden
    EXPECT_EQ(3, table.SearchStr("fire", lYear, 0, 9999, PRIORITY_ALL, 3));
    EXPECT_EQ(3, table.SearchStr("fire", lYear, 1603, 1603, PRIORITY_ALL, 0));
    EXPECT_EQ(-1, table.SearchStr("fire", lYear, 0, 9999, PRIORITY_ALL, 4));      // start == GetLen()
    EXPECT_EQ(-1, table.SearchStr("fire", lYear, 0, 9999, PRIORITY_ALL, -2));
    EXPECT_EQ(0, table.SearchStr("", lYear, 0, 9999, PRIORITY_ALL, -1));
}

TEST(YearEventTest, MovesWithinAYearAndAroundHiddenEvents)
{
    const auto make = [] {
        auto pTable = std::make_unique<CYearEvent>();
        for (const SEventData& data : {Event(1, -1, -1, "x"), Event(2, -1, -1, "a"), Event(2, -1, -1, "b", 2),
                                       Event(2, -1, -1, "c"), Event(3, -1, -1, "y")})
            pTable->SetData(data, true, -1, PRIORITY_ALL);
        pTable->SetModified(false);
        return pTable;
    };
    struct SCase {
        bool bAfter;
        std::int32_t lYear;
        int nPos;
        EEventPriority eFilter;
        bool bResult, bMessage;
        const char* pszTexts;
    };
    const SCase cases[] = {
        {true, 2, 0, PRIORITY_ALL, true, false, "x b a c y"},
        {true, 2, 1, PRIORITY_ALL, true, false, "x a c b y"},
        {false, 2, 1, PRIORITY_ALL, true, false, "x b a c y"},
        {false, 2, 2, PRIORITY_ALL, true, false, "x a c b y"},
        {true, 2, 0, PRIORITY_HIGH, false, true, "x a b c y"},    // b is hidden: message, no move
        {true, 2, 0, PRIORITY_LOW, true, false, "x b a c y"},
        {false, 2, 1, PRIORITY_HIGH, false, true, "x a b c y"},
        {true, 2, 1, PRIORITY_HIGH, true, false, "x a b y c"},    // c is position 1; the caller's business
        {true, 9, 0, PRIORITY_ALL, true, false, "x a b c y"},     // no such year: true, no change
        {true, 2, 5, PRIORITY_ALL, false, false, "x a b c y"},    // stepping runs past the list
        {true, 3, 0, PRIORITY_ALL, false, false, "x a b c y"},    // no event after the last one
        {true, 2, 3, PRIORITY_ALL, false, false, "x a b c y"},    // reached y, not of year 2
    };
    for (const SCase& c : cases) {
        CFakeHostUi ui;
        auto pTable = make();
        SCOPED_TRACE(testing::Message() << c.bAfter << " " << c.lYear << " " << c.nPos << " " << c.eFilter);
        // The check foretells the move, silently and without a change.
        const bool bChanges = c.pszTexts != std::string("x a b c y");
        EXPECT_EQ(c.bMessage ? CYearEvent::MOVE_HIDDEN
                  : bChanges ? CYearEvent::MOVE_SWAPS
                  : c.bResult ? CYearEvent::MOVE_NO_YEAR
                              : CYearEvent::MOVE_REFUSED,
                  c.bAfter ? pTable->CheckMoveToAfter(c.lYear, c.nPos, c.eFilter)
                           : pTable->CheckMoveToBefore(c.lYear, c.nPos, c.eFilter));
        EXPECT_EQ("x a b c y", Texts(*pTable));
        EXPECT_TRUE(ui.m_messages.empty());
        const bool bResult = c.bAfter ? pTable->MoveToAfter(c.lYear, c.nPos, c.eFilter)
                                      : pTable->MoveToBefore(c.lYear, c.nPos, c.eFilter);
        EXPECT_EQ(c.bResult, bResult);
        EXPECT_EQ(c.pszTexts, Texts(*pTable));
        EXPECT_EQ(bChanges, pTable->GetModified());
        ASSERT_EQ(c.bMessage ? 1u : 0u, ui.m_messages.size());
        if (c.bMessage) {
            EXPECT_EQ(LiteralToCp932("表示優先度の設定によって、表示されていないデータがあるため、移動ができません。\r\n"
                                     "「表示」→「表示優先度」で「すべて表示する」を選択して操作をやり直してください。"),
                      ui.m_messages[0].strText);
            EXPECT_EQ(MB_OK, ui.m_messages[0].nType);
        }
    }
}

TEST(YearEventTest, MergeInsertsCopiesByDate)
{
    CYearEvent table;
    table.SetTableName("mine");
    for (const SEventData& data : {Event(1, 1, -1, "a"), Event(2, -1, -1, "b")})
        Add(table, data);
    CYearEvent other;
    for (const SEventData& data : {Event(2, -1, -1, "B"), Event(1, 1, -1, "A"), Event(0, -1, -1, "Z")})
        Add(other, data, false);
    table.SetModified(false);
    EXPECT_TRUE(table.Merge(other));
    EXPECT_EQ("Z a A b B", Texts(table));
    EXPECT_EQ(CString("mine"), table.GetTableName());
    EXPECT_TRUE(table.GetModified());
    SEventData data;
    EXPECT_FALSE(other.GetNextData(&data));   // the other table's cursor ended as none

    CYearEvent copy;
    copy = table;
    EXPECT_TRUE(table.Merge(copy));           // a copy of itself doubles every event
    EXPECT_EQ("Z Z a A a A b B b B", Texts(table));
    CYearEvent empty;
    EXPECT_TRUE(table.Merge(empty));
    EXPECT_TRUE(table.Merge(table));          // itself: the same as with a copy
    EXPECT_EQ("Z Z Z Z a A a A a A a A b B b B b B b B", Texts(table));
}

} // namespace
