// velmora-import-bench: converting Jet data into Velmora files. Run on its own, so that the
// peak memory it reports (getrusage) is the conversion's.
#include "GeneratedFleetSource.h"
#include "legacy/FileConversion.h"
#include "legacy/MdbTableSource.h"

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

double readerCpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// A Jet test file converted as the programs convert it: read by a reader process of its own
// (state.range(0) == 1), or read in this process (0), as before there was a reader process.
void convertJetFixture(benchmark::State& state, const char* name) {
    const QString file = QDir(QStringLiteral(VELMORA_JET_FIXTURES)).filePath(name);
    if (!QFileInfo::exists(file)) {
        state.SkipWithError("the test file is not in VELMORA_JET_FIXTURES");
        return;
    }
    const bool readerProcess = state.range(0) == 1;
    const double readerCpuBefore = readerCpuMilliseconds();
    qint64 rows = 0;
    for (auto _ : state) {
        QTemporaryDir dir;
        try {
            const QString dest = dir.filePath("nwind.mdb");
            if (readerProcess) {
                rows = legacy::convertJetFile(file, dest, {}).rowsWritten();
            } else {
                auto source = legacy::MdbTableSource::open(file);
                rows = legacy::convertSource(*source, file, dest, {}).rowsWritten();
            }
        } catch (const data::DbError& e) {
            state.SkipWithError(qPrintable(e.text()));
            break;
        }
    }
    reportRows(state, rows);
    // The reader process's own time, which the CPU column (this process's) leaves out.
    state.counters["reader_cpu_ms"] = benchmark::Counter(readerCpuMilliseconds() - readerCpuBefore,
                                                         benchmark::Counter::kAvgIterations);
}

void BM_ConvertNorthwind(benchmark::State& state) {
    convertJetFixture(state, "nwind.mdb");
}
BENCHMARK(BM_ConvertNorthwind)
    ->ArgName("reader_process")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);

// A larger file (4 MB, 11,000 rows), for the speed in rows a second.
void BM_ConvertXtreme(benchmark::State& state) {
    convertJetFixture(state, "more/xtreme_crystal.mdb");
}
BENCHMARK(BM_ConvertXtreme)
    ->ArgName("reader_process")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);

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
        } catch (const data::DbError& e) {
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
