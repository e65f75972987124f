// What the entry journal costs: a meter entry (three columns of an aircraft saved and
// committed to the disk) with its journal lines against the same entry on a file whose
// changes are not journalled, and the journal check over a million lines.
#include "data/Database.h"
#include "data/Recordset.h"
#include "data/Schema.h"
#include "journal/JournalChain.h"
#include "journal/JournalCheck.h"
#include "journal/JournalUtilisation.h"

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
// all of them one statement in one transaction; then 200 aircraft whose hours are entered a
// hundred times (40,000 lines more). Made once for the benchmarks that read it.
std::shared_ptr<data::Database> millionLineFile() {
    static QTemporaryDir dir;
    static std::shared_ptr<data::Database> db;
    if (db)
        return db;
    const QString path = dir.filePath("journal.mdb");
    data::schema::createMainFile(path);
    db = data::Database::open(path);
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
    {
        data::Transaction tx(*db);
        for (int i = 2; i <= 200; ++i)
            db->executeBound(
                QStringLiteral("INSERT INTO Aircraft (RegNum, TotalTime) VALUES (?1, 1000)"),
                {data::Value(QStringLiteral("N%1").arg(i))});
        tx.commit();
    }
    for (int entry = 1; entry <= 100; ++entry)
        db->execute(QStringLiteral("UPDATE Aircraft SET TotalTime = TotalTime + 2.5"));
    return db;
}

void BM_VerifyMillionLines(benchmark::State& state) {
    auto db = millionLineFile();
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

// The check of the chain when the program opens the file: from the anchor the settings file
// keeps (the newest line the program saw), with a day's meter entries of the fleet (200
// lines) added since by another workstation; and without an anchor, the whole chain once.
void BM_OpeningCheckFromTheAnchor(benchmark::State& state) {
    auto db = millionLineFile();
    journal::ChainPoint anchor;
    db->forEachRow(QStringLiteral("SELECT Seq, Hash FROM Journal ORDER BY Seq DESC LIMIT 1 "
                                  "OFFSET 200"),
                   {}, [&](const std::vector<data::Value>& r) {
                       anchor.seq = r[0].toInt();
                       anchor.hash = r[1].toString();
                   });
    std::int64_t lines = 0;
    for (auto _ : state) {
        const journal::ChainCheck c = journal::checkChainSince(*db, anchor);
        if (!c.intact) {
            state.SkipWithError(qPrintable(c.problem));
            break;
        }
        lines = c.linesRead;
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_OpeningCheckFromTheAnchor)->Unit(benchmark::kMillisecond);

void BM_OpeningCheckWithoutAnAnchor(benchmark::State& state) {
    auto db = millionLineFile();
    for (auto _ : state) {
        const journal::ChainCheck c = journal::checkChainSince(*db, std::nullopt);
        if (!c.intact) {
            state.SkipWithError(qPrintable(c.problem));
            break;
        }
    }
}
BENCHMARK(BM_OpeningCheckWithoutAnAnchor)->Unit(benchmark::kMillisecond)->Iterations(3);

// The daily utilisation of every aircraft from the same journal, as the due list and the
// forecast read it: only the aircraft totals' lines of the last 90 days.
void BM_JournalUtilisationOfTheFleet(benchmark::State& state) {
    auto db = millionLineFile();
    for (auto _ : state) {
        const auto use = journal::JournalUtilisation::read(*db, QDate::currentDate(), 90, {});
        benchmark::DoNotOptimize(use.utilisation(QStringLiteral("N7")).journalDays);
    }
}
BENCHMARK(BM_JournalUtilisationOfTheFleet)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace velmora::bench
