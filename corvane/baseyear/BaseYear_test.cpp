#include <corvane/BaseYear.h>

#include <framework/Cp932.h>
#include <framework/HostUi.h>

#include "testing/FakeHostUi.h"
#include "testing/RelativeName.h"
#include "testing/TempDir.h"
#include "table/TableFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Labels

enum : unsigned {
    KAZOE = 1u << 0,
    DISPLAY_MINUS = 1u << 1,
    MINUS1 = 1u << 2,
    END_PLUS = 1u << 3,
    END_KAIKI = 1u << 4,
    BEGIN_QUEST = 1u << 5,
    END_QUEST = 1u << 6,
};

CBaseYear MakeTable(std::int32_t lBase, std::int32_t lEnd, unsigned nOptions)
{
    CBaseYear table;
    table.SetBaseWesternYear(lBase);
    table.SetEndWesternYear(lEnd);
    table.SetKazoe((nOptions & KAZOE) != 0);
    table.SetDisplayMinus((nOptions & DISPLAY_MINUS) != 0);
    table.SetMinus1((nOptions & MINUS1) != 0);
    table.SetEndYearPlus((nOptions & END_PLUS) != 0);
    table.SetEndYearKaiki((nOptions & END_KAIKI) != 0);
    table.SetBeginYearQuest((nOptions & BEGIN_QUEST) != 0);
    table.SetEndYearQuest((nOptions & END_QUEST) != 0);
    return table;
}

// The label, or "(none)" when the year gets none (the output is then checked to be untouched).
std::string Label(std::int32_t lBase, std::int32_t lEnd, unsigned nOptions, std::int32_t lYear)
{
    const CBaseYear table = MakeTable(lBase, lEnd, nOptions);
    CString str("untouched");
    if (!table.MakeBaseYearStr(lYear, str))
        return str == "untouched" ? "(none)" : "(changed on failure)";
    return str.Str();
}

TEST(BaseYearTest, LabelsOfTheExampleTable)
{
    struct {
        std::int32_t lYear;
        unsigned nOptions;
        const char* pszText;
    } const cases[] = {
        {1900, 0, "0"},
        {1900, KAZOE, "1"},
        {1925, BEGIN_QUEST, "25?"},
        {1899, 0, "(none)"},
        {1899, KAZOE, "(none)"},   // counts 0 with 数え, but lies before the base
        {1899, DISPLAY_MINUS, "-1"},
        {1899, DISPLAY_MINUS | KAZOE, "0"},
        {1899, DISPLAY_MINUS | KAZOE | MINUS1, "-1"},
        {1898, DISPLAY_MINUS | KAZOE | MINUS1, "-2"},
        {1898, DISPLAY_MINUS | MINUS1, "-2"},   // minus-1 needs 数え
        {1950, 0, "50"},
        {1950, END_QUEST, "--"},
        {1950, END_QUEST | KAZOE | BEGIN_QUEST | END_PLUS, "--"},
        {1951, 0, "(none)"},
        {1951, END_PLUS, "+1"},
        {1951, END_PLUS | END_KAIKI, "+1"},
        {1952, END_PLUS | END_KAIKI, "+3"},
        {1952, END_PLUS | END_QUEST, "+2?"},
        {1952, END_PLUS | END_KAIKI | END_QUEST, "+3?"},
        {1960, END_PLUS | BEGIN_QUEST, "+10"},   // "?" of an uncertain base only up to the end
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.pszText, Label(1900, 1950, c.nOptions, c.lYear)) << c.lYear << " options " << c.nOptions;
}

