#include <tamber/core/CycleConverter.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include <corvane/HtmlManage.h>
#include <framework/Cp932.h>
#include <framework/Numbers.h>

namespace {

constexpr std::int64_t kMinYear = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMaxYear = std::numeric_limits<std::int32_t>::max();

std::int32_t ClampYear(std::int64_t llYear)
{
    return static_cast<std::int32_t>(std::clamp(llYear, kMinYear, kMaxYear));
}

// The position of a year in a count without a gap at 0 (-1 counts as 0), so that matches of a
// pair are evenly spaced across the start of the era.
std::int64_t GaplessCount(std::int32_t lYear)
{
    return lYear > 0 ? lYear : std::int64_t{lYear} + 1;
}

// The years between two matches of a pair: 12 for a branch alone, 60 for a stem and a branch.
std::int64_t CycleLength(int nStem)
{
    return nStem == CSexagenaryCycle::NO_STEM ? 12 : 60;
}

// The leading number of a range text (an optional sign and decimal digits, saturated at the 32-bit
// bounds); false when the text does not begin with one.
bool ReadLeadingNumber(const CString& strText, std::int32_t& lYear)
{
    const char* pszEnd = nullptr;
    const std::int32_t lNumber = Strtol32(strText, &pszEnd);
    if (pszEnd == strText.GetString())
        return false;
    lYear = lNumber;
    return true;
}

// The Western year of era year lEraYear in an era that began in lBeginYear, in 64 bits.
std::int64_t EraToWestern(std::int32_t lBeginYear, std::int32_t lEraYear)
{
    return std::int64_t{lBeginYear} + lEraYear - 1;
}

const CString& MessageNoEra() { return CP932("該当する元号がありません"); }
const CString& MessagePastEraEnd() { return CP932("元号の最大年を超えています"); }
const CString& MessageBadEraIndex() { return CP932("元号インデックスが不正です"); }
const CString& MessageEraYearBelowOne() { return CP932("元号の年は1(元年)以上を入れてください"); }
const CString& MessageChoosePair() { return CP932("干支を選択してください"); }
const CString& MessageEnterYears() { return CP932("開始年・終了年に年を入れてください。"); }
const CString& MessageFromNotANumber() { return CP932("開始年は数字で入れてください。"); }
const CString& MessageToNotANumber() { return CP932("終了年は数字で入れてください。"); }
const CString& MessageChooseStem() { return CP932("十干は一覧から選んでください"); }
const CString& MessageNoYearZero()
{
    return CP932("西暦0年はありません。紀元前1年(-1)の次の年は西暦1年です。");
}
const CString& MessageNoNearestYear()
{
    return CP932("該当する年がありません。十干と十二支の組み合わせを確かめてください。");
}

} // namespace

CString CCycleConverter::DisplayName(const CString& strGengou)
{
    CString strName;
    CHtmlManage().RemoveHtml(strGengou, strName);
    return strName;
}

void CCycleConverter::ListEraItems(std::vector<CString>& items) const
{
    items.clear();
    items.push_back(CP932("西暦"));
    const int nCount = m_eraTable.GetSize();
    for (int i = 0; i < nCount; ++i) {
        const SGengouEraTable era = m_eraTable.GetAt(i);
        CString strItem;
        if (era.lEndYear < OPEN_END_YEAR) {
            const long long llLength = std::int64_t{era.lEndYear} - era.lBeginYear + 1;
            strItem.Format(CP932("%s(～%lld)").GetString(), DisplayName(era.strGengou).GetString(), llLength);
        } else {
            strItem.Format(CP932("%s(～)").GetString(), DisplayName(era.strGengou).GetString());
        }
        items.push_back(strItem);
    }
}

CString CCycleConverter::MakeYearText(std::int32_t lYear, const char* pszFormat) const
{
    CString strText;
    strText.Format(pszFormat, lYear);
    const CString strEraYear = m_eraTable.GetEraYearText(lYear);
    if (!strEraYear.IsEmpty())
        strText += "(" + strEraYear + ")";
    return strText;
}

