// The fleet due list on a million component rows: the whole list computed, and a
// hand-written SQLite query that computes the same remaining values, for comparison.
#include "BenchDialogs.h"
#include "BenchFleet.h"
#include "RawRemainingLife.h"
#include "RowReading.h"
#include "due/DueFilter.h"
#include "due/DueList.h"
#include "due/DueListTable.h"
#include "due/screen/frmDueList.h"
#include "utilisation/PlannedUtilisation.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cmath>

namespace velmora::bench {

namespace {

BenchFleet* dueFleet(benchmark::State& state) {
    QString error;
    BenchFleet* fleet = dueListBenchFleet(&error);
    if (!fleet)
        state.SkipWithError(qPrintable(error));
    return fleet;
}

// Forgets the process's peak memory so far, so that the next peak is the work's own.
void resetPeakMemory() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// The process's peak resident memory since the last reset, in megabytes.
double peakMemoryMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// The remaining value of every installed component of the fleet, written by hand for
// SQLite: the aircraft total of the component's basis and meter, CASE WHEN for the bases,
// SQLite's date function for the months.
const char* const kRawDueSql =
    "SELECT a.RegNum, p.ItemNumber, p.Description, p.PartNumber, p.[Serial#], p.MeterNumber, "
    "p.LifeBasis, p.LifeNumber, "
    "p.LifeNumber - p.InstallTimeLeft - (CASE "
    " WHEN p.LifeBasis IN ('RT','OH','IN') AND p.MeterNumber = 1 THEN a.TotalTime"
    " WHEN p.LifeBasis IN ('RT','OH','IN') AND p.MeterNumber = 2 THEN a.TotalTime2"
    " WHEN p.LifeBasis = 'LD' THEN a.TotalLandings"
    " WHEN p.LifeBasis = 'CY' THEN a.TotalCycles"
    " WHEN p.LifeBasis = 'RN' THEN a.TotalRIN END - p.InstallACHour) AS Remaining, "
    "CASE WHEN p.LifeBasis = 'MO' THEN date(p.InstallDate, '+' || "
    "CAST(round(p.LifeNumber) AS INTEGER) || ' months') END AS RetireDate "
    "FROM Aircraft a JOIN Parts p ON a.RegNum = p.RegNum WHERE p.Active = -1";

// Whether the raw query's remaining values are the due list's, so that the two measure the
// same work; the first difference when they are not.
QString compareWithDueList(sqlite3* db, const due::DueList& list) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, kRawDueSql, -1, &st, nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    QHash<QString, const due::DueEntry*> byKey;
    for (const due::DueEntry& e : list.entries)
        byKey.insert(list.regNum(e) + u'/' + QString::number(e.itemNumber), &e);
    QString difference;
    int rows = 0;
    while (difference.isEmpty() && sqlite3_step(st) == SQLITE_ROW) {
        ++rows;
        const QString key =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) + u'/' +
            QString::number(sqlite3_column_int(st, 1));
        const due::DueEntry* e = byKey.value(key);
        if (!e) {
            difference = QStringLiteral("%1 is not in the due list").arg(key);
            break;
        }
        if (e->basisKind() == due::Basis::MO) {
            const QString raw =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 9)));
            if (raw != e->dueDate().toString(Qt::ISODate))
                difference = QStringLiteral("%1: retires %2 by SQLite, %3 by the due list")
                                 .arg(key, raw, e->dueDate().toString(Qt::ISODate));
        } else if (!e->remaining || sqlite3_column_double(st, 8) != *e->remaining) {
            difference = QStringLiteral("%1: %2 left by SQLite, %3 by the due list")
                             .arg(key)
                             .arg(sqlite3_column_double(st, 8))
                             .arg(e->remaining ? *e->remaining : NAN);
        }
    }
    sqlite3_finalize(st);
    if (difference.isEmpty() && rows != static_cast<int>(list.entries.size()))
        difference = QStringLiteral("SQLite gives %1 rows, the due list %2")
                         .arg(rows)
                         .arg(list.entries.size());
    return difference;
}

