#include <corvane/EventData.h>

#include "testing/EventTestSupport.h"
#include "testing/Cp932Literal.h"

#include <gtest/gtest.h>

namespace {

using eventtest::Event;

TEST(EventDataTest, MakeDateForEveryKindOfDate)
{
    struct SCase {
        int nMonth, nDay;
        bool bLeap;
        const char* pszDate;
    };
    const SCase cases[] = {
        {-1, -1, false, ""},         {-1, 3, true, ""},           // no month: no prefix at all
        {5, -1, false, "5月 "},      {5, 3, false, "5月3日 "},
        {5, -1, true, "閏5月 "},     {5, 3, true, "閏5月3日 "},
        {0, 0, false, "0月0日 "},    {-2, -7, false, "-2月-7日 "},   // printed as they are
        {12, 31, false, "12月31日 "},
    };
    for (const SCase& c : cases) {
        CString strDate("old");
        Event(2000, c.nMonth, c.nDay, "x", 0, c.bLeap).MakeDate(strDate);
        EXPECT_EQ(Cp932(c.pszDate), strDate.Str()) << c.nMonth << "/" << c.nDay << " leap " << c.bLeap;
    }

    SEventData initialized = Event(1, 2, 3, "a", 1, true, "n");
    initialized.Initialize();
    EXPECT_EQ(Event(0, 0, 0, "", 0, false, ""), initialized);
    CString strDate;
    initialized.MakeDate(strDate);
    EXPECT_EQ(Cp932("0月0日 "), strDate.Str());
}

TEST(EventDataTest, SearchReportsEachPartThatHoldsTheText)
{
    const SEventData data = Event(1600, 9, 15, Cp932("関ヶ原の戦い").c_str(), 0, true, Cp932("東軍が勝つ").c_str());
    struct SCase {
        const char* pszText;
        bool bNote;
        int nResult;
    };
    const SCase cases[] = {
        {"", true, 7},           {"", false, 5},          // the empty text is everywhere
        {"戦い", true, SEARCH_EVENT},                     {"東軍", true, SEARCH_NOTE},
        {"東軍", false, SEARCH_NONE},                     {"閏", true, SEARCH_DATE},
        {"15日 ", false, SEARCH_DATE},                    {"9月 ", false, SEARCH_NONE},
        {"原", true, SEARCH_EVENT},                       {"無い", true, SEARCH_NONE},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(c.nResult, data.Search(LiteralToCp932(c.pszText), c.bNote)) << c.pszText;

    // A match never starts on the second byte of a double-byte character: "ア" is 83 41, so the
    // ASCII "A" must not be found inside it.
    EXPECT_EQ(SEARCH_NONE, Event(1, -1, -1, "ア").Search("A", false));
    // Month-only dates end in "月 ", which matches them and only them.
    EXPECT_EQ(SEARCH_DATE, Event(1, 5, -1, "x").Search(LiteralToCp932("月 "), false));
    EXPECT_EQ(SEARCH_NONE, Event(1, 5, 1, "x").Search(LiteralToCp932("月 "), false));
    EXPECT_EQ(5, Event(1, -1, -1, "x").Search(nullptr, false));
}

TEST(EventDataTest, EqualityComparesAllSevenFields)
{
    const SEventData base = Event(1600, 9, 15, "a", 1, false, "n");
    SEventData other = base;
    EXPECT_TRUE(other == base);
    const auto differs = [&](auto change) {
        SEventData changed = base;
        change(changed);
        return !(changed == base);
    };
    EXPECT_TRUE(differs([](SEventData& d) { d.lYear = 1601; }));
    EXPECT_TRUE(differs([](SEventData& d) { d.strEvent = "A"; }));
    EXPECT_TRUE(differs([](SEventData& d) { d.strNote = "n "; }));
    EXPECT_TRUE(differs([](SEventData& d) { d.nPriority = 2; }));
    EXPECT_TRUE(differs([](SEventData& d) { d.nMonth = 10; }));
    EXPECT_TRUE(differs([](SEventData& d) { d.bLeapMonth = true; }));
    EXPECT_TRUE(differs([](SEventData& d) { d.nDay = -1; }));
}

} // namespace
