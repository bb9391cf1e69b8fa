#include "BandScale.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

double CBandScale::DateStart(std::int32_t lYear, int nMonth, bool bLeap, int nDay)
{
    double dTime = YearStart(lYear);
    if (nMonth < 1 || nMonth > 12)
        return dTime;
    dTime += (nMonth - 1) * kMonth + (bLeap ? kMonth / 2 : 0.0);
    if (nDay >= 1 && nDay <= 31)
        dTime += (nDay - 1) * (bLeap ? kDay / 2 : kDay);
    return dTime;
}

double CBandScale::DateEnd(std::int32_t lYear, int nMonth, bool bLeap, int nDay)
{
    const double dStart = DateStart(lYear, nMonth, bLeap, nDay);
    if (nMonth < 1 || nMonth > 12)
        return dStart + 1.0;
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
            const double dTime = dYear + (nMonth - 1) * kMonth;
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
