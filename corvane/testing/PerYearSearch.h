// The plain per-year search of the stem-branch pairs: every year of a span tested one by one with
// YearToStemBranch. It is the reference that the tests compare CSexagenaryCycle against and the
// baseline of the benchmark; its cost is proportional to the span, so the program never uses it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include <corvane/SexagenaryCycle.h>

namespace cycle_testing {

// ListYears, year by year in ascending order with year 0 skipped. The loop counter is 64 bits
// wide so that a span ending at INT32_MAX ends instead of wrapping.
inline void PerYearListYears(const CSexagenaryCycle& cycle, int nStem, int nBranch,
                             CYearRange span, std::vector<std::int32_t>& years)
{
    std::vector<std::int32_t>().swap(years);
    for (std::int64_t ll = span.m_lStartYear; ll <= span.m_lEndYear; ++ll) {
        int nYearStem = 0;
        int nYearBranch = 0;
        if (!cycle.YearToStemBranch(static_cast<std::int32_t>(ll), nYearStem, nYearBranch))
            continue;
        if (nYearBranch == nBranch && (nStem == CSexagenaryCycle::NO_STEM || nYearStem == nStem))
            years.push_back(static_cast<std::int32_t>(ll));
    }
}

// FindNearestYear as a per-year ListYears over the window, clamped to the 32-bit range.
inline bool PerYearFindNearestYear(const CSexagenaryCycle& cycle, int nStem, int nBranch,
                                   std::int32_t lBound, ENearestDirection eDirection,
                                   std::int32_t& lYear)
{
    const std::int64_t llWidth = nStem == CSexagenaryCycle::NO_STEM ? 12 : 60;
    const std::int64_t llMin = std::numeric_limits<std::int32_t>::min();
    const std::int64_t llMax = std::numeric_limits<std::int32_t>::max();
    CYearRange window(lBound, lBound);
    if (eDirection == NEAREST_BEFORE)
        window.m_lStartYear = static_cast<std::int32_t>(std::max(llMin, lBound - llWidth));
    else
        window.m_lEndYear = static_cast<std::int32_t>(std::min(llMax, lBound + llWidth));
    std::vector<std::int32_t> years;
    PerYearListYears(cycle, nStem, nBranch, window, years);
    if (years.empty())
        return false;
    lYear = years.front();
    return true;
}

}  // namespace cycle_testing
