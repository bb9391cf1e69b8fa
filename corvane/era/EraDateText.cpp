#include <corvane/EraDateText.h>

#include <framework/Cp932.h>

#include <array>
#include <limits>
#include <optional>

namespace {

constexpr std::int64_t kTooLarge = std::int64_t{1} << 40;
constexpr std::size_t kMaxNameChars = 32;   // the longest era name the reader looks for

// The code page 932 forms of the characters the reader knows, converted once.
struct SChars {
    CString strYear = LiteralToCp932("年");
    CString strMonth = LiteralToCp932("月");
    CString strDay = LiteralToCp932("日");
    CString strLeap = LiteralToCp932("閏");
    CString strFirst = LiteralToCp932("元");
    CString strFullSpace = LiteralToCp932("　");
    std::array<CString, 4> separators = {LiteralToCp932("．"), LiteralToCp932("－"), LiteralToCp932("／"),
                                         LiteralToCp932("ー")};
    // 〇 一 … 九, then 十 百 千.
    std::array<CString, 13> numerals = {LiteralToCp932("〇"), LiteralToCp932("一"), LiteralToCp932("二"),
                                        LiteralToCp932("三"), LiteralToCp932("四"), LiteralToCp932("五"),
                                        LiteralToCp932("六"), LiteralToCp932("七"), LiteralToCp932("八"),
                                        LiteralToCp932("九"), LiteralToCp932("十"), LiteralToCp932("百"),
                                        LiteralToCp932("千")};
    // Old forms of characters in era names and the forms of the table.
    std::array<std::pair<CString, CString>, 11> oldForms = {{
        {LiteralToCp932("應"), LiteralToCp932("応")}, {LiteralToCp932("萬"), LiteralToCp932("万")},
        {LiteralToCp932("寶"), LiteralToCp932("宝")}, {LiteralToCp932("寳"), LiteralToCp932("宝")},
        {LiteralToCp932("壽"), LiteralToCp932("寿")}, {LiteralToCp932("龜"), LiteralToCp932("亀")},
        {LiteralToCp932("祿"), LiteralToCp932("禄")}, {LiteralToCp932("觀"), LiteralToCp932("観")},
        {LiteralToCp932("德"), LiteralToCp932("徳")}, {LiteralToCp932("靈"), LiteralToCp932("霊")},
        {LiteralToCp932("寬"), LiteralToCp932("寛")},
    }};
    // The initials of the modern eras.
    std::array<std::pair<char, CString>, 5> initials = {{{'M', LiteralToCp932("明治")},
                                                         {'T', LiteralToCp932("大正")},
                                                         {'S', LiteralToCp932("昭和")},
                                                         {'H', LiteralToCp932("平成")},
                                                         {'R', LiteralToCp932("令和")}}};
};

const SChars& Chars()
{
    static const SChars s_chars;
    return s_chars;
}

// A cursor over a code page 932 text, one character at a time.
class CCursor {
public:
    CCursor(const CString& str, int nPos = 0) : m_str(str), m_nPos(nPos) {}

    int Pos() const { return m_nPos; }
    bool AtEnd() const { return m_nPos >= m_str.GetLength(); }
    int CharLength() const { return AtEnd() ? 0 : m_str.CharLength(m_nPos); }
    CString Rest() const { return m_str.Mid(m_nPos); }

    bool Eat(const CString& strChar)
    {
        if (m_str.View().substr(static_cast<std::size_t>(m_nPos)).starts_with(strChar.View())) {
            m_nPos += strChar.GetLength();
            return true;
        }
        return false;
    }
    bool EatAscii(char ch)
    {
        if (!AtEnd() && m_str.GetAt(m_nPos) == ch) {
            ++m_nPos;
            return true;
        }
        return false;
    }
    void SkipSpaces()
    {
        while (EatAscii(' ') || EatAscii('\t') || Eat(Chars().strFullSpace)) {
        }
    }
    // A separator of the dotted and dashed forms.
    bool EatSeparator()
    {
        if (EatAscii('.') || EatAscii('-') || EatAscii('/'))
            return true;
        for (const CString& str : Chars().separators)
            if (Eat(str))
                return true;
        return false;
    }