// The whole list: every installed component of every aircraft with its remaining life,
// due date and warning level, read from the file, then put in due-date order.
void BM_DueListCompute(benchmark::State& state) {
    BenchFleet* fleet = dueFleet(state);
    if (!fleet)
        return;
    std::size_t rows = 0;
    double peak = 0;
    for (auto _ : state) {
        resetPeakMemory();
        try {
            const auto use = utilisation::PlannedUtilisation::read(*fleet->db);
            const due::DueList list =
                due::computeDueList(*fleet->db, use, due::WarningSettings{}, fleet->spec.today);
            const std::vector<int> order = due::selectDue(list, {});
            rows = order.size();
            benchmark::DoNotOptimize(order.data());
        } catch (const data::DbError& e) {
            state.SkipWithError(qPrintable(e.text()));
            break;
        }
        peak = std::max(peak, peakMemoryMb());
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["peakRSS_MB"] = peak;
}
BENCHMARK(BM_DueListCompute)->Unit(benchmark::kMillisecond)->MinTime(3);

// The Due List screen opened on the fleet until its first screenful of lines is painted: the
// list read and computed, ordered, and the grid drawn.
void BM_DueListFirstScreen(benchmark::State& state) {
    BenchFleet* fleet = dueFleet(state);
    if (!fleet)
        return;
    int rows = 0, shown = 0;
    double peak = 0;
    for (auto _ : state) {
        resetPeakMemory();
        due::frmDueList::Options options;
        options.request.dataPath = fleet->dataPath;
        options.request.today = fleet->spec.today;
        due::frmDueList screen(options);
        screen.show();
        QCoreApplication::processEvents();
        const QPixmap picture = screen.grab();
        benchmark::DoNotOptimize(picture.cacheKey());
        rows = screen.table().rowCount();
        const auto* grid = screen.findChild<QTableView*>(QStringLiteral("grdDueList"));
        shown = grid->rowAt(grid->viewport()->height() - 1) + 1;
        peak = std::max(peak, peakMemoryMb());
        if (!noMessageShown(state))
            break;
    }
    state.counters["rows"] = rows;
    state.counters["linesOnScreen"] = shown;
    state.counters["peakRSS_MB"] = peak;
}
BENCHMARK(BM_DueListFirstScreen)->Unit(benchmark::kMillisecond)->MinTime(3);

// The same remaining values by one hand-written query on SQLite itself, every column of
// every row read by its type.
void BM_DueListRawSqlite(benchmark::State& state) {
    BenchFleet* fleet = dueFleet(state);
    if (!fleet)
        return;
    RawConnection conn(fleet->fleet.mainFile);
    if (!conn.error().isEmpty()) {
        state.SkipWithError(qPrintable(conn.error()));
        return;
    }
    try {
        const due::DueList list =
            due::computeDueList(*fleet->db, utilisation::PlannedUtilisation::read(*fleet->db),
                                due::WarningSettings{}, fleet->spec.today);
        if (const QString d = compareWithDueList(conn.get(), list); !d.isEmpty()) {
            state.SkipWithError(qPrintable(QStringLiteral("the raw query differs: ") + d));
            return;
        }
    } catch (const data::DbError& e) {
        state.SkipWithError(qPrintable(e.text()));
        return;
    }
    RowTally tally;
    const QByteArray sql(kRawDueSql);
    for (auto _ : state) {
        if (const QString failed = tallyStatement(conn.get(), sql, nullptr, &tally);
            !failed.isEmpty()) {
            state.SkipWithError(qPrintable(failed));
            break;
        }
        benchmark::DoNotOptimize(tally.checksum);
    }
    state.counters["rows"] = tally.rows;
}
BENCHMARK(BM_DueListRawSqlite)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

}  // namespace velmora::bench