TEST(BaseYearTest, LabelsAcrossTheEraBoundary)
{
    struct {
        std::int32_t lBase, lYear;
        unsigned nOptions;
        const char* pszText;
    } const cases[] = {
        {-10, 5, 0, "14"},
        {5, -3, DISPLAY_MINUS, "-7"},
        {-1, 1, 0, "1"},
        {-1, 1, KAZOE, "2"},
        {-1, -1, 0, "0"},
        {1, -1, DISPLAY_MINUS, "-1"},
        {1, -1, DISPLAY_MINUS | KAZOE, "0"},
        {1, -1, DISPLAY_MINUS | KAZOE | MINUS1, "-1"},
        {2, -1, DISPLAY_MINUS | KAZOE, "-1"},
        {0, 5, 0, "5"},                                 // a year 0 takes no adjustment
        {-5, 0, 0, "5"},
        {0, -5, DISPLAY_MINUS, "-5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.pszText, Label(c.lBase, NO_END_YEAR, c.nOptions, c.lYear)) << c.lBase << " " << c.lYear;
}

TEST(BaseYearTest, CountsAtTheEndsOfTheYearRangeAreExact)
{
    EXPECT_EQ("4294967294", Label(INT32_MIN, NO_END_YEAR, 0, INT32_MAX));
    EXPECT_EQ("4294967295?", Label(INT32_MIN, NO_END_YEAR, KAZOE | BEGIN_QUEST, INT32_MAX));
    EXPECT_EQ("-4294967294", Label(INT32_MAX, NO_END_YEAR, DISPLAY_MINUS, INT32_MIN));
    EXPECT_EQ("-4294967293", Label(INT32_MAX, NO_END_YEAR, DISPLAY_MINUS | KAZOE, INT32_MIN));
    EXPECT_EQ("-4294967294", Label(INT32_MAX, NO_END_YEAR, DISPLAY_MINUS | KAZOE | MINUS1, INT32_MIN));
    EXPECT_EQ("+4294967295", Label(INT32_MIN, INT32_MIN, END_PLUS | END_KAIKI, INT32_MAX - 1));
    EXPECT_EQ("+4294967294?", Label(INT32_MIN, INT32_MIN, END_PLUS | END_QUEST, INT32_MAX - 1));
}

TEST(BaseYearTest, NoEndYear)
{
    const CBaseYear table = MakeTable(1900, NO_END_YEAR, END_PLUS | END_KAIKI | END_QUEST);
    EXPECT_EQ(NO_END_YEAR, table.GetDiffWesternYear());
    EXPECT_TRUE(table.IsYearRange(1900));
    EXPECT_TRUE(table.IsYearRange(INT32_MAX));
    EXPECT_FALSE(table.IsYearRange(1899));
    // The largest year is no end year: it gets its count, not "--" or "+N".
    CString str;
    ASSERT_TRUE(table.MakeBaseYearStr(INT32_MAX, str));
    EXPECT_EQ(CString("2147481747"), str);
    EXPECT_EQ("2147483646", Label(1, NO_END_YEAR, END_PLUS | END_QUEST, INT32_MAX));
}

TEST(BaseYearTest, RangeAndDifference)
{
    const CBaseYear table = MakeTable(1900, 1950, 0);
    EXPECT_EQ(50, table.GetDiffWesternYear());
    EXPECT_TRUE(table.IsYearRange(1900));
    EXPECT_TRUE(table.IsYearRange(1950));
    EXPECT_FALSE(table.IsYearRange(1899));
    EXPECT_FALSE(table.IsYearRange(1951));
    // Differences beyond 32 bits saturate; NO_END_YEAR keeps its meaning.
    EXPECT_EQ(INT32_MAX, MakeTable(INT32_MIN, INT32_MAX - 1, 0).GetDiffWesternYear());
    EXPECT_EQ(INT32_MIN, MakeTable(INT32_MAX - 1, INT32_MIN, 0).GetDiffWesternYear());
    EXPECT_EQ(-5, MakeTable(10, 5, 0).GetDiffWesternYear());
    EXPECT_FALSE(MakeTable(10, 5, 0).IsYearRange(7));
}

// ---------------------------------------------------------------------------------------------
// Accessors, copy and assignment

// Every field of a table, base part included, as one text to compare.
std::string Dump(const CBaseYear& table)
{
    CString strSupplement;
    table.GetSupplement(strSupplement);
    std::ostringstream out;
    out << table.GetBaseWesternYear() << ' ' << table.GetEndWesternYear() << ' ' << table.GetKazoe()
        << table.GetDisplayMinus() << table.GetMinus1() << table.GetEndYearPlus() << table.GetEndYearKaiki()
        << table.GetBeginYearQuest() << table.GetEndYearQuest() << " [" << strSupplement.Str() << "] ["
        << table.GetFileName().Str() << "] [" << table.GetTableName().Str() << "] ["
        << table.GetExplanation().Str() << "] " << table.GetModified() << table.GetTodayDate();
    return out.str();
}

TEST(BaseYearTest, SettersMarkOnlyRealChanges)
{
    const std::function<void(CBaseYear&)> setters[] = {
        [](CBaseYear& t) { t.SetBaseWesternYear(-7); },   [](CBaseYear& t) { t.SetEndWesternYear(2000); },
        [](CBaseYear& t) { t.SetKazoe(true); },           [](CBaseYear& t) { t.SetDisplayMinus(true); },
        [](CBaseYear& t) { t.SetMinus1(true); },          [](CBaseYear& t) { t.SetEndYearPlus(true); },
        [](CBaseYear& t) { t.SetEndYearKaiki(true); },    [](CBaseYear& t) { t.SetBeginYearQuest(true); },
        [](CBaseYear& t) { t.SetEndYearQuest(true); },    [](CBaseYear& t) { t.SetSupplement("Note"); },
    };
    // A new table counts from year 1 with no end; everything else is empty or false.
    const std::string strFresh = Dump(CBaseYear());
    EXPECT_EQ("1 2147483647 0000000 [] [] [] [] 00", strFresh);
    for (std::size_t i = 0; i < std::size(setters); ++i) {
        CBaseYear table;
        setters[i](table);
        EXPECT_TRUE(table.GetModified()) << i;
        table.SetModified(false);
        const std::string strChanged = Dump(table);
        EXPECT_NE(strFresh, strChanged) << i;
        setters[i](table);
        EXPECT_EQ(strChanged, Dump(table)) << i;   // the flag included
    }

    // Letter case is a change; the initial values given again are not.
    CBaseYear table;
    table.SetSupplement("note");
    table.SetModified(false);
    table.SetSupplement("Note");
    EXPECT_TRUE(table.GetModified());
    CBaseYear fresh;
    fresh.SetBaseWesternYear(1);
    fresh.SetEndWesternYear(NO_END_YEAR);
    fresh.SetKazoe(false);
    fresh.SetSupplement(nullptr);
    EXPECT_EQ(strFresh, Dump(fresh));
}

TEST(BaseYearTest, CopyAndAssignmentCopyEverything)
{
    CBaseYear source = MakeTable(-660, 1950, KAZOE | MINUS1 | END_KAIKI | END_QUEST);
    source.SetSupplement("s");
    source.SetFileName("/x/a.lby");
    source.SetTableName("t");
    source.SetExplanation("e");
    source.SetTodayDate(true);
    ASSERT_TRUE(source.GetModified());

    EXPECT_EQ(Dump(source), Dump(CBaseYear(source)));
    CBaseYear assigned = MakeTable(5, 6, DISPLAY_MINUS | END_PLUS | BEGIN_QUEST);
    assigned.SetSupplement("other");
    assigned.SetModified(false);
    CBaseYear& result = (assigned = source);
    EXPECT_EQ(&assigned, &result);
    EXPECT_EQ(Dump(source), Dump(assigned));
}

// ---------------------------------------------------------------------------------------------
// SearchStr

// The plain loop that SearchStr must agree with: every offset from the first one up to the last
// year, limited like SearchStr to the offsets whose year is a 32-bit year and which fit an int.
int PlainSearch(const CBaseYear& table, const char* pszText, std::int32_t lFrom, std::int32_t lTo,
                std::int32_t& lFoundYear, int nStart)
{
    const std::int64_t lBase = table.GetBaseWesternYear();
    const std::int64_t lLast = lTo < table.GetEndWesternYear() ? lTo : table.GetEndWesternYear();
    std::int64_t k = nStart == -1 ? std::max<std::int64_t>(lFrom - lBase, 0) : nStart;
    for (; k <= lLast - lBase && k <= INT_MAX; ++k) {
        if (lBase + k < INT32_MIN)
            continue;
        const std::string str = std::to_string(table.GetKazoe() ? k + 1 : k);
        if (str.find(pszText) != std::string::npos) {
            lFoundYear = static_cast<std::int32_t>(lBase + k);
            return static_cast<int>(k);
        }
    }
    return -1;
}

TEST(BaseYearTest, SearchExamples)
{
    CBaseYear table = MakeTable(1900, 1950, 0);
    std::int32_t lFound = 0;
    EXPECT_EQ(1, table.SearchStr("1", 1800, 3000, lFound, -1));
    EXPECT_EQ(1901, lFound);
    table.SetKazoe(true);
    EXPECT_EQ(0, table.SearchStr("1", 1800, 3000, lFound, -1));
    EXPECT_EQ(1900, lFound);
    lFound = 42;
    EXPECT_EQ(-1, table.SearchStr("7", 1800, 1905, lFound, -1));
    EXPECT_EQ(42, lFound);
    // Never past the end year, whatever the last year asked for.
    EXPECT_EQ(-1, table.SearchStr("52", 1800, 3000, lFound, -1));
    table.SetKazoe(false);
    EXPECT_EQ(-1, table.SearchStr("51", 1800, 3000, lFound, -1));
    EXPECT_EQ(50, table.SearchStr("50", 1800, 3000, lFound, -1));
    // An explicit start offset is taken as it is, negative ones too.
    EXPECT_EQ(-3, table.SearchStr("-", 1800, 3000, lFound, -3));
    EXPECT_EQ(1897, lFound);
    EXPECT_EQ(10, table.SearchStr("1", 1800, 3000, lFound, 2));
    // An empty text matches the first offset.
    EXPECT_EQ(10, table.SearchStr("", 1910, 3000, lFound, -1));
    EXPECT_EQ(10, table.SearchStr(nullptr, 1910, 3000, lFound, -1));
    EXPECT_EQ(-1, table.SearchStr("", 1960, 3000, lFound, -1));
}

TEST(BaseYearTest, SearchOverBillionsOfYearsAnswersAtOnce)
{
    CBaseYear table = MakeTable(1, NO_END_YEAR, 0);
    std::int32_t lFound = 0;
    EXPECT_EQ(2147483646, table.SearchStr("2147483646", INT32_MIN, INT32_MAX, lFound, -1));
    EXPECT_EQ(INT32_MAX, lFound);
    EXPECT_EQ(999999999, table.SearchStr("999999999", 1, INT32_MAX, lFound, -1));
    lFound = 42;
    EXPECT_EQ(-1, table.SearchStr("0000000000", 1, INT32_MAX, lFound, -1));
    EXPECT_EQ(-1, table.SearchStr("x", 1, INT32_MAX, lFound, 0));
    EXPECT_EQ(42, lFound);
    table.SetKazoe(true);
    EXPECT_EQ(999999998, table.SearchStr("999999999", 1, INT32_MAX, lFound, -1));
    EXPECT_EQ(999999999, lFound);

    // From the lowest base the offsets run past the int range: those beyond it are not searched.
    CBaseYear low = MakeTable(INT32_MIN, NO_END_YEAR, 0);
    EXPECT_EQ(INT_MAX, low.SearchStr("2147483647", INT32_MIN, INT32_MAX, lFound, -1));
    EXPECT_EQ(-1, lFound);
    EXPECT_EQ(-1, low.SearchStr("2147483648", INT32_MIN, INT32_MAX, lFound, -1));
    // A start offset below the lowest year begins at the lowest year.
    EXPECT_EQ(0, low.SearchStr("0", INT32_MIN, INT32_MAX, lFound, INT_MIN));
    EXPECT_EQ(INT32_MIN, lFound);
    CBaseYear high = MakeTable(INT32_MAX, NO_END_YEAR, 0);
    EXPECT_EQ(-2147483647, high.SearchStr("-2147483647", INT32_MIN, INT32_MAX, lFound, INT_MIN));
    EXPECT_EQ(0, lFound);
}

// SearchStr against the plain loop on many random small spans, options and texts, near zero and
// at both ends of the year range.
TEST(BaseYearTest, SearchAgreesWithThePlainLoop)
{
    std::mt19937 rng(5150);
    std::uniform_int_distribution<int> small(-60, 60);
    std::uniform_int_distribution<int> coin(0, 3);
    const std::int32_t centres[] = {0, 0, 0, 1900, -1000, INT32_MIN + 40, INT32_MAX - 40};
    const std::string strChars = "0123456789-";
    for (int i = 0; i < 4000; ++i) {
        const std::int32_t lCentre = centres[i % std::size(centres)];
        auto near = [&] { return static_cast<std::int32_t>(std::clamp<std::int64_t>(
                              std::int64_t{lCentre} + small(rng), INT32_MIN, INT32_MAX)); };
        CBaseYear table = MakeTable(near(), coin(rng) == 0 ? NO_END_YEAR : near(), coin(rng) == 0 ? unsigned{KAZOE} : 0u);
        const std::int32_t lFrom = near();
        const std::int32_t lTo = coin(rng) == 0 ? INT32_MAX : near();
        const int nStart = coin(rng) == 0 ? small(rng) : -1;
        std::string strText;
        for (int n = std::uniform_int_distribution<int>(0, 3)(rng); n > 0; --n)
            strText += strChars[std::uniform_int_distribution<std::size_t>(0, strChars.size() - 1)(rng)];
        // Spans reaching far up (no end year, last year the largest) would make the plain loop
        // long: keep them for texts that match within a few thousand offsets.
        if (table.GetEndWesternYear() == NO_END_YEAR && lTo == INT32_MAX)
            strText = strText.empty() ? strText : std::string(1, strText.back() == '-' ? '7' : strText.back());
        std::int32_t lExpected = 12345, lActual = 12345;
        const int nExpected = PlainSearch(table, strText.c_str(), lFrom, lTo, lExpected, nStart);
        const int nActual = table.SearchStr(strText.c_str(), lFrom, lTo, lActual, nStart);
        ASSERT_EQ(nExpected, nActual) << "base " << table.GetBaseWesternYear() << " end "
                                      << table.GetEndWesternYear() << " kazoe " << table.GetKazoe() << " \""
                                      << strText << "\" from " << lFrom << " to " << lTo << " start " << nStart;
        ASSERT_EQ(lExpected, lActual);
    }
}

// ---------------------------------------------------------------------------------------------
// Files


// The lines joined with CR LF, the last one without a line end.
std::string Joined(const std::vector<CString>& lines)
{
    std::string str;
    for (std::size_t i = 0; i < lines.size(); ++i)
        str += (i ? "\r\n" : "") + lines[i].Str();
    return str;
}

// Each test runs in a folder of its own, which is the current directory, with the recording UI.
class BaseYearFileTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::current_path(m_dir.Path()); }

    CString Path(const char* pszName) const { return m_dir.Name(pszName); }
    void WriteBytes(const char* pszName, const std::string& strBytes) const { m_dir.Write(pszName, strBytes); }
    std::string ReadBytes(const char* pszName) const { return m_dir.Read(pszName); }

    void WriteLines(const char* pszName, const std::vector<CString>& lines) const
    {
        WriteBytes(pszName, Joined(lines));
    }

    // The message the library shows for nID about the file pszName of the test folder.
    CString Message(unsigned nID, const char* pszName) const
    {
        CString str;
        EXPECT_TRUE(LoadLibraryString(nID, str));
        str.Replace("%1", Path(pszName).GetString());
        return str;
    }

    CTempDir m_dir;   // puts the current directory back
    CFakeHostUi m_ui;
};

