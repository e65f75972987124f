// The physical floor for the remaining-life list: one hand-written query on SQLite itself,
// prepared, bound and stepped every time, every column read by its type.
#include "BenchFleet.h"
#include "RawRemainingLife.h"
#include "RowReading.h"
#include "remaining/RemainingLifeQuery.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace velmora::bench {

namespace {

// Whether the raw query gives what the engine gives, so that the two measure the same
// work; the reason when it does not.
QString checkAgainstEngine(BenchFleet& fleet, sqlite3* db) {
    try {
        auto rs = fleet.db->openRecordset(
            remaining::remainingLifeSql(fleet.targetRegNum, remaining::MeterView::Both));
        const QString difference = compareWithRecordset(db, fleet.targetRegNum, *rs);
        if (!difference.isEmpty())
            return QStringLiteral("the raw query differs from the engine's: ") + difference;
    } catch (const data::DbError& e) {
        return QStringLiteral("the engine's rows could not be read: ") + e.text();
    }
    return {};
}

void BM_RemainingLifeRawSqlite(benchmark::State& state) {
    BenchFleet* fleet = benchFleetForInstalled(state);
    if (!fleet)
        return;
    RawConnection conn(fleet->fleet.mainFile);
    if (!conn.error().isEmpty()) {
        state.SkipWithError(qPrintable(conn.error()));
        return;
    }
    if (const QString problem = checkAgainstEngine(*fleet, conn.get()); !problem.isEmpty()) {
        state.SkipWithError(qPrintable(problem));
        return;
    }
    const QByteArray sql = rawRemainingLifeSql();
    const QByteArray reg = fleet->targetRegNum.toUtf8();
    RowTally tally;
    for (auto _ : state) {
        if (const QString failed = tallyStatement(conn.get(), sql, &reg, &tally);
            !failed.isEmpty()) {
            state.SkipWithError(qPrintable(failed));
            break;
        }
        benchmark::DoNotOptimize(tally.checksum);
    }
    state.counters["rows"] = tally.rows;
    state.counters["columns"] = tally.columns;
}
BENCHMARK(BM_RemainingLifeRawSqlite)->Arg(300)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace velmora::bench