int CCycleConverter::WesternYearOfEraName(const CString& strEra, std::int32_t& lYear) const
{
    if (strEra == CP932("西暦"))
        return 0;
    const int nCount = m_eraTable.GetSize();
    for (int i = 0; i < nCount; ++i) {
        const SGengouEraTable era = m_eraTable.GetAt(i);
        if (era.strGengou == strEra) {
            if (lYear < 1)
                return 3;
            const std::int64_t llYear = EraToWestern(era.lBeginYear, lYear);
            if (llYear > era.lEndYear)
                return 2;
            lYear = static_cast<std::int32_t>(llYear);
            return 0;
        }
    }
    return 1;
}

bool CCycleConverter::WesternYearOfEraChoice(const SEraChoice& era, std::int32_t& lYear,
                                             CString& strMessage) const
{
    if (era.nItem < 0) {
        switch (WesternYearOfEraName(era.strText, lYear)) {
        case 0: return true;
        case 1: strMessage = MessageNoEra(); return false;
        case 2: strMessage = MessagePastEraEnd(); return false;
        default: strMessage = MessageEraYearBelowOne(); return false;
        }
    }
    if (era.nItem == 0)
        return true;
    SGengouEraTable record;
    if (!m_eraTable.GetAt(era.nItem - 1, record)) {
        strMessage = MessageBadEraIndex();
        return false;
    }
    // An era counts from 1 (元年); year 0 or below would silently name a year before the era.
    if (lYear < 1) {
        strMessage = MessageEraYearBelowOne();
        return false;
    }
    const std::int64_t llYear = EraToWestern(record.lBeginYear, lYear);
    if (llYear > record.lEndYear) {
        strMessage = MessagePastEraEnd();
        return false;
    }
    lYear = static_cast<std::int32_t>(llYear);
    return true;
}

bool CCycleConverter::YearToCycle(std::int32_t lYear, const SEraChoice& era, CString& strResult,
                                  CString& strMessage) const
{
    if (!WesternYearOfEraChoice(era, lYear, strMessage))
        return false;
    int nStem = 0;
    int nBranch = 0;
    if (!m_cycle.YearToStemBranch(lYear, nStem, nBranch)) {
        strMessage = MessageNoYearZero();
        return false;
    }
    CString strStem;
    CString strBranch;
    m_cycle.GetStemName(nStem, strStem);
    m_cycle.GetBranchName(nBranch, strBranch);
    const char* pszStemReading = nullptr;
    const char* pszBranchReading = nullptr;
    const char* pszAnimal = nullptr;
    m_cycle.GetStemReading(nStem, pszStemReading);
    m_cycle.GetBranchReading(nBranch, pszBranchReading);
    m_cycle.GetAnimalName(nBranch, pszAnimal);

    strResult.Format(CP932("%s年の干支は%s%s(%s%s)です。\r\n十二支は%sです。").GetString(),
                     MakeYearText(lYear, "%d").GetString(), strStem.GetString(), strBranch.GetString(),
                     pszStemReading, pszBranchReading, pszAnimal);
    return true;
}

bool CCycleConverter::YearsOfPair(SPairRequest& request, CString& strResult, CString& strMessage) const
{
    SPairRange range;
    if (!ParsePairRequest(request, range, strMessage) || !CheckPairCount(range, strMessage))
        return false;
    std::vector<std::int32_t> years;
    m_cycle.ListYears(range.nStem, range.nBranch, CYearRange(range.lFrom, range.lTo), years);
    return FormatPairYears(range, years, strResult, strMessage);
}

bool CCycleConverter::ParsePairRequest(SPairRequest& request, SPairRange& range, CString& strMessage) const
{
    if (request.strBranch.IsEmpty()) {
        strMessage = MessageChoosePair();
        return false;
    }
    // Text typed into the stem list selects no item; rather than guess a stem from it, ask for one
    // from the list.
    if (request.nStem < 0 || request.nStem > CSexagenaryCycle::STEM_COUNT) {
        strMessage = MessageChooseStem();
        return false;
    }
    range.nStem = request.nStem - 1;
    // A branch text typed by hand that is none of the twelve characters is the same mistake as an
    // empty one.
    if (!m_cycle.FindBranch(request.strBranch, range.nBranch)) {
        strMessage = MessageChoosePair();
        return false;
    }

    request.strFrom.Trim();
    request.strTo.Trim();
    range.bFrom = !request.strFrom.IsEmpty();
    range.bTo = !request.strTo.IsEmpty();
    if (!range.bFrom && !range.bTo) {
        strMessage = MessageEnterYears();
        return false;
    }
    if (range.bFrom && !ReadRangeEnd(request.strFrom, request.eraFrom, MessageFromNotANumber(), range.lFrom, strMessage))
        return false;
    if (range.bTo && !ReadRangeEnd(request.strTo, request.eraTo, MessageToNotANumber(), range.lTo, strMessage))
        return false;

    // The window of a nearest-year request is one cycle wide; at the ends of the 32-bit range it
    // is cut there, as CSexagenaryCycle::FindNearestYear cuts its own.
    const std::int64_t llWidth = CycleLength(range.nStem);
    if (!range.bFrom)
        range.lFrom = ClampYear(std::int64_t{range.lTo} - llWidth);
    if (!range.bTo)
        range.lTo = ClampYear(std::int64_t{range.lFrom} + llWidth);
    return true;
}