const CString& Header5() { return CP932("[基点年],5"); }

// The lines of the example file, without line ends.
std::vector<CString> ExampleLines()
{
    return {Header5(), CP932("創業者"), "1900", "1950", "1", "0", "0", "1", "1", "1", "0",
            CP932("生年は推定") + "\\r\\n" + CP932("没年は確定")};
}

CBaseYear ExampleTable()
{
    CBaseYear table = MakeTable(1900, 1950, KAZOE | END_PLUS | END_KAIKI | BEGIN_QUEST);
    table.SetTableName(CP932("創業者"));
    table.SetSupplement(CP932("生年は推定") + "\r\n" + CP932("没年は確定"));
    return table;
}

TEST_F(BaseYearFileTest, WritesTheExampleExactlyAndReadsItBack)
{
    CBaseYear table = ExampleTable();
    table.SetFileName(Path("a.lby"));
    ASSERT_TRUE(table.WriteFile(false, nullptr, HEADER_GENGOU));
    EXPECT_FALSE(table.GetModified());
    EXPECT_EQ(RelativeName("a.lby"), table.GetFileName());
    EXPECT_EQ(Joined(ExampleLines()), ReadBytes("a.lby"));

    CBaseYear read;
    read.SetModified(true);
    ASSERT_TRUE(read.ReadFile("a.lby"));
    EXPECT_FALSE(read.GetModified());
    EXPECT_EQ(Path("a.lby"), read.GetFileName());
    EXPECT_EQ(CP932("創業者"), read.GetTableName());
    EXPECT_EQ(1900, read.GetBaseWesternYear());
    EXPECT_EQ(1950, read.GetEndWesternYear());
    EXPECT_TRUE(read.GetKazoe() && read.GetEndYearPlus() && read.GetEndYearKaiki() && read.GetBeginYearQuest());
    EXPECT_FALSE(read.GetDisplayMinus() || read.GetMinus1() || read.GetEndYearQuest());
    CString strSupplement;
    read.GetSupplement(strSupplement);
    EXPECT_EQ(CP932("生年は推定") + "\r\n" + CP932("没年は確定"), strSupplement);

    // And out again, byte for byte.
    read.SetFileName(Path("b.lby"));
    ASSERT_TRUE(read.WriteFile(false, nullptr, HEADER_JIDAI));
    EXPECT_EQ(ReadBytes("a.lby"), ReadBytes("b.lby"));
    EXPECT_TRUE(m_ui.m_messages.empty());
    EXPECT_TRUE(m_ui.m_requests.empty());
}

