#include <shared/chronology/DayText.h>

#include <corvane/Calendar.h>
#include <corvane/SexagenaryCycle.h>
#include <framework/Cp932.h>

#include <string>

namespace {

SEraDate DateOf(const SEventData& data)
{
    const bool bMonth = data.nMonth >= 1 && data.nMonth <= 12;
    return SEraDate{data.lYear, bMonth ? data.nMonth : 0, bMonth && data.bLeapMonth,
                    bMonth && data.nDay >= 1 ? data.nDay : 0};
}

// 1234567 as "1,234,567".
CString Grouped(std::int64_t nValue)
{
    const std::string strDigits = std::to_string(nValue < 0 ? -nValue : nValue);
    std::string str;
    for (std::size_t i = 0; i < strDigits.size(); ++i) {
        if (i > 0 && (strDigits.size() - i) % 3 == 0)
            str += ',';
        str += strDigits[i];
    }
    if (nValue < 0)
        str.insert(0, 1, '-');
    return CString(str.c_str());
}

} // namespace

bool CDayText::EventJdn(const SEventData& data, std::int64_t& nJdn)
{
    return data.nMonth >= 1 && data.nDay >= 1 && CCalendar::JdnOfDate(DateOf(data), nJdn);
}

CString CDayText::WesternDay(std::int64_t nJdn)
{
    SWesternDate date;
    bool bJulian = false;
    CString str;
    if (!CCalendar::WesternOfJdn(nJdn, date, bJulian))
        return str;
    str.Format("%04d-%02d-%02d", date.lYear, date.nMonth, date.nDay);
    if (bJulian)
        str += CP932("(ユリウス暦)");
    return str;
}

CString CDayText::WesternDay(const SEventData& data)
{
    std::int64_t nJdn = 0;
    return EventJdn(data, nJdn) ? WesternDay(nJdn) : CString();
}

CString CDayText::DayInfo(const SEraDate& date)
{
    std::int64_t nJdn = 0;
    if (date.nDay < 1 || !CCalendar::JdnOfDate(date, nJdn))
        return CString();
    static const char* const s_apszWeekdays[] = {"月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日", "日曜日"};
    const int nSexagenary = CCalendar::SexagenaryDay(nJdn);
    CString strStem, strBranch;
    CSexagenaryCycle cycle;
    cycle.GetStemName(nSexagenary % CSexagenaryCycle::STEM_COUNT, strStem);
    cycle.GetBranchName(nSexagenary % CSexagenaryCycle::BRANCH_COUNT, strBranch);
    return WesternDay(nJdn) + " " + LiteralToCp932(s_apszWeekdays[CCalendar::Weekday(nJdn)]) + " " + strStem + strBranch;
}

bool CDayText::DaysBetween(const SEventData& first, const SEventData& second, std::int64_t& nDays)
{
    std::int64_t nFirst = 0;
    std::int64_t nSecond = 0;
    if (!EventJdn(first, nFirst) || !EventJdn(second, nSecond))
        return false;
    nDays = nSecond - nFirst;
    return true;
}

CString CDayText::DaysBetweenText(const SEventData& first, const SEventData& second)
{
    std::int64_t nDays = 0;
    CString str;
    if (DaysBetween(first, second, nDays))
        str.Format(CP932("2つの出来事の間は%s日です").GetString(), Grouped(nDays < 0 ? -nDays : nDays).GetString());
    else
        str = CP932("日数は701年からの月日のある出来事の間でだけ数えられます");
    return str;
}