    // The digit at the cursor (ASCII or full-width), or -1.
    int Digit() const
    {
        if (AtEnd())
            return -1;
        const auto b = static_cast<unsigned char>(m_str.GetAt(m_nPos));
        if (b >= '0' && b <= '9')
            return b - '0';
        if (b == 0x82 && m_nPos + 1 < m_str.GetLength()) {
            const auto b2 = static_cast<unsigned char>(m_str.GetAt(m_nPos + 1));
            if (b2 >= 0x4F && b2 <= 0x58)
                return b2 - 0x4F;
        }
        return -1;
    }
    // The kanji numeral at the cursor: 0-9, 10, 100, 1000; or -1.
    int Numeral() const
    {
        static constexpr std::array<int, 13> kValues = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 100, 1000};
        const std::string_view rest = m_str.View().substr(static_cast<std::size_t>(std::min(m_nPos, m_str.GetLength())));
        for (std::size_t i = 0; i < kValues.size(); ++i)
            if (rest.starts_with(Chars().numerals[i].View()))
                return kValues[i];
        return -1;
    }
    bool AtNumber() const { return Digit() >= 0 || Numeral() >= 0; }

    // A number in digits or in kanji numerals; capped at kTooLarge. False, the cursor where it
    // was, when there is none or the kanji do not make a number (十百).
    bool ReadNumber(std::int64_t& lValue)
    {
        const int nStart = m_nPos;
        std::int64_t lNumber = 0;
        if (Digit() >= 0) {
            for (int d = Digit(); d >= 0; d = Digit()) {
                lNumber = std::min(lNumber * 10 + d, kTooLarge);
                m_nPos += d >= 0 && static_cast<unsigned char>(m_str.GetAt(m_nPos)) == 0x82 ? 2 : 1;
            }
            lValue = lNumber;
            return true;
        }
        // 二〇 digit by digit; 六十四, 二千十 with the units 十 百 千, each unit smaller than the last.
        std::int64_t lDigits = -1;
        std::int64_t lLastUnit = kTooLarge;
        bool bUnits = false;
        bool bPositional = false;
        for (int n = Numeral(); n >= 0; n = Numeral()) {
            m_nPos += Chars().numerals[0].GetLength();
            if (n < 10) {
                if (bUnits && lDigits >= 0) {   // 二十一二
                    m_nPos = nStart;
                    return false;
                }
                bPositional = lDigits >= 0;
                lDigits = std::min((lDigits < 0 ? 0 : lDigits) * 10 + n, kTooLarge);
            } else {
                if (bPositional || n >= lLastUnit || lDigits == 0) {   // 二〇十, 十百, 〇十
                    m_nPos = nStart;
                    return false;
                }
                lNumber += (lDigits < 0 ? 1 : lDigits) * n;
                lLastUnit = n;
                lDigits = -1;
                bUnits = true;
            }
        }
        if (m_nPos == nStart)
            return false;
        lValue = lNumber + (lDigits < 0 ? 0 : lDigits);
        return true;
    }

private:
    const CString& m_str;
    int m_nPos;
};

// The month, leap flag and day read after a year; -1 when not given.
struct SMonthDay {
    std::int64_t lMonth = -1;
    bool bLeap = false;
    std::int64_t lDay = -1;
};

// "[閏]4月[8日]" after a year written with 年; true with nothing read when no month follows.
bool ReadKanjiMonthDay(CCursor& cur, SMonthDay& md)
{
    cur.SkipSpaces();
    md.bLeap = cur.Eat(Chars().strLeap);
    if (!cur.AtNumber())
        return !md.bLeap;
    if (!cur.ReadNumber(md.lMonth) || (cur.SkipSpaces(), !cur.Eat(Chars().strMonth)))
        return false;
    cur.SkipSpaces();
    if (!cur.AtNumber())
        return true;
    if (!cur.ReadNumber(md.lDay) || (cur.SkipSpaces(), !cur.Eat(Chars().strDay)))
        return false;
    return true;
}