// Each flag has its own line: a table with exactly one flag set reads back with that flag alone.
TEST_F(BaseYearFileTest, EachFlagReadsBackAlone)
{
    const auto options = [](const CBaseYear& t) {
        return (t.GetKazoe() ? KAZOE : 0u) | (t.GetDisplayMinus() ? DISPLAY_MINUS : 0u) |
               (t.GetMinus1() ? MINUS1 : 0u) | (t.GetEndYearPlus() ? END_PLUS : 0u) |
               (t.GetEndYearKaiki() ? END_KAIKI : 0u) | (t.GetBeginYearQuest() ? BEGIN_QUEST : 0u) |
               (t.GetEndYearQuest() ? END_QUEST : 0u);
    };
    for (const unsigned nFlag : {KAZOE, DISPLAY_MINUS, MINUS1, END_PLUS, END_KAIKI, BEGIN_QUEST, END_QUEST}) {
        CBaseYear table = MakeTable(1900, 1950, nFlag);
        ASSERT_TRUE(table.Save(Path("one.lby")).Ok());
        CBaseYear back;
        ASSERT_TRUE(back.Load(Path("one.lby")).Ok());
        EXPECT_EQ(nFlag, options(back));
    }
}

TEST_F(BaseYearFileTest, HandMadeExampleReadsAndRoundTripsByteForByte)
{
    WriteLines("hand.lby", ExampleLines());
    CBaseYear table;
    ASSERT_TRUE(table.ReadFile(Path("hand.lby")));
    table.SetFileName(Path("copy.lby"));
    ASSERT_TRUE(table.WriteFile(false, nullptr, HEADER_GENGOU));
    EXPECT_EQ(ReadBytes("hand.lby"), ReadBytes("copy.lby"));
}

