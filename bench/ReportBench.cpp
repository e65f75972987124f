// The actual remaining-life report of one aircraft rendered to PDF, as velmora-report and
// the print preview's "Save as PDF" render it: definition read, data source opened and
// selected, values formatted, pages laid out and written.
#include "BenchFleet.h"
#include "data/Database.h"
#include "reportfiles/ReportDefinition.h"
#include "reportfiles/ReportQueries.h"
#include "reports/ReportPreview.h"
#include "reports/ReportSelection.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace velmora::bench {

namespace {

// A data folder with the report definitions and a fleet of the given size.
struct ReportFolder {
    std::unique_ptr<QTemporaryDir> dir;
    QString folder;
    QString targetRegNum;
};

bool prepare(const QString& folder, QString* error) {
    try {
        auto db = data::Database::open(QDir(folder).filePath(QStringLiteral("Timemgr.mdb")));
        reports::ensureReportQueries(*db);
        reports::writeDefaultReportDefinitions(folder);
    } catch (const data::DbError& e) {
        *error = e.text();
        return false;
    }
    return true;
}

void renderLoop(benchmark::State& state, const QString& folder, const QString& reg) {
    reports::ReportJob job;
    job.reportFile = QDir(folder).filePath(reports::kActualReportFile);
    job.dataFile = QStringLiteral("TimeMgr.mdb");
    job.selectionFormula = reports::selectionFormulaFor(reports::kRemainingSource, reg);
    job.companyName = QStringLiteral("Benchmark Aviation");
    job.companyPhone = QStringLiteral("555-0100");
    const QString pdf = QDir(folder).filePath(QStringLiteral("bench-report.pdf"));
    for (auto _ : state) {
        if (const auto failure = reports::renderReportToPdf(job, pdf)) {
            state.SkipWithError(qPrintable(failure->text));
            return;
        }
    }
    state.counters["pdf_kB"] = static_cast<double>(QFileInfo(pdf).size()) / 1024.0;
}

// On the shared fleet file (1,000 aircraft of 300 installed components).
void BM_ActualReportPdf(benchmark::State& state) {
    BenchFleet* fleet = benchFleetForInstalled(state);
    if (!fleet)
        return;
    const QString folder = fleet->dir->path();
    QString error;
    if (!prepare(folder, &error)) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    renderLoop(state, folder, fleet->targetRegNum);
}
BENCHMARK(BM_ActualReportPdf)->Arg(300)->Unit(benchmark::kMillisecond);

// On a small operator's file: ten aircraft of that many installed components.
void BM_ActualReportPdfTenAircraft(benchmark::State& state) {
    static ReportFolder small;
    QString error;
    if (!small.dir) {
        small.dir = std::make_unique<QTemporaryDir>();
        FleetSpec shape;
        shape.aircraft = 10;
        shape.installedPerAircraft = static_cast<int>(state.range(0));
        try {
            generateFleet(small.dir->path(), shape);
        } catch (const data::DbError& e) {
            state.SkipWithError(qPrintable(e.text()));
            return;
        }
        small.folder = small.dir->path();
        small.targetRegNum = fleetRegNum(5);
        if (!prepare(small.folder, &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
    }
    renderLoop(state, small.folder, small.targetRegNum);
}
BENCHMARK(BM_ActualReportPdfTenAircraft)->Arg(300)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace velmora::bench