// "-[閏]4[-8]" after a year in the dotted and dashed forms; true with nothing read when no
// separator follows.
bool ReadSeparatedMonthDay(CCursor& cur, SMonthDay& md)
{
    cur.SkipSpaces();
    if (!cur.EatSeparator())
        return true;
    cur.SkipSpaces();
    md.bLeap = cur.Eat(Chars().strLeap);
    if (!cur.ReadNumber(md.lMonth))
        return false;
    cur.SkipSpaces();
    if (!cur.EatSeparator())
        return true;
    cur.SkipSpaces();
    return cur.ReadNumber(md.lDay);
}

// An int from a capped number, for the checks that follow (which name the number).
int ToInt(std::int64_t l)
{
    return static_cast<int>(std::min<std::int64_t>(l, std::numeric_limits<int>::max()));
}

// What a form read before its date is checked: nEra -1 for a Western date.
struct SRead {
    int nEra = -1;
    std::int64_t lYear = 0;
    SMonthDay md;
};

CString TrailingError(const CCursor& cur)
{
    return CP932("日付のあとに読めない文字があります: ") + cur.Rest();
}

// The index of the era that strName names, as it stands or with its old forms of characters
// replaced; -1 when none.
int FindEraIndex(const CGengouEra& eras, const CString& strName)
{
    int nIndex = eras.GetIndexFromName(strName);
    if (nIndex >= 0)
        return nIndex;
    CString strModern;
    bool bChanged = false;
    for (int i = 0; i < strName.GetLength(); i += strName.CharLength(i)) {
        const CString strChar = strName.Mid(i, strName.CharLength(i));
        const CString* pModern = &strChar;
        for (const auto& [strOld, strNew] : Chars().oldForms)
            if (strChar == strOld) {
                pModern = &strNew;
                bChanged = true;
            }
        strModern += *pModern;
    }
    return bChanged ? eras.GetIndexFromName(strModern) : -1;
}

} // namespace

CString FormatWesternDate(const SEraDate& date)
{
    CString str;
    if (date.lYear < 0)
        str.Format("-%04lld", -static_cast<long long>(date.lYear));
    else
        str.Format("%04d", static_cast<int>(date.lYear));
    if (date.nMonth != 0) {
        str.AppendFormat("-%s%02d", date.bLeap ? CP932("閏").GetString() : "", date.nMonth);
        if (date.nDay != 0)
            str.AppendFormat("-%02d", date.nDay);
    }
    return str;
}

