// What moving a component costs: removing a 10-limit component from an aircraft of 2,000
// components and installing it again (each one transaction with its history and journal
// lines), and reading the history of a component with 1,000 events; and printing the
// life-limited parts report of that aircraft.
#include "components/ComponentEvents.h"
#include "components/ComponentMoves.h"
#include "components/LifeLimitedStatus.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "utilisation/UtilisationSource.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace velmora::bench {

namespace {

const QDate kDay(2025, 6, 15);

// A main data file with N1 (2,000 one-limit components and GB-1/S1 with ten limits) and N2.
struct ComponentFleet {
    QTemporaryDir dir;
    std::shared_ptr<data::Database> db;

    ComponentFleet() {
        const QString file = dir.filePath(QStringLiteral("Timemgr.mdb"));
        data::schema::createMainFile(file);
        db = data::Database::open(file);
        data::Transaction tx(*db);
        db->execute(
            QStringLiteral("INSERT INTO Aircraft (RegNum, TotalTime, TotalTime2, "
                           "TotalLandings, TotalCycles, TotalRIN) VALUES ('N1', 1000, "
                           "500, 4000, 300, 50)"));
        db->execute(
            QStringLiteral("INSERT INTO Aircraft (RegNum, TotalTime, TotalTime2, "
                           "TotalLandings, TotalCycles, TotalRIN) VALUES ('N2', 2000, "
                           "800, 100, 20, 5)"));
        const QString insert = QStringLiteral(
            "INSERT INTO Parts (RegNum, ItemNumber, MeterNumber, Active, PartNumber, [Serial#], "
            "LifeBasis, LifeNumber, InstallTimeLeft, InstallACHour, InstallDate) VALUES ('N1', "
            "?1, 1, Yes, ?2, ?3, ?4, 5000, 100, 900, #1/1/2025#)");
        for (int i = 0; i < 2000; ++i)
            db->execute(insert, {data::Value(i + 1), data::Value(QStringLiteral("P-%1").arg(i)),
                                 data::Value(QStringLiteral("S-%1").arg(i)),
                                 data::Value(QStringLiteral("RT"))});
        const char* bases[] = {"RT", "OH", "IN", "LD", "CY", "RN", "MO", "RT", "OH", "IN"};
        for (const char* basis : bases)
            db->execute(insert, {data::Value(2001), data::Value(QStringLiteral("GB-1")),
                                 data::Value(QStringLiteral("S1")), data::Value(basis)});
        tx.commit();
    }
    void remove(const QString& from) {
        components::Removal r;
        r.key = {QStringLiteral("GB-1"), QStringLiteral("S1")};
        r.regNum = from;
        r.date = kDay;
        r.reason = QStringLiteral("to another aircraft");
        components::removeComponent(*db, r, kDay);
    }
    void install(const QString& on) {
        components::Installation in;
        in.key = {QStringLiteral("GB-1"), QStringLiteral("S1")};
        in.regNum = on;
        in.itemNumber = 7;
        in.date = kDay;
        in.acceptReachedLimits = true;
        components::installComponent(*db, in, kDay);
    }
};

void BM_RemoveAndInstallTenLimitComponent(benchmark::State& state) {
    ComponentFleet fleet;
    fleet.remove(QStringLiteral("N1"));  // the history's tables and baselines are made once
    fleet.install(QStringLiteral("N1"));
    for (auto _ : state) {
        fleet.remove(QStringLiteral("N1"));
        fleet.install(QStringLiteral("N1"));
    }
}
BENCHMARK(BM_RemoveAndInstallTenLimitComponent)->Unit(benchmark::kMillisecond);

void BM_HistoryOfThousandEvents(benchmark::State& state) {
    ComponentFleet fleet;
    for (int i = 0; i < 500; ++i) {
        fleet.remove(QStringLiteral("N1"));
        fleet.install(QStringLiteral("N1"));
    }
    for (auto _ : state) {
        const auto events =
            components::readHistory(*fleet.db, {QStringLiteral("GB-1"), QStringLiteral("S1")});
        benchmark::DoNotOptimize(events.size());
    }
}
BENCHMARK(BM_HistoryOfThousandEvents)->Unit(benchmark::kMillisecond);

// The life-limited parts report of the aircraft of 2,000 components, read and written to a
// PDF file, with the history's tables in place (every component's baseline, and the
// gearbox removed, overhauled and fitted again).
void BM_LifeLimitedReportToPdf(benchmark::State& state) {
    ComponentFleet fleet;
    fleet.remove(QStringLiteral("N1"));
    components::Overhaul o;
    o.key = {QStringLiteral("GB-1"), QStringLiteral("S1")};
    o.date = kDay;
    o.resetBases = {QStringLiteral("OH")};
    components::overhaulComponent(*fleet.db, o, kDay);
    fleet.install(QStringLiteral("N1"));
    const QString pdf = fleet.dir.filePath(QStringLiteral("llp.pdf"));
    for (auto _ : state) {
        const auto status = components::readLifeLimitedStatus(*fleet.db, QStringLiteral("N1"),
                                                              utilisation::NoUtilisation(),
                                                              due::WarningSettings{}, kDay);
        const auto table = components::lifeLimitedTable(status);
        if (const auto failure =
                exporting::writeTablePdf(components::lifeLimitedPrintJob(status, *table, {}), pdf))
            state.SkipWithError(failure->text.toStdString().c_str());
    }
}
BENCHMARK(BM_LifeLimitedReportToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace velmora::bench
