#include <corvane/YearRange.h>

#include <chrono>
#include <cstdlib>

#include <gtest/gtest.h>

namespace {

TEST(YearRange, DefaultIsFromYearOneToThisYear)
{
    const CYearRange range;
    EXPECT_EQ(range.m_lStartYear, 1);
    EXPECT_EQ(range.m_lEndYear, CYearRange::GetCurrentYear());
    // The local year is within a day of the UTC one.
    const auto today = std::chrono::year_month_day(
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
    EXPECT_LE(std::abs(CYearRange::GetCurrentYear() - static_cast<int>(today.year())), 1);
}

}  // namespace