// Each version holds the flag lines up to its own; the supplement follows them. The file's flags
// are all 0 and the table's all set before: a flag the version holds becomes false, the others
// stay true.
TEST_F(BaseYearFileTest, EveryVersionReadsItsOwnFlagLines)
{
    struct {
        const char* pszHeaderVersion;   // what follows the kind in the header
        int nFlagLines;                 // flag lines after m_bKazoe's
    } const cases[] = {
        {"", 0}, {",0", 0}, {",-3", 0}, {",1", 1}, {",2", 2}, {",3", 3},
        {",4", 4}, {",5", 6}, {", 5", 6}, {",6", 6}, {",99", 6}, {", 4x", 4},
    };
    for (const auto& c : cases) {
        std::vector<CString> lines = {CP932("[基点年]") + c.pszHeaderVersion, "name", "-660", "2147483647", "0"};
        for (int i = 0; i < c.nFlagLines; ++i)
            lines.push_back("0");
        lines.push_back("sup\\r\\nplement");
        WriteLines("v.lby", lines);

        CBaseYear table = MakeTable(1, 2, KAZOE | DISPLAY_MINUS | MINUS1 | END_PLUS | END_KAIKI | BEGIN_QUEST | END_QUEST);
        ASSERT_TRUE(table.ReadFile(Path("v.lby"))) << c.pszHeaderVersion;
        EXPECT_FALSE(table.GetModified());
        EXPECT_EQ(-660, table.GetBaseWesternYear());
        EXPECT_EQ(NO_END_YEAR, table.GetEndWesternYear());
        EXPECT_FALSE(table.GetKazoe());
        const bool held[] = {table.GetDisplayMinus(), table.GetMinus1(), table.GetEndYearPlus(), table.GetEndYearKaiki(),
                             table.GetBeginYearQuest(), table.GetEndYearQuest()};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(i >= c.nFlagLines, held[i]) << "header \"" << c.pszHeaderVersion << "\" flag " << i;
        CString strSupplement;
        table.GetSupplement(strSupplement);
        EXPECT_EQ(CString("sup\r\nplement"), strSupplement) << c.pszHeaderVersion;
    }
    EXPECT_TRUE(m_ui.m_messages.empty());
}

