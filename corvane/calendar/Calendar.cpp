#include <corvane/Calendar.h>

#include "calendar/CalendarReason.h"
#include "calendar/LunisolarTable.h"

#include <framework/Cp932.h>

#include <algorithm>
#include <bit>

using corvane::calendar::g_lunisolarYears;
using corvane::calendar::LUNISOLAR_FIRST_YEAR;
using corvane::calendar::LUNISOLAR_YEARS;
using corvane::calendar::SLunisolarYear;

namespace {

constexpr std::int32_t LAST_LUNISOLAR_YEAR = CCalendar::FIRST_GREGORIAN_YEAR - 1;
// 明治5年12月: the reform ended it after its second day.
constexpr int LAST_MONTH_DAYS = 2;
// Day numbers beyond these lie far outside the 32-bit years in both calendars (about 7.8e11 days
// each way); refusing them first keeps the arithmetic below far from overflow.
constexpr std::int64_t MIN_WESTERN_JDN = -1000000000000;
constexpr std::int64_t MAX_WESTERN_JDN = 1000000000000;
// The day numbers of Julian and Gregorian 0000-03-01: both calendars counted in cycles (4 and 400
// years) of years beginning on 1 March, so that a leap day is the last day of its year.
constexpr std::int64_t JULIAN_EPOCH = 1721118;
constexpr std::int64_t GREGORIAN_EPOCH = 1721120;

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

// Without a product that could leave the 64-bit range (a = INT64_MIN).
constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b)
{
    const std::int64_t r = a % b;
    return r != 0 && (r < 0) != (b < 0) ? r + b : r;
}

const SLunisolarYear& LunisolarYear(std::int32_t lYear)
{
    return g_lunisolarYears[static_cast<std::size_t>(lYear - LUNISOLAR_FIRST_YEAR)];
}

// The place (from 0) of a month among the months of its lunisolar year, -1 when the year has not
// that leap month.
int MonthPlace(const SLunisolarYear& year, int nMonth, bool bLeap)
{
    if (bLeap)
        return year.nLeapMonth == nMonth ? nMonth : -1;
    return nMonth - 1 + (year.nLeapMonth != 0 && nMonth > year.nLeapMonth ? 1 : 0);
}

// The days of the months before the one at nPlace.
int DaysBefore(const SLunisolarYear& year, int nPlace)
{
    const unsigned nLong = year.nLongMonths & ((1u << nPlace) - 1u);
    return 29 * nPlace + std::popcount(nLong);
}

bool IsJulianLeap(std::int64_t llYear)
{
    return FloorMod(llYear, 4) == 0;
}

bool IsGregorianLeap(std::int64_t llYear)
{
    return FloorMod(llYear, 4) == 0 && (FloorMod(llYear, 100) != 0 || FloorMod(llYear, 400) == 0);
}

int WesternMonthLength(int nMonth, bool bLeapYear)
{
    static constexpr int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return nMonth == 2 && bLeapYear ? 29 : DAYS[nMonth - 1];
}

// The day of the year counted from 1 March (0-based) of month and day.
std::int64_t DayOfMarchYear(int nMonth, int nDay)
{
    const int nMarchMonth = (nMonth + 9) % 12;   // March 0 .. February 11
    return (153 * nMarchMonth + 2) / 5 + nDay - 1;
}

// Month and day of a day of the year counted from 1 March; the year to add (1 for January and
// February, which belong to the next calendar year).
int MonthDayOfMarchYear(std::int64_t llDayOfYear, int& nMonth, int& nDay)
{
    const int nMarchMonth = static_cast<int>((5 * llDayOfYear + 2) / 153);
    nDay = static_cast<int>(llDayOfYear - (153 * nMarchMonth + 2) / 5 + 1);
    nMonth = nMarchMonth < 10 ? nMarchMonth + 3 : nMarchMonth - 9;
    return nMonth <= 2 ? 1 : 0;
}

bool FitsYear(std::int64_t llYear)
{
    return llYear >= INT32_MIN && llYear <= INT32_MAX;
}

