// The edits behind Nenpyo's commands and what undoing them needs, the checks of the event dialog,
// and the exported rows.
#include "EventEdit.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <framework/Cp932.h>

#include "NenpyoDoc.h"
#include "RowExport.h"
#include "EventTestData_test.h"
#include "testing/FakeHostUi.h"

namespace {

// The event texts in list order, joined by '|', as UTF-8.
std::string Texts(const CYearEvent& table)
{
    std::string str;
    for (const auto& pRecord : table.GetEventData())
        str += (str.empty() ? "" : "|") + Cp932ToUtf8Lossy(pRecord->strEvent.View());
    return str;
}

} // namespace

TEST(EventEdit, AddReplaceAndInsertAtReportWhereTheEventIs)
{
    CYearEvent table;
    EXPECT_EQ(0, CEventEdit::Add(table, Event(1600, "a")));
    EXPECT_EQ(1, CEventEdit::Add(table, Event(1603, "c")));
    EXPECT_EQ(1, CEventEdit::Add(table, Event(1600, "a")));   // an equal event goes after it
    EXPECT_EQ("a|a|c", Texts(table));

    // A new year moves the event to its date; the same year and date keep its place.
    EXPECT_EQ(1, CEventEdit::Replace(table, 0, Event(1601, "b")));
    EXPECT_EQ("a|b|c", Texts(table));
    EXPECT_EQ(1, CEventEdit::Replace(table, 1, Event(1601, "B")));
    EXPECT_EQ(-1, CEventEdit::Replace(table, 7, Event(1601, "x")));

    // Undoing a removal puts the event back where the user had moved it, against the date order.
    CYearEvent handOrdered;
    CEventEdit::Add(handOrdered, Event(1600, "x"));
    CEventEdit::Add(handOrdered, Event(1600, "y"));
    CEventEdit::Add(handOrdered, Event(1600, "z"));
    ASSERT_TRUE(CEventEdit::Swap(handOrdered, 1));
    SEventData removed;
    handOrdered.RemoveAt(1, PRIORITY_ALL, &removed);
    CEventEdit::InsertAt(handOrdered, 1, removed);
    EXPECT_EQ("x|z|y", Texts(handOrdered));
}

TEST(EventEdit, MovesStayInTheYearAndAnswerTheHiddenNeighbour)
{
    CFakeHostUi ui;
    CYearEvent table;
    for (const char* psz : {"a", "b", "c"})
        CEventEdit::Add(table, Event(1600, psz));
    CEventEdit::Add(table, Event(1600, "hidden", 2));
    CEventEdit::Add(table, Event(1601, "d"));

    const struct {
        int nIndex;
        bool bUp;
        EEventPriority eFilter;
        int nPair;
        bool bHidden;
    } aCases[] = {
        {0, true, PRIORITY_ALL, -1, false},     // first of all
        {4, true, PRIORITY_ALL, -1, false},     // would leave 1601
        {3, false, PRIORITY_ALL, -1, false},
        {1, true, PRIORITY_ALL, 0, false},
        {2, false, PRIORITY_ALL, 2, false},
        {2, false, PRIORITY_HIGH, -1, true},    // c's lower neighbour is hidden
        {1, false, PRIORITY_HIGH, 1, false},
        {7, false, PRIORITY_ALL, -1, false},
    };
    for (const auto& c : aCases) {
        bool bHidden = !c.bHidden;
        EXPECT_EQ(c.nPair, CEventEdit::MovePair(table, c.nIndex, c.bUp, c.eFilter, bHidden)) << c.nIndex << c.bUp;
        EXPECT_EQ(c.bHidden, bHidden) << c.nIndex << c.bUp;
    }
    EXPECT_EQ("a|b|c|hidden|d", Texts(table));
    EXPECT_TRUE(CEventEdit::Swap(table, 0));
    EXPECT_EQ("b|a|c|hidden|d", Texts(table));
    EXPECT_TRUE(CEventEdit::Swap(table, 0));                          // undo
    EXPECT_EQ("a|b|c|hidden|d", Texts(table));
    EXPECT_FALSE(CEventEdit::Swap(table, 3));                         // two years
    EXPECT_TRUE(ui.m_messages.empty());                               // the caller shows them
}