bool CCycleConverter::ReadRangeEnd(const CString& strText, const SEraChoice& era, const CString& strNotANumber,
                                   std::int32_t& lYear, CString& strMessage) const
{
    // Text that does not begin with a number is refused rather than read as the year 0.
    if (!ReadLeadingNumber(strText, lYear)) {
        strMessage = strNotANumber;
        return false;
    }
    return WesternYearOfEraChoice(era, lYear, strMessage);
}

bool CCycleConverter::CheckPairCount(const SPairRange& range, CString& strMessage) const
{
    // Counted before the years are listed, so that a huge range is refused at once. The first
    // match lies within one cycle of the start, and the rest follow it at a fixed step.
    if (!range.bFrom || !range.bTo || range.lFrom > range.lTo)
        return true;
    std::int32_t lFirst = 0;
    if (!m_cycle.FindNearestYear(range.nStem, range.nBranch, range.lFrom, NEAREST_ON_OR_AFTER, lFirst) ||
        lFirst > range.lTo)
        return true;
    const std::int64_t llCount = (GaplessCount(range.lTo) - GaplessCount(lFirst)) / CycleLength(range.nStem) + 1;
    if (llCount <= MAX_LISTED_YEARS)
        return true;
    strMessage.Format(
        CP932("該当する年が%lld個あり、一度に表示できる%lld個を超えています。年範囲を狭くしてください。").GetString(),
        static_cast<long long>(llCount), static_cast<long long>(MAX_LISTED_YEARS));
    return false;
}

bool CCycleConverter::FormatPairYears(const SPairRange& range, const std::vector<std::int32_t>& years,
                                      CString& strResult, CString& strMessage) const
{
    const char* pszStem = "";
    const char* pszStemReading = "";
    const char* pszBranch = "";
    const char* pszBranchReading = "";
    if (range.nStem != CSexagenaryCycle::NO_STEM) {
        m_cycle.GetStemName(range.nStem, pszStem);
        m_cycle.GetStemReading(range.nStem, pszStemReading);
        m_cycle.GetBranchReading(range.nBranch, pszBranchReading);
    } else {
        m_cycle.GetAnimalName(range.nBranch, pszBranchReading);
    }
    m_cycle.GetBranchName(range.nBranch, pszBranch);

    CString strText;
    if (range.bFrom && range.bTo) {
        strText.Format(CP932("%s～%sの間で\r\n%s%s(%s%s)に該当する年は%d個あります。\r\n").GetString(),
                       MakeYearText(range.lFrom, "%d").GetString(), MakeYearText(range.lTo, "%d").GetString(),
                       pszStem, pszBranch, pszStemReading, pszBranchReading, static_cast<int>(years.size()));
        for (std::int32_t lYear : years)
            strText += MakeYearText(lYear, "%4d") + "\r\n";
    } else {
        if (years.empty()) {
            strMessage = MessageNoNearestYear();
            return false;
        }
        const CString& strFormat = range.bTo ? CP932("%s年以前でもっとも近い%s%s(%s%s)は\r\n%s年です。")
                                             : CP932("%s年以降でもっとも近い%s%s(%s%s)は\r\n%s年です。");
        strText.Format(strFormat.GetString(), MakeYearText(range.bTo ? range.lTo : range.lFrom, "%d").GetString(),
                       pszStem, pszBranch, pszStemReading, pszBranchReading,
                       MakeYearText(years.front(), "%d").GetString());
    }
    strResult = strText;
    return true;
}
