#include <cycle/YearRange.h>

#include <ctime>
#include <limits>

CYearRange::CYearRange() : m_lStartYear(1), m_lEndYear(GetCurrentYear()) {}

std::int32_t CYearRange::GetCurrentYear()
{
    const std::time_t now = std::time(nullptr);
    if (now == static_cast<std::time_t>(-1))
        return 0;
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr)
        return 0;
    const std::int64_t llYear = std::int64_t{local.tm_year} + 1900;
    if (llYear < std::numeric_limits<std::int32_t>::min() ||
        llYear > std::numeric_limits<std::int32_t>::max())
        return 0;
    return static_cast<std::int32_t>(llYear);
}
