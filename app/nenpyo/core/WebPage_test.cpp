// The published page: the data element that no text can end, the links it may make, the rows the
// filter gives with their band times, and the template filled once.
#include "WebPage.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "BandScale.h"
#include "EventTestData_test.h"
#include "NenpyoDoc.h"
#include "RowExport.h"
#include "testing/TempDir.h"

using json = nlohmann::json;

namespace {

std::size_t Count(const std::string& str, const std::string& strWhat)
{
    std::size_t n = 0;
    for (std::size_t at = str.find(strWhat); at != std::string::npos; at = str.find(strWhat, at + 1))
        ++n;
    return n;
}

// The text of the page's data element.
std::string DataElement(const std::string& strPage)
{
    const std::string strOpen = "id=\"nenpyo-data\">";
    const std::size_t nBegin = strPage.find(strOpen) + strOpen.size();
    return strPage.substr(nBegin, strPage.find("</script>", nBegin) - nBegin);
}

} // namespace

TEST(WebPage, ScriptSafeKeepsTheValueAndLeavesNothingThatEndsTheElement)
{
    const struct {
        const char* pszJson;
        const char* pszSafe;
    } aCases[] = {
        {R"(["</script><script>x()</script>"])", R"(["\u003c/script>\u003cscript>x()\u003c/script>"])"},
        {R"(["<!--", "<"])", R"(["\u003c!--", "\u003c"])"},
        {"[\"a\xE2\x80\xA8" "b\xE2\x80\xA9\"]", R"(["a\u2028b\u2029"])"},
        {"[\"\xE2\x80\xA7\xE5\xB9\xB4\xE2\x80\"]", "[\"\xE2\x80\xA7\xE5\xB9\xB4\xE2\x80\"]"},   // neighbours, a cut one
        {"[\"\xE2\x80\"]", "[\"\xE2\x80\"]"},
    };
    for (const auto& c : aCases) {
        EXPECT_EQ(c.pszSafe, CWebPage::ScriptSafe(c.pszJson)) << c.pszJson;
        if (json::accept(c.pszJson)) {
            EXPECT_EQ(json::parse(c.pszJson), json::parse(CWebPage::ScriptSafe(c.pszJson))) << c.pszJson;
        }
    }
}

TEST(WebPage, HostileTextsStayDataAndOnlyWebAddressesBecomeLinks)
{
    CNenpyoDoc doc;
    doc.New({});
    doc.Events().SetTableName(LiteralToCp932("<b>年表</b> {{DATA}} & \"").GetString());
    doc.Events().SetExplanation(LiteralToCp932("</p><script>alert(1)</script>").GetString());
    const char* apszTexts[] = {
        "<script>window.marker=1</script>",
        "</script><script>window.marker=2</script>",
        "<img src=x onerror=\"window.marker=3\">画像",
        "<a href=\"javascript:window.marker=4\">危険</a>",
        "<a href=\"JavaScript:window.marker=5\">大小</a>",
        "<a href=\"data:text/html,x\">データ</a>",
        "<a href=\"https://example.org/?a=1&b=2\">安全</a>と<a href=\"mailto:x@example.org\">手紙</a>",
    };
    for (int n = 0; n < 7; ++n)
        doc.Events().SetData(Event(1900 + n, apszTexts[n]), false, -1, PRIORITY_ALL);
    const std::string strPage = CWebPage::Page(doc, PRIORITY_ALL);

    EXPECT_EQ(2u, Count(strPage, "<script"));   // the data and the page's own script
    EXPECT_EQ(2u, Count(strPage, "</script>"));
    EXPECT_EQ(0u, Count(strPage, "{{SCRIPT}}") + Count(strPage, "{{STYLE}}"));
    EXPECT_EQ(3u, Count(strPage, "{{DATA}}"));   // the title, the heading and the name in the data
    EXPECT_NE(std::string::npos, strPage.find("<title>&lt;b&gt;年表&lt;/b&gt; {{DATA}} &amp; &quot;</title>"));
    EXPECT_NE(std::string::npos, strPage.find("&lt;/p&gt;&lt;script&gt;alert(1)&lt;/script&gt;"));
    const std::string strData = DataElement(strPage);
    EXPECT_EQ(std::string::npos, strData.find('<'));
    const json data = json::parse(strData);
    ASSERT_EQ(7u, data["rows"].size());
    const json expected[] = {
        json::array({"window.marker=1"}),   // the words between tags are shown as words
        json::array({"window.marker=2"}),
        json::array({"画像"}),
        json::array({"危険"}),
        json::array({"大小"}),
        json::array({"データ"}),
        json::array({json::array({"安全", "https://example.org/?a=1&b=2"}), "と",
                     json::array({"手紙", "mailto:x@example.org"})}),
    };
    for (std::size_t n = 0; n < 7; ++n)
        EXPECT_EQ(expected[n], data["rows"][n][6]) << n;
}

