// Write-then-read of random tables of the three kinds, with the bytes that once broke the formats
// (quotes, commas, line breaks, lone lead bytes, double-byte characters whose second byte is a
// backslash or a bar, blanks, NUL, 32-bit extremes, era days in and out of range). Each field read
// back is compared with what the README's "File formats" limits say it must be; a model of those
// limits is written out here on its own, without the library's codec.
#include <corvane/BaseYear.h>
#include <corvane/GengouEra.h>
#include <corvane/YearEvent.h>

#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace {

constexpr int kTables = 300;

bool IsLead(char ch)
{
    return CString::IsLeadByte(static_cast<unsigned char>(ch));
}

// ---- The model of the limits ----

// CR LF, a lone CR and a lone LF each become the four characters \r\n. False when a lead byte
// would take the escape's backslash as its second byte: no file can hold such a text.
bool Escape(const std::string& str, std::string& out)
{
    out.clear();
    bool bTrail = false;
    for (std::size_t i = 0; i < str.size(); ++i) {
        if (str[i] == '\r' || str[i] == '\n') {
            if (bTrail)
                return false;
            out += "\\r\\n";
            i += str[i] == '\r' && i + 1 < str.size() && str[i + 1] == '\n';
            continue;
        }
        out += str[i];
        bTrail = !bTrail && IsLead(str[i]);
    }
    return true;
}

// Every \r\n that starts a character becomes CR LF.
std::string Unescape(const std::string& str)
{
    std::string out;
    for (std::size_t i = 0; i < str.size();) {
        if (str.compare(i, 4, "\\r\\n") == 0) {
            out += "\r\n";
            i += 4;
        } else {
            const std::size_t n = IsLead(str[i]) && i + 1 < str.size() ? 2 : 1;
            out.append(str, i, n);
            i += n;
        }
    }
    return out;
}

std::string Trim(const std::string& str)
{
    const char* const pszBlanks = " \t\r\n\v\f";
    const std::size_t nFirst = str.find_first_not_of(pszBlanks);
    return nFirst == std::string::npos ? std::string() : str.substr(nFirst, str.find_last_not_of(pszBlanks) - nFirst + 1);
}

std::string UpToNul(const std::string& str)
{
    return str.substr(0, str.find('\0'));
}

std::string Escaped(const CString& str)
{
    std::string out;
    EXPECT_TRUE(Escape(str.Str(), out));
    return out;
}

CString Cs(const std::string& str)
{
    return CString(std::string_view(str));
}

// ---- Random tables ----

