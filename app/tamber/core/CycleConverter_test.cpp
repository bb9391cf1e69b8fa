#include <tamber/core/CycleConverter.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <framework/Cp932.h>

#include "testing/Cp932Literal.h"

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Results are compared as UTF-8, so that a failure prints readable text.
std::string U8(const CString& str)
{
    std::string strUtf8;
    EXPECT_TRUE(Cp932ToUtf8(str.View(), strUtf8));
    return strUtf8;
}

SEraChoice Western() { return SEraChoice{0, CString()}; }
SEraChoice Item(int nItem) { return SEraChoice{nItem, CString()}; }
SEraChoice Typed(const char* pszUtf8) { return SEraChoice{-1, CString(Cp932(pszUtf8))}; }

class CycleConverterTest : public testing::Test {
protected:
    void AddEra(const char* pszUtf8, std::int32_t lBegin, std::int32_t lEnd)
    {
        ASSERT_TRUE(m_eras.SetData(CString(Cp932(pszUtf8)), lBegin, lEnd, ""));
    }
    void AddModernEras()   // items 1 to 4
    {
        AddEra("明治", 1868, 1912);
        AddEra("大正", 1912, 1926);
        AddEra("昭和", 1926, 1989);
        AddEra("平成", 1989, 2019);
    }

    std::string YearToCycle(std::int32_t lYear, const SEraChoice& era)
    {
        CString strResult = "unchanged";
        CString strMessage;
        if (!m_converter.YearToCycle(lYear, era, strResult, strMessage)) {
            EXPECT_EQ("unchanged", U8(strResult));
            return "message: " + U8(strMessage);
        }
        return U8(strResult);
    }

    std::string YearsOfPair(SPairRequest request)
    {
        CString strResult = "unchanged";
        CString strMessage;
        if (!m_converter.YearsOfPair(request, strResult, strMessage)) {
            EXPECT_EQ("unchanged", U8(strResult));
            return "message: " + U8(strMessage);
        }
        return U8(strResult);
    }

    static SPairRequest Pair(int nStemItem, const char* pszBranch, const char* pszFrom, const char* pszTo)
    {
        SPairRequest request;
        request.nStem = nStemItem;
        request.strBranch = CString(Cp932(pszBranch));
        request.strFrom = pszFrom;
        request.strTo = pszTo;
        return request;
    }

    CGengouEra m_eras;
    CSexagenaryCycle m_cycle;
    CCycleConverter m_converter{m_eras, m_cycle};
};

constexpr int kKou = 1;   // the item of 甲 in the stem list
constexpr int kHei = 3;   // 丙

TEST_F(CycleConverterTest, YearToCycleOfWesternYears)
{
    EXPECT_EQ("1984年の干支は甲子(きのえね)です。\r\n十二支はねずみです。", YearToCycle(1984, Western()));
    EXPECT_EQ("2006年の干支は丙戌(ひのえいぬ)です。\r\n十二支はいぬです。", YearToCycle(2006, Western()));
    EXPECT_EQ("-660年の干支は辛酉(かのととり)です。\r\n十二支はとりです。", YearToCycle(-660, Western()));
    EXPECT_EQ("2147483647年の干支は丁卯(ひのとう)です。\r\n十二支はうさぎです。", YearToCycle(kMax, Western()));
}

TEST_F(CycleConverterTest, YearToCycleNamesTheEraOfTheYear)
{
    AddModernEras();
    EXPECT_EQ("1984(昭和59年)年の干支は甲子(きのえね)です。\r\n十二支はねずみです。", YearToCycle(1984, Western()));
    EXPECT_EQ("1984(昭和59年)年の干支は甲子(きのえね)です。\r\n十二支はねずみです。", YearToCycle(59, Item(3)));
    EXPECT_EQ("1984(昭和59年)年の干支は甲子(きのえね)です。\r\n十二支はねずみです。", YearToCycle(59, Typed("昭和")));
}

TEST_F(CycleConverterTest, EraItemsAndTheirLastYear)
{
    AddEra("昭和", 1926, 1989);
    EXPECT_EQ("1989(昭和64年)年の干支は己巳(つちのとみ)です。\r\n十二支はへびです。", YearToCycle(64, Item(1)));
    EXPECT_EQ("message: 元号の最大年を超えています", YearToCycle(65, Item(1)));
    EXPECT_EQ("message: 元号の最大年を超えています", YearToCycle(65, Typed("昭和")));
    EXPECT_EQ("message: 該当する元号がありません", YearToCycle(59, Typed("昭和(～64)")));
    EXPECT_EQ("message: 該当する元号がありません", YearToCycle(59, Typed("")));
    EXPECT_EQ("message: 元号インデックスが不正です", YearToCycle(59, Item(2)));
    // A typed "西暦" leaves the year Western.
    EXPECT_EQ("2006年の干支は丙戌(ひのえいぬ)です。\r\n十二支はいぬです。", YearToCycle(2006, Typed("西暦")));
}

