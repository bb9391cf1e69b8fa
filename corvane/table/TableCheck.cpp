// The strict check of the three table formats (TableCheck.h). Lines are split as CStdioFile splits
// them and fields are read with GetElementFromCSV, so that the check sees what the readers see;
// each field's raw bytes are then looked at for what the reader would silently change.
#include <corvane/TableCheck.h>

#include <framework/Cp932.h>
#include <framework/StdioFile.h>

#include <corvane/Calendar.h>
#include <corvane/TableBase.h>

#include "table/RecordCodec.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <unordered_set>

namespace {

// ---- Bytes ----

bool IsLead(unsigned char ch)
{
    return (ch >= 0x81 && ch <= 0x9F) || (ch >= 0xE0 && ch <= 0xFC);
}

// Which single bytes and double-byte codes the platform's code page 932 defines, asked once.
class CCp932Codes {
public:
    CCp932Codes()
    {
        std::string strUtf8;
        for (int n = 0; n < 256; ++n) {
            const char ch = static_cast<char>(n);
            m_single[static_cast<std::size_t>(n)] = !IsLead(static_cast<unsigned char>(n)) &&
                                                    Cp932ToUtf8(std::string_view(&ch, 1), strUtf8);
        }
        for (int nLead = 0x81; nLead <= 0xFC; ++nLead) {
            if (!IsLead(static_cast<unsigned char>(nLead)))
                continue;
            for (int nTrail = 0x40; nTrail <= 0xFC; ++nTrail) {
                const char code[2] = {static_cast<char>(nLead), static_cast<char>(nTrail)};
                m_double[static_cast<std::size_t>(nLead << 8 | nTrail)] = Cp932ToUtf8(std::string_view(code, 2), strUtf8);
            }
        }
    }

    bool IsText(std::string_view s) const
    {
        for (std::size_t i = 0; i < s.size(); ++i) {
            const auto ch = static_cast<unsigned char>(s[i]);
            if (ch < 0x80)
                continue;
            if (!IsLead(ch)) {
                if (!m_single[ch])
                    return false;
                continue;
            }
            if (i + 1 >= s.size() || !m_double[static_cast<std::size_t>(ch << 8 | static_cast<unsigned char>(s[i + 1]))])
                return false;
            ++i;
        }
        return true;
    }

    static const CCp932Codes& Get()
    {
        static const CCp932Codes s_codes;
        return s_codes;
    }

private:
    std::bitset<256> m_single;
    std::bitset<65536> m_double;
};

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// A whole number as the writer writes it: blanks, an optional sign, digits, blanks; within 32
// bits. False with the reason otherwise.
bool StrictNumber(std::string_view s, const char* pszWhat, std::int64_t& nValue, CString& strReason)
{
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    bool bNegative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        bNegative = s[i++] == '-';
    const std::size_t nDigits = i;
    nValue = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (nValue <= std::int64_t{1} << 32)
            nValue = nValue * 10 + (s[i] - '0');
        ++i;
    }
    std::size_t nEnd = i;
    while (nEnd < s.size() && IsBlank(s[nEnd]))
        ++nEnd;
    if (i == nDigits || nEnd != s.size()) {
        strReason.Format(CP932("%sが数ではありません"), pszWhat);
        if (s.find('\0') != std::string_view::npos)
            strReason += CP932("(NULがあります)");
        else if (i > nDigits)
            strReason += CP932("(数字の後に余分な文字があります)");
        return false;
    }
    if (bNegative)
        nValue = -nValue;
    if (nValue < std::numeric_limits<std::int32_t>::min() || nValue > std::numeric_limits<std::int32_t>::max()) {
        strReason.Format(CP932("%sが32ビットの範囲を超えています"), pszWhat);
        return false;
    }
    return true;
}

// ---- Fields ----

