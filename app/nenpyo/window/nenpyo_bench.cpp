// What opening a large chronology and scrolling through it cost Nenpyo: opening a document whose
// event file holds 100,000 or 1,000,000 events (with the shipped era and period tables and a
// base-year table), and the model answering every cell of every row in order, as a view does
// when it is scrolled from the first row to the last, under every filter and under the high one.
// Each family runs at both sizes: a ratio of about 10 means linear. The memory an opened
// chronology takes per event is reported as a counter.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <QCoreApplication>

#include <framework/Cp932.h>

#include "EventModel.h"
#include "NenpyoDoc.h"

namespace {

constexpr int kSmall = 100000;
constexpr int kLarge = 1000000;

std::filesystem::path g_scratchDir;

CNenpyoDoc::SDefaults ShippedTables()
{
    CNenpyoDoc::SDefaults defaults;
    Utf8ToCp932(NENPYO_SOURCE_DATA_DIR "/ﾗｲﾌﾞﾗﾘ/元号.lgn", defaults.strEraFile);
    Utf8ToCp932(NENPYO_SOURCE_DATA_DIR "/ﾗｲﾌﾞﾗﾘ/時代.ler", defaults.strPeriodFile);
    return defaults;
}

// A document of nEvents events in date order, from 660 BC to AD 2024, written once.
CString Document(int nEvents)
{
    static std::map<int, CString> s_docs;
    CString& strDoc = s_docs[nEvents];
    if (strDoc.IsEmpty()) {
        if (g_scratchDir.empty()) {
            std::string strTemplate = (std::filesystem::temp_directory_path() / "nenpyo-bench-XXXXXX").string();
            g_scratchDir = ::mkdtemp(strTemplate.data());
        }
        CNenpyoDoc doc;
        doc.New(ShippedTables());
        for (int i = 0; i < nEvents; ++i) {
            SEventData data;
            data.lYear = static_cast<std::int32_t>(-660 + static_cast<long long>(i) * 2684 / nEvents);
            if (data.lYear == 0)
                data.lYear = 1;
            data.nMonth = static_cast<std::int16_t>(1 + i % 12);
            data.nDay = static_cast<std::int16_t>(1 + i % 28);
            data.nPriority = i % 3;
            data.strEvent.Format("<a href=\"e%d.html\">event %d</a>", i, i);
            doc.Events().SetData(data, true, -1, PRIORITY_ALL);
        }
        doc.SetHasBaseYear(true);
        doc.BaseYear().SetBaseWesternYear(1603);
        CString strFailed;
        Utf8ToCp932((g_scratchDir / ("chronology-" + std::to_string(nEvents) + ".nenpyo")).string(), strDoc);
        if (!doc.Save(strDoc, strFailed).Ok())
            std::abort();
    }
    return strDoc;
}

void BM_OpenDocument(benchmark::State& state)
{
    const CString strDoc = Document(static_cast<int>(state.range(0)));
    double dBytes = 0;
    for (auto _ : state) {
        const auto nBefore = mallinfo2().uordblks;
        auto pDoc = std::make_unique<CNenpyoDoc>();
        CString strFailed;
        if (!pDoc->Open(strDoc, ShippedTables(), strFailed).Ok())
            state.SkipWithError("open failed");
        CEventModel model;
        model.SetDocument(pDoc.get());
        benchmark::DoNotOptimize(model.rowCount());
        dBytes = static_cast<double>(mallinfo2().uordblks - nBefore) / static_cast<double>(state.range(0));
    }
    state.counters["bytes_per_event"] = dBytes;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Every cell's display text, row by row, as a view asks for it while it scrolls.
void EveryRow(benchmark::State& state, EEventPriority eFilter)
{
    CNenpyoDoc doc;
    CString strFailed;
    if (!doc.Open(Document(static_cast<int>(state.range(0))), ShippedTables(), strFailed).Ok())
        state.SkipWithError("open failed");
    CEventModel model;
    model.SetDocument(&doc);
    model.SetFilter(eFilter);
    for (auto _ : state) {
        const int nRows = model.rowCount();
        for (int nRow = 0; nRow < nRows; ++nRow) {
            for (int nColumn = 0; nColumn < model.columnCount(); ++nColumn)
                benchmark::DoNotOptimize(model.data(model.index(nRow, nColumn)));
        }
    }
    state.SetItemsProcessed(state.iterations() * model.rowCount());
}

void BM_ModelEveryRow(benchmark::State& state) { EveryRow(state, PRIORITY_ALL); }
void BM_ModelEveryRowHigh(benchmark::State& state) { EveryRow(state, PRIORITY_HIGH); }

} // namespace

BENCHMARK(BM_OpenDocument)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ModelEveryRow)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ModelEveryRowHigh)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    if (!g_scratchDir.empty())
        std::filesystem::remove_all(g_scratchDir, ec);
    return 0;
}