bool SetWestern(std::int64_t llYear, int nMonth, int nDay, SWesternDate& date)
{
    if (!FitsYear(llYear))
        return false;
    date = SWesternDate{static_cast<std::int32_t>(llYear), nMonth, nDay};
    return true;
}

CString YearMonthText(std::int32_t lYear, int nMonth, bool bLeap)
{
    CString str;
    str.Format(CP932("%d年%s%d月").GetString(), lYear, bLeap ? CP932("閏").GetString() : "", nMonth);
    return str;
}

CString DayText(int nDay)
{
    CString str;
    str.Format(CP932("%d日").GetString(), nDay);
    return str;
}

bool Fail(CString* pstrReason, const CString& str)
{
    if (pstrReason)
        *pstrReason = str;
    return false;
}

// Month and leap flag of a date that has a month 1-12: whether that month exists.
bool CheckMonth(const SEraDate& date, CString* pstrReason)
{
    CString str;
    if (!date.bLeap)
        return true;
    if (date.lYear >= CCalendar::FIRST_GREGORIAN_YEAR) {
        str.Format(CP932("%d年に閏月はありません(1873年からはグレゴリオ暦です)").GetString(), date.lYear);
        return Fail(pstrReason, str);
    }
    const int nLeap = CCalendar::GetLeapMonth(date.lYear);
    if (nLeap < 0 || nLeap == date.nMonth)
        return true;
    return Fail(pstrReason, corvane::calendar::LeapMonthReason(date.lYear, date.nMonth, nLeap));
}

}   // namespace

CString corvane::calendar::LeapMonthReason(std::int32_t lYear, int nMonth, int nLeap)
{
    CString str;
    if (nLeap == 0)
        str.Format(CP932("%d年に閏%d月はありません(この年に閏月はありません)").GetString(), lYear, nMonth);
    else
        str.Format(CP932("%d年に閏%d月はありません(%d年の閏月は閏%d月です)").GetString(), lYear, nMonth, lYear, nLeap);
    return str;
}

bool CCalendar::CheckDate(const SEraDate& date, CString* pstrReason)
{
    CString str;
    if (date.nMonth == 0) {
        if (date.nDay != 0 || date.bLeap)
            return Fail(pstrReason, CP932("月のない日付です"));
        return true;
    }
    if (date.nMonth < 1 || date.nMonth > 12) {
        str.Format(CP932("%d月はありません(月は1から12までです)").GetString(), date.nMonth);
        return Fail(pstrReason, str);
    }
    if (date.nDay < 0 || date.nDay > 31) {
        str.Format(CP932("%d日はありません(日は1から31までです)").GetString(), date.nDay);
        return Fail(pstrReason, str);
    }
    if (!CheckMonth(date, pstrReason))
        return false;
    const int nLength = GetMonthLength(date.lYear, date.nMonth, date.bLeap);
    if (date.nDay <= nLength)
        return true;
    const CString strDay = YearMonthText(date.lYear, date.nMonth, date.bLeap) + DayText(date.nDay);
    if (date.lYear >= FIRST_GREGORIAN_YEAR)
        str.Format(CP932("%sはありません(%d月は%d日までです)").GetString(), strDay.GetString(), date.nMonth, nLength);
    else if (date.lYear == LAST_LUNISOLAR_YEAR && date.nMonth == 12)
        str.Format(CP932("%sはありません(改暦で明治5年12月2日の翌日が明治6年1月1日になりました)").GetString(),
                   strDay.GetString());
    else if (date.nDay == 31 || date.lYear < FIRST_LUNISOLAR_YEAR)
        str.Format(CP932("%sはありません(1873年より前は旧暦で、月は30日までです)").GetString(), strDay.GetString());
    else
        str.Format(CP932("%sはありません(%sは%d日までです)").GetString(), strDay.GetString(),
                   YearMonthText(date.lYear, date.nMonth, date.bLeap).GetString(), nLength);
    return Fail(pstrReason, str);
}

