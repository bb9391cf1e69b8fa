#include <corvane/BaseYear.h>

#include <framework/Cp932.h>
#include <framework/FileException.h>
#include <framework/Numbers.h>
#include <framework/StdioFile.h>

#include "util/CountSearch.h"
#include "table/RecordCodec.h"
#include "table/TableFile.h"

#include <algorithm>
#include <climits>
#include <string_view>

namespace {

// A new table counts from the first year of the Western era with no end, so that every
// operation has defined input even before the host sets the years.
constexpr std::int32_t kInitialBaseYear = 1;
constexpr std::int32_t kInitialEndYear = NO_END_YEAR;

// The version this code writes; a file of any version up to it holds the flag lines of every
// version up to its own.
constexpr int kFileVersion = 5;

const CString& HeaderKind()
{
    return TableKindWord(ETableKind::BaseYear);
}

const STableFileKind& BaseYearFileKind()
{
    static const STableFileKind s_kind{
        CString("lby"),
        CP932("基点年ﾃﾞｰﾀ (*.lby)|*.lby|すべてのﾌｧｲﾙ (*.*)|*.*||"),
        CString(),
    };
    return s_kind;
}

STableFileKind OpenKind()
{
    STableFileKind kind = BaseYearFileKind();
    kind.strTitle = CP932("基点年ﾃﾞｰﾀの読込み");
    return kind;
}

STableFileKind SaveKind()
{
    STableFileKind kind = BaseYearFileKind();
    kind.strTitle = CP932("基点年ﾃﾞｰﾀの書込み");
    return kind;
}

// A line that the file must hold: its absence is the end-of-file failure (message 61447).
void ReadRequiredLine(CStdioFile& file, CString& strLine)
{
    if (!file.ReadString(strLine))
        AfxThrowFileException(CFileException::endOfFile, -1, file.GetFilePath());
}

std::int32_t ReadNumberLine(CStdioFile& file)
{
    CString strLine;
    ReadRequiredLine(file, strLine);
    return Atoi32(strLine);
}

bool ReadFlagLine(CStdioFile& file)
{
    return ReadNumberLine(file) != 0;
}

template <typename T>
void SetValue(T& member, const T& value, bool& bModified)
{
    if (!(member == value)) {
        member = value;
        bModified = true;
    }
}

} // namespace

CBaseYear::CBaseYear()
    : m_lBaseWesternYear(kInitialBaseYear),
      m_lEndWesternYear(kInitialEndYear),
      m_bKazoe(false),
      m_bDisplayMinus(false),
      m_bMinus1(false),
      m_bEndYearPlus(false),
      m_bEndYearKaiki(false),
      m_bBeginYearQuest(false),
      m_bEndYearQuest(false)
{
}

CBaseYear::CBaseYear(const CBaseYear& other) = default;
CBaseYear& CBaseYear::operator=(const CBaseYear& other) = default;
CBaseYear::~CBaseYear() = default;

void CBaseYear::SetBaseWesternYear(std::int32_t lYear) { SetValue(m_lBaseWesternYear, lYear, m_bModified); }
void CBaseYear::SetEndWesternYear(std::int32_t lYear) { SetValue(m_lEndWesternYear, lYear, m_bModified); }
void CBaseYear::SetKazoe(bool bKazoe) { SetValue(m_bKazoe, bKazoe, m_bModified); }
void CBaseYear::SetSupplement(const char* pszSupplement)
{
    SetValue(m_strSupplement, CString(pszSupplement), m_bModified);
}
void CBaseYear::SetDisplayMinus(bool bDisplayMinus) { SetValue(m_bDisplayMinus, bDisplayMinus, m_bModified); }
void CBaseYear::SetMinus1(bool bMinus1) { SetValue(m_bMinus1, bMinus1, m_bModified); }
void CBaseYear::SetEndYearPlus(bool bEndYearPlus) { SetValue(m_bEndYearPlus, bEndYearPlus, m_bModified); }
void CBaseYear::SetEndYearKaiki(bool bEndYearKaiki) { SetValue(m_bEndYearKaiki, bEndYearKaiki, m_bModified); }
void CBaseYear::SetBeginYearQuest(bool bBeginYearQuest)
{
    SetValue(m_bBeginYearQuest, bBeginYearQuest, m_bModified);
}
void CBaseYear::SetEndYearQuest(bool bEndYearQuest) { SetValue(m_bEndYearQuest, bEndYearQuest, m_bModified); }

