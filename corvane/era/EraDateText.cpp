#include <corvane/EraDateText.h>

#include <framework/Cp932.h>

#include <corvane/Calendar.h>
#include <corvane/SexagenaryCycle.h>

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace {

constexpr std::int64_t kTooLarge = std::int64_t{1} << 40;
constexpr std::size_t kMaxNameChars = 32;   // the longest era name the reader looks for
constexpr int kQuotedChars = 64;            // the longest piece of a text a message quotes

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
    // The one-kanji abbreviations of the modern eras (平1.1.8).
    std::array<std::pair<CString, CString>, 5> abbreviations = {{{LiteralToCp932("明"), LiteralToCp932("明治")},
                                                                 {LiteralToCp932("大"), LiteralToCp932("大正")},
                                                                 {LiteralToCp932("昭"), LiteralToCp932("昭和")},
                                                                 {LiteralToCp932("平"), LiteralToCp932("平成")},
                                                                 {LiteralToCp932("令"), LiteralToCp932("令和")}}};
    // Characters read as others before anything else: the squared era names, the numerals of
    // documents (大字), the hyphen and full-width brackets.
    std::array<std::pair<CString, CString>, 13> replacements = {{
        {LiteralToCp932("㍾"), LiteralToCp932("明治")}, {LiteralToCp932("㍽"), LiteralToCp932("大正")},
        {LiteralToCp932("㍼"), LiteralToCp932("昭和")}, {LiteralToCp932("㍻"), LiteralToCp932("平成")},
        {LiteralToCp932("壱"), LiteralToCp932("一")},   {LiteralToCp932("弐"), LiteralToCp932("二")},
        {LiteralToCp932("参"), LiteralToCp932("三")},   {LiteralToCp932("拾"), LiteralToCp932("十")},
        {LiteralToCp932("廿"), LiteralToCp932("二十")}, {LiteralToCp932("卅"), LiteralToCp932("三十")},
        {LiteralToCp932("‐"), CString("-")},            {LiteralToCp932("（"), CString("(")},
        {LiteralToCp932("）"), CString(")")},
    }};
    std::array<CString, 10> stems = {LiteralToCp932("甲"), LiteralToCp932("乙"), LiteralToCp932("丙"),
                                     LiteralToCp932("丁"), LiteralToCp932("戊"), LiteralToCp932("己"),
                                     LiteralToCp932("庚"), LiteralToCp932("辛"), LiteralToCp932("壬"),
                                     LiteralToCp932("癸")};
    std::array<CString, 12> branches = {LiteralToCp932("子"), LiteralToCp932("丑"), LiteralToCp932("寅"),
                                        LiteralToCp932("卯"), LiteralToCp932("辰"), LiteralToCp932("巳"),
                                        LiteralToCp932("午"), LiteralToCp932("未"), LiteralToCp932("申"),
                                        LiteralToCp932("酉"), LiteralToCp932("戌"), LiteralToCp932("亥")};
    // Monday first, as CCalendar::Weekday counts.
    std::array<CString, 7> weekdays = {LiteralToCp932("月"), LiteralToCp932("火"), LiteralToCp932("水"),
                                       LiteralToCp932("木"), LiteralToCp932("金"), LiteralToCp932("土"),
                                       LiteralToCp932("日")};
    CString strLastDay = LiteralToCp932("晦日");
    CString strLast = LiteralToCp932("晦");
    CString strFirstDay = LiteralToCp932("朔日");
    CString strFirstOfMonth = LiteralToCp932("朔");
    CString strNewYearsDay = LiteralToCp932("元日");
    CString strFirstMonth = LiteralToCp932("正月");
    CString strWeekdaySuffix = LiteralToCp932("曜日");
    CString strWeekSuffix = LiteralToCp932("曜");
    CString strAbout = LiteralToCp932("頃");
    CString strAboutKana = LiteralToCp932("ごろ");
    CString strWestern = LiteralToCp932("西暦");
    CString strJulian = LiteralToCp932("ユリウス暦");
    CString strGregorian = LiteralToCp932("グレゴリオ暦");
};