int CCalendar::GetMonthLength(std::int32_t lYear, int nMonth, bool bLeap)
{
    if (nMonth < 1 || nMonth > 12)
        return 0;
    if (lYear >= FIRST_GREGORIAN_YEAR)
        return bLeap ? 0 : WesternMonthLength(nMonth, IsGregorianLeap(lYear));
    if (lYear < FIRST_LUNISOLAR_YEAR)
        return 30;
    const SLunisolarYear& year = LunisolarYear(lYear);
    const int nPlace = MonthPlace(year, nMonth, bLeap);
    if (nPlace < 0)
        return 0;
    if (lYear == LAST_LUNISOLAR_YEAR && nMonth == 12)
        return LAST_MONTH_DAYS;
    return (year.nLongMonths >> nPlace) & 1u ? 30 : 29;
}

int CCalendar::GetLeapMonth(std::int32_t lYear)
{
    if (lYear >= FIRST_GREGORIAN_YEAR)
        return 0;
    if (lYear < FIRST_LUNISOLAR_YEAR)
        return -1;
    return LunisolarYear(lYear).nLeapMonth;
}

bool CCalendar::JdnOfDate(const SEraDate& date, std::int64_t& nJdn)
{
    if (date.nMonth == 0 || date.nDay == 0 || date.lYear < FIRST_LUNISOLAR_YEAR || !CheckDate(date))
        return false;
    if (date.lYear >= FIRST_GREGORIAN_YEAR)
        return GregorianToJdn({date.lYear, date.nMonth, date.nDay}, nJdn);
    const SLunisolarYear& year = LunisolarYear(date.lYear);
    nJdn = year.lFirstJdn + DaysBefore(year, MonthPlace(year, date.nMonth, date.bLeap)) + date.nDay - 1;
    return true;
}

bool CCalendar::DateOfJdn(std::int64_t nJdn, SEraDate& date)
{
    if (nJdn < FIRST_JDN)
        return false;
    if (nJdn >= GREGORIAN_JDN) {
        SWesternDate western;
        if (!JdnToGregorian(nJdn, western))
            return false;
        date = SEraDate{western.lYear, western.nMonth, false, western.nDay};
        return true;
    }
    // The last year whose first day is not after the day. Lunisolar years keep to the solar year
    // (their first days stay within a month or so of it), so the mean length of a solar year
    // finds the year or its neighbour at once.
    std::size_t nYear = std::min(static_cast<std::size_t>(static_cast<double>(nJdn - FIRST_JDN) / 365.2425),
                                 LUNISOLAR_YEARS - 1);
    while (nYear > 0 && g_lunisolarYears[nYear].lFirstJdn > nJdn)
        --nYear;
    while (nYear + 1 < LUNISOLAR_YEARS && g_lunisolarYears[nYear + 1].lFirstJdn <= nJdn)
        ++nYear;
    const SLunisolarYear* pYear = g_lunisolarYears + nYear;
    int nOffset = static_cast<int>(nJdn - pYear->lFirstJdn);
    int nPlace = 0;
    for (int nLength = 0; nOffset >= (nLength = 29 + ((pYear->nLongMonths >> nPlace) & 1)); ++nPlace)
        nOffset -= nLength;
    const int nLeap = pYear->nLeapMonth;
    const bool bLeap = nLeap != 0 && nPlace == nLeap;
    const int nMonth = nLeap != 0 && nPlace >= nLeap ? nPlace : nPlace + 1;
    date = SEraDate{static_cast<std::int32_t>(LUNISOLAR_FIRST_YEAR + (pYear - g_lunisolarYears)), nMonth, bLeap, nOffset + 1};
    return true;
}