// One field as GetElementFromCSV reads it, with what its raw bytes hold that the reading hides.
struct SField {
    bool bPresent = false;
    int nEnd = -1;            // GetElementFromCSV's result
    CString str;              // the field as read
    std::string_view raw;     // from the start offset up to the comma or the line's end
    bool bQuoted = false;
    bool bUnclosed = false;     // quoted, no closing quote
    bool bAfterQuote = false;   // text between the closing quote and the comma
    bool bLoneQuote = false;    // unquoted, a quote that is not doubled
    bool bDoubledQuote = false; // unquoted, a doubled quote (read as one)
};

class CFieldReader {
public:
    CFieldReader(const CString& strLine, int nStart) : m_strLine(strLine), m_nNext(nStart) {}

    // The next field; once one is missing, every later one is.
    SField Next()
    {
        SField f;
        if (m_bEnded)
            return f;
        const int nStart = m_nNext;
        f.nEnd = CTableBase::GetElementFromCSV(m_strLine, nStart, f.str);
        if (f.nEnd < 0) {
            m_bEnded = true;
            return f;
        }
        f.bPresent = true;
        m_nNext = f.nEnd + 1;
        Inspect(m_strLine.View().substr(static_cast<std::size_t>(nStart)), f);
        return f;
    }

    int NextOffset() const { return m_nNext; }

private:
    static void Inspect(std::string_view rest, SField& f)
    {
        std::size_t i = 0;
        while (i < rest.size() && IsBlank(rest[i]))
            ++i;
        if (i < rest.size() && rest[i] == '"') {
            f.bQuoted = true;
            std::size_t j = i + 1;
            for (; j < rest.size(); ++j) {
                if (rest[j] != '"')
                    continue;
                if (j + 1 < rest.size() && rest[j + 1] == '"') {
                    ++j;
                    continue;
                }
                break;
            }
            if (j >= rest.size()) {
                f.bUnclosed = true;
                f.raw = rest;
                return;
            }
            std::size_t k = j + 1;
            while (k < rest.size() && rest[k] != ',') {
                if (!IsBlank(rest[k]))
                    f.bAfterQuote = true;
                ++k;
            }
            f.raw = rest.substr(0, k);
            return;
        }
        std::size_t j = i;
        for (; j < rest.size() && rest[j] != ','; ++j) {
            if (rest[j] != '"')
                continue;
            if (j + 1 < rest.size() && rest[j + 1] == '"') {
                f.bDoubledQuote = true;
                ++j;
            } else {
                f.bLoneQuote = true;
            }
        }
        f.raw = rest.substr(0, j);
    }

    const CString& m_strLine;
    int m_nNext;
    bool m_bEnded = false;
};

// True when a field of the line opens a quote that the line does not close.
bool EndsInQuote(const CString& strLine)
{
    CFieldReader fields(strLine, 0);
    for (SField f = fields.Next(); f.bPresent; f = fields.Next()) {
        if (f.bUnclosed)
            return true;
    }
    return false;
}

// ---- Findings of one line ----

class CLineFindings {
public:
    void Error(const CString& strReason)
    {
        if (!m_bError) {
            m_bError = true;
            m_strReason = strReason;
        }
    }
    void Warning(const CString& strReason)
    {
        if (!m_bError && !m_bWarning) {
            m_bWarning = true;
            m_strReason = strReason;
        }
    }
    bool HasError() const { return m_bError; }
    void AddTo(std::vector<STableFinding>& v, int nLine) const
    {
        if (m_bError || m_bWarning)
            v.push_back({nLine, m_bError ? ECheckLevel::Error : ECheckLevel::Warning, m_strReason});
    }

private:
    bool m_bError = false;
    bool m_bWarning = false;
    CString m_strReason;
};

CString Reason(const char* pszFormat, const char* pszWhat)
{
    CString str;
    str.Format(pszFormat, pszWhat);
    return str;
}

