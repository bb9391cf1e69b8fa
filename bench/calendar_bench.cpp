// Costs of the calendar's conversions: 10^4 dates of 701-1872 to day numbers and 10^4 day numbers
// to dates (the binary search over the lunisolar years), the same for Gregorian dates from 1873,
// and Julian and Gregorian days both ways. Items per second are conversions per second.
#include <corvane/Calendar.h>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int kConversions = 10000;

std::vector<std::int64_t> RandomDays(std::int64_t nFirst, std::int64_t nLast)
{
    std::mt19937 random(1582);
    std::uniform_int_distribution<std::int64_t> day(nFirst, nLast);
    std::vector<std::int64_t> days(kConversions);
    for (std::int64_t& n : days)
        n = day(random);
    return days;
}

std::vector<SEraDate> DatesOf(const std::vector<std::int64_t>& days)
{
    std::vector<SEraDate> dates(days.size());
    for (std::size_t i = 0; i < days.size(); ++i)
        CCalendar::DateOfJdn(days[i], dates[i]);
    return dates;
}

void BM_OldCalendarDateToJdn(benchmark::State& state)
{
    const std::vector<SEraDate> dates = DatesOf(RandomDays(CCalendar::FIRST_JDN, CCalendar::GREGORIAN_JDN - 1));
    for (auto _ : state) {
        for (const SEraDate& date : dates) {
            std::int64_t nJdn = 0;
            benchmark::DoNotOptimize(CCalendar::JdnOfDate(date, nJdn));
            benchmark::DoNotOptimize(nJdn);
        }
    }
    state.SetItemsProcessed(state.iterations() * kConversions);
}
BENCHMARK(BM_OldCalendarDateToJdn);

void BM_JdnToOldCalendarDate(benchmark::State& state)
{
    const std::vector<std::int64_t> days = RandomDays(CCalendar::FIRST_JDN, CCalendar::GREGORIAN_JDN - 1);
    for (auto _ : state) {
        for (const std::int64_t nJdn : days) {
            SEraDate date;
            benchmark::DoNotOptimize(CCalendar::DateOfJdn(nJdn, date));
            benchmark::DoNotOptimize(date);
        }
    }
    state.SetItemsProcessed(state.iterations() * kConversions);
}
BENCHMARK(BM_JdnToOldCalendarDate);

void BM_ModernDateBothWays(benchmark::State& state)
{
    const std::vector<SEraDate> dates = DatesOf(RandomDays(CCalendar::GREGORIAN_JDN, CCalendar::GREGORIAN_JDN + 60000));
    for (auto _ : state) {
        for (const SEraDate& date : dates) {
            std::int64_t nJdn = 0;
            SEraDate back;
            benchmark::DoNotOptimize(CCalendar::JdnOfDate(date, nJdn));
            benchmark::DoNotOptimize(CCalendar::DateOfJdn(nJdn, back));
            benchmark::DoNotOptimize(back);
        }
    }
    state.SetItemsProcessed(state.iterations() * kConversions * 2);
}
BENCHMARK(BM_ModernDateBothWays);

void BM_WesternDaysBothWays(benchmark::State& state)
{
    const std::vector<std::int64_t> days = RandomDays(0, 3000000);
    for (auto _ : state) {
        for (const std::int64_t nJdn : days) {
            SWesternDate date;
            bool bJulian = false;
            std::int64_t nBack = 0;
            benchmark::DoNotOptimize(CCalendar::WesternOfJdn(nJdn, date, bJulian));
            benchmark::DoNotOptimize(bJulian ? CCalendar::JulianToJdn(date, nBack) : CCalendar::GregorianToJdn(date, nBack));
            benchmark::DoNotOptimize(nBack);
        }
    }
    state.SetItemsProcessed(state.iterations() * kConversions * 2);
}
BENCHMARK(BM_WesternDaysBothWays);

}   // namespace

BENCHMARK_MAIN();