const SChars& Chars()
{
    static const SChars s_chars;
    return s_chars;
}

// A cursor over a code page 932 text, one character at a time.
class CCursor {
public:
    CCursor(const CString& str, int nPos = 0) : m_pStr(&str), m_nPos(nPos) {}

    const CString& Source() const { return *m_pStr; }

    int Pos() const { return m_nPos; }
    bool AtEnd() const { return m_nPos >= m_pStr->GetLength(); }
    int CharLength() const { return AtEnd() ? 0 : m_pStr->CharLength(m_nPos); }
    CString Rest() const { return m_pStr->Mid(m_nPos); }

    bool Eat(const CString& strChar)
    {
        if (m_pStr->View().substr(static_cast<std::size_t>(m_nPos)).starts_with(strChar.View())) {
            m_nPos += strChar.GetLength();
            return true;
        }
        return false;
    }
    bool EatAscii(char ch)
    {
        if (!AtEnd() && m_pStr->GetAt(m_nPos) == ch) {
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
        const auto b = static_cast<unsigned char>(m_pStr->GetAt(m_nPos));
        if (b >= '0' && b <= '9')
            return b - '0';
        if (b == 0x82 && m_nPos + 1 < m_pStr->GetLength()) {
            const auto b2 = static_cast<unsigned char>(m_pStr->GetAt(m_nPos + 1));
            if (b2 >= 0x4F && b2 <= 0x58)
                return b2 - 0x4F;
        }
        return -1;
    }
    // The kanji numeral at the cursor: 0-9, 10, 100, 1000; or -1.
    int Numeral() const
    {
        static constexpr std::array<int, 13> kValues = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 100, 1000};
        const std::string_view rest = m_pStr->View().substr(static_cast<std::size_t>(std::min(m_nPos, m_pStr->GetLength())));
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
        m_nDigits = 0;
        if (Digit() >= 0) {
            for (int d = Digit(); d >= 0; d = Digit(), ++m_nDigits) {
                lNumber = std::min(lNumber * 10 + d, kTooLarge);
                m_nPos += d >= 0 && static_cast<unsigned char>(m_pStr->GetAt(m_nPos)) == 0x82 ? 2 : 1;
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

    // The number of digits the last ReadNumber read (0 for kanji numerals).
    int Digits() const { return m_nDigits; }

    // The place in the sexagenary cycle (0 甲子 .. 59 癸亥) of the stem and branch at the cursor,
    // read; -1, nothing read, when there are none or they make no pair (甲丑).
    int ReadCycle()
    {
        const int nStart = m_nPos;
        const int nStem = EatOneOf(Chars().stems);
        const int nBranch = nStem >= 0 ? EatOneOf(Chars().branches) : -1;
        if (nBranch < 0 || nStem % 2 != nBranch % 2) {
            m_nPos = nStart;
            return -1;
        }
        return ((6 * nStem - 5 * nBranch) % 60 + 60) % 60;
    }
    // The index of the character of chars at the cursor, eaten; -1 when none.
    template <std::size_t N>
    int EatOneOf(const std::array<CString, N>& chars)
    {
        for (std::size_t i = 0; i < N; ++i)
            if (Eat(chars[i]))
                return static_cast<int>(i);
        return -1;
    }

private:
    const CString* m_pStr;
    int m_nPos;
    int m_nDigits = 0;
};

// The calendar a Western day is written in; an unmarked one is a date as chronologies write it.
enum class EWestern { Unmarked, Julian, Gregorian };

// The month, leap flag and day read after a year; -1 when not given.
struct SMonthDay {
    std::int64_t lMonth = -1;
    bool bLeap = false;
    std::int64_t lDay = -1;
    bool bLastDay = false;   // 晦日: the month's last day
    int nDayCycle = -1;      // the day's 干支, in place of the day number or beside 朔, 晦
    int nYearCycle = -1;     // the year's 干支 after the year
};

// The day after a month: "8日", "晦日", "朔", "辛酉", "丁亥朔"; true with nothing read when none.
bool ReadKanjiDay(CCursor& cur, SMonthDay& md)
{
    const SChars& chars = Chars();
    md.nDayCycle = cur.ReadCycle();
    if (md.nDayCycle >= 0)
        cur.SkipSpaces();
    if (cur.Eat(chars.strFirstDay) || cur.Eat(chars.strFirstOfMonth)) {
        md.lDay = 1;
        return true;
    }
    if (cur.Eat(chars.strLastDay) || cur.Eat(chars.strLast)) {
        md.bLastDay = true;
        return true;
    }
    if (md.nDayCycle >= 0 || !cur.AtNumber())
        return true;
    return cur.ReadNumber(md.lDay) && (cur.SkipSpaces(), cur.Eat(chars.strDay));
}

// "[壬午][閏]4月[8日]", "正月", "元日" after a year written with 年; true with nothing read when no
// month follows.
bool ReadKanjiMonthDay(CCursor& cur, SMonthDay& md)
{
    const SChars& chars = Chars();
    cur.SkipSpaces();
    md.nYearCycle = cur.ReadCycle();
    cur.SkipSpaces();
    if (cur.Eat(chars.strNewYearsDay)) {
        md.lMonth = 1;
        md.lDay = 1;
        return true;
    }
    md.bLeap = cur.Eat(chars.strLeap);
    if (cur.Eat(chars.strFirstMonth))
        md.lMonth = 1;
    else if (!cur.AtNumber())
        return !md.bLeap;
    else if (!cur.ReadNumber(md.lMonth) || (cur.SkipSpaces(), !cur.Eat(chars.strMonth)))
        return false;
    cur.SkipSpaces();
    return ReadKanjiDay(cur, md);
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

bool FitsYear(std::int64_t l)
{
    return l >= std::numeric_limits<std::int32_t>::min() && l <= std::numeric_limits<std::int32_t>::max();
}

// What a form read before its date is checked: nEra -1 for a Western date.
struct SRead {
    int nEra = -1;
    std::int64_t lYear = 0;
    SMonthDay md;
    EWestern eWestern = EWestern::Unmarked;
    std::optional<std::int64_t> jdn;   // JD2299161
    int nWeekday = -1;                 // (日): 0 Monday .. 6 Sunday
    int nBracketEra = -1;              // 1945年(昭和20年): the era and its year in brackets
    std::int64_t lBracketEraYear = 0;
};

// A piece of a text as a message quotes it: at most kQuotedChars characters, control characters
// as \xNN.
CString Quoted(const CString& str)
{
    CString strQuoted;
    int nChars = 0;
    for (int i = 0; i < str.GetLength(); i += str.CharLength(i), ++nChars) {
        if (nChars == kQuotedChars)
            return strQuoted + CP932("…");
        const auto b = static_cast<unsigned char>(str.GetAt(i));
        if (b < 0x20 || b == 0x7F)
            strQuoted.AppendFormat("\\x%02X", b);
        else
            strQuoted += str.Mid(i, str.CharLength(i));
    }
    return strQuoted;
}

CString TrailingError(const CCursor& cur)
{
    return CP932("日付の後に余分な文字があります(「") + Quoted(cur.Rest()) + CP932("」)");
}

// The index of the era that strName names, as it stands, with its old forms of characters
// replaced, or as a one-kanji abbreviation (平 for 平成); -1 when none.
int FindEraIndex(const CGengouEra& eras, const CString& strName)
{
    int nIndex = eras.GetIndexFromName(strName);
    if (nIndex >= 0)
        return nIndex;
    for (const auto& [strShort, strLong] : Chars().abbreviations)
        if (strName == strShort)
            return eras.GetIndexFromName(strLong);
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

// The text with the characters of SChars::replacements and full-width Latin letters replaced.
CString Normalized(const CString& strText)
{
    CString strOut;
    for (int i = 0; i < strText.GetLength();) {
        const int nLength = strText.CharLength(i);
        const auto b1 = static_cast<unsigned char>(strText.GetAt(i));
        const auto b2 = nLength == 2 ? static_cast<unsigned char>(strText.GetAt(i + 1)) : 0;
        const CString strChar = strText.Mid(i, nLength);
        i += nLength;
        if (b1 == 0x82 && b2 >= 0x60 && b2 <= 0x79) {   // Ａ-Ｚ
            strOut += static_cast<char>('A' + (b2 - 0x60));
            continue;
        }
        if (b1 == 0x82 && b2 >= 0x81 && b2 <= 0x9A) {   // ａ-ｚ
            strOut += static_cast<char>('a' + (b2 - 0x81));
            continue;
        }
        const CString* pOut = &strChar;
        for (const auto& [strFrom, strTo] : Chars().replacements)
            if (strChar == strFrom)
                pOut = &strTo;
        strOut += *pOut;
    }
    return strOut;
}

// "(日)", "(日曜日)", "(ユリウス暦)" after a date; false, the cursor where it was, when what is in
// the brackets is neither.
bool ReadBracketNote(CCursor& cur, SRead& r)
{
    const SChars& chars = Chars();
    CCursor note = cur;
    if (!note.EatAscii('('))
        return false;
    note.SkipSpaces();
    const int nWeekday = note.EatOneOf(chars.weekdays);
    EWestern eMarked = EWestern::Unmarked;
    if (nWeekday >= 0) {
        if (r.nWeekday >= 0)   // one weekday only
            return false;
        if (!note.Eat(chars.strWeekdaySuffix))
            note.Eat(chars.strWeekSuffix);
        r.nWeekday = nWeekday;
    } else if (note.Eat(chars.strJulian)) {
        eMarked = EWestern::Julian;
    } else if (note.Eat(chars.strGregorian)) {
        eMarked = EWestern::Gregorian;
    } else {
        return false;
    }
    if (eMarked != EWestern::Unmarked) {
        if (r.eWestern != EWestern::Unmarked && r.eWestern != eMarked)
            return false;
        r.eWestern = eMarked;
    }
    note.SkipSpaces();
    if (!note.EatAscii(')'))
        return false;
    cur = note;
    return true;
}

// The end of every form: notes in brackets, 頃 or ごろ, spaces. Sets read to r when the text ends
// there, else strFormError to what follows.
void Finish(CCursor& cur, const SRead& r, std::optional<SRead>& read, CString& strFormError)
{
    SRead done = r;
    cur.SkipSpaces();
    for (int i = 0; i < 2 && ReadBracketNote(cur, done); ++i)
        cur.SkipSpaces();
    if (cur.Eat(Chars().strAbout) || cur.Eat(Chars().strAboutKana))
        cur.SkipSpaces();
    if (cur.AtEnd())
        read = done;
    else
        strFormError = TrailingError(cur);
}

// The era name and its year at the cursor, the longest name first; false, the cursor where it
// was, when no name with a year follows. bNamed tells whether some prefix named an era.
bool ReadEraYear(const CGengouEra& eras, CCursor& cur, SRead& r, bool& bNamed)
{
    const CString strText = cur.Rest();
    std::vector<int> ends;   // names of up to kMaxNameChars characters: linear time
    for (int i = 0; i < strText.GetLength() && ends.size() < kMaxNameChars; i += strText.CharLength(i))
        ends.push_back(i + strText.CharLength(i));
    for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
        const CString strName = strText.Left(*it);
        const int nEra = FindEraIndex(eras, strName);
        if (nEra < 0)
            continue;
        // (A one-kanji abbreviation names an era only before its year: 大化 is no 大正.)
        bNamed = bNamed || std::none_of(Chars().abbreviations.begin(), Chars().abbreviations.end(),
                                        [&](const auto& abbreviation) { return abbreviation.first == strName; });
        CCursor era(cur.Source(), cur.Pos() + *it);
        era.SkipSpaces();
        if (era.Eat(Chars().strFirst))
            r.lYear = 1;
        else if (!era.ReadNumber(r.lYear))
            continue;
        bNamed = true;
        r.nEra = nEra;
        cur = era;
        return true;
    }
    return false;
}

// "(昭和20年)" after the year of a Western date; true with nothing read when no bracket follows.
bool ReadBracketEra(const CGengouEra& eras, CCursor& cur, SRead& r)
{
    CCursor bracket = cur;
    if (!bracket.EatAscii('('))
        return true;
    bracket.SkipSpaces();
    SRead inner;
    bool bNamed = false;
    if (!ReadEraYear(eras, bracket, inner, bNamed))
        return false;
    bracket.SkipSpaces();
    bracket.Eat(Chars().strYear);
    bracket.SkipSpaces();
    if (!bracket.EatAscii(')'))
        return false;
    r.nBracketEra = inner.nEra;
    r.lBracketEraYear = inner.lYear;
    cur = bracket;
    return true;
}

// The readers of the forms. Each leaves read empty when the text is not of its form (with
// strFormError saying what followed a date, where one was read), and returns false, strError
// set, when the text is of its form but names no era of the table.

// Western: a number (a minus before a year before 0) and 年 or a separator; 19890108 for a day.
void ReadWestern(const CGengouEra& eras, const CString& strText, int nStart, EWestern eWestern,
                 std::optional<SRead>& read, CString& strFormError)
{
    CCursor west(strText, nStart);
    const bool bMinus = west.EatAscii('-');
    std::int64_t lYear = 0;
    if (!west.ReadNumber(lYear))
        return;
    SRead r;
    r.eWestern = eWestern;
    r.lYear = bMinus ? -lYear : lYear;
    CCursor after = west;
    after.SkipSpaces();
    const bool bYearMarked = after.Eat(Chars().strYear) || after.EatSeparator();
    if (!bMinus && west.Digits() == 8 && !bYearMarked) {   // 19890108: never the year 19,890,108
        r.lYear = lYear / 10000;
        r.md.lMonth = lYear / 100 % 100;
        r.md.lDay = lYear % 100;
        Finish(west, r, read, strFormError);
        return;
    }
    west.SkipSpaces();
    const bool bKanji = west.Eat(Chars().strYear);
    if (bKanji && !ReadBracketEra(eras, west, r))
        return;
    if (bKanji ? ReadKanjiMonthDay(west, r.md) : ReadSeparatedMonthDay(west, r.md))
        Finish(west, r, read, strFormError);
}

// JD2299161: a day number.
void ReadJdn(const CString& strText, int nStart, std::optional<SRead>& read, CString& strFormError)
{
    CCursor jd(strText, nStart + 2);
    jd.SkipSpaces();
    std::int64_t lJdn = 0;
    if (!jd.ReadNumber(lJdn))
        return;
    SRead r;
    r.jdn = lJdn;
    Finish(jd, r, read, strFormError);
}

// Initials: H1, H1.1.8, h01.01.08, H元.1.8.
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
        ini.EatAscii('.');   // H.1.1.8
        if (ini.Eat(Chars().strFirst))
            r.lYear = 1;
        else if (!ini.ReadNumber(r.lYear))
            return true;
        if (!ReadSeparatedMonthDay(ini, r.md))
            return true;
        r.nEra = eras.GetIndexFromName(strName);
        if (r.nEra < 0) {
            strError = strName + CP932("は元号表にありません");
            return false;
        }
        Finish(ini, r, read, strFormError);
        return true;
    }
    return true;
}

// Era names: the longest prefix that names an era and is followed by a year; 平成元年1月8日,
// 平成1.1.8, 平1.1.8.
bool ReadEraName(const CGengouEra& eras, const CString& strText, int nStart, std::optional<SRead>& read,
                 CString& strFormError, CString& strError)
{
    CCursor era(strText, nStart);
    SRead r;
    bool bNamed = false;
    if (ReadEraYear(eras, era, r, bNamed)) {
        era.SkipSpaces();
        if (era.Eat(Chars().strYear) ? ReadKanjiMonthDay(era, r.md) : ReadSeparatedMonthDay(era, r.md))
            Finish(era, r, read, strFormError);
    }
    if (!bNamed) {
        strError = strFormError.View().starts_with(CP932("日付の後").View()) ? strFormError : CP932("元号表にない元号です");
        return false;
    }
    return true;
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
    } else if (date.lYear >= 10000000 && date.lYear <= 99999999) {
        str += CP932("年");   // eight digits alone are a day (19890108)
    }
    return str;
}

namespace {

bool Fail(CString& strError, const CString& strReason)
{
    strError = strReason;
    return false;
}

CString CycleName(int nCycle)
{
    return Chars().stems[static_cast<std::size_t>(nCycle % 10)] + Chars().branches[static_cast<std::size_t>(nCycle % 12)];
}

// "1582年6月", "1868年閏4月" for the messages about a month.
CString MonthName(std::int64_t lYear, int nMonth, bool bLeap)
{
    CString str;
    str.Format(CP932("%lld年%s%d月").GetString(), static_cast<long long>(lYear), bLeap ? CP932("閏").GetString() : "",
               nMonth);
    return str;
}

// The day of the month that md names by 晦日 or by the day's 干支 (checked against a day given
// by 朔), into nDay; nDay as given otherwise.
bool ResolveDay(std::int32_t lYear, int nMonth, const SMonthDay& md, int& nDay, CString& strError)
{
    if (!md.bLastDay && md.nDayCycle < 0)
        return true;
    const SEraDate first{lYear, nMonth, md.bLeap, 1};
    std::int64_t lFirstJdn = 0;
    if (!CCalendar::CheckDate(first, &strError))
        return false;
    if (!CCalendar::JdnOfDate(first, lFirstJdn))
        return Fail(strError, MonthName(lYear, nMonth, md.bLeap) + CP932("の日の数と干支は分かりません(701年から分かります)"));
    const int nLength = CCalendar::GetMonthLength(lYear, nMonth, md.bLeap);
    if (md.bLastDay)
        nDay = nLength;
    if (md.nDayCycle < 0)
        return true;
    const int nCycleDay = (md.nDayCycle - CCalendar::SexagenaryDay(lFirstJdn) + 60) % 60 + 1;
    if (nDay == 0 && nCycleDay > nLength)
        return Fail(strError, MonthName(lYear, nMonth, md.bLeap) + CP932("に") + CycleName(md.nDayCycle) +
                                  CP932("の日はありません"));
    if (nDay != 0 && nDay != nCycleDay) {
        CString strReason;
        strReason.Format(CP932("%s%d日は%sの日です(%sではありません)").GetString(),
                         MonthName(lYear, nMonth, md.bLeap).GetString(), nDay,
                         CycleName(CCalendar::SexagenaryDay(lFirstJdn + nDay - 1)).GetString(),
                         CycleName(md.nDayCycle).GetString());
        return Fail(strError, strReason);
    }
    nDay = nCycleDay;
    return true;
}

// The date of a day number, which must lie in the calendar's days.
bool DateOfDay(std::int64_t lJdn, const CString& strText, SEraDate& date, CString& strError)
{
    if (lJdn >= CCalendar::FIRST_JDN && CCalendar::DateOfJdn(lJdn, date))
        return true;
    return Fail(strError, strText + CP932("は暦の日付になりません(701年2月13日(ユリウス暦)、JD1977142からの日です)"));
}

// A Western day of a named calendar, or a day number: the date of its day.
bool ResolveDayOfCalendar(const SRead& r, SEraDate& date, CString& strError)
{
    if (r.jdn) {
        CString strText;
        strText.Format("JD%lld", static_cast<long long>(*r.jdn));
        return DateOfDay(*r.jdn, strText, date, strError);
    }
    const bool bJulian = r.eWestern == EWestern::Julian;
    const CString& strCalendar = bJulian ? Chars().strJulian : Chars().strGregorian;
    if (r.nEra >= 0 || r.md.lMonth < 0 || (r.md.lDay < 0 && !r.md.bLastDay) || r.md.bLeap || r.md.nDayCycle >= 0 ||
        !FitsYear(r.lYear))
        return Fail(strError, strCalendar + CP932("の日付は西暦の年月日で書きます(") + strCalendar + CP932("1582年6月21日)"));
    SWesternDate western{static_cast<std::int32_t>(r.lYear), ToInt(r.md.lMonth), ToInt(r.md.lDay)};
    if (r.md.bLastDay) {
        for (western.nDay = 31; western.nDay > 28; --western.nDay) {
            std::int64_t lJdn = 0;
            if (bJulian ? CCalendar::JulianToJdn(western, lJdn) : CCalendar::GregorianToJdn(western, lJdn))
                break;
        }
    }
    std::int64_t lJdn = 0;
    CString strText;
    strText.Format(CP932("%s%d年%d月%d日").GetString(), strCalendar.GetString(), western.lYear, western.nMonth,
                   western.nDay);
    if (!(bJulian ? CCalendar::JulianToJdn(western, lJdn) : CCalendar::GregorianToJdn(western, lJdn)))
        return Fail(strError, strText + CP932("はありません"));
    return DateOfDay(lJdn, strText, date, strError);
}

// 明治元年 before 明治's first day: the decree of 明治元年9月8日 applied 明治 from the first day of
// that year, so documents write such days as 明治元年; they are the days of 慶応4年.
bool IsEarlyMeiji(const CGengouEra& eras, const SRead& r, const SEraDate& date)
{
    const SGengouEraTable rec = eras.GetAt(r.nEra);
    return r.lYear == 1 && rec.lBeginYear == 1868 && eras.GetIndexFromName(CP932("明治")) == r.nEra &&
           date.nMonth != 0 && date < rec.BeginDate() && eras.IsValidDate(date);
}

// The date of an era date, or of a Western date as chronologies write it.
bool ResolveDate(const CGengouEra& eras, const SRead& r, SEraDate& date, CString& strError)
{
    // A month or day written as 0 is none of the calendar's (0 stands for "not given").
    if (r.md.lMonth == 0 || r.md.lDay == 0)
        return Fail(strError, r.md.lMonth == 0 ? CP932("0月はありません(月は1から12までです)")
                                                : CP932("0日はありません(日は1から31までです)"));
    const int nMonth = r.md.lMonth < 0 ? 0 : ToInt(r.md.lMonth);
    int nDay = r.md.lDay < 0 ? 0 : ToInt(r.md.lDay);
    const std::int64_t lYear = r.nEra < 0 ? r.lYear : std::int64_t{eras.GetAt(r.nEra).lBeginYear} + r.lYear - 1;
    if (!FitsYear(lYear) || (r.nEra >= 0 && !FitsYear(r.lYear)))
        return Fail(strError, CP932("年が大きすぎます"));
    if (nMonth >= 1 && nMonth <= 12 && (r.nEra < 0 || r.lYear >= 1) &&
        !ResolveDay(static_cast<std::int32_t>(lYear), nMonth, r.md, nDay, strError))
        return false;
    if (r.nEra < 0) {
        date = {static_cast<std::int32_t>(lYear), nMonth, r.md.bLeap, nDay};
        return eras.IsValidDate(date, &strError);
    }
    if (eras.GetDateOfEraDate(r.nEra, static_cast<std::int32_t>(r.lYear), nMonth, r.md.bLeap, nDay, date, &strError))
        return true;
    const SEraDate early{static_cast<std::int32_t>(lYear), nMonth, r.md.bLeap, nDay};
    if (!IsEarlyMeiji(eras, r, early))
        return false;
    date = early;
    return true;
}

// The year's 干支, the weekday and the era in brackets, where given, agree with the date.
bool CheckNotes(const CGengouEra& eras, const SRead& r, const SEraDate& date, CString& strError)
{
    int nStem = 0;
    int nBranch = 0;
    if (r.md.nYearCycle >= 0 && date.lYear < 1)
        return Fail(strError, CP932("紀元前の年の干支は確かめられません"));
    if (r.md.nYearCycle >= 0 && CSexagenaryCycle().YearToStemBranch(date.lYear, nStem, nBranch)) {
        const int nCycle = ((6 * nStem - 5 * nBranch) % 60 + 60) % 60;
        const SEraDate year{date.lYear, 0, false, 0};
        const CString strYear = r.nEra >= 0 ? eras.GetEraDateText(r.nEra, year) : FormatWesternDate(year) + CP932("年");
        if (nCycle != r.md.nYearCycle)
            return Fail(strError, strYear + CP932("は") + CycleName(nCycle) + CP932("の年です(") +
                                      CycleName(r.md.nYearCycle) + CP932("ではありません)"));
    }
    std::int64_t lJdn = 0;
    if (r.nWeekday >= 0) {
        static const char* const kNames[] = {"月", "火", "水", "木", "金", "土", "日"};
        if (!CCalendar::JdnOfDate(date, lJdn))
            return Fail(strError, CP932("曜日は701年2月13日(大宝元年1月1日)からの日にだけ書けます"));
        const int nWeekday = CCalendar::Weekday(lJdn);
        if (nWeekday != r.nWeekday)
            return Fail(strError, FormatWesternDate(date) + CP932("は") + LiteralToCp932(kNames[nWeekday]) +
                                      CP932("曜日です(") + LiteralToCp932(kNames[r.nWeekday]) + CP932("曜日ではありません)"));
    }
    if (r.nBracketEra >= 0) {
        SEraDate bracket;
        if (!FitsYear(r.lBracketEraYear))
            return Fail(strError, CP932("年が大きすぎます"));
        if (!eras.GetDateOfEraDate(r.nBracketEra, static_cast<std::int32_t>(r.lBracketEraYear), date.nMonth, date.bLeap,
                                   date.nDay, bracket, &strError))
            return false;
        if (bracket != date)
            return Fail(strError, eras.GetEraDateText(r.nBracketEra, {bracket.lYear, 0, false, 0}) + CP932("は") +
                                      FormatWesternDate({bracket.lYear, 0, false, 0}) + CP932("年です"));
    }
    return true;
}

// The date of a text read: checked against the calendar and the era table.
bool ResolveRead(const CGengouEra& eras, const SRead& r, SParsedEraDate& parsed, CString& strError)
{
    SParsedEraDate result;
    const bool bOk = r.jdn || r.eWestern != EWestern::Unmarked ? ResolveDayOfCalendar(r, result.date, strError)
                                                                : ResolveDate(eras, r, result.date, strError);
    if (!bOk || !CheckNotes(eras, r, result.date, strError))
        return false;
    if (r.nEra >= 0 && !r.jdn && r.eWestern == EWestern::Unmarked) {
        result.nEra = r.nEra;
        result.lEraYear = static_cast<std::int32_t>(r.lYear);
    }
    parsed = result;
    return true;
}

} // namespace

bool ParseEraDateText(const CGengouEra& eras, const CString& strGiven, SParsedEraDate& parsed, CString& strError)
{
    const CString strText = Normalized(strGiven);
    CCursor cur(strText);
    cur.SkipSpaces();
    if (cur.AtEnd())
        return Fail(strError, CP932("日付がありません"));

    // 西暦, ユリウス暦 and グレゴリオ暦 mark a Western date; JD a day number.
    const EWestern eWestern = cur.Eat(Chars().strJulian)      ? EWestern::Julian
                              : cur.Eat(Chars().strGregorian) ? EWestern::Gregorian
                                                              : EWestern::Unmarked;
    const bool bWesternOnly = eWestern != EWestern::Unmarked || cur.Eat(Chars().strWestern);
    cur.SkipSpaces();
    if (cur.AtEnd())   // 西暦 alone
        return Fail(strError, CP932("日付がありません"));
    std::optional<SRead> read;
    CString strFormError = CP932("日付として読めません");
    const int nStart = cur.Pos();
    if (!bWesternOnly && strText.View().substr(static_cast<std::size_t>(nStart)).starts_with("JD")) {
        ReadJdn(strText, nStart, read, strFormError);
        return read ? ResolveRead(eras, *read, parsed, strError) : Fail(strError, strFormError);
    }
    ReadWestern(eras, strText, nStart, eWestern, read, strFormError);
    if (!read && !bWesternOnly && cur.CharLength() == 1 &&
        !ReadInitials(eras, strText, nStart, read, strFormError, strError))
        return false;
    const bool bNumberFirst = cur.AtNumber() || strText.GetAt(nStart) == '-';
    if (!read && !bNumberFirst && !bWesternOnly &&
        !ReadEraName(eras, strText, nStart, read, strFormError, strError))
        return false;
    if (!read)
        return Fail(strError, strFormError);
    return ResolveRead(eras, *read, parsed, strError);
}
