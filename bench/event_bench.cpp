// The costs of an event chronology at sizes ten times apart: reading an ordered file with the
// sorted flag, adding events in date order, walking by index under a filter, finding an event by
// its content, and walking year by year with the year queries. Each family runs at 100,000 and
// 1,000,000 events; the ratio of the two times is printed at the end (10 means linear, 100 would
// mean quadratic). The memory a table takes per event is reported as a counter.
#include <corvane/YearEvent.h>

#include <framework/HostUi.h>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kSmall = 100000;
constexpr int kLarge = 1000000;

// Event i of an ordered chronology: ten events a year, priorities 0, 1, 2 in turn, dates rising
// within the year (undated first, then months).
SEventData OrderedEvent(int i)
{
    SEventData data;
    data.lYear = 1 + i / 10;
    data.nMonth = static_cast<std::int16_t>(i % 10 == 0 ? -1 : i % 10);
    data.nDay = -1;
    data.bLeapMonth = false;
    data.nPriority = i % 3;
    data.strEvent.Format("event %d", i);
    return data;
}

// One table of each size, built once and shared by the walking benchmarks (they do not change it).
CYearEvent& OrderedTable(int nEvents)
{
    static std::map<int, std::unique_ptr<CYearEvent>> s_tables;
    auto& pTable = s_tables[nEvents];
    if (!pTable) {
        pTable = std::make_unique<CYearEvent>();
        for (int i = 0; i < nEvents; ++i)
            pTable->SetData(OrderedEvent(i), true, -1, PRIORITY_ALL);
    }
    return *pTable;
}

// The scratch folder of the event files, made on first use and removed at the end.
std::filesystem::path g_scratchDir;

// An ordered event file of that size in the scratch folder, written once.
std::string OrderedFile(int nEvents)
{
    if (g_scratchDir.empty()) {
        std::string strTemplate = (std::filesystem::temp_directory_path() / "event_bench_XXXXXX").string();
        if (!mkdtemp(strTemplate.data()))
            std::abort();
        g_scratchDir = strTemplate;
    }
    const std::filesystem::path path = g_scratchDir / ("ordered" + std::to_string(nEvents) + ".lev");
    if (!std::filesystem::exists(path)) {
        CYearEvent table;
        for (int i = 0; i < nEvents; ++i)
            table.SetData(OrderedEvent(i), true, -1, PRIORITY_ALL);
        table.SetFileName(path.string().c_str());
        if (!table.WriteFile(false, nullptr, HEADER_GENGOU))
            std::abort();
    }
    return path.string();
}

void RemoveScratchFiles()
{
    std::error_code ec;
    if (!g_scratchDir.empty())
        std::filesystem::remove_all(g_scratchDir, ec);
}

void BM_ReadOrderedFileSorted(benchmark::State& state)
{
    const int nEvents = static_cast<int>(state.range(0));
    const std::string strPath = OrderedFile(nEvents);
    CYearEvent table;
    for (auto _ : state) {
        if (!table.ReadFile(strPath.c_str(), true) || table.GetLen() != nEvents)
            state.SkipWithError("read failed");
        state.PauseTiming();
        table.RemoveAll();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * nEvents);
}

void BM_AddInDateOrder(benchmark::State& state)
{
    const int nEvents = static_cast<int>(state.range(0));
    CYearEvent table;
    for (auto _ : state) {
        for (int i = 0; i < nEvents; ++i)
            table.SetData(OrderedEvent(i), true, -1, PRIORITY_ALL);
        state.PauseTiming();
        table.RemoveAll();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * nEvents);
}

