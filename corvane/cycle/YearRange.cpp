#include <corvane/YearRange.h>

#include <framework/Env.h>

CYearRange::CYearRange() : m_lStartYear(1), m_lEndYear(GetCurrentYear()) {}

std::int32_t CYearRange::GetCurrentYear()
{
    return Env::LocalYear();
}