TEST_F(BaseYearFileTest, SupplementLineIsOptional)
{
    std::vector<CString> lines = ExampleLines();
    lines.pop_back();
    WriteLines("eleven.lby", lines);
    CBaseYear table;
    table.SetSupplement("old");
    ASSERT_TRUE(table.ReadFile(Path("eleven.lby")));
    CString strSupplement("x");
    table.GetSupplement(strSupplement);
    EXPECT_TRUE(strSupplement.IsEmpty());

    // With a line end after the last flag line there is no further line either; an empty
    // supplement line reads as empty too.
    WriteBytes("crlf.lby", Joined(lines) + "\r\n");
    table.SetSupplement("old");
    ASSERT_TRUE(table.ReadFile(Path("crlf.lby")));
    table.GetSupplement(strSupplement);
    EXPECT_TRUE(strSupplement.IsEmpty());
    EXPECT_TRUE(m_ui.m_messages.empty());
}

TEST_F(BaseYearFileTest, MissingRequiredLineIsAFormatError)
{
    // Cut the example after n lines: every cut before the supplement fails, values read so far
    // stay.
    for (std::size_t n = 0; n <= 10; ++n) {
        std::vector<CString> lines = ExampleLines();
        lines.resize(n);
        WriteLines("short.lby", lines);
        m_ui.m_messages.clear();
        CBaseYear table;
        table.SetTableName("old");
        EXPECT_FALSE(table.ReadFile(Path("short.lby"))) << n;
        ASSERT_EQ(1u, m_ui.m_messages.size()) << n;
        EXPECT_EQ(Message(IDS_FILE_BAD_FORMAT, "short.lby"), m_ui.m_messages[0].strText);
        EXPECT_TRUE(table.GetModified()) << n;
        EXPECT_EQ(n >= 2 ? CP932("創業者") : CString("old"), table.GetTableName()) << n;
        EXPECT_EQ(n >= 3 ? 1900 : 1, table.GetBaseWesternYear());
        EXPECT_EQ(n >= 4 ? 1950 : NO_END_YEAR, table.GetEndWesternYear());
        EXPECT_EQ(n >= 5, table.GetKazoe());
        EXPECT_EQ(n >= 8, table.GetEndYearPlus());
        EXPECT_EQ(n >= 10, table.GetBeginYearQuest());
    }
    EXPECT_EQ(CP932("ファイル ") + Path("short.lby") + CP932(" のフォーマットが正しくありません"),
              m_ui.m_messages[0].strText);
}