// The faults of a field's quoting; bTextLine: a one-field line the writer writes with TextField,
// which leaves a lone quote unquoted.
bool QuotingFault(const SField& f, CLineFindings& line, bool bTextLine)
{
    if (f.bUnclosed)
        line.Error(CP932("引用符が閉じていません"));
    else if (f.bAfterQuote)
        line.Error(CP932("閉じた引用符の後に余分な文字があります(読まれません)"));
    else if (f.bDoubledQuote && bTextLine)
        line.Error(CP932("引用符で囲まれていない項目に二重の引用符があります(一つとして読まれます)"));
    else if (f.bLoneQuote && !bTextLine)
        line.Error(CP932("引用符で囲まれていない項目に引用符があります"));
    else
        return false;
    return true;
}

// A number field: strict, and within nMin..nMax unless it is nNone.
bool NumberField(const SField& f, const char* pszWhat, std::int64_t nMin, std::int64_t nMax, CLineFindings& line,
                 std::int64_t* pnValue = nullptr)
{
    CString strReason;
    std::int64_t nValue = 0;
    if (f.bQuoted || f.bLoneQuote || f.bDoubledQuote) {
        line.Error(Reason(CP932("%sが数ではありません(引用符があります)"), pszWhat));
        return false;
    }
    if (!StrictNumber(f.raw, pszWhat, nValue, strReason)) {
        line.Error(strReason);
        return false;
    }
    if (nValue < nMin || nValue > nMax) {
        CString str;
        str.Format(CP932("%sが範囲外です(%lld)"), pszWhat, static_cast<long long>(nValue));
        line.Error(str);
        return false;
    }
    if (pnValue)
        *pnValue = nValue;
    return true;
}

bool RawNumber(std::string_view raw, const char* pszWhat, CLineFindings& line, std::int64_t* pnValue = nullptr)
{
    SField f;
    f.raw = raw;
    f.bQuoted = raw.find('"') != std::string_view::npos;
    return NumberField(f, pszWhat, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
                       line, pnValue);
}

// A date the file holds that the calendar does not know (a warning: the record is read as written).
void CheckCalendarDate(const SEraDate& date, CLineFindings& line)
{
    CString strReason;
    if (!CCalendar::CheckDate(date, &strReason))
        line.Warning(Reason(CP932("暦にない日付です(%s)"), strReason));
}

// ---- The formats ----

constexpr int kEventVersion = 5;
constexpr int kEraVersion = 1;
constexpr int kBaseYearVersion = 5;

// Checks line after line; each kind knows its layout.
class CChecker {
public:
    CChecker(std::optional<ETableKind> eKind, std::vector<STableFinding>& v) : m_eExpected(eKind), m_v(v) {}

    // False when the rest of the file cannot be checked.
    bool Line(std::string_view line, bool bEnded)
    {
        ++m_nLine;
        CLineFindings findings;
        const bool bGoOn = CheckLine(line, bEnded, findings);
        findings.AddTo(m_v, m_nLine);
        return bGoOn;
    }

    void TooLong()
    {
        m_bStopped = true;
        ++m_nLine;
        m_v.push_back({m_nLine, ECheckLevel::Error, CP932("行が長すぎます(読めません)")});
    }

