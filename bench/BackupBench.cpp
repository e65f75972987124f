// What the backups cost on a fleet's main data file: the check for damage that start-up and
// the first change of a session run, and the daily backup (copy and check of the copy).
#include "BenchFleet.h"
#include "backup/Backups.h"
#include "data/DatabaseCopy.h"

#include <QDir>
#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace velmora::bench {

namespace {

void BM_QuickCheckFleetFile(benchmark::State& state) {
    BenchFleet* fleet = benchFleetFor(state);
    if (!fleet)
        return;
    const QString file = fleet->db->path();
    for (auto _ : state) {
        const data::FileCheck check = data::checkDatabaseFile(file);
        if (!check.intact) {
            state.SkipWithError(qPrintable(check.problems));
            break;
        }
    }
    state.counters["MB"] = QFileInfo(file).size() / 1e6;
}
BENCHMARK(BM_QuickCheckFleetFile)->Unit(benchmark::kMillisecond);

void BM_DailyBackupOfFleetFile(benchmark::State& state) {
    BenchFleet* fleet = benchFleetFor(state);
    if (!fleet)
        return;
    const QString file = fleet->db->path();
    QDateTime taken(QDate(2026, 12, 6), QTime(8, 0));
    for (auto _ : state) {
        const backup::BackupOutcome out = backup::makeBackup({file}, backup::Reason::Daily, taken);
        if (!out.failures.isEmpty()) {
            state.SkipWithError(qPrintable(out.failures.join(u' ')));
            break;
        }
        state.PauseTiming();
        QDir(backup::backupFolderFor(file)).removeRecursively();
        taken = taken.addDays(1);
        state.ResumeTiming();
    }
    const double megabytes = QFileInfo(file).size() / 1e6;
    state.counters["MB"] = megabytes;
    state.counters["MB_copied"] = benchmark::Counter(
        megabytes * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DailyBackupOfFleetFile)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace velmora::bench