std::int32_t CBaseYear::GetDiffWesternYear() const
{
    if (m_lEndWesternYear == NO_END_YEAR)
        return NO_END_YEAR;
    const std::int64_t lDiff = std::int64_t{m_lEndWesternYear} - m_lBaseWesternYear;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(lDiff, INT32_MIN, INT32_MAX));
}

bool CBaseYear::IsYearRange(std::int32_t lYear) const
{
    return m_lBaseWesternYear <= lYear && lYear <= m_lEndWesternYear;
}

bool CBaseYear::MakeBaseYearStr(std::int32_t lYear, CString& strOut) const
{
    // Exact arithmetic: every value below lies within +-2^32 + 2.
    const std::int64_t lBase = m_lBaseWesternYear;
    const std::int64_t lDiff = std::int64_t{lYear} - lBase;
    const bool bHasEnd = m_lEndWesternYear != NO_END_YEAR;

    if (bHasEnd && lYear > m_lEndWesternYear) {
        if (!m_bEndYearPlus)
            return false;
        std::int64_t n = std::int64_t{lYear} - m_lEndWesternYear;
        if (m_bEndYearKaiki && n >= 2)
            ++n;
        strOut.Format("+%lld", static_cast<long long>(n));
        if (m_bEndYearQuest)
            strOut += '?';
        return true;
    }

    // The test of the raw difference comes before any adjustment: with 数え the year before the
    // base counts 0, but it still lies before the base.
    if (!m_bDisplayMinus && lDiff < 0)
        return false;
    std::int64_t n = lDiff;
    if (m_bKazoe)
        ++n;
    // There is no year 0: a span that crosses from before the era into it is one year shorter.
    if (lBase < 0 && lYear > 0)
        --n;
    else if (lBase > 0 && lYear < 0 && n < 0)
        ++n;
    if (m_bMinus1 && m_bKazoe && n <= 0)
        --n;

    if (m_bEndYearQuest && bHasEnd && lYear == m_lEndWesternYear) {
        strOut = "--";
        return true;
    }
    strOut.Format("%lld", static_cast<long long>(n));
    if (m_bBeginYearQuest)
        strOut += '?';
    return true;
}

int CBaseYear::SearchStr(const char* pszSearch, std::int32_t lFrom, std::int32_t lTo, std::int32_t& lFoundYear,
                         int nStart) const
{
    const std::int64_t lBase = m_lBaseWesternYear;
    const std::int64_t lLast = std::min(lTo, m_lEndWesternYear);
    std::int64_t lFirst = nStart;
    if (nStart == -1)
        lFirst = std::max<std::int64_t>(std::int64_t{lFrom} - lBase, 0);

    // The offsets searched: from the first one up to the last year, cut to those whose year is a
    // 32-bit year and whose offset the int result can carry.
    const std::int64_t lLow = std::max<std::int64_t>(lFirst, std::int64_t{INT32_MIN} - lBase);
    const std::int64_t lHigh = std::min<std::int64_t>(lLast - lBase, INT_MAX);
    if (lLow > lHigh)
        return -1;

    // The count shown for offset k is k + 1 with 数え, else k.
    const std::int64_t lShift = m_bKazoe ? 1 : 0;
    std::int64_t lCount = 0;
    if (!FindFirstCountContaining(lLow + lShift, lHigh + lShift, std::string_view(pszSearch ? pszSearch : ""),
                                  lCount))
        return -1;
    const std::int64_t lOffset = lCount - lShift;
    lFoundYear = static_cast<std::int32_t>(lBase + lOffset);
    return static_cast<int>(lOffset);
}