TEST_F(CycleConverterTest, EraYearsBelowOneAreRefused)
{
    AddEra("昭和", 1926, 1989);
    AddEra("遠過去", kMin, kMin + 10);
    const std::string strBelowOne = "message: 元号の年は1(元年)以上を入れてください";
    for (const std::int32_t lYear : {0, -1, kMin}) {
        EXPECT_EQ(strBelowOne, YearToCycle(lYear, Item(1))) << lYear;   // 遠過去, sorted first
        EXPECT_EQ(strBelowOne, YearToCycle(lYear, Item(2))) << lYear;
        EXPECT_EQ(strBelowOne, YearToCycle(lYear, Typed("昭和"))) << lYear;
    }
    EXPECT_EQ("1926(昭和元年)年の干支は丙寅(ひのえとら)です。\r\n十二支はとらです。", YearToCycle(1, Item(2)));
    // Western years below 1 stay years before the Western era.
    EXPECT_EQ("-1年の干支は庚申(かのえさる)です。\r\n十二支はさるです。", YearToCycle(-1, Western()));
    SPairRequest request = Pair(kKou, "子", "0", "10");
    request.eraFrom = Item(2);
    EXPECT_EQ(strBelowOne, YearsOfPair(request));
}

TEST_F(CycleConverterTest, YearZeroIsRefused)
{
    AddEra("紀元", -5, 100);
    const std::string strZero = "message: 西暦0年はありません。紀元前1年(-1)の次の年は西暦1年です。";
    EXPECT_EQ(strZero, YearToCycle(0, Western()));
    EXPECT_EQ(strZero, YearToCycle(6, Item(1)));
}

TEST_F(CycleConverterTest, EraArithmeticNeverLeavesThe32BitRange)
{
    AddEra("遠未来", kMax - 10, kMax);
    AddEra("遠過去", kMin, kMin + 10);
    // Past the end of an era that ends at the largest year: refused, not wrapped.
    EXPECT_EQ("message: 元号の最大年を超えています", YearToCycle(kMax, Typed("遠未来")));
    EXPECT_EQ("message: 元号の最大年を超えています", YearToCycle(kMax, Item(2)));
    std::int32_t lYear = 11;
    EXPECT_EQ(0, m_converter.WesternYearOfEraName(CString(Cp932("遠未来")), lYear));
    EXPECT_EQ(kMax, lYear);
}

TEST_F(CycleConverterTest, WesternYearOfEraNameComparesTheStoredName)
{
    AddEra("<b>明治</b>", 1868, 1912);
    std::int32_t lYear = 45;
    EXPECT_EQ(1, m_converter.WesternYearOfEraName(CString(Cp932("明治")), lYear));
    EXPECT_EQ(45, lYear);
    EXPECT_EQ(0, m_converter.WesternYearOfEraName(CString(Cp932("<b>明治</b>")), lYear));
    EXPECT_EQ(1912, lYear);
    lYear = 46;
    EXPECT_EQ(2, m_converter.WesternYearOfEraName(CString(Cp932("<b>明治</b>")), lYear));
    EXPECT_EQ(46, lYear);
    EXPECT_EQ(0, m_converter.WesternYearOfEraName(CString(Cp932("西暦")), lYear));
    EXPECT_EQ(46, lYear);
}

TEST_F(CycleConverterTest, EraListItems)
{
    AddEra("<i>令和</i>", 2019, 32767);
    AddEra("平成", 1989, 2019);
    AddEra("未来", 3000, 32766);
    std::vector<CString> items = {CString("old")};
    m_converter.ListEraItems(items);
    std::vector<std::string> texts;
    for (const CString& str : items)
        texts.push_back(U8(str));
    EXPECT_EQ((std::vector<std::string>{"西暦", "平成(～31)", "令和(～)", "未来(～29767)"}), texts);
}

