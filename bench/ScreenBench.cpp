// The screens as a user meets them, offscreen: opening the aircraft set-up screen on a
// large fleet, choosing another aircraft, rebuilding the remaining-life list with its grid
// filled and drawn, and choosing an oil component with a long sample history.
#include "BenchDialogs.h"
#include "BenchFleet.h"
#include "FleetGenerator.h"
#include "ScreenOpening.h"
#include "aircraft/frmAircraft.h"
#include "oil/TrendChart.h"
#include "oil/frmOilAnalysis.h"
#include "remaining/frmRemain.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "support/Controls.h"

#include <QApplication>
#include <QPixmap>
#include <QRadioButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace velmora;
using bench::noMessageShown;
using bench::openAircraftScreen;

namespace {

using velmora::test::control;

bench::BenchFleet* fleetOrSkip(benchmark::State& state) {
    QString error;
    bench::BenchFleet* f = bench::benchFleet(&error);
    if (!f)
        state.SkipWithError(error.toStdString().c_str());
    return f;
}

// Draws what the user would see, so that the cells on screen are formatted.
void draw(QWidget* w) {
    QPixmap pixmap(w->size());
    w->render(&pixmap);
    benchmark::DoNotOptimize(pixmap);
}

void BM_AircraftScreenOpen(benchmark::State& state) {
    bench::BenchFleet* f = fleetOrSkip(state);
    if (!f)
        return;
    for (auto _ : state) {
        if (!openAircraftScreen(state, f->dataPath))
            return;
    }
}
BENCHMARK(BM_AircraftScreenOpen)->Unit(benchmark::kMillisecond);

// The same screen opened from the menu with no other screen open: the screen opens the file
// itself, and lets it go when it closes.
void BM_AircraftScreenOpenAlone(benchmark::State& state) {
    bench::BenchFleet* f = fleetOrSkip(state);
    if (!f)
        return;
    f->db.reset();
    for (auto _ : state) {
        if (!openAircraftScreen(state, f->dataPath))
            break;
    }
    try {
        f->db = data::Database::open(f->fleet.mainFile);
    } catch (const data::DbError& e) {
        state.SkipWithError(qPrintable(e.text()));
    }
}
BENCHMARK(BM_AircraftScreenOpenAlone)->Unit(benchmark::kMillisecond);

// The time remaining screen opened from the menu while the program holds the file open: the
// fleet read, the first aircraft's remaining-life list rebuilt, and the list drawn.
void BM_RemainingScreenOpen(benchmark::State& state) {
    bench::BenchFleet* f = fleetOrSkip(state);
    if (!f)
        return;
    for (auto _ : state) {
        if (!bench::openRemainingScreen(state, f->dataPath))
            return;
    }
}
BENCHMARK(BM_RemainingScreenOpen)->Unit(benchmark::kMillisecond);

void BM_AircraftScreenChooseAircraft(benchmark::State& state) {
    bench::BenchFleet* f = fleetOrSkip(state);
    if (!f)
        return;
    bench::chooseAircraftInTurn(state, f->dataPath);
}
BENCHMARK(BM_AircraftScreenChooseAircraft)->Unit(benchmark::kMillisecond);

void BM_RemainingLifeRebuildWithGrid(benchmark::State& state) {
    bench::BenchFleet* f = fleetOrSkip(state);
    if (!f)
        return;
    remaining::frmRemain screen(f->dataPath, nullptr);
    control<screens::Chooser>(screen, "Combo1")
        ->setListIndex(control<screens::Chooser>(screen, "Combo1")->findExact(f->targetRegNum));
    control<QRadioButton>(screen, "Option1", 2)
        ->setChecked(true);  // both meters: every installed component
    if (!noMessageShown(state))
        return;
    for (auto _ : state) {
        screen.Option1_Click(0);
        draw(control<screens::DataGrid>(screen, "grdDataGrid"));
    }
    if (!noMessageShown(state))
        return;
    state.counters["rows"] = control<screens::DataGrid>(screen, "grdDataGrid")->rowCount();
}
BENCHMARK(BM_RemainingLifeRebuildWithGrid)->Arg(300)->Unit(benchmark::kMillisecond);

// Filling the aircraft chooser the way the screens do (each registration looked up before
// it is added): linear in the number of aircraft, never quadratic.
void BM_ChooserFill(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    QStringList regs;
    regs.reserve(n);
    for (int i = 0; i < n; ++i)
        regs << bench::fleetRegNum(i);
    screens::Chooser chooser;
    for (auto _ : state) {
        chooser.clearList();
        for (const QString& r : regs) {
            if (chooser.findExact(r) < 0)
                chooser.addEntry(r);
        }
        benchmark::DoNotOptimize(chooser.entryCount());
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_ChooserFill)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

// A small fleet whose oil components each hold a long history of samples.
struct OilFleet {
    QTemporaryDir dir;
    QString dataPath;
};

OilFleet* oilFleet(int samples) {
    static std::unique_ptr<OilFleet> fleet;
    if (!fleet) {
        fleet = std::make_unique<OilFleet>();
        bench::FleetSpec spec;
        spec.aircraft = 2;
        spec.installedPerAircraft = 30;
        spec.notInstalledPerAircraft = 0;
        spec.oilComponentsPerAircraft = 2;
        spec.samplesPerOilComponent = samples;
        bench::generateFleet(fleet->dir.path(), spec);
        fleet->dataPath = fleet->dir.path() + QLatin1Char('/');
    }
    return fleet.get();
}

void BM_OilChooseComponent(benchmark::State& state) {
    OilFleet* f = oilFleet(static_cast<int>(state.range(0)));
    oil::frmOilAnalysis screen(f->dataPath);
    screen.resize(1000, 800);
    screen.Form_Activate();
    if (!noMessageShown(state))
        return;
    if (control<screens::Chooser>(screen, "Combo2")->entryCount() < 2) {
        state.SkipWithError("the aircraft has fewer than two oil components");
        return;
    }
    int next = 1;
    for (auto _ : state) {
        control<screens::Chooser>(screen, "Combo2")->setListIndex(next);
        draw(control<screens::DataGrid>(screen, "grdDataGrid"));
        draw(control<oil::TrendChart>(screen, "MSChart1"));
        next = 1 - next;
    }
    if (!noMessageShown(state))
        return;
    state.counters["samples"] = control<screens::DataGrid>(screen, "grdDataGrid")->rowCount();
}
BENCHMARK(BM_OilChooseComponent)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