class CGenerator {
public:
    explicit CGenerator(unsigned nSeed) : m_random(nSeed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool Coin() { return Below(2) == 0; }

    std::int32_t Year()
    {
        static const std::int32_t s_years[] = {std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max(), -1, 0, 1, -660, 1984};
        return Below(3) == 0 ? s_years[Below(std::size(s_years))]
                             : std::uniform_int_distribution<std::int32_t>()(m_random);
    }

    // A text that every format can hold: lone lead bytes come only before a quote, a comma or at
    // the end, never before a line break.
    CString Text()
    {
        static const std::string s_pieces[] = {
            "\"", "\"\"", ",", "\r", "\n", "\r\n", " ", "\t", "a", "xyz", "\\r\\n", "r\\n", std::string(1, '\0'),
            "\x81\"", "\xE0,", "\x83\x5C" /* ソ */, "\x95\x5C" /* 表 */, "\x83\x7C" /* ポ */, "\x93\xFA" /* 日 */,
        };
        std::string str;
        for (int n = Below(6); n > 0; --n)
            str += s_pieces[Below(std::size(s_pieces))];
        if (Below(8) == 0)
            str += '\x81';
        return Cs(str);
    }

private:
    std::mt19937 m_random;
};

class RoundTripTest : public testing::Test {
protected:
    CTempDir m_dir;
};

TEST_F(RoundTripTest, EventTables)
{
    CGenerator gen(11);
    for (int t = 0; t < kTables; ++t) {
        CYearEvent table;
        table.SetTableName(gen.Text());
        table.SetExplanation(gen.Text());
        table.SetTodayDate(gen.Coin());
        for (int n = gen.Below(5); n > 0; --n) {
            SEventData data;
            data.lYear = gen.Year();
            data.nMonth = static_cast<std::int16_t>(gen.Coin() ? -1 : gen.Year());
            data.nDay = static_cast<std::int16_t>(gen.Coin() ? gen.Below(32) : gen.Year());
            data.strEvent = gen.Text();
            data.strNote = gen.Text();
            data.nPriority = gen.Coin() ? gen.Below(3) : gen.Year();
            data.bLeapMonth = gen.Coin();
            table.SetData(data, false, -1, PRIORITY_ALL);
        }
        const CString strPath = m_dir.Name("t.lev");
        ASSERT_TRUE(table.Save(strPath).Ok()) << t;
        CYearEvent back;
        ASSERT_TRUE(back.Load(strPath, false).Ok()) << t;

        EXPECT_EQ(Cs(Trim(Escaped(table.GetTableName()))), back.GetTableName()) << t;
        EXPECT_EQ(Cs(Unescape(Trim(Escaped(table.GetExplanation())))), back.GetExplanation()) << t;
        EXPECT_EQ(table.GetTodayDate(), back.GetTodayDate()) << t;
        ASSERT_EQ(table.GetLen(), back.GetLen()) << t;
        auto it = back.GetEventData().begin();
        for (const auto& pData : table.GetEventData()) {
            const SEventData& got = **it++;
            EXPECT_EQ(pData->lYear, got.lYear) << t;
            EXPECT_EQ(pData->nMonth, got.nMonth) << t;
            EXPECT_EQ(pData->nDay, got.nDay) << t;
            EXPECT_EQ(Cs(Trim(Escaped(pData->strEvent))), got.strEvent) << t;
            EXPECT_EQ(Cs(Unescape(Trim(Escaped(pData->strNote)))), got.strNote) << t;
            EXPECT_EQ(pData->nPriority >= 0 && pData->nPriority <= 2 ? pData->nPriority : 0, got.nPriority) << t;
            EXPECT_EQ(pData->bLeapMonth, got.bLeapMonth) << t;
        }
    }
}

TEST_F(RoundTripTest, EraTables)
{
    CGenerator gen(12);
    for (int t = 0; t < kTables; ++t) {
        // Records straight into the array: any order, repeated names, NUL bytes.
        CGengouEra table;
        table.SetTableName(gen.Text());
        table.SetExplanation(gen.Text());
        for (int n = gen.Below(6); n > 0; --n) {
            SGengouEraTable rec;
            rec.strGengou = gen.Below(4) == 0 ? CString("dup") : gen.Text();
            rec.lBeginYear = gen.Below(3) == 0 ? 1 : gen.Year();
            rec.lEndYear = gen.Year();
            rec.strNote = gen.Text();
            if (gen.Coin()) {
                rec.nBeginMonth = gen.Below(15) - 1, rec.bBeginLeap = gen.Coin(), rec.nBeginDay = gen.Below(34) - 1;
                rec.nEndMonth = gen.Below(15) - 1, rec.bEndLeap = gen.Coin(), rec.nEndDay = gen.Coin() ? gen.Year() : 31;
            }
            table.GetGengoEraTable().push_back(rec);
        }
        const EHeaderType eType = gen.Coin() ? HEADER_GENGOU : HEADER_JIDAI;
        const CString strPath = m_dir.Name("t.lgn");
        ASSERT_TRUE(table.Save(strPath, eType).Ok()) << t;
        CGengouEra back;
        ASSERT_TRUE(back.Load(strPath, eType).Ok()) << t;

        // Names and explanation are whole lines; records go through the ordered insertion.
        EXPECT_EQ(Cs(Escaped(table.GetTableName())), back.GetTableName()) << t;
        EXPECT_EQ(Cs(Unescape(Escaped(table.GetExplanation()))), back.GetExplanation()) << t;
        // A day is kept when its month is 1-12 and its day 0-31; any other is read as not known.
        const auto day = [](int nMonth, bool bLeap, int nDay) {
            const bool bKept = nMonth >= 1 && nMonth <= 12 && nDay >= 0 && nDay <= 31;
            return bKept ? SEraDate{0, nMonth, bLeap, nDay} : SEraDate{};
        };
        CGengouEra expected;
        for (int i = 0; i < table.GetSize(); ++i) {
            const SGengouEraTable rec = table.GetAt(i);
            CGengouEraArray& arr = expected.GetGengoEraTable();
            const auto at = std::find_if(arr.begin(), arr.end(),
                                         [&](const SGengouEraTable& r) { return rec.lBeginYear < r.lBeginYear; });
            const std::size_t nAt = static_cast<std::size_t>(at - arr.begin());
            const std::size_t nBefore = arr.size();
            expected.SetData(Cs(UpToNul(Trim(Escaped(rec.strGengou)))), rec.lBeginYear, rec.lEndYear,
                             Cs(Unescape(UpToNul(Trim(Escaped(rec.strNote))))));
            if (arr.size() > nBefore) {
                const SEraDate begin = day(rec.nBeginMonth, rec.bBeginLeap, rec.nBeginDay);
                const SEraDate end = day(rec.nEndMonth, rec.bEndLeap, rec.nEndDay);
                arr[nAt].nBeginMonth = begin.nMonth, arr[nAt].bBeginLeap = begin.bLeap, arr[nAt].nBeginDay = begin.nDay;
                arr[nAt].nEndMonth = end.nMonth, arr[nAt].bEndLeap = end.bLeap, arr[nAt].nEndDay = end.nDay;
            }
        }
        ASSERT_EQ(expected.GetSize(), back.GetSize()) << t;
        for (int i = 0; i < back.GetSize(); ++i) {
            const SGengouEraTable want = expected.GetAt(i);
            const SGengouEraTable got = back.GetAt(i);
            EXPECT_EQ(want.strGengou, got.strGengou) << t;
            EXPECT_EQ(want.lBeginYear, got.lBeginYear) << t;
            EXPECT_EQ(want.lEndYear, got.lEndYear) << t;
            EXPECT_EQ(want.strNote, got.strNote) << t;
            EXPECT_EQ(want.BeginDate(), got.BeginDate()) << t;
            EXPECT_EQ(want.EndDate(), got.EndDate()) << t;
        }
    }
}

TEST_F(RoundTripTest, BaseYearTables)
{
    CGenerator gen(13);
    for (int t = 0; t < kTables; ++t) {
        CBaseYear table;
        table.SetTableName(gen.Text());
        table.SetBaseWesternYear(gen.Year());
        table.SetEndWesternYear(gen.Coin() ? NO_END_YEAR : gen.Year());
        table.SetKazoe(gen.Coin());
        table.SetDisplayMinus(gen.Coin());
        table.SetMinus1(gen.Coin());
        table.SetEndYearPlus(gen.Coin());
        table.SetEndYearKaiki(gen.Coin());
        table.SetBeginYearQuest(gen.Coin());
        table.SetEndYearQuest(gen.Coin());
        table.SetSupplement(gen.Text());
        const CString strPath = m_dir.Name("t.lby");
        ASSERT_TRUE(table.Save(strPath).Ok()) << t;
        CBaseYear back;
        ASSERT_TRUE(back.Load(strPath).Ok()) << t;

        EXPECT_EQ(Cs(Escaped(table.GetTableName())), back.GetTableName()) << t;
        EXPECT_EQ(table.GetBaseWesternYear(), back.GetBaseWesternYear()) << t;
        EXPECT_EQ(table.GetEndWesternYear(), back.GetEndWesternYear()) << t;
        EXPECT_EQ(table.GetKazoe(), back.GetKazoe()) << t;
        EXPECT_EQ(table.GetDisplayMinus(), back.GetDisplayMinus()) << t;
        EXPECT_EQ(table.GetMinus1(), back.GetMinus1()) << t;
        EXPECT_EQ(table.GetEndYearPlus(), back.GetEndYearPlus()) << t;
        EXPECT_EQ(table.GetEndYearKaiki(), back.GetEndYearKaiki()) << t;
        EXPECT_EQ(table.GetBeginYearQuest(), back.GetBeginYearQuest()) << t;
        EXPECT_EQ(table.GetEndYearQuest(), back.GetEndYearQuest()) << t;
        CString strSupplement, strBack;
        table.GetSupplement(strSupplement);
        back.GetSupplement(strBack);
        EXPECT_EQ(Cs(Unescape(Escaped(strSupplement))), strBack) << t;
    }
}

} // namespace
