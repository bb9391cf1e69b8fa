// What printing a large chronology to PDF costs: 10,000 and 100,000 events (with the shipped era
// and period tables and a base-year table), every event shown, into a PDF file. A ratio of about
// 10 between the two means linear; pages per second and the pages are reported as counters, and
// the memory the process holds at its peak after the larger run.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include <framework/Cp932.h>

#include "ChronologyPrinter.h"
#include "NenpyoDoc.h"

namespace {

CNenpyoDoc::SDefaults ShippedTables()
{
    CNenpyoDoc::SDefaults defaults;
    defaults.eraFile = NENPYO_SOURCE_DATA_DIR "/ﾗｲﾌﾞﾗﾘ/元号.lgn";
    defaults.periodFile = NENPYO_SOURCE_DATA_DIR "/ﾗｲﾌﾞﾗﾘ/時代.ler";
    return defaults;
}

// nEvents events from 660 BC to AD 2024 with texts of one to three lines' width and a note on
// every tenth.
void Fill(CNenpyoDoc& doc, int nEvents)
{
    doc.New(ShippedTables());
    for (int i = 0; i < nEvents; ++i) {
        SEventData data;
        data.Initialize();
        data.lYear = static_cast<std::int32_t>(-660 + static_cast<long long>(i) * 2684 / nEvents);
        if (data.lYear == 0)
            data.lYear = 1;
        data.nMonth = static_cast<std::int16_t>(1 + i % 12);
        data.nDay = static_cast<std::int16_t>(1 + i % 28);
        data.nPriority = i % 3;
        CString strText = CP932("出来事の説明");
        for (int n = 0; n < i % 9; ++n)
            strText += CP932("、長くなる出来事の説明");
        data.strEvent.Format("%d ", i);
        data.strEvent += strText;
        if (i % 10 == 0)
            data.strNote = CP932("備考の一行目\r\n備考の二行目");
        doc.Events().SetData(data, false, -1, PRIORITY_ALL);
    }
    doc.SetHasBaseYear(true);
    doc.BaseYear().SetBaseWesternYear(1603);
}

void BM_PrintPdf(benchmark::State& state)
{
    CNenpyoDoc doc;
    Fill(doc, static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    CChronologyPrinter printer(doc, PRIORITY_ALL);
    for (auto _ : state) {
        QString strError;
        if (printer.PrintPdf(dir.filePath(QStringLiteral("bench.pdf")), QStringLiteral("bench"), {}, strError) !=
            CChronologyPrinter::EResult::Done)
            state.SkipWithError("print failed");
    }
    state.counters["pages"] = printer.Pages();
    state.counters["pages_per_second"] =
        benchmark::Counter(static_cast<double>(printer.Pages()) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace

BENCHMARK(BM_PrintPdf)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