TEST_F(CycleConverterTest, MakeYearText)
{
    EXPECT_EQ(" 645", U8(m_converter.MakeYearText(645, "%4d")));
    EXPECT_EQ("-5", U8(m_converter.MakeYearText(-5, "%d")));
    AddEra("平成", 1989, 2019);
    EXPECT_EQ("1989(平成元年)", U8(m_converter.MakeYearText(1989, "%d")));
    AddEra("昭和", 1926, 1989);   // the earlier record now covers 1989 first
    EXPECT_EQ("1989(昭和64年)", U8(m_converter.MakeYearText(1989, "%d")));
    EXPECT_EQ("1984(昭和59年)", U8(m_converter.MakeYearText(1984, "%4d")));
    EXPECT_EQ("2019(平成31年)", U8(m_converter.MakeYearText(2019, "%d")));
    EXPECT_EQ("2020", U8(m_converter.MakeYearText(2020, "%d")));
    AddEra("<b>全</b>", kMin, kMax);
    EXPECT_EQ("2147483647(全4294967296年)", U8(m_converter.MakeYearText(kMax, "%d")));
}

TEST_F(CycleConverterTest, YearsOfPairWithBothEnds)
{
    EXPECT_EQ("1900～2000の間で\r\n甲子(きのえね)に該当する年は2個あります。\r\n1924\r\n1984\r\n",
              YearsOfPair(Pair(kKou, "子", "1900", "2000")));
    EXPECT_EQ("2000～1900の間で\r\n甲子(きのえね)に該当する年は0個あります。\r\n",
              YearsOfPair(Pair(kKou, "子", "2000", "1900")));
    EXPECT_EQ("-100～100の間で\r\n甲子(きのえね)に該当する年は3個あります。\r\n -57\r\n   4\r\n  64\r\n",
              YearsOfPair(Pair(kKou, "子", "-100", "100")));
    // 癸, the last stem.
    EXPECT_EQ("1900～2000の間で\r\n癸亥(みずのとい)に該当する年は2個あります。\r\n1923\r\n1983\r\n",
              YearsOfPair(Pair(10, "亥", "1900", "2000")));
    // A stem and a branch of different parity have no years: the count is 0.
    EXPECT_EQ("1900～2000の間で\r\n甲丑(きのえうし)に該当する年は0個あります。\r\n",
              YearsOfPair(Pair(kKou, "丑", "1900", "2000")));
    // Without a stem the animal stands where the branch reading would be.
    EXPECT_EQ("1990～2000の間で\r\n子(ねずみ)に該当する年は1個あります。\r\n1996\r\n",
              YearsOfPair(Pair(0, "子", "1990", "2000")));
}

TEST_F(CycleConverterTest, YearsOfPairNearestYear)
{
    EXPECT_EQ("2000年以前でもっとも近い甲子(きのえね)は\r\n1984年です。", YearsOfPair(Pair(kKou, "子", "", "2000")));
    EXPECT_EQ("1984年以前でもっとも近い甲子(きのえね)は\r\n1924年です。", YearsOfPair(Pair(kKou, "子", "", "1984")));
    EXPECT_EQ("2000年以降でもっとも近い子(ねずみ)は\r\n2008年です。", YearsOfPair(Pair(0, "子", "2000", "")));
    EXPECT_EQ("1984年以降でもっとも近い甲子(きのえね)は\r\n1984年です。", YearsOfPair(Pair(kKou, "子", "1984", "")));
    EXPECT_EQ("2000年以降でもっとも近い丙寅(ひのえとら)は\r\n2046年です。", YearsOfPair(Pair(kHei, "寅", "2000", "")));
}

TEST_F(CycleConverterTest, YearsOfPairReadsTrimmedRangeTexts)
{
    SPairRequest request = Pair(kKou, "子", " \t1900 ", "2000\t ");
    CString strResult;
    CString strMessage;
    ASSERT_TRUE(m_converter.YearsOfPair(request, strResult, strMessage));
    EXPECT_EQ("1900", U8(request.strFrom));
    EXPECT_EQ("2000", U8(request.strTo));
    // Only the leading number counts; text without one is refused, not read as 0.
    EXPECT_EQ("1900～2000の間で\r\n甲子(きのえね)に該当する年は2個あります。\r\n1924\r\n1984\r\n",
              YearsOfPair(Pair(kKou, "子", "1900年", "2000abc")));
    EXPECT_EQ("message: 開始年は数字で入れてください。", YearsOfPair(Pair(kKou, "子", "abc", "2000")));
    EXPECT_EQ("message: 開始年は数字で入れてください。", YearsOfPair(Pair(kKou, "子", "-", "")));
    EXPECT_EQ("message: 終了年は数字で入れてください。", YearsOfPair(Pair(kKou, "子", "1900", "年2000")));
    EXPECT_EQ("message: 終了年は数字で入れてください。", YearsOfPair(Pair(kKou, "子", "", "１９８４")));
}