void CBaseYear::Serialize(CArchive&) {}

unsigned CBaseYear::ReadBaseYearLines(CStdioFile& file)
{
    CString strLine;
    ReadRequiredLine(file, strLine);
    CString strKind;
    int nVersion = 0;
    GetTableKindNameAndFileVer(strLine, strKind, nVersion);
    if (strKind != HeaderKind())
        return IDS_FILE_BAD_FORMAT;

    // Read into a local: a file that ends here must not empty the name the table had.
    CString strTableName;
    ReadRequiredLine(file, strTableName);
    m_strTableName = strTableName;
    m_lBaseWesternYear = ReadNumberLine(file);
    m_lEndWesternYear = ReadNumberLine(file);
    m_bKazoe = ReadFlagLine(file);
    // Each version added flag lines after those of the versions before it; the flags a
    // version does not hold keep their values.
    if (nVersion >= 1)
        m_bDisplayMinus = ReadFlagLine(file);
    if (nVersion >= 2)
        m_bMinus1 = ReadFlagLine(file);
    if (nVersion >= 3)
        m_bEndYearPlus = ReadFlagLine(file);
    if (nVersion >= 4)
        m_bEndYearKaiki = ReadFlagLine(file);
    if (nVersion >= 5) {
        m_bBeginYearQuest = ReadFlagLine(file);
        m_bEndYearQuest = ReadFlagLine(file);
    }

    if (file.ReadString(strLine))
        m_strSupplement = UnescapeLineBreaks(strLine);
    else
        m_strSupplement.Empty();
    return 0;
}

bool CBaseYear::ReadFile(const char* pszFileName)
{
    return ReadTableFile(*this, pszFileName, OpenKind(), true,
                         [this](CStdioFile& file) { return ReadBaseYearLines(file); });
}

SFileStatus CBaseYear::Load(const char* pszPath, Env* pEnv)
{
    return LoadTableFile(*this, pszPath, [this](CStdioFile& file) { return ReadBaseYearLines(file); }, pEnv);
}

SFileStatus CBaseYear::Load(const std::filesystem::path& path, Env* pEnv)
{
    return LoadTableFile(*this, path, [this](CStdioFile& file) { return ReadBaseYearLines(file); }, pEnv);
}

SFileStatus CBaseYear::Save(const char* pszPath, Env* pEnv)
{
    return SaveTableFile(*this, pszPath, [this](CStdioFile& file) { WriteBaseYearLines(file); }, pEnv);
}

SFileStatus CBaseYear::Save(const std::filesystem::path& path, Env* pEnv)
{
    return SaveTableFile(*this, path, [this](CStdioFile& file) { WriteBaseYearLines(file); }, pEnv);
}

void CBaseYear::WriteBaseYearLines(CStdioFile& file) const
{
    CTableLineWriter lines(file);
    lines.Line(HeaderLine(HeaderKind(), kFileVersion, ","));
    // The name is one line of the file: a line break in it would shift every value after it,
    // so it is written as the escape that the supplement uses (and read back as it stands).
    lines.Line(EscapeLineBreaks(m_strTableName));
    CString strYear;
    for (const std::int32_t lYear : {m_lBaseWesternYear, m_lEndWesternYear}) {
        strYear.Format("%d", static_cast<int>(lYear));
        lines.Line(strYear);
    }
    for (const bool bFlag : {m_bKazoe, m_bDisplayMinus, m_bMinus1, m_bEndYearPlus, m_bEndYearKaiki,
                             m_bBeginYearQuest, m_bEndYearQuest})
        lines.Line(bFlag ? "1" : "0");
    // The last line has no line end.
    lines.LastLine(EscapeLineBreaks(m_strSupplement));
}

bool CBaseYear::WriteFile(bool bDialog, CDocument* pDocument, EHeaderType)
{
    return WriteTableFile(*this, bDialog, pDocument, SaveKind(), [this](CStdioFile& file) { WriteBaseYearLines(file); });
}