TEST_F(BaseYearFileTest, WrongKindIsRejectedBeforeAnyValueIsTaken)
{
    for (const CString& strHeader : {CP932("[元号], 1"), CP932("[基点年"), CString(""), CP932("基点年,5")}) {
        std::vector<CString> lines = ExampleLines();
        lines[0] = strHeader;
        WriteLines("kind.lby", lines);
        m_ui.m_messages.clear();
        CBaseYear table;
        table.SetTableName("keep");
        EXPECT_FALSE(table.ReadFile(Path("kind.lby")));
        ASSERT_EQ(1u, m_ui.m_messages.size());
        EXPECT_EQ(Message(IDS_FILE_BAD_FORMAT, "kind.lby"), m_ui.m_messages[0].strText);
        EXPECT_EQ(CString("keep"), table.GetTableName());
        EXPECT_EQ(1, table.GetBaseWesternYear());
        EXPECT_FALSE(table.GetKazoe());
        EXPECT_EQ(Path("kind.lby"), table.GetFileName());
    }
    // A kind with blanks around it still counts as the base-year kind.
    std::vector<CString> lines = ExampleLines();
    lines[0] = CP932("  [基点年] , 5 ");
    WriteLines("blank.lby", lines);
    CBaseYear table;
    EXPECT_TRUE(table.ReadFile(Path("blank.lby")));
}

TEST_F(BaseYearFileTest, NumbersAndFlagsReadAsByAtoi)
{
    WriteLines("n.lby", {Header5(), "", " -12abc", "99999999999", "2", " 0", "-1", "x", "0", "1", "07"});
    CBaseYear table;
    ASSERT_TRUE(table.ReadFile(Path("n.lby")));
    EXPECT_TRUE(table.GetTableName().IsEmpty());
    EXPECT_EQ(-12, table.GetBaseWesternYear());
    EXPECT_EQ(INT32_MAX, table.GetEndWesternYear());   // saturates instead of wrapping
    EXPECT_TRUE(table.GetKazoe());
    EXPECT_FALSE(table.GetDisplayMinus());
    EXPECT_TRUE(table.GetMinus1());
    EXPECT_FALSE(table.GetEndYearPlus());
    EXPECT_FALSE(table.GetEndYearKaiki());
    EXPECT_TRUE(table.GetBeginYearQuest());
    EXPECT_TRUE(table.GetEndYearQuest());
}

TEST_F(BaseYearFileTest, UnreadableFileShowsTheReadMessage)
{
    CBaseYear table;
    EXPECT_FALSE(table.ReadFile("missing.lby"));
    EXPECT_EQ(Path("missing.lby"), table.GetFileName());   // made absolute
    ASSERT_EQ(1u, m_ui.m_messages.size());
    EXPECT_EQ(Message(IDS_FILE_READ_FAILED, "missing.lby"), m_ui.m_messages[0].strText);

    std::filesystem::create_directory(m_dir.Path() / "folder.lby");
    m_ui.m_messages.clear();
    EXPECT_FALSE(table.ReadFile(Path("folder.lby")));
    ASSERT_EQ(1u, m_ui.m_messages.size());
    EXPECT_EQ(Message(IDS_FILE_READ_FAILED, "folder.lby"), m_ui.m_messages[0].strText);
}