TEST_F(CycleConverterTest, YearsOfPairWithEraYears)
{
    AddModernEras();
    SPairRequest request = Pair(kKou, "子", "1", "64");
    request.eraFrom = Item(1);    // 明治1 = 1868
    request.eraTo = Typed("昭和");  // 昭和64 = 1989
    EXPECT_EQ("1868(明治元年)～1989(昭和64年)の間で\r\n甲子(きのえね)に該当する年は2個あります。\r\n"
              "1924(大正13年)\r\n1984(昭和59年)\r\n",
              YearsOfPair(request));
    request.strTo = "65";
    EXPECT_EQ("message: 元号の最大年を超えています", YearsOfPair(request));
    // The start is converted before the end is read: its message comes first.
    request.eraFrom = Item(9);
    EXPECT_EQ("message: 元号インデックスが不正です", YearsOfPair(request));
}

TEST_F(CycleConverterTest, YearsOfPairMessages)
{
    EXPECT_EQ("message: 干支を選択してください", YearsOfPair(Pair(kKou, "", "1900", "2000")));
    EXPECT_EQ("message: 干支を選択してください", YearsOfPair(Pair(kKou, "ね", "1900", "2000")));
    EXPECT_EQ("message: 干支を選択してください", YearsOfPair(Pair(kKou, "子 ", "1900", "2000")));
    EXPECT_EQ("message: 十干は一覧から選んでください", YearsOfPair(Pair(-2, "子", "1900", "2000")));
    EXPECT_EQ("message: 開始年・終了年に年を入れてください。", YearsOfPair(Pair(kKou, "子", " ", "\t")));
    const std::string strNoMatch = "message: 該当する年がありません。十干と十二支の組み合わせを確かめてください。";
    EXPECT_EQ(strNoMatch, YearsOfPair(Pair(kKou, "丑", "2000", "")));
    EXPECT_EQ(strNoMatch, YearsOfPair(Pair(kKou, "丑", "", "2000")));
}

TEST_F(CycleConverterTest, TrimmingHappensOnlyAfterThePairIsAccepted)
{
    SPairRequest request = Pair(kKou, "", " 1900 ", " 2000 ");
    CString strResult;
    CString strMessage;
    EXPECT_FALSE(m_converter.YearsOfPair(request, strResult, strMessage));
    EXPECT_EQ(" 1900 ", U8(request.strFrom));
}

TEST_F(CycleConverterTest, HugeRangesAreRefusedAndBoundsDoNotWrap)
{
    EXPECT_EQ("message: 該当する年が71582789個あり、一度に表示できる10000個を超えています。年範囲を狭くしてください。",
              YearsOfPair(Pair(kKou, "子", "-2147483648", "2147483647")));
    // Exactly at the limit is listed: 甲子 from 1984 on, 10000 cycles less one.
    const std::string strLast = YearsOfPair(Pair(kKou, "子", "1984", std::to_string(1984 + 60 * 9999).c_str()));
    EXPECT_NE(std::string::npos, strLast.find("10000個あります。"));
    EXPECT_EQ("message: 該当する年が10001個あり、一度に表示できる10000個を超えています。年範囲を狭くしてください。",
              YearsOfPair(Pair(kKou, "子", "1984", std::to_string(1984 + 60 * 10000).c_str())));
    // A huge range of a pair that never occurs is answered at once.
    EXPECT_EQ("-2147483648～2147483647の間で\r\n甲丑(きのえうし)に該当する年は0個あります。\r\n",
              YearsOfPair(Pair(kKou, "丑", "-99999999999", "99999999999")));
    // Nearest-year windows are cut at the ends of the range instead of wrapping.
    EXPECT_EQ("2147483647年以降でもっとも近い卯(うさぎ)は\r\n2147483647年です。",
              YearsOfPair(Pair(0, "卯", "2147483647", "")));
    EXPECT_EQ("message: 該当する年がありません。十干と十二支の組み合わせを確かめてください。",
              YearsOfPair(Pair(0, "子", "2147483647", "")));
    EXPECT_EQ("message: 該当する年がありません。十干と十二支の組み合わせを確かめてください。",
              YearsOfPair(Pair(0, "子", "", "-2147483648")));
}

} // namespace
