// The remaining-life list of one aircraft, rebuilt the way the time remaining screen
// rebuilds it, and the parts of that rebuild on their own.
#include "BenchFleet.h"
#include "RowReading.h"
#include "remaining/RemainingLifeRebuild.h"

#include <benchmark/benchmark.h>

namespace velmora::bench {

namespace {

using remaining::MeterView;

void report(benchmark::State& state, const RowTally& t) {
    state.counters["rows"] = t.rows;
    state.counters["columns"] = t.columns;
}

bool rebuildAndRead(benchmark::State& state, const BenchFleet& fleet, RowTally* tally) {
    auto result =
        remaining::rebuildRemainingLife(fleet.dataPath, fleet.targetRegNum, MeterView::Both);
    if (!result.failures.isEmpty() || !result.rows) {
        state.SkipWithError(qPrintable(QStringLiteral("the rebuild failed: ") +
                                       result.failures.join(QStringLiteral("; "))));
        return false;
    }
    *tally = readRecordset(*result.rows);
    benchmark::DoNotOptimize(tally->checksum);
    return true;
}

// The whole rebuild (query text, stored query created, rows opened through it, query
// deleted) with every value of the result read, while the program holds the file open.
void BM_RemainingLifeRebuild(benchmark::State& state) {
    BenchFleet* fleet = benchFleetForInstalled(state);
    if (!fleet)
        return;
    RowTally tally;
    for (auto _ : state) {
        if (!rebuildAndRead(state, *fleet, &tally))
            break;
    }
    report(state, tally);
}
BENCHMARK(BM_RemainingLifeRebuild)->Arg(300)->Unit(benchmark::kMicrosecond);

// The same, with nothing else holding the file: every rebuild opens it afresh.
void BM_RemainingLifeRebuildOpeningFile(benchmark::State& state) {
    BenchFleet* fleet = benchFleetForInstalled(state);
    if (!fleet)
        return;
    fleet->db.reset();
    RowTally tally;
    for (auto _ : state) {
        if (!rebuildAndRead(state, *fleet, &tally))
            break;
    }
    report(state, tally);
    try {
        fleet->db = data::Database::open(fleet->fleet.mainFile);
    } catch (const data::DbError& e) {
        state.SkipWithError(qPrintable(e.text()));
    }
}
BENCHMARK(BM_RemainingLifeRebuildOpeningFile)->Arg(300)->Unit(benchmark::kMicrosecond);

// Only the query's rows: the SQL text opened directly, with no stored query written.
void BM_RemainingLifeOpenSqlText(benchmark::State& state) {
    BenchFleet* fleet = benchFleetForInstalled(state);
    if (!fleet)
        return;
    const QString sql = remaining::remainingLifeSql(fleet->targetRegNum, MeterView::Both);
    RowTally tally;
    for (auto _ : state) {
        try {
            auto rs = fleet->db->openRecordset(sql);
            tally = readRecordset(*rs);
            benchmark::DoNotOptimize(tally.checksum);
        } catch (const data::DbError& e) {
            state.SkipWithError(qPrintable(e.text()));
            break;
        }
    }
    report(state, tally);
}
BENCHMARK(BM_RemainingLifeOpenSqlText)->Arg(300)->Unit(benchmark::kMicrosecond);

// Only the stored query's life: created and deleted again, with nothing read.
void BM_RemainingLifeStoredQueryWrites(benchmark::State& state) {
    BenchFleet* fleet = benchFleetForInstalled(state);
    if (!fleet)
        return;
    const QString sql = remaining::remainingLifeSql(fleet->targetRegNum, MeterView::Both);
    for (auto _ : state) {
        try {
            fleet->db->createQueryDef(remaining::kWorkingQueryName, sql);
            fleet->db->deleteQueryDef(remaining::kWorkingQueryName);
        } catch (const data::DbError& e) {
            state.SkipWithError(qPrintable(e.text()));
            break;
        }
    }
}
BENCHMARK(BM_RemainingLifeStoredQueryWrites)->Arg(300)->Unit(benchmark::kMicrosecond);

// Only reading: every value of an open result, row by row.
void BM_RemainingLifeReadValues(benchmark::State& state) {
    BenchFleet* fleet = benchFleetForInstalled(state);
    if (!fleet)
        return;
    std::unique_ptr<data::Recordset> rs;
    try {
        rs = fleet->db->openRecordset(
            remaining::remainingLifeSql(fleet->targetRegNum, MeterView::Both));
    } catch (const data::DbError& e) {
        state.SkipWithError(qPrintable(e.text()));
        return;
    }
    RowTally tally;
    for (auto _ : state) {
        tally = readRecordset(*rs);
        benchmark::DoNotOptimize(tally.checksum);
    }
    report(state, tally);
}
BENCHMARK(BM_RemainingLifeReadValues)->Arg(300)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace velmora::bench