bool CCalendar::JulianToJdn(const SWesternDate& date, std::int64_t& nJdn)
{
    if (date.nMonth < 1 || date.nMonth > 12 || date.nDay < 1 ||
        date.nDay > WesternMonthLength(date.nMonth, IsJulianLeap(date.lYear)))
        return false;
    const std::int64_t llYear = std::int64_t{date.lYear} - (date.nMonth <= 2 ? 1 : 0);
    const std::int64_t llCycle = FloorDiv(llYear, 4);
    const std::int64_t llYearOfCycle = llYear - llCycle * 4;
    nJdn = llCycle * 1461 + llYearOfCycle * 365 + DayOfMarchYear(date.nMonth, date.nDay) + JULIAN_EPOCH;
    return true;
}

bool CCalendar::GregorianToJdn(const SWesternDate& date, std::int64_t& nJdn)
{
    if (date.nMonth < 1 || date.nMonth > 12 || date.nDay < 1 ||
        date.nDay > WesternMonthLength(date.nMonth, IsGregorianLeap(date.lYear)))
        return false;
    const std::int64_t llYear = std::int64_t{date.lYear} - (date.nMonth <= 2 ? 1 : 0);
    const std::int64_t llCycle = FloorDiv(llYear, 400);
    const std::int64_t llYearOfCycle = llYear - llCycle * 400;
    const std::int64_t llDayOfCycle =
        llYearOfCycle * 365 + llYearOfCycle / 4 - llYearOfCycle / 100 + DayOfMarchYear(date.nMonth, date.nDay);
    nJdn = llCycle * 146097 + llDayOfCycle + GREGORIAN_EPOCH;
    return true;
}

bool CCalendar::JdnToJulian(std::int64_t nJdn, SWesternDate& date)
{
    if (nJdn < MIN_WESTERN_JDN || nJdn > MAX_WESTERN_JDN)
        return false;
    const std::int64_t llDays = nJdn - JULIAN_EPOCH;
    const std::int64_t llCycle = FloorDiv(llDays, 1461);
    const std::int64_t llDayOfCycle = llDays - llCycle * 1461;
    const std::int64_t llYearOfCycle = (llDayOfCycle - llDayOfCycle / 1460) / 365;
    int nMonth = 0;
    int nDay = 0;
    const int nNext = MonthDayOfMarchYear(llDayOfCycle - 365 * llYearOfCycle, nMonth, nDay);
    return SetWestern(llCycle * 4 + llYearOfCycle + nNext, nMonth, nDay, date);
}

bool CCalendar::JdnToGregorian(std::int64_t nJdn, SWesternDate& date)
{
    if (nJdn < MIN_WESTERN_JDN || nJdn > MAX_WESTERN_JDN)
        return false;
    const std::int64_t llDays = nJdn - GREGORIAN_EPOCH;
    const std::int64_t llCycle = FloorDiv(llDays, 146097);
    const std::int64_t llDayOfCycle = llDays - llCycle * 146097;
    const std::int64_t llYearOfCycle =
        (llDayOfCycle - llDayOfCycle / 1460 + llDayOfCycle / 36524 - llDayOfCycle / 146096) / 365;
    const std::int64_t llDayOfYear = llDayOfCycle - (365 * llYearOfCycle + llYearOfCycle / 4 - llYearOfCycle / 100);
    int nMonth = 0;
    int nDay = 0;
    const int nNext = MonthDayOfMarchYear(llDayOfYear, nMonth, nDay);
    return SetWestern(llCycle * 400 + llYearOfCycle + nNext, nMonth, nDay, date);
}

bool CCalendar::WesternOfJdn(std::int64_t nJdn, SWesternDate& date, bool& bJulian)
{
    const bool bBeforeReform = nJdn < GREGORIAN_REFORM_JDN;
    if (!(bBeforeReform ? JdnToJulian(nJdn, date) : JdnToGregorian(nJdn, date)))
        return false;
    bJulian = bBeforeReform;
    return true;
}

int CCalendar::Weekday(std::int64_t nJdn)
{
    return static_cast<int>(FloorMod(nJdn, 7));
}

int CCalendar::SexagenaryDay(std::int64_t nJdn)
{
    return static_cast<int>((FloorMod(nJdn, 60) + 49) % 60);
}
