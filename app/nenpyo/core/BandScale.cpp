#include "BandScale.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <corvane/Calendar.h>

namespace {

constexpr double kMonth = 1.0 / 12.0;
constexpr double kDay = kMonth / 31.0;

// The labelled steps, in years: months, then 1, 5, 10, 50, ... years.
std::vector<double> MakeSteps()
{
    std::vector<double> vSteps = {kMonth, 3 * kMonth, 6 * kMonth};
    for (double d = 1; d <= 1e10; d *= 10) {
        vSteps.push_back(d);
        vSteps.push_back(5 * d);
    }
    return vSteps;
}

const std::vector<double>& Steps()
{
    static const std::vector<double> s_vSteps = MakeSteps();
    return s_vSteps;
}

} // namespace

double CBandScale::YearStart(std::int32_t lYear)
{
    return lYear >= 1 ? static_cast<double>(lYear) - 1.0 : lYear == 0 ? 0.0 : static_cast<double>(lYear);
}

namespace {

// Dates are placed by day number from the first day the calendar knows up to the years whose next
// year still has a number.
bool ByDay(std::int32_t lYear)
{
    return lYear >= CCalendar::FIRST_LUNISOLAR_YEAR && lYear < std::numeric_limits<std::int32_t>::max();
}

// The day number of 1 January of a Western year, as historians write it (Julian up to 1582).
std::int64_t NewYearJdn(std::int32_t lYear)
{
    std::int64_t nJdn = 0;
    const SWesternDate date{lYear, 1, 1};
    if (lYear <= 1582)
        CCalendar::JulianToJdn(date, nJdn);
    else
        CCalendar::GregorianToJdn(date, nJdn);
    return nJdn;
}

// The first day (and its number of days, nDays) of a day or month from 701 on; false for the year
// alone, for dates before 701 and for dates that never existed (stored as written).
bool DaySpan(std::int32_t lYear, int nMonth, bool bLeap, int nDay, std::int64_t& nFirst, int& nDays)
{
    if (!ByDay(lYear) || nMonth < 1 || nMonth > 12)
        return false;
    const bool bDay = nDay >= 1 && nDay <= 31;
    nDays = bDay ? 1 : CCalendar::GetMonthLength(lYear, nMonth, bLeap);
    return CCalendar::JdnOfDate({lYear, nMonth, bLeap, bDay ? nDay : 1}, nFirst);
}

// The month's share of a year where a calendar does not place it: twelve equal months, a leap month
// over the second half of the month it follows.
double EqualMonthStart(std::int32_t lYear, int nMonth, bool bLeap, int nDay)
{
    double dTime = CBandScale::YearStart(lYear) + (nMonth - 1) * kMonth + (bLeap ? kMonth / 2 : 0.0);
    if (nDay >= 1 && nDay <= 31)
        dTime += (nDay - 1) * (bLeap ? kDay / 2 : kDay);
    return dTime;
}

} // namespace

double CBandScale::JdnTime(std::int64_t nJdn)
{
    SWesternDate date;
    bool bJulian = false;
    if (!CCalendar::WesternOfJdn(nJdn, date, bJulian) || date.lYear == std::numeric_limits<std::int32_t>::max())
        return nJdn < 0 ? YearStart(std::numeric_limits<std::int32_t>::min()) : YearStart(date.lYear);
    const std::int64_t nFirst = NewYearJdn(date.lYear);
    const std::int64_t nNext = NewYearJdn(date.lYear + 1);
    return YearStart(date.lYear) + static_cast<double>(nJdn - nFirst) / static_cast<double>(nNext - nFirst);
}

double CBandScale::DateStart(std::int32_t lYear, int nMonth, bool bLeap, int nDay)
{
    if (nMonth < 1 || nMonth > 12)
        return YearStart(lYear);
    std::int64_t nFirst = 0;
    int nDays = 0;
    if (DaySpan(lYear, nMonth, bLeap, nDay, nFirst, nDays))
        return JdnTime(nFirst);
    return EqualMonthStart(lYear, nMonth, bLeap, nDay);
}

double CBandScale::DateEnd(std::int32_t lYear, int nMonth, bool bLeap, int nDay)
{
    if (nMonth < 1 || nMonth > 12)
        return YearStart(lYear) + 1.0;
    std::int64_t nFirst = 0;
    int nDays = 0;
    if (DaySpan(lYear, nMonth, bLeap, nDay, nFirst, nDays))
        return JdnTime(nFirst + nDays);
    const double dStart = EqualMonthStart(lYear, nMonth, bLeap, nDay);
    if (nDay < 1 || nDay > 31)
        return dStart + (bLeap ? kMonth / 2 : kMonth);
    return dStart + (bLeap ? kDay / 2 : kDay);
}

std::int32_t CBandScale::YearAt(double dTime)
{
    const double dFloor = std::floor(dTime);
    if (!(dFloor > -2147483648.0))
        return std::numeric_limits<std::int32_t>::min();
    if (!(dFloor < 2147483646.0))
        return std::numeric_limits<std::int32_t>::max();
    const auto lFloor = static_cast<std::int32_t>(dFloor);
    return lFloor >= 0 ? lFloor + 1 : lFloor;
}