TEST(WebPage, RowsOfTheFilterWithTheirBandTimesAndColumns)
{
    CNenpyoDoc doc;
    doc.New({});
    // Rows keep the list order, whatever their dates.
    doc.Events().SetData(Event(-660, "建国", 2), false, -1, PRIORITY_ALL);
    doc.Events().SetData(Event(1868, "明治", 1, 9), false, -1, PRIORITY_ALL);
    doc.Events().SetData(Event(2000, "遠い", 7), false, -1, PRIORITY_ALL);
    doc.Events().SetData(Event(1989, "平成", 0, 1, 8), false, -1, PRIORITY_ALL);

    const json all = json::parse(CWebPage::Data(doc, PRIORITY_ALL));
    EXPECT_EQ(4, all["priority"]);
    ASSERT_EQ(4u, all["rows"].size());
    const double dUnits = all["timeUnits"];
    for (const json& row : all["rows"]) {
        const int nYear = row[0];
        const int nMonth = nYear == 1989 ? 1 : nYear == 1868 ? 9 : -1;
        const int nDay = nYear == 1989 ? 8 : -1;
        EXPECT_NEAR(CBandScale::DateStart(nYear, nMonth, false, nDay), row[9].get<double>() / dUnits, 0.5 / dUnits) << nYear;
        EXPECT_NEAR(CBandScale::DateEnd(nYear, nMonth, false, nDay), row[10].get<double>() / dUnits, 0.5 / dUnits) << nYear;
        EXPECT_EQ(nYear == 2000 ? 3 : nYear == -660 ? 2 : nYear == 1868 ? 1 : 0, row[8]) << nYear;
    }
    EXPECT_EQ("-660", all["rows"][0][1]);
    EXPECT_EQ("9月", all["rows"][1][5]);
    EXPECT_EQ(nullptr, all["baseYear"]);
    for (const json& column : all["columns"])
        EXPECT_NE(COLUMN_BASE_YEAR, column[0]);

    const json middle = json::parse(CWebPage::Data(doc, PRIORITY_MIDDLE));
    EXPECT_EQ(2, middle["priority"]);
    ASSERT_EQ(2u, middle["rows"].size());
    EXPECT_EQ(1868, middle["rows"][0][0]);
    EXPECT_EQ(1989, middle["rows"][1][0]);

    doc.SetHasBaseYear(true);
    doc.BaseYear().SetBaseWesternYear(1603);
    const json based = json::parse(CWebPage::Data(doc, PRIORITY_HIGH));
    EXPECT_EQ(json::array({1603, nullptr, ""}), based["baseYear"]);
    // Every column but the view's own 西暦の日付.
    EXPECT_EQ(COLUMN_COUNT - 1, static_cast<int>(based["columns"].size()));
}

TEST(WebPage, WriteReplacesTheFileOrLeavesIt)
{
    CNenpyoDoc doc;
    doc.New({});
    doc.Events().SetData(Event(1600, "関ヶ原の戦い"), false, -1, PRIORITY_ALL);
    CTempDir dir;
    ASSERT_TRUE(CWebPage::Write(doc, PRIORITY_ALL, dir.Path("page.html")).Ok());
    EXPECT_EQ(CWebPage::Page(doc, PRIORITY_ALL), dir.Read("page.html"));
    EXPECT_EQ(IDS_FILE_WRITE_FAILED, CWebPage::Write(doc, PRIORITY_ALL, dir.Path("none/page.html")).nMessage);
}