// GetAt(0), GetAt(1), ... until it fails, under the filter given as the second argument.
void BM_WalkByIndex(benchmark::State& state)
{
    const CYearEvent& table = OrderedTable(static_cast<int>(state.range(0)));
    const auto eFilter = static_cast<EEventPriority>(state.range(1));
    SEventData data;
    for (auto _ : state) {
        int i = 0;
        while (table.GetAt(i, &data, eFilter))
            ++i;
        benchmark::DoNotOptimize(i);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The baseline of the walks above: the list itself traversed, reading each record's priority.
void BM_TraverseList(benchmark::State& state)
{
    const CYearEvent& table = OrderedTable(static_cast<int>(state.range(0)));
    const CYearEvent::CEventList& list = table.GetEventData();
    for (auto _ : state) {
        int nVisible = 0;
        for (const auto& pData : list)
            nVisible += pData->nPriority <= PRIORITY_HIGH;
        benchmark::DoNotOptimize(nVisible);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Finds the last event by its content, under two filters in turn so that neither lookup can start
// from where the other ended: two walks of the whole list.
void BM_IndexFromEventData(benchmark::State& state)
{
    const int nEvents = static_cast<int>(state.range(0));
    const CYearEvent& table = OrderedTable(nEvents);
    const SEventData last = OrderedEvent(nEvents - 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.GetIndexFromEventData(last, PRIORITY_ALL));
        benchmark::DoNotOptimize(table.GetIndexFromEventData(last, PRIORITY_HIGH));
    }
}

// What a chronology view does to show every year: the next year, its first index and its count.
void BM_YearByYear(benchmark::State& state)
{
    const CYearEvent& table = OrderedTable(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        int nTotal = 0;
        for (std::int32_t lYear = table.GetNextYear(-2147483647 - 1, PRIORITY_MIDDLE); lYear != NO_YEAR;
             lYear = table.GetNextYear(lYear, PRIORITY_MIDDLE)) {
            benchmark::DoNotOptimize(table.GetIndexFromYear(lYear, PRIORITY_MIDDLE));
            nTotal += table.GetNumOfYear(lYear, PRIORITY_MIDDLE);
        }
        benchmark::DoNotOptimize(nTotal);
    }
}

// Bytes allocated per event: state.range(1) 0 for short texts kept inside the string objects,
// 1 for a 30-byte event text and a 60-byte note.
void BM_MemoryPerEvent(benchmark::State& state)
{
    const int nEvents = static_cast<int>(state.range(0));
    const std::string strEvent(30, 'e'), strNote(60, 'n');
    double dBytes = 0;
    for (auto _ : state) {
        const auto nBefore = mallinfo2().uordblks;
        {
            CYearEvent table;
            for (int i = 0; i < nEvents; ++i) {
                SEventData data = OrderedEvent(i);
                if (state.range(1)) {
                    data.strEvent = strEvent.c_str();
                    data.strNote = strNote.c_str();
                }
                table.SetData(std::move(data), true, -1, PRIORITY_ALL);
            }
            dBytes = static_cast<double>(mallinfo2().uordblks - nBefore) / nEvents;
        }
    }
    state.counters["bytes_per_event"] = dBytes;
}

BENCHMARK(BM_ReadOrderedFileSorted)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddInDateOrder)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkByIndex)->Args({kSmall, PRIORITY_HIGH})->Args({kLarge, PRIORITY_HIGH})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkByIndex)->Args({kSmall, PRIORITY_ALL})->Args({kLarge, PRIORITY_ALL})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TraverseList)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexFromEventData)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearByYear)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryPerEvent)->Args({kLarge, 0})->Args({kLarge, 1})->Iterations(1)->Unit(benchmark::kMillisecond);

// Prints, after the usual table, the time at the large size divided by the time at the small one
// for every benchmark that ran at both.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            // The size is one '/'-separated part of the name; the rest names the pair.
            const std::string strName = run.benchmark_name();
            std::string strKey;
            int nSize = 0;
            for (std::size_t nFirst = 0; nFirst <= strName.size();) {
                std::size_t nEnd = strName.find('/', nFirst);
                if (nEnd == std::string::npos)
                    nEnd = strName.size();
                const std::string strPart = strName.substr(nFirst, nEnd - nFirst);
                if (nSize == 0 && (strPart == std::to_string(kSmall) || strPart == std::to_string(kLarge))) {
                    nSize = std::stoi(strPart);
                    strKey += "/N";
                } else {
                    strKey += (strKey.empty() ? "" : "/") + strPart;
                }
                nFirst = nEnd + 1;
            }
            if (nSize == 0)
                continue;
            const bool bSmall = nSize == kSmall;
            (bSmall ? m_small : m_large)[strKey] = run.GetAdjustedRealTime();
        }
    }
    // Besides the ratio, each time is given in traversals of the bare list at the same size: a
    // linear operation costs the same number of traversals at both sizes, whatever the caches do.
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto traversals = [](const std::map<std::string, double>& times, double dTime) {
            const auto it = times.find("BM_TraverseList/N");
            return it != times.end() && it->second > 0 ? dTime / it->second : 0.0;
        };
        std::printf("\n%-34s %14s %14s %14s\n", "", "large/small", "traversals at", "traversals at");
        std::printf("%-34s %14s %14d %14d\n", "", "(10 = linear)", kSmall, kLarge);
        for (const auto& [strName, dSmall] : m_small) {
            const auto it = m_large.find(strName);
            if (it != m_large.end() && dSmall > 0)
                std::printf("%-34s %14.1f %14.1f %14.1f\n", strName.c_str(), it->second / dSmall,
                            traversals(m_small, dSmall), traversals(m_large, it->second));
        }
    }

private:
    std::map<std::string, double> m_small, m_large;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    RemoveScratchFiles();
    return 0;
}
