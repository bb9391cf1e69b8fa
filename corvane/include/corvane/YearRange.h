// CYearRange: an inclusive span of years, passed by value to CSexagenaryCycle::ListYears.
#pragma once

#include <cstdint>

#include <corvane/corvane_export.h>

class CORVANE_EXPORT CYearRange {
public:
    // Start 1, end the current calendar year of the local clock (0 when the local time cannot be
    // had).
    CYearRange();
    // Exactly the two years given; a start after the end is kept as it is (it means an empty span).
    CYearRange(std::int32_t lStartYear, std::int32_t lEndYear)
        : m_lStartYear(lStartYear), m_lEndYear(lEndYear) {}

    CYearRange(const CYearRange&) = default;
    CYearRange& operator=(const CYearRange&) = default;
    virtual ~CYearRange() = default;

    // The calendar year of the local clock now, or 0 when the local time cannot be had (the clock
    // fails, or the year does not fit in 32 bits).
    static std::int32_t GetCurrentYear();

    // Both ends inclusive. Year 0 does not exist in the year numbering of CSexagenaryCycle: a span
    // that contains or ends at 0 simply has no year there.
    std::int32_t m_lStartYear;
    std::int32_t m_lEndYear;
};
