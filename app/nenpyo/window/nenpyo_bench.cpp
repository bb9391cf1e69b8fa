// What opening a large chronology and scrolling through it cost Nenpyo: opening a document whose
// event file holds 100,000 or 1,000,000 events (with the shipped era and period tables and a
// base-year table), and the model answering every cell of every row in order, as a view does
// when it is scrolled from the first row to the last, under every filter and under the high one.
// Each family runs at both sizes: a ratio of about 10 means linear. The memory an opened
// chronology takes per event is reported as a counter.
//
// The time band: one zoom or pan step, i.e. laying out and painting the visible stretch into an
// image of the view's size (1100 x 440), at five zooms from the whole chronology to three months,
// each step panned by a tenth of the width so that new events come into view.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <framework/Cp932.h>

#include "BandPainter.h"
#include "EventModel.h"
#include "NenpyoDoc.h"

namespace {

constexpr int kSmall = 100000;
constexpr int kLarge = 1000000;

std::filesystem::path g_scratchDir;

CNenpyoDoc::SDefaults ShippedTables()
{
    CNenpyoDoc::SDefaults defaults;
    defaults.eraFile = NENPYO_SOURCE_DATA_DIR "/ﾗｲﾌﾞﾗﾘ/元号.lgn";
    defaults.periodFile = NENPYO_SOURCE_DATA_DIR "/ﾗｲﾌﾞﾗﾘ/時代.ler";
    return defaults;
}

// A document of nEvents events in date order, from 660 BC to AD 2024, written once.
std::filesystem::path Document(int nEvents)
{
    static std::map<int, std::filesystem::path> s_docs;
    std::filesystem::path& doc_path = s_docs[nEvents];
    if (doc_path.empty()) {
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
        std::filesystem::path failed;
        doc_path = g_scratchDir / ("chronology-" + std::to_string(nEvents) + ".nenpyo");
        if (!doc.Save(doc_path, failed).Ok())
            std::abort();
    }
    return doc_path;
}

void BM_OpenDocument(benchmark::State& state)
{
    const std::filesystem::path strDoc = Document(static_cast<int>(state.range(0)));
    double dBytes = 0;
    for (auto _ : state) {
        const auto nBefore = mallinfo2().uordblks;
        auto pDoc = std::make_unique<CNenpyoDoc>();
        std::filesystem::path strFailed;
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

// A save as of the whole chronology: every table and the document written anew (a changed
// chronology writes its changed tables the same way).
void BM_SaveDocument(benchmark::State& state)
{
    CNenpyoDoc doc;
    std::filesystem::path failed;
    if (!doc.Open(Document(static_cast<int>(state.range(0))), ShippedTables(), failed).Ok())
        state.SkipWithError("open failed");
    int nSave = 0;
    for (auto _ : state) {
        const std::filesystem::path path = g_scratchDir / ("saved-" + std::to_string(nSave++ % 2) + ".nenpyo");
        if (!doc.Save(path, failed).Ok())
            state.SkipWithError("save failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Every cell's display text, row by row, as a view asks for it while it scrolls.
void EveryRow(benchmark::State& state, EEventPriority eFilter)
{
    CNenpyoDoc doc;
    std::filesystem::path strFailed;
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

// Years a view of the band shows at each zoom.
constexpr double kBandYears[] = {2800, 300, 30, 3, 0.25};

void BM_BandPaint(benchmark::State& state)
{
    CNenpyoDoc doc;
    std::filesystem::path strFailed;
    if (!doc.Open(Document(static_cast<int>(state.range(0))), ShippedTables(), strFailed).Ok())
        state.SkipWithError("open failed");
    CBandPainter painter;
    painter.SetDocument(&doc);
    QImage image(1100, 440, QImage::Format_RGB32);
    const double dYears = kBandYears[state.range(1)];
    CBandScale scale(0, image.width() / dYears);
    scale.PlaceAt(-700, 0);
    std::size_t nLabels = 0;
    for (auto _ : state) {
        scale.Pan(image.width() / 10.0);
        if (scale.Time(0) > 2030)
            scale.PlaceAt(-700, 0);
        QPainter p(&image);
        painter.Paint(p, image.rect(), scale, PRIORITY_ALL, 1000);
        nLabels += painter.Labels().vLabels.size();
    }
    state.counters["labels"] = static_cast<double>(nLabels) / static_cast<double>(state.iterations());
    state.counters["years_in_view"] = dYears;
}

// What every change of the table costs the band: indexing the events again.
void BM_BandIndex(benchmark::State& state)
{
    CNenpyoDoc doc;
    std::filesystem::path strFailed;
    if (!doc.Open(Document(static_cast<int>(state.range(0))), ShippedTables(), strFailed).Ok())
        state.SkipWithError("open failed");
    CBandEvents events;
    for (auto _ : state) {
        events.Build(doc.Events());
        benchmark::DoNotOptimize(events.Size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_BandIndex)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BandPaint)
    ->ArgsProduct({{kSmall, kLarge}, {0, 1, 2, 3, 4}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(BM_SaveDocument)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_OpenDocument)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ModelEveryRow)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ModelEveryRowHigh)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    // Text is painted into images: fonts need a platform, and none with a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    if (!g_scratchDir.empty())
        std::filesystem::remove_all(g_scratchDir, ec);
    return 0;
}
