// The same work on a PostgreSQL server as on the files: the remaining-life rebuild of a
// 300-component aircraft, the aircraft set-up screen's open and its choice of aircraft, and
// the fleet due list of a million component rows. The fleets are copied to the server once
// (velmora-migrate's copy) into the empty database named by $VELMORA_BENCH_PG (a
// postgresql:// URI; start one with tests/support/pg-test-server.sh).
#include "BenchFleet.h"
#include "RowReading.h"
#include "ScreenOpening.h"
#include "data/DataFiles.h"
#include "data/DataSetMigration.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "due/DueFilter.h"
#include "due/DueList.h"
#include "remaining/RemainingLifeRebuild.h"
#include "utilisation/PlannedUtilisation.h"

#include <QUrl>

#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <map>

namespace velmora::bench {

namespace {

// Runs one statement on the server of $VELMORA_BENCH_PG; false when it fails.
bool runOnServer(const QString& uri, const QString& sql, QString* error) {
    PGconn* conn = PQconnectdb(uri.toUtf8().constData());
    bool ok = PQstatus(conn) == CONNECTION_OK;
    if (ok) {
        PGresult* r = PQexec(conn, sql.toUtf8().constData());
        ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
    }
    if (!ok)
        *error = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    PQfinish(conn);
    return ok;
}

// The data path on the server of a fleet: a database of its own (velmora_bench_NAME, made
// afresh), into which the fleet is copied on first use.
QString serverCopy(benchmark::State& state, BenchFleet* fleet, const QString& name) {
    static std::map<const BenchFleet*, QString> copied;
    if (auto it = copied.find(fleet); it != copied.end())
        return it->second;
    const QString server = qEnvironmentVariable("VELMORA_BENCH_PG");
    if (server.isEmpty()) {
        state.SkipWithError(
            "set VELMORA_BENCH_PG to a postgresql:// URI whose user may create "
            "databases");
        return {};
    }
    const QString database = QStringLiteral("velmora_bench_") + name;
    QString error;
    if (!runOnServer(server,
                     QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database),
                     &error) ||
        !runOnServer(server, QStringLiteral("CREATE DATABASE %1").arg(database), &error)) {
        state.SkipWithError(qPrintable(error));
        return {};
    }
    QUrl url(server);
    url.setPath(u'/' + database);
    const QString dataPath = url.toString();
    try {
        data::migrateDataSet(fleet->dataPath, dataPath);
    } catch (const data::DbError& e) {
        state.SkipWithError(qPrintable(e.text()));
        return {};
    }
    // A data set in use has had its tables vacuumed and analysed; a fresh copy would have the
    // server doing that in the background while the benchmarks run.
    if (!runOnServer(dataPath, QStringLiteral("VACUUM (ANALYZE)"), &error)) {
        state.SkipWithError(qPrintable(error));
        return {};
    }
    copied[fleet] = dataPath;
    return dataPath;
}

// The remaining-life fleet on the server, held open as the program holds its data set while
// a screen or a command runs; no data path where the benchmark was skipped.
struct HeldServerFleet {
    BenchFleet* fleet = nullptr;
    QString dataPath;
    std::shared_ptr<data::Database> db;
};

HeldServerFleet heldServerFleet(benchmark::State& state) {
    HeldServerFleet held;
    held.fleet = benchFleetFor(state);
    if (!held.fleet)
        return held;
    held.dataPath = serverCopy(state, held.fleet, QStringLiteral("remaining"));
    if (!held.dataPath.isEmpty())
        held.db = data::Database::open(data::dataFileName(held.dataPath, data::files::kMain));
    return held;
}

void BM_RemainingLifeRebuildOnServer(benchmark::State& state) {
    const HeldServerFleet held = heldServerFleet(state);
    if (held.dataPath.isEmpty())
        return;
    BenchFleet* fleet = held.fleet;
    const QString& dataPath = held.dataPath;
    RowTally tally;
    for (auto _ : state) {
        auto result = remaining::rebuildRemainingLife(dataPath, fleet->targetRegNum,
                                                      remaining::MeterView::Both);
        if (!result.failures.isEmpty() || !result.rows) {
            state.SkipWithError(qPrintable(result.failures.join(QStringLiteral("; "))));
            break;
        }
        tally = readRecordset(*result.rows);
        benchmark::DoNotOptimize(tally.checksum);
    }
    state.counters["rows"] = tally.rows;
}
BENCHMARK(BM_RemainingLifeRebuildOnServer)->Unit(benchmark::kMicrosecond);

// The aircraft set-up screen opened on the server, its first aircraft's components drawn,
// while the program holds the data set open: the counterpart of BM_AircraftScreenOpen on the
// files, on the same fleet.
void BM_AircraftScreenOpenOnServer(benchmark::State& state) {
    const HeldServerFleet held = heldServerFleet(state);
    if (held.dataPath.isEmpty())
        return;
    for (auto _ : state) {
        if (!openAircraftScreen(state, held.dataPath))
            return;
    }
}
BENCHMARK(BM_AircraftScreenOpenOnServer)->Unit(benchmark::kMillisecond);

// The time remaining screen's open on the server while the program holds the data set open:
// the counterpart of BM_RemainingScreenOpen on the files, on the same fleet.
void BM_RemainingScreenOpenOnServer(benchmark::State& state) {
    const HeldServerFleet held = heldServerFleet(state);
    if (held.dataPath.isEmpty())
        return;
    for (auto _ : state) {
        if (!openRemainingScreen(state, held.dataPath))
            return;
    }
}
BENCHMARK(BM_RemainingScreenOpenOnServer)->Unit(benchmark::kMillisecond);

// The same screen opened from the menu with no other screen open: the screen opens the data
// set itself, and lets it go when it closes.
void BM_AircraftScreenOpenOnServerAlone(benchmark::State& state) {
    BenchFleet* fleet = benchFleetFor(state);
    if (!fleet)
        return;
    const QString dataPath = serverCopy(state, fleet, QStringLiteral("remaining"));
    if (dataPath.isEmpty())
        return;
    for (auto _ : state) {
        if (!openAircraftScreen(state, dataPath))
            return;
    }
}
BENCHMARK(BM_AircraftScreenOpenOnServerAlone)->Unit(benchmark::kMillisecond);

// Choosing aircraft in turn on the open screen, on the server: the counterpart of
// BM_AircraftScreenChooseAircraft on the files.
void BM_AircraftScreenChooseAircraftOnServer(benchmark::State& state) {
    const HeldServerFleet held = heldServerFleet(state);
    if (held.dataPath.isEmpty())
        return;
    chooseAircraftInTurn(state, held.dataPath);
}
BENCHMARK(BM_AircraftScreenChooseAircraftOnServer)->Unit(benchmark::kMillisecond);

void BM_DueListComputeOnServer(benchmark::State& state) {
    QString error;
    BenchFleet* fleet = dueListBenchFleet(&error);
    if (!fleet) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    const QString dataPath = serverCopy(state, fleet, QStringLiteral("due"));
    if (dataPath.isEmpty())
        return;
    auto db = data::Database::open(data::dataFileName(dataPath, data::files::kMain));
    std::size_t rows = 0;
    for (auto _ : state) {
        try {
            const auto use = utilisation::PlannedUtilisation::read(*db);
            const due::DueList list =
                due::computeDueList(*db, use, due::WarningSettings{}, fleet->spec.today);
            const std::vector<int> order = due::selectDue(list, {});
            rows = order.size();
            benchmark::DoNotOptimize(order.data());
        } catch (const data::DbError& e) {
            state.SkipWithError(qPrintable(e.text()));
            break;
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_DueListComputeOnServer)->Unit(benchmark::kMillisecond)->MinTime(3);

// A GROUP BY of a text column over the 320,000 components of the fleet on the server. Arg 0
// groups by the column as the server's collation of it does (letter case aside, trailing
// blanks not), as Jet's GROUP BY was written for the server before; Arg 1 as it is written
// now, texts alike but for letter case and trailing blanks in one group showing the least
// spelling; Arg 2 is the Jet statement itself, read into a record set.
void BM_GroupByTextOnServer(benchmark::State& state) {
    const HeldServerFleet held = heldServerFleet(state);
    if (held.dataPath.isEmpty())
        return;
    const auto& db = held.db;
    const QString sql =
        state.range(0) == 0
            ? QStringLiteral("SELECT PartNumber, Count(*) FROM Parts GROUP BY PartNumber")
            : QStringLiteral(
                  "SELECT jet_spelling(PartNumber), Count(*) FROM Parts GROUP BY "
                  "jet_group(PartNumber)");
    std::size_t rows = 0;
    for (auto _ : state) {
        try {
            rows = 0;
            if (state.range(0) == 2) {
                auto rs = db->openRecordset(QStringLiteral(
                    "SELECT PartNumber, Count(*) AS n FROM Parts GROUP BY PartNumber"));
                for (; !rs->eof(); rs->moveNext())
                    ++rows;
            } else {
                db->forEachRow(sql, {}, [&](const std::vector<data::Value>&) { ++rows; });
            }
        } catch (const data::DbError& e) {
            state.SkipWithError(qPrintable(e.text()));
            break;
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_GroupByTextOnServer)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace velmora::bench