namespace {

// The readers of the three forms. Each leaves read empty when the text is not of its form (with
// strFormError saying what followed a date, where one was read), and returns false, strError
// set, when the text is of its form but names no era of the table.

// Western: a number (a minus before a year before 0) and 年 or a separator.
void ReadWestern(const CString& strText, int nStart, std::optional<SRead>& read, CString& strFormError)
{
    CCursor west(strText, nStart);
    const bool bMinus = west.EatAscii('-');
    std::int64_t lYear = 0;
    if (!west.ReadNumber(lYear))
        return;
    SRead r;
    r.lYear = bMinus ? -lYear : lYear;
    west.SkipSpaces();
    const bool bKanji = west.Eat(Chars().strYear);
    if (bKanji ? ReadKanjiMonthDay(west, r.md) : ReadSeparatedMonthDay(west, r.md)) {
        west.SkipSpaces();
        if (west.AtEnd())
            read = r;
        else
            strFormError = TrailingError(west);
    }
}

// Initials: H1, H1.1.8, h01.01.08.
bool ReadInitials(const CGengouEra& eras, const CString& strText, int nStart, std::optional<SRead>& read,
                  CString& strFormError, CString& strError)
{
    const char ch = static_cast<char>(strText.GetAt(nStart) & ~0x20);
    for (const auto& [chInitial, strName] : Chars().initials) {
        if (ch != chInitial)
            continue;
        CCursor ini(strText, nStart + 1);
        SRead r;
        ini.SkipSpaces();
        if (!ini.ReadNumber(r.lYear))
            return true;
        if (ReadSeparatedMonthDay(ini, r.md)) {
            ini.SkipSpaces();
            if (!ini.AtEnd()) {
                strFormError = TrailingError(ini);
                return true;
            }
            r.nEra = eras.GetIndexFromName(strName);
            if (r.nEra < 0) {
                strError = strName + CP932("は元号表にありません");
                return false;
            }
            read = r;
        }
        return true;
    }
    return true;
}

// Era names: the longest prefix that names an era and is followed by a year.
bool ReadEraName(const CGengouEra& eras, const CString& strText, int nStart, std::optional<SRead>& read,
                 CString& strFormError, CString& strError)
{
    const SChars& chars = Chars();
    // Names of up to kMaxNameChars characters, so that a long text costs linear time.
    std::vector<int> ends;
    for (int i = nStart; i < strText.GetLength() && ends.size() < kMaxNameChars; i += strText.CharLength(i))
        ends.push_back(i + strText.CharLength(i));
    bool bNamed = false;
    for (auto it = ends.rbegin(); it != ends.rend() && !read; ++it) {
        const int nEra = FindEraIndex(eras, strText.Mid(nStart, *it - nStart));
        if (nEra < 0)
            continue;
        bNamed = true;
        CCursor era(strText, *it);
        SRead r;
        r.nEra = nEra;
        era.SkipSpaces();
        if (era.Eat(chars.strFirst))
            r.lYear = 1;
        else if (!era.ReadNumber(r.lYear))
            continue;
        era.SkipSpaces();
        // 平成1 and 平成元 stand for the year alone; with 年 a month and day may follow.
        const bool bOk = era.Eat(chars.strYear) ? ReadKanjiMonthDay(era, r.md) : true;
        era.SkipSpaces();
        if (bOk && era.AtEnd())
            read = r;
        else if (bOk)
            strFormError = TrailingError(era);
    }
    if (!bNamed) {
        strError = CP932("元号表にない元号です");
        return false;
    }
    return true;
}

// The date of a text read: checked against the calendar of the era table.
bool ResolveRead(const CGengouEra& eras, const SRead& r, SParsedEraDate& parsed, CString& strError)
{
    // A month or day written as 0 is none of the calendar's (0 stands for "not given").
    if (r.md.lMonth == 0 || r.md.lDay == 0) {
        strError = r.md.lMonth == 0 ? CP932("0月はありません(月は1から12までです)") : CP932("0日はありません(日は1から31までです)");
        return false;
    }
    const int nMonth = r.md.lMonth < 0 ? 0 : ToInt(r.md.lMonth);
    const int nDay = r.md.lDay < 0 ? 0 : ToInt(r.md.lDay);
    SParsedEraDate result;
    if (r.nEra < 0) {
        if (r.lYear < std::numeric_limits<std::int32_t>::min() || r.lYear > std::numeric_limits<std::int32_t>::max()) {
            strError = CP932("年が大きすぎます");
            return false;
        }
        result.date = {static_cast<std::int32_t>(r.lYear), nMonth, r.md.bLeap, nDay};
        if (!eras.IsValidDate(result.date, &strError))
            return false;
    } else {
        if (r.lYear > std::numeric_limits<std::int32_t>::max()) {
            strError = CP932("年が大きすぎます");
            return false;
        }
        result.nEra = r.nEra;
        result.lEraYear = static_cast<std::int32_t>(r.lYear);
        if (!eras.GetDateOfEraDate(r.nEra, result.lEraYear, nMonth, r.md.bLeap, nDay, result.date, &strError))
            return false;
    }
    parsed = result;
    return true;
}

} // namespace

bool ParseEraDateText(const CGengouEra& eras, const CString& strText, SParsedEraDate& parsed, CString& strError)
{
    CCursor cur(strText);
    cur.SkipSpaces();
    if (cur.AtEnd()) {
        strError = CP932("日付がありません");
        return false;
    }

    std::optional<SRead> read;
    CString strFormError = CP932("日付として読めません");
    const int nStart = cur.Pos();
    ReadWestern(strText, nStart, read, strFormError);
    if (!read && cur.CharLength() == 1 && !ReadInitials(eras, strText, nStart, read, strFormError, strError))
        return false;
    const bool bNumberFirst = cur.AtNumber() || strText.GetAt(nStart) == '-';
    if (!read && !bNumberFirst && !ReadEraName(eras, strText, nStart, read, strFormError, strError))
        return false;
    if (!read) {
        strError = strFormError;
        return false;
    }
    return ResolveRead(eras, *read, parsed, strError);
}
