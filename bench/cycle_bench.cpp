// Cost of listing and finding the years of a stem-branch pair.
//
// ListYears should cost time in proportion to the years it returns (about one in sixty of the
// span for a pair with a stem), while the per-year search tests every year of the span. The first
// family runs ListYears over spans from a thousand years to the whole 32-bit range; the second runs
// the per-year search on the small spans only; at the end the ratio of the two is printed for each
// span that both measured.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include <corvane/SexagenaryCycle.h>
#include <testing/PerYearSearch.h>

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kWholeRange = std::int64_t{kMax} - kMin + 1;

// A span of the given number of years, centred on year 0 so that it crosses the missing year, or
// the whole 32-bit range.
CYearRange CentredSpan(std::int64_t llSpan)
{
    if (llSpan >= kWholeRange)
        return CYearRange(kMin, kMax);
    const std::int64_t llStart = -llSpan / 2;
    return CYearRange(static_cast<std::int32_t>(llStart),
                      static_cast<std::int32_t>(llStart + llSpan - 1));
}

void SetCounters(benchmark::State& state, std::size_t nYears)
{
    state.counters["years"] = static_cast<double>(nYears);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(nYears));
}

void BM_ListYears(benchmark::State& state)
{
    const CSexagenaryCycle cycle;
    const CYearRange span = CentredSpan(state.range(0));
    std::vector<std::int32_t> years;
    for (auto _ : state) {
        cycle.ListYears(0, 0, span, years);   // 甲子
        benchmark::DoNotOptimize(years.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, years.size());
}

void BM_ListYearsBranchOnly(benchmark::State& state)
{
    const CSexagenaryCycle cycle;
    const CYearRange span = CentredSpan(state.range(0));
    std::vector<std::int32_t> years;
    for (auto _ : state) {
        cycle.ListYears(CSexagenaryCycle::NO_STEM, 0, span, years);   // 子
        benchmark::DoNotOptimize(years.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, years.size());
}

void BM_PerYearListYears(benchmark::State& state)
{
    const CSexagenaryCycle cycle;
    const CYearRange span = CentredSpan(state.range(0));
    std::vector<std::int32_t> years;
    for (auto _ : state) {
        cycle_testing::PerYearListYears(cycle, 0, 0, span, years);
        benchmark::DoNotOptimize(years.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, years.size());
}

void BM_FindNearestYear(benchmark::State& state)
{
    const CSexagenaryCycle cycle;
    std::int32_t lBound = 1900;
    for (auto _ : state) {
        std::int32_t lYear = 0;
        benchmark::DoNotOptimize(cycle.FindNearestYear(0, 0, lBound, NEAREST_BEFORE, lYear));
        benchmark::DoNotOptimize(lYear);
        lBound = lBound == 2100 ? 1900 : lBound + 1;
    }
}

void BM_PerYearFindNearestYear(benchmark::State& state)
{
    const CSexagenaryCycle cycle;
    std::int32_t lBound = 1900;
    for (auto _ : state) {
        std::int32_t lYear = 0;
        benchmark::DoNotOptimize(
            cycle_testing::PerYearFindNearestYear(cycle, 0, 0, lBound, NEAREST_BEFORE, lYear));
        benchmark::DoNotOptimize(lYear);
        lBound = lBound == 2100 ? 1900 : lBound + 1;
    }
}

BENCHMARK(BM_ListYears)
    ->RangeMultiplier(10)->Range(1000, 1000000000)->Arg(kWholeRange)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListYearsBranchOnly)->Arg(1000000)->Arg(kWholeRange)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PerYearListYears)
    ->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindNearestYear);
BENCHMARK(BM_PerYearFindNearestYear);

// The console output, plus a closing table of per-year time over ListYears time for each span.
// The ratios use CPU time, which other processes on a shared machine disturb less.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    explicit CRatioReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const double dMicroseconds =
                run.GetAdjustedCPUTime() * 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            m_times[run.run_name.function_name][run.run_name.args] = dMicroseconds;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto& fast = m_times["BM_ListYears"];
        const auto& slow = m_times["BM_PerYearListYears"];
        std::printf("\n%-12s %16s %16s %10s\n", "span", "ListYears CPU us", "per-year CPU us",
                    "ratio");
        for (const auto& [strArgs, dSlow] : slow) {
            const auto it = fast.find(strArgs);
            if (it != fast.end() && it->second > 0)
                std::printf("%-12s %16.3f %16.3f %9.0fx\n", strArgs.c_str(), it->second, dSlow,
                            dSlow / it->second);
        }
        const auto& nearFast = m_times["BM_FindNearestYear"];
        const auto& nearSlow = m_times["BM_PerYearFindNearestYear"];
        if (!nearFast.empty() && !nearSlow.empty() && nearFast.begin()->second > 0)
            std::printf("FindNearestYear: per-year / arithmetic = %.0fx\n",
                        nearSlow.begin()->second / nearFast.begin()->second);
    }

private:
    std::map<std::string, std::map<std::string, double>> m_times;   // function, arguments -> us
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CRatioReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults
                                                   : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