CBandScale::CBandScale(double dLeft, double dPixelsPerYear)
    : m_dLeft(dLeft), m_dPixelsPerYear(std::clamp(dPixelsPerYear, kMinPixelsPerYear, kMaxPixelsPerYear))
{
}

void CBandScale::ZoomAt(double dX, double dFactor)
{
    if (!(dFactor > 0))
        return;
    const double dTime = Time(dX);
    m_dPixelsPerYear = std::clamp(m_dPixelsPerYear * dFactor, kMinPixelsPerYear, kMaxPixelsPerYear);
    PlaceAt(dTime, dX);
}

void CBandScale::Pan(double dPixels)
{
    m_dLeft += dPixels / m_dPixelsPerYear;
}

void CBandScale::Fit(double dFrom, double dTo, int nWidth)
{
    if (!(dTo > dFrom) || nWidth <= 0)
        return;
    m_dPixelsPerYear = std::clamp(nWidth / (dTo - dFrom), kMinPixelsPerYear, kMaxPixelsPerYear);
    PlaceAt((dFrom + dTo) / 2, nWidth / 2.0);
}

void CBandScale::PlaceAt(double dTime, double dX)
{
    m_dLeft = dTime - dX / m_dPixelsPerYear;
}

double CBandScale::LabelStepYears(int nLabelPixels) const
{
    for (double dStep : Steps()) {
        if (dStep * m_dPixelsPerYear >= nLabelPixels)
            return dStep;
    }
    return Steps().back();
}

double CBandScale::WesternMonthStart(std::int32_t lYear, int nMonth)
{
    if (!ByDay(lYear))
        return YearStart(lYear) + (nMonth - 1) * kMonth;
    std::int64_t nJdn = 0;
    const SWesternDate date{lYear, nMonth, 1};
    if (lYear < 1582 || (lYear == 1582 && nMonth <= 10))
        CCalendar::JulianToJdn(date, nJdn);
    else
        CCalendar::GregorianToJdn(date, nJdn);
    return JdnTime(nJdn);
}

void CBandScale::AddYearTicks(double dFrom, double dTo, double dStep, bool bLabelled,
                              std::vector<SBandTick>& vTicks) const
{
    if (dStep >= 1) {
        // Western years that are multiples of the step; the multiple 0 stands for year 1.
        const double dFirst = std::floor(YearAt(dFrom) / dStep) - 1;
        const double dLast = std::ceil(YearAt(dTo) / dStep) + 1;
        for (double k = dFirst; k <= dLast; ++k) {
            const double dYear = k * dStep;
            if (dYear < -2147483648.0 || dYear > 2147483647.0)
                continue;
            const auto lYear = dYear == 0 ? 1 : static_cast<std::int32_t>(dYear);
            const double dTime = YearStart(lYear);
            if (dTime >= dFrom && dTime <= dTo)
                vTicks.push_back({dTime, lYear, 0, bLabelled});
        }
        return;
    }
    const int nMonthStep = static_cast<int>(std::lround(dStep * 12));
    for (double dYear = std::floor(dFrom); dYear <= dTo; ++dYear) {
        const std::int32_t lYear = YearAt(dYear);
        for (int nMonth = 1; nMonth <= 12; nMonth += nMonthStep) {
            const double dTime = WesternMonthStart(lYear, nMonth);
            if (dTime >= dFrom && dTime <= dTo)
                vTicks.push_back({dTime, lYear, nMonth == 1 ? 0 : nMonth, bLabelled});
        }
    }
}

std::vector<SBandTick> CBandScale::Ticks(int nWidth, int nLabelPixels) const
{
    std::vector<SBandTick> vTicks;
    if (nWidth <= 0 || nLabelPixels <= 0)
        return vTicks;
    const double dFrom = Time(0);
    const double dTo = Time(nWidth);
    const double dStep = LabelStepYears(nLabelPixels);
    AddYearTicks(dFrom, dTo, dStep, true, vTicks);
    // The next step down makes the minor ticks, when they are far enough apart.
    const auto it = std::find(Steps().begin(), Steps().end(), dStep);
    if (it != Steps().begin() && *(it - 1) * m_dPixelsPerYear >= 6) {
        std::vector<SBandTick> vMinor;
        AddYearTicks(dFrom, dTo, *(it - 1), false, vMinor);
        for (const SBandTick& tick : vMinor) {
            const bool bMajor = std::any_of(vTicks.begin(), vTicks.end(), [&](const SBandTick& major) {
                return std::abs(major.dTime - tick.dTime) < 1e-9;
            });
            if (!bMajor)
                vTicks.push_back(tick);
        }
        std::sort(vTicks.begin(), vTicks.end(),
                  [](const SBandTick& a, const SBandTick& b) { return a.dTime < b.dTime; });
    }
    return vTicks;
}