    // After the last line: the lines the layout requires and the file lacks.
    void End()
    {
        if (m_nLine == 0) {
            m_v.push_back({1, ECheckLevel::Error, CP932("ファイルが空です")});
            return;
        }
        if (m_bStopped)
            return;
        if (m_nLine < m_nRequired)
            m_v.push_back({m_nLine + 1, ECheckLevel::Error, CP932("ファイルがこの行の前で終わっています(行が足りません)")});
    }

private:
    bool CheckLine(std::string_view line, bool bEnded, CLineFindings& f)
    {
        const bool bSupplement = m_eKind == ETableKind::BaseYear && m_nLine == m_nSupplementLine;
        if (!bEnded && !bSupplement) {
            f.Error(EndsInQuote(CString(line)) ? CString(CP932("ファイルが引用符の中で終わっています(途中で切れています)"))
                                    : CString(CP932("ファイルが行の途中で終わっています(最後の行に行末がありません)")));
        }
        // Bytes code page 932 does not define are kept byte for byte by the reader and the writer
        // (a table may hold them, and its export writes them as #cp932:): a warning. A last line
        // that ends in the first byte of a character was cut inside it: damage.
        if (!CCp932Codes::Get().IsText(line)) {
            if (!bEnded && !line.empty() && IsLead(static_cast<unsigned char>(line.back())) &&
                CCp932Codes::Get().IsText(line.substr(0, line.size() - 1)))
                f.Error(CP932("ファイルが文字の途中で終わっています(途中で切れています)"));
            else
                f.Warning(CP932("コードページ932で定義されていないバイトがあります(そのまま読み書きされます)"));
        }
        if (line.find('\r') != std::string_view::npos && bEnded)
            f.Error(CP932("行の途中にCRがあります"));
        const CString strLine(line);
        if (m_nLine == 1)
            return Header(strLine, f);
        switch (*m_eKind) {
        case ETableKind::Event: EventLine(strLine, f); break;
        case ETableKind::BaseYear: BaseYearLine(strLine, f); break;
        default: EraLine(strLine, f); break;
        }
        return true;
    }

    bool Header(const CString& strLine, CLineFindings& f)
    {
        CString strKind;
        CFieldReader fields(strLine, 0);
        const SField kind = fields.Next();
        strKind = kind.str;
        strKind.Trim();
        for (const ETableKind e : {ETableKind::Era, ETableKind::Period, ETableKind::Event, ETableKind::BaseYear}) {
            if (kind.bPresent && strKind == TableKindWord(e))
                m_eKind = e;
        }
        if (!m_eKind || (m_eExpected && *m_eExpected != *m_eKind)) {
            f.Error(m_eExpected ? Reason(CP932("先頭の行が%sの見出しではありません"), TableKindWord(*m_eExpected))
                                : CString(CP932("先頭の行が表の種類を示していません")));
            m_bStopped = true;
            return false;
        }
        QuotingFault(kind, f, false);
        const SField version = fields.Next();
        std::int64_t nVersion = 0;
        if (version.bPresent && NumberField(version, CP932("版"), std::numeric_limits<std::int32_t>::min(),
                                            std::numeric_limits<std::int32_t>::max(), f, &nVersion)) {
            const int nWriter = *m_eKind == ETableKind::Event      ? kEventVersion
                                : *m_eKind == ETableKind::BaseYear ? kBaseYearVersion
                                                                   : kEraVersion;
            CString str;
            str.Format(CP932("版%lldはこのライブラリの知らない版です(%dとして読まれます)"), static_cast<long long>(nVersion),
                       nVersion < 0 ? 0 : nWriter);
            if (nVersion > nWriter || nVersion < 0)
                f.Warning(str);
        }
        if (fields.Next().bPresent)
            f.Error(CP932("見出しの項目が多すぎます"));
        m_nVersion = static_cast<int>(std::max<std::int64_t>(nVersion, 0));
        SetLayout();
        return true;
    }

    void SetLayout()
    {
        switch (*m_eKind) {
        case ETableKind::Event:
            m_nRequired = 2 + (m_nVersion >= 3 ? 1 : 0) + (m_nVersion >= 4 ? 1 : 0);
            break;
        case ETableKind::BaseYear: {
            const int nVersion = std::min(m_nVersion, kBaseYearVersion);
            const int nFlags = 1 + nVersion + (nVersion >= 5 ? 1 : 0);
            m_nRequired = 4 + nFlags;
            m_nSupplementLine = m_nRequired + 1;
            break;
        }
        default:
            m_nRequired = 2 + (m_nVersion >= 1 ? 1 : 0);
            break;
        }
    }

    // A one-field text line of the event file (its name and explanation).
    static void TextLine(const CString& strLine, CLineFindings& f)
    {
        CFieldReader fields(strLine, 0);
        const SField field = fields.Next();
        if (!field.bPresent || QuotingFault(field, f, true))
            return;
        if (fields.Next().bPresent)
            f.Error(CP932("引用符の外にカンマがあります(その後は読まれません)"));
    }