TEST_F(BaseYearFileTest, OpenDialogOnlyWithoutAName)
{
    WriteLines("chosen.lby", ExampleLines());
    CBaseYear table;
    m_ui.CancelNext();
    EXPECT_FALSE(table.ReadFile(nullptr));
    EXPECT_TRUE(m_ui.m_messages.empty());
    EXPECT_TRUE(table.GetFileName().IsEmpty());
    ASSERT_EQ(1u, m_ui.m_requests.size());
    const SFileRequest& request = m_ui.m_requests[0];
    EXPECT_TRUE(request.bOpen);
    EXPECT_EQ(CP932("基点年ﾃﾞｰﾀの読込み"), request.strTitle);
    EXPECT_EQ(CP932("基点年ﾃﾞｰﾀ (*.lby)|*.lby|すべてのﾌｧｲﾙ (*.*)|*.*||"), request.strFilter);
    EXPECT_EQ(CString("lby"), request.strDefExt);
    EXPECT_EQ(0x8100Cu, request.dwFlags);

    m_ui.ChooseNext(Path("chosen.lby"));
    ASSERT_TRUE(table.ReadFile(nullptr));
    EXPECT_EQ(Path("chosen.lby"), table.GetFileName());
    // With a stored name there is no dialog.
    ASSERT_TRUE(table.ReadFile(nullptr));
    EXPECT_EQ(2u, m_ui.m_requests.size());
}

TEST_F(BaseYearFileTest, SaveDialogAndWriteFailure)
{
    CBaseYear table = ExampleTable();
    EXPECT_FALSE(table.WriteFile(false, nullptr, HEADER_GENGOU));   // no name: dialog, cancelled
    ASSERT_EQ(1u, m_ui.m_requests.size());
    const SFileRequest& request = m_ui.m_requests[0];
    EXPECT_FALSE(request.bOpen);
    EXPECT_EQ(CP932("基点年ﾃﾞｰﾀの書込み"), request.strTitle);
    EXPECT_EQ(CP932("創業者"), request.strFileName);
    EXPECT_EQ(0x8000Eu, request.dwFlags);
    EXPECT_TRUE(table.GetModified());
    EXPECT_TRUE(m_ui.m_messages.empty());
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.Path()));

    // A folder that does not exist: message 61448, the flag stays, nothing is written.
    table.SetFileName(Path("none/a.lby"));
    EXPECT_FALSE(table.WriteFile(false, nullptr, HEADER_GENGOU));
    ASSERT_EQ(1u, m_ui.m_messages.size());
    EXPECT_EQ(CP932("ファイル ") + table.GetFileName() + CP932(" への書き込みに失敗しました"), m_ui.m_messages[0].strText);
    EXPECT_TRUE(table.GetModified());
}

TEST_F(BaseYearFileTest, LineBreaksCannotSplitALine)
{
    struct {
        const char* pszSupplement;
        const char* pszWritten;
        const char* pszReadBack;
    } const cases[] = {
        {"a\r\nb", "a\\r\\nb", "a\r\nb"},
        {"a\nb", "a\\r\\nb", "a\r\nb"},          // lone breaks come back as CR LF
        {"a\rb", "a\\r\\nb", "a\r\nb"},
        {"a\\r\\nb", "a\\r\\nb", "a\r\nb"},      // the escape itself reads as a break
        {"\"q\" \"\"", "\"q\" \"\"", "\"q\" \"\""},
        {"\r\n", "\\r\\n", "\r\n"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        CBaseYear table = MakeTable(-5, NO_END_YEAR, 0);
        table.SetTableName("line\r\nbreak");
        table.SetSupplement(c.pszSupplement);
        table.SetFileName(Path("s.lby"));
        ASSERT_TRUE(table.WriteFile(false, nullptr, HEADER_GENGOU));
        const std::string strExpected = Header5().Str() + "\r\nline\\r\\nbreak\r\n-5\r\n2147483647\r\n"
                                        "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n" + c.pszWritten;
        EXPECT_EQ(strExpected, ReadBytes("s.lby")) << c.pszSupplement;

        CBaseYear read;
        ASSERT_TRUE(read.ReadFile(Path("s.lby")));
        CString strSupplement;
        read.GetSupplement(strSupplement);
        EXPECT_EQ(CString(c.pszReadBack), strSupplement) << c.pszSupplement;
        EXPECT_EQ(CString("line\\r\\nbreak"), read.GetTableName());   // the name is read as it stands
        EXPECT_EQ(-5, read.GetBaseWesternYear());
        EXPECT_EQ(NO_END_YEAR, read.GetEndWesternYear());
    }
}

} // namespace
