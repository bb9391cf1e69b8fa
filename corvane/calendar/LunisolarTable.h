// The months of the lunisolar calendar 701-1872, compiled from data/calendar/lunisolar-701-1872.tsv
// by GenerateLunisolarTable.cmake when the library is built.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane::calendar {

// One lunisolar year: the day number of its 1月1日, its leap month (0: none) and the lengths of
// its months in their order (a leap month after the month of its number): bit k of nLongMonths
// set when the k-th month (from 0) has 30 days, clear for 29.
struct SLunisolarYear {
    std::int32_t lFirstJdn;
    std::uint8_t nLeapMonth;
    std::uint16_t nLongMonths;
};

inline constexpr std::int32_t LUNISOLAR_FIRST_YEAR = 701;
inline constexpr std::size_t LUNISOLAR_YEARS = 1872 - 701 + 1;

// Year 701 + i at index i.
extern const SLunisolarYear g_lunisolarYears[LUNISOLAR_YEARS];

}   // namespace corvane::calendar