    void EventLine(const CString& strLine, CLineFindings& f)
    {
        if (m_nLine == 2 || (m_nLine == 3 && m_nVersion >= 3)) {
            TextLine(strLine, f);
            return;
        }
        if (m_nLine == 4 && m_nVersion >= 4) {
            SField today;
            today.raw = strLine.View();
            NumberField(today, CP932("今日の日付の指定"), 0, 1, f);
            return;
        }
        EventRecord(strLine, f);
    }

    void EventRecord(const CString& strLine, CLineFindings& f)
    {
        const int nComma = strLine.Find(',');
        if (nComma < 0) {
            f.Error(strLine.IsEmpty() ? CString(CP932("空の行です(読込みがここで止まります)"))
                                      : CString(CP932("項目を区切るカンマがありません(読込みがここで止まります)")));
            return;
        }
        std::int64_t nYear = 0;
        RawNumber(strLine.View().substr(0, static_cast<std::size_t>(nComma)), CP932("年"), f, &nYear);
        CFieldReader fields(strLine, nComma + 1);
        const auto Required = [&](const char* pszWhat) {
            SField field = fields.Next();
            if (!field.bPresent)
                f.Error(Reason(CP932("項目が足りません(%sがありません)"), pszWhat));
            return field;
        };
        const auto Optional = [&](const char* pszWhat) {
            SField field = fields.Next();
            if (!field.bPresent)
                f.Warning(Reason(CP932("項目が足りません(%sは既定の値で読まれます)"), pszWhat));
            return field;
        };
        std::int64_t nMonth = -1, nDay = -1, nLeap = 0;
        if (m_nVersion >= 2) {
            const SField month = Required(CP932("月"));
            if (month.bPresent && NumberField(month, CP932("月"), -1, 12, f, &nMonth) && nMonth == 0)
                f.Error(CP932("月が範囲外です(0)"));
            const SField day = Required(CP932("日"));
            if (day.bPresent && NumberField(day, CP932("日"), -1, 31, f, &nDay) && nDay == 0)
                f.Error(CP932("日が範囲外です(0)"));
        }
        const SField text = Required(CP932("出来事"));
        if (text.bPresent)
            QuotingFault(text, f, false);
        const SField note = Optional(CP932("備考"));
        if (note.bPresent)
            QuotingFault(note, f, false);
        if (m_nVersion >= 1) {
            const SField priority = Optional(CP932("優先度"));
            if (priority.bPresent)
                NumberField(priority, CP932("優先度"), 0, 2, f);
        }
        if (m_nVersion >= 5) {
            const SField leap = Optional(CP932("閏月"));
            if (leap.bPresent)
                NumberField(leap, CP932("閏月の印"), 0, 1, f, &nLeap);
        }
        TooMany(fields, m_nVersion > kEventVersion, f);
        if (!f.HasError() && (nMonth != -1 || nDay != -1 || nLeap != 0))
            CheckCalendarDate({static_cast<std::int32_t>(nYear), nMonth == -1 ? 0 : static_cast<int>(nMonth), nLeap == 1,
                               nDay == -1 ? 0 : static_cast<int>(nDay)},
                              f);
    }

    static void TooMany(CFieldReader& fields, bool bNewer, CLineFindings& f)
    {
        if (!fields.Next().bPresent)
            return;
        if (bNewer)
            f.Warning(CP932("項目が多すぎます(読まれません)"));
        else
            f.Error(CP932("項目が多すぎます(読まれません)"));
    }