TEST(EventEdit, CheckNamesWhatIsWrong)
{
    const struct {
        SEventData data;
        const char* pszMessage;   // empty: valid
    } aCases[] = {
        {Event(1600, "x", 0, 9, 15), ""},
        {Event(1600, "x", 0, 2, 30), ""},                       // old calendar: 2月 of 1600 had 30 days
        {Event(1600, "x", 0, 1, 30), "1600年1月30日はありません(1600年1月は29日までです)。"},
        {Event(1600, "x", 0, 2, 31), "1600年2月31日はありません(1873年より前は旧暦で、月は30日までです)。"},
        {Event(1872, "x", 0, 12, 10), "1872年12月10日はありません(改暦で明治5年12月2日の翌日が明治6年1月1日になりました)。"},
        {Event(2024, "x", 0, 2, 29), ""},
        {Event(2023, "x", 0, 2, 29), "2023年2月29日はありません(2月は28日までです)。"},
        {Event(1900, "x", 0, 2, 29), "1900年2月29日はありません(2月は28日までです)。"},
        {Event(0, "x"), "西暦0年はありません。紀元前1年(-1)の次の年は西暦1年です。"},
        {Event(1600, "x", 0, -1, 3), "日や閏月を入れるときは月も入れてください。"},
        {Event(1600, "x", 0, 13), "月は1から12までです。"},
        {Event(1600, " "), "出来事を入れてください。"},
    };
    for (const auto& test : aCases) {
        CString strMessage;
        EXPECT_EQ(*test.pszMessage == '\0', CEventEdit::Check(test.data, strMessage)) << test.pszMessage;
        EXPECT_EQ(test.pszMessage, Cp932ToUtf8Lossy(strMessage.View()));
    }
    SEventData leap = Event(1880, "x", 0, 3);
    leap.bLeapMonth = true;
    CString strMessage;
    EXPECT_FALSE(CEventEdit::Check(leap, strMessage));
    leap.lYear = 1860;
    EXPECT_TRUE(CEventEdit::Check(leap, strMessage));
    leap.lYear = 1861;   // 1860 had 閏3月, 1861 none
    EXPECT_FALSE(CEventEdit::Check(leap, strMessage));
    EXPECT_EQ("1861年に閏3月はありません(この年に閏月はありません)。", Cp932ToUtf8Lossy(strMessage.View()));
}

TEST(RowExport, CsvQuotesAndHtmlEscapesTheShownRows)
{
    CNenpyoDoc doc;
    doc.New({});
    SEventData linked = Event(1603, "<a href=\"edo.html?a=1&b=2\">江戸幕府</a>, \"開府\"", 0, 2, 12);
    linked.strNote = CP932("一行目\r\n二行目");
    CEventEdit::Add(doc.Events(), linked);
    CEventEdit::Add(doc.Events(), Event(1605, "low", 2));
    doc.Events().SetTableName(CP932("江戸 <時代>"));

    EXPECT_EQ("西暦,和暦,時代,月日,出来事,備考\r\n"
              "1603,,,2月12日,\"江戸幕府, \"\"開府\"\"\",\"一行目\r\n二行目\"\r\n",
              CRowExport::Csv(doc, PRIORITY_HIGH));
    const std::string strAll = CRowExport::Csv(doc, PRIORITY_ALL);
    EXPECT_EQ(4, std::count(strAll.begin(), strAll.end(), '\n'));   // heading, two rows, a note's break

    const std::string strHtml = CRowExport::Html(doc, PRIORITY_HIGH);
    EXPECT_NE(std::string::npos, strHtml.find("<title>江戸 &lt;時代&gt;</title>"));
    EXPECT_NE(std::string::npos,
              strHtml.find("<td><a href=\"edo.html?a=1&amp;b=2\">江戸幕府</a>, &quot;開府&quot;</td><td>一行目<br>二行目</td>"));
    EXPECT_EQ(std::string::npos, strHtml.find("low"));
}
