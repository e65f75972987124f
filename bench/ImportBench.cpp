// velmora-import-bench: converting Jet data into Velmora files. Run on its own, so that the
// peak memory it reports (getrusage) is the conversion's.
#include "GeneratedFleetSource.h"
#include "legacy/FileConversion.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace velmora::bench {

namespace {

double peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void reportRows(benchmark::State& state, qint64 rows) {
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows_per_s"] = benchmark::Counter(
        static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_rss_MB"] = peakResidentMegabytes();
}

void BM_ConvertNorthwind(benchmark::State& state) {
    const QString file = QDir(QStringLiteral(VELMORA_JET_FIXTURES)).filePath("nwind.mdb");
    if (!QFileInfo::exists(file)) {
        state.SkipWithError("nwind.mdb is not in VELMORA_JET_FIXTURES");
        return;
    }
    qint64 rows = 0;
    for (auto _ : state) {
        QTemporaryDir dir;
        try {
            rows = legacy::convertJetFile(file, dir.filePath("nwind.mdb"), {}).rowsWritten();
        } catch (const legacy::LegacyError& e) {
            state.SkipWithError(qPrintable(e.text()));
            break;
        }
    }
    reportRows(state, rows);
}
BENCHMARK(BM_ConvertNorthwind)->Unit(benchmark::kMillisecond);

// 500 aircraft with 2,000 components each: a million Parts rows, streamed from the source
// into a new main data file in one transaction.
void BM_ConvertGeneratedFleet(benchmark::State& state) {
    const int aircraft = static_cast<int>(state.range(0));
    const int components = static_cast<int>(state.range(1));
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        legacy::MemoryTableSource source = generatedFleetSource(aircraft, components);
        state.ResumeTiming();
        try {
            rows = legacy::convertSource(source, QStringLiteral("TimeMgr.mdb"),
                                         dir.filePath("Timemgr.mdb"), {})
                       .rowsWritten();
        } catch (const legacy::LegacyError& e) {
            state.SkipWithError(qPrintable(e.text()));
            break;
        }
    }
    reportRows(state, rows);
}
BENCHMARK(BM_ConvertGeneratedFleet)->Args({500, 2000})->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

}  // namespace velmora::bench

BENCHMARK_MAIN();