    void EraLine(const CString& strLine, CLineFindings& f)
    {
        if (m_nLine == 2 || (m_nLine == 3 && m_nVersion >= 1))
            return;   // the name and the explanation are whole lines
        CFieldReader fields(strLine, 0);
        const SField name = fields.Next();
        if (!name.bPresent) {
            f.Error(CP932("空の行です(読込みがここで止まります)"));
            return;
        }
        QuotingFault(name, f, false);
        if (name.str.View().find('\0') != std::string_view::npos)
            f.Error(CP932("元号名にNULがあります(その後は読まれません)"));
        const int nComma1 = strLine.Find(',', name.nEnd + 1);
        const int nComma2 = nComma1 < 0 ? -1 : strLine.Find(',', nComma1 + 1);
        if (nComma2 < 0) {
            f.Error(CP932("項目が足りません(読込みがここで止まります)"));
            return;
        }
        const std::string_view sv = strLine.View();
        std::int64_t nYears[2] = {0, 0};
        RawNumber(sv.substr(static_cast<std::size_t>(name.nEnd + 1), static_cast<std::size_t>(nComma1 - name.nEnd - 1)),
                  CP932("始まりの年"), f, &nYears[0]);
        RawNumber(sv.substr(static_cast<std::size_t>(nComma1 + 1), static_cast<std::size_t>(nComma2 - nComma1 - 1)),
                  CP932("終わりの年"), f, &nYears[1]);
        CFieldReader rest(strLine, nComma2 + 1);
        const SField note = rest.Next();
        if (!note.bPresent) {
            f.Warning(CP932("項目が足りません(備考は空として読まれます)"));
            return;
        }
        QuotingFault(note, f, false);
        if (note.str.View().find('\0') != std::string_view::npos)
            f.Error(CP932("備考にNULがあります(その後は読まれません)"));
        EraDays(rest, nYears, f);
        if (f.HasError())
            return;
        CString strName(name.str.GetString());
        if (!m_eraNames.insert(std::string(strName.View())).second)
            f.Warning(CP932("同じ名前の元号が前の行にあります(この行は読まれません)"));
    }

    static void EraDays(CFieldReader& rest, const std::int64_t (&nYears)[2], CLineFindings& f)
    {
        for (int nDay = 0; nDay < 2; ++nDay) {
            SField parts[3];
            int nPresent = 0;
            for (SField& part : parts)
                nPresent += (part = rest.Next()).bPresent ? 1 : 0;
            const CString& strWhat = nDay == 0 ? CP932("始まりの日") : CP932("終わりの日");
            if (nPresent == 0) {
                if (nDay == 1)
                    f.Warning(Reason(CP932("項目が足りません(%sは分からないとして読まれます)"), strWhat));
                return;
            }
            if (nPresent < 3) {
                f.Error(Reason(CP932("項目が足りません(%sの月・日・閏月の印がそろっていません)"), strWhat));
                return;
            }
            std::int64_t nMonth = 0, nDayOf = 0, nLeap = 0;
            if (!NumberField(parts[0], CP932("月"), 0, 12, f, &nMonth) ||
                !NumberField(parts[1], CP932("日"), 0, 31, f, &nDayOf) ||
                !NumberField(parts[2], CP932("閏月の印"), 0, 1, f, &nLeap))
                return;
            if (nMonth == 0 && (nDayOf != 0 || nLeap != 0)) {
                f.Error(Reason(CP932("%sの月が0(分からない)なのに日か閏月の印があります"), strWhat));
                return;
            }
            if (nMonth != 0)
                CheckCalendarDate({static_cast<std::int32_t>(nYears[nDay]), static_cast<int>(nMonth), nLeap == 1,
                                   static_cast<int>(nDayOf)},
                                  f);
        }
        TooMany(rest, false, f);
    }

    void BaseYearLine(const CString& strLine, CLineFindings& f)
    {
        if (m_nLine == 2 || m_nLine == m_nSupplementLine)
            return;   // whole-line texts
        if (m_nLine > m_nSupplementLine) {
            if (strLine.IsEmpty())
                f.Warning(CP932("補足の後に空の行があります"));
            else
                f.Error(CP932("補足の後の行は読まれません"));
            return;
        }
        SField value;
        value.raw = strLine.View();
        if (m_nLine <= 4)
            NumberField(value, m_nLine == 3 ? CP932("基点年") : CP932("終わりの年"),
                        std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), f);
        else
            NumberField(value, CP932("設定の印"), 0, 1, f);
    }

    bool m_bStopped = false;
    std::optional<ETableKind> m_eExpected;
    std::optional<ETableKind> m_eKind;
    std::vector<STableFinding>& m_v;
    int m_nLine = 0;
    int m_nVersion = 0;
    int m_nRequired = 1;
    int m_nSupplementLine = -1;
    std::unordered_set<std::string> m_eraNames;
};

