// corvane date over 10^5 texts in one call, on the shipped era table: the forms people write, the
// days of the old calendar and of the Julian and Gregorian calendars, each line with its Western
// day (and, --json, one object a text).
#include "DateCommand.h"

#include <corvane/GengouEra.h>
#include <framework/Cp932.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "ShippedEras.h"

namespace {

constexpr int kTexts = 100000;


const std::vector<std::string>& Texts()
{
    static const std::vector<std::string> s_texts = [] {
        const char* const kForms[] = {"平成元年1月8日", "H1.1.8", "昭和六十四年一月七日", "1989-01-08", "1868年閏4月1日",
                                      "天正十年壬午六月二日", "慶長5年9月晦日", "ユリウス暦1582年6月21日",
                                      "グレゴリオ暦1600年10月21日", "JD2299161", "1338-08-28", "19890108"};
        std::vector<std::string> texts;
        for (int i = 0; i < kTexts; ++i)
            texts.emplace_back(kForms[i % std::size(kForms)]);
        return texts;
    }();
    return s_texts;
}

void Run(benchmark::State& state, const SDateStyle& style)
{
    const CGengouEra& eras = ShippedEras();
    eras.GetIndicesInYear(2000);
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        if (CDateCommand::Print(eras, Texts(), out, err, style) != 0)
            state.SkipWithError("a text was not read");
        benchmark::DoNotOptimize(out.str().size());
    }
    state.SetItemsProcessed(state.iterations() * kTexts);
}

void BM_DateLines(benchmark::State& state)
{
    SDateStyle style;
    style.bLong = true;
    Run(state, style);
}

void BM_DateJson(benchmark::State& state)
{
    SDateStyle style;
    style.bJson = true;
    Run(state, style);
}

} // namespace

BENCHMARK(BM_DateLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DateJson)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
