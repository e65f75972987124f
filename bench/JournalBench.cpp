// What the entry journal costs: a meter entry (three columns of an aircraft saved and
// committed to the disk) with its journal lines against the same entry on a file whose
// changes are not journalled, and the journal check over a million lines.
#include "data/Database.h"
#include "data/Recordset.h"
#include "data/Schema.h"
#include "journal/JournalCheck.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace velmora::bench {

namespace {

// A main data file with a fleet of aircraft; journalled unless the components table is
// taken away (the engine then no longer treats it as a main data file).
std::shared_ptr<data::Database> meterFile(const QTemporaryDir& dir, bool journalled) {
    const QString path = dir.filePath(journalled ? "with.mdb" : "without.mdb");
    data::schema::createMainFile(path);
    auto db = data::Database::open(path);
    if (!journalled)
        db->execute(QStringLiteral("DROP TABLE Parts"));
    data::Transaction tx(*db);
    for (int i = 0; i < 50; ++i)
        db->execute(QStringLiteral("INSERT INTO Aircraft (RegNum, CurrentMeter1, LastMeter1, "
                                   "TotalTime) VALUES ('N%1', 1000, 990, 5000)")
                        .arg(i));
    tx.commit();
    return db;
}

void meterEntries(benchmark::State& state, bool journalled) {
    QTemporaryDir dir;
    auto db = meterFile(dir, journalled);
    auto rs = db->openRecordset(QStringLiteral("Aircraft"));
    double reading = 1000;
    for (auto _ : state) {
        // The meter rule: the new reading, the last one, the total.
        reading += 1.5;
        rs->edit();
        rs->setValue(QStringLiteral("LastMeter1"), data::Value(reading - 1.5));
        rs->setValue(QStringLiteral("CurrentMeter1"), data::Value(reading));
        rs->setValue(QStringLiteral("TotalTime"), data::Value(reading + 4000));
        rs->update();
    }
}

void BM_MeterEntryJournalled(benchmark::State& state) {
    meterEntries(state, true);
}
BENCHMARK(BM_MeterEntryJournalled)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

void BM_MeterEntryNotJournalled(benchmark::State& state) {
    meterEntries(state, false);
}
BENCHMARK(BM_MeterEntryNotJournalled)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

// A million lines: 10,000 components whose life is changed a hundred times, each change of
// all of them one statement in one transaction.
void BM_VerifyMillionLines(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("journal.mdb");
    data::schema::createMainFile(path);
    auto db = data::Database::open(path);
    {
        data::Transaction tx(*db);
        db->execute(QStringLiteral("INSERT INTO Aircraft (RegNum) VALUES ('N1')"));
        for (int i = 0; i < 9999; ++i)
            db->executeBound(QStringLiteral("INSERT INTO Parts (RegNum, ItemNumber, LifeNumber) "
                                            "VALUES ('N1', ?1, 0)"),
                             {data::Value(i)});
        tx.commit();
    }
    for (int round = 1; round <= 99; ++round)
        db->execute(QStringLiteral("UPDATE Parts SET LifeNumber = %1").arg(round));
    std::int64_t lines = 0;
    for (auto _ : state) {
        const journal::CheckResult r = journal::checkJournal(*db);
        if (!r.intact) {
            state.SkipWithError(qPrintable(r.problem));
            break;
        }
        lines = r.lines;
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_VerifyMillionLines)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

}  // namespace velmora::bench
