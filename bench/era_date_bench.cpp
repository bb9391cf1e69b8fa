// Costs of the lookups by date and of the era date reader: 10^4 lookups (every era in force on a
// day, the era date text of each) on the shipped era table, the lookups alone against a walk over
// every record, the same on generated tables of 10^3 and 10^5 records (the cost per lookup grows
// with log n, not n), and 10^4 texts read.
#include <corvane/EraDateText.h>
#include <corvane/GengouEra.h>

#include <framework/Cp932.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "ShippedEras.h"

namespace {

constexpr int kLookups = 10000;


// nRecords eras of ten years each, every one beginning on a day of its first year.
const CGengouEra& GeneratedEras(int nRecords)
{
    static std::vector<std::pair<int, CGengouEra*>> s_tables;
    for (const auto& [n, pEras] : s_tables)
        if (n == nRecords)
            return *pEras;
    auto* pEras = new CGengouEra;
    for (int i = 0; i < nRecords; ++i) {
        CString strName;
        strName.Format("e%d", i);
        pEras->SetData(strName, 10 * i, 10 * i + 10, "");
    }
    for (SGengouEraTable& rec : pEras->GetGengoEraTable()) {
        rec.nBeginMonth = 3;
        rec.nBeginDay = 15;
        rec.nEndMonth = 3;
        rec.nEndDay = 14;
    }
    s_tables.emplace_back(nRecords, pEras);
    return *pEras;
}

std::vector<SEraDate> Days(std::int32_t lFirst, std::int32_t lLast)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<std::int32_t> year(lFirst, lLast);
    std::uniform_int_distribution<int> month(1, 12);
    std::uniform_int_distribution<int> day(1, 28);
    std::vector<SEraDate> days;
    for (int i = 0; i < kLookups; ++i)
        days.push_back({year(random), month(random), false, day(random)});
    return days;
}

void Lookups(benchmark::State& state, const CGengouEra& eras, const std::vector<SEraDate>& days)
{
    eras.GetIndicesInYear(2000);   // the index is built once, after loading
    for (auto _ : state) {
        std::size_t nFound = 0;
        for (const SEraDate& date : days) {
            for (const int nIndex : eras.GetIndicesInForce(date))
                nFound += static_cast<std::size_t>(eras.GetEraDateText(nIndex, date).GetLength());
        }
        benchmark::DoNotOptimize(nFound);
    }
    state.SetItemsProcessed(state.iterations() * kLookups);
}

void BM_ShippedLookups(benchmark::State& state)
{
    Lookups(state, ShippedEras(), Days(645, 2025));
}

// The lookup alone, and the plain way: a walk over every record for each day.
void BM_ShippedIndicesOnly(benchmark::State& state)
{
    const CGengouEra& eras = ShippedEras();
    const std::vector<SEraDate> days = Days(645, 2025);
    eras.GetIndicesInYear(2000);
    for (auto _ : state) {
        std::size_t nFound = 0;
        for (const SEraDate& date : days)
            nFound += eras.GetIndicesInForce(date).size();
        benchmark::DoNotOptimize(nFound);
    }
    state.SetItemsProcessed(state.iterations() * kLookups);
}

void BM_ShippedPlainWalk(benchmark::State& state)
{
    const CGengouEraArray& recs = ShippedEras().GetGengouEraTable();
    const std::vector<SEraDate> days = Days(645, 2025);
    for (auto _ : state) {
        std::size_t nFound = 0;
        for (const SEraDate& date : days) {
            std::vector<int> indices;
            for (std::size_t i = 0; i < recs.size(); ++i)
                if (recs[i].BeginDate() <= date && date.lYear <= recs[i].lEndYear)
                    indices.push_back(static_cast<int>(i));
            nFound += indices.size();
        }
        benchmark::DoNotOptimize(nFound);
    }
    state.SetItemsProcessed(state.iterations() * kLookups);
}

void BM_GeneratedLookups(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    Lookups(state, GeneratedEras(nRecords), Days(0, 10 * nRecords));
}

void BM_ReadEraDates(benchmark::State& state)
{
    const CGengouEra& eras = ShippedEras();
    const char* const kTexts[] = {"平成元年1月8日", "H1.1.8", "平成１年１月８日", "昭和六十四年一月七日", "1989-01-08",
                                  "1868年閏4月1日", "慶應3年12月9日", "R7.12.7", "天平勝宝元年", "2019/5/1"};
    std::vector<CString> texts;
    for (int i = 0; i < kLookups; ++i)
        texts.push_back(LiteralToCp932(kTexts[i % std::size(kTexts)]));
    for (auto _ : state) {
        int nRead = 0;
        for (const CString& strText : texts) {
            SParsedEraDate parsed;
            CString strError;
            nRead += ParseEraDateText(eras, strText, parsed, strError) ? 1 : 0;
        }
        if (nRead != kLookups)
            state.SkipWithError("a text was not read");
    }
    state.SetItemsProcessed(state.iterations() * kLookups);
}

} // namespace

BENCHMARK(BM_ShippedLookups)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShippedIndicesOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShippedPlainWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeneratedLookups)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEraDates)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
