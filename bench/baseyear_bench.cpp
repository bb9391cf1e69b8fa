// CBaseYear::SearchStr against the plain scan of every year's count.
//
// The scan costs one formatted count a year, so it is measured on spans of a thousand to a
// million years, searching for the count of the span's last year (its worst case: no earlier
// count holds it). SearchStr is measured on the same spans and on the whole year range with no
// end year, where the scan would take billions of steps: its cost should not grow with the span.
#include <corvane/BaseYear.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <climits>
#include <string>

namespace {

// The plain scan: the first offset whose count contains the text.
int PlainSearch(const CBaseYear& table, const char* pszText, std::int32_t lFrom, std::int32_t lTo,
                std::int32_t& lFoundYear)
{
    const std::int64_t lBase = table.GetBaseWesternYear();
    const std::int64_t lLast = std::min(lTo, table.GetEndWesternYear());
    for (std::int64_t k = std::max<std::int64_t>(lFrom - lBase, 0); k <= lLast - lBase && k <= INT_MAX; ++k) {
        CString str;
        str.Format("%lld", static_cast<long long>(table.GetKazoe() ? k + 1 : k));
        if (std::string_view(str.View()).find(pszText) != std::string_view::npos) {
            lFoundYear = static_cast<std::int32_t>(lBase + k);
            return static_cast<int>(k);
        }
    }
    return -1;
}

CBaseYear Table(std::int32_t lEnd)
{
    CBaseYear table;
    table.SetBaseWesternYear(0);
    table.SetEndWesternYear(lEnd);
    table.SetKazoe(true);
    return table;
}

// The count of the last year of the span (数え: the span + 1), which no earlier count holds.
std::string LastCount(std::int64_t lSpan)
{
    return std::to_string(lSpan + 1);
}

void BM_PlainScan(benchmark::State& state)
{
    const CBaseYear table = Table(static_cast<std::int32_t>(state.range(0)));
    const std::string strText = LastCount(state.range(0));
    std::int32_t lFound = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainSearch(table, strText.c_str(), 0, INT32_MAX, lFound));
    if (lFound != state.range(0))
        state.SkipWithError("the scan did not find the last year");
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PlainScan)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity(benchmark::oN);

void BM_SearchStr(benchmark::State& state)
{
    const CBaseYear table = Table(static_cast<std::int32_t>(state.range(0)));
    const std::string strText = LastCount(state.range(0));
    std::int32_t lFound = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(table.SearchStr(strText.c_str(), 0, INT32_MAX, lFound, -1));
    if (lFound != state.range(0))
        state.SkipWithError("SearchStr did not find the last year");
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SearchStr)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity(benchmark::o1);

// The whole range with no end year: from the lowest base, 2^31 offsets.
void BM_SearchStrNoEndYear(benchmark::State& state, const char* pszText)
{
    CBaseYear table;
    table.SetBaseWesternYear(INT32_MIN);
    table.SetEndWesternYear(NO_END_YEAR);
    std::int32_t lFound = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(table.SearchStr(pszText, INT32_MIN, INT32_MAX, lFound, -1));
}
BENCHMARK_CAPTURE(BM_SearchStrNoEndYear, absent, "0000000000");
BENCHMARK_CAPTURE(BM_SearchStrNoEndYear, last_offset, "2147483647");
BENCHMARK_CAPTURE(BM_SearchStrNoEndYear, early, "7");

} // namespace

BENCHMARK_MAIN();