// Splits bytes into lines as CStdioFile does (LF ends a line, a CR before it is dropped, a last
// line without LF counts as it stands) and hands them to the checker. Bytes come in chunks; only
// the part of a line that spans chunks is copied.
class CLineSplitter {
public:
    explicit CLineSplitter(CChecker& checker) : m_checker(checker) {}

    // False once the check has ended (a line too long, a header it cannot go past).
    bool Feed(std::string_view chunk)
    {
        while (!m_bDone && !chunk.empty()) {
            const std::size_t nLf = chunk.find('\n');
            if (nLf == std::string_view::npos) {
                if (m_partial.size() + chunk.size() > CStdioFile::kMaxLineLength)
                    return Stop();
                m_partial.append(chunk);
                return true;
            }
            std::string_view line = chunk.substr(0, nLf);
            chunk.remove_prefix(nLf + 1);
            if (!m_partial.empty()) {
                m_partial.append(line);
                line = m_partial;
            }
            if (line.size() > CStdioFile::kMaxLineLength)
                return Stop();
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            m_bDone = !m_checker.Line(line, true);
            m_partial.clear();
        }
        return !m_bDone;
    }

    void Finish()
    {
        if (!m_bDone && !m_partial.empty())
            m_bDone = !m_checker.Line(m_partial, false);
        m_checker.End();
    }

private:
    bool Stop()
    {
        m_checker.TooLong();
        m_bDone = true;
        return false;
    }

    CChecker& m_checker;
    std::string m_partial;
    bool m_bDone = false;
};

} // namespace

std::vector<STableFinding> CheckTableText(std::string_view bytes, std::optional<ETableKind> eKind)
{
    std::vector<STableFinding> v;
    CChecker checker(eKind, v);
    CLineSplitter splitter(checker);
    splitter.Feed(bytes);
    splitter.Finish();
    return v;
}

SFileStatus CheckTableFile(const std::filesystem::path& path, std::vector<STableFinding>& vFindings,
                           std::optional<ETableKind> eKind, Env* pEnv)
{
    SFileStatus status;
    SEnvError error;
    const std::u8string strName = path.u8string();
    const std::unique_ptr<CEnvReadFile> pFile = pEnv->OpenForReading(std::string(strName.begin(), strName.end()), error);
    std::vector<STableFinding> v;
    CChecker checker(eKind, v);
    CLineSplitter splitter(checker);
    if (pFile) {
        std::string buffer(1 << 16, '\0');
        for (;;) {
            const std::ptrdiff_t n = pFile->Read(buffer.data(), buffer.size(), error);
            if (n < 0) {
                status.nMessage = IDS_FILE_READ_FAILED;
                break;
            }
            if (n == 0 || !splitter.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(n))))
                break;
        }
    } else {
        status.nMessage = IDS_FILE_READ_FAILED;
    }
    if (!status.Ok()) {
        status.nOsError = error.lOsError > 0 ? static_cast<int>(error.lOsError) : 0;
        return status;
    }
    splitter.Finish();
    vFindings = std::move(v);
    return status;
}

const STableFinding* FirstCheckError(const std::vector<STableFinding>& vFindings, bool bStrict)
{
    for (const STableFinding& finding : vFindings) {
        if (bStrict || finding.eLevel == ECheckLevel::Error)
            return &finding;
    }
    return nullptr;
}

bool HasCheckErrors(const std::vector<STableFinding>& vFindings, bool bStrict)
{
    return FirstCheckError(vFindings, bStrict) != nullptr;
}
