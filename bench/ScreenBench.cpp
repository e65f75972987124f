// The screens as a user meets them, offscreen: opening the aircraft set-up screen on a
// large fleet, choosing another aircraft, rebuilding the remaining-life list with its grid
// filled and drawn, and choosing an oil component with a long sample history.
#include "BenchFleet.h"
#include "FleetGenerator.h"
#include "aircraft/frmAircraft.h"
#include "oil/TrendChart.h"
#include "oil/frmOilAnalysis.h"
#include "remaining/frmRemain.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"

#include <QApplication>
#include <QPixmap>
#include <QRadioButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace velmora;

namespace {

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
        aircraft::frmAircraft screen(f->dataPath);
        screen.Form_Activate();
        draw(screen.grdDataGrid);
        if (screen.grdDataGrid->rowCount() == 0)
            state.SkipWithError("the first aircraft shows no components");
    }
}
BENCHMARK(BM_AircraftScreenOpen)->Unit(benchmark::kMillisecond);

void BM_AircraftScreenChooseAircraft(benchmark::State& state) {
    bench::BenchFleet* f = fleetOrSkip(state);
    if (!f)
        return;
    aircraft::frmAircraft screen(f->dataPath);
    screen.Form_Activate();
    int next = 1;
    for (auto _ : state) {
        screen.Combo1->setListIndex(next);
        draw(screen.grdDataGrid);
        next = next == 1 ? 500 : 1;
    }
}
BENCHMARK(BM_AircraftScreenChooseAircraft)->Unit(benchmark::kMillisecond);

void BM_RemainingLifeRebuildWithGrid(benchmark::State& state) {
    bench::BenchFleet* f = fleetOrSkip(state);
    if (!f)
        return;
    remaining::frmRemain screen(f->dataPath, nullptr);
    screen.Combo1->setListIndex(screen.Combo1->findExact(f->targetRegNum));
    screen.Option1[2]->setChecked(true);  // both meters: every installed component
    for (auto _ : state) {
        screen.Option1_Click(0);
        draw(screen.grdDataGrid);
    }
    state.counters["rows"] = screen.grdDataGrid->rowCount();
}
BENCHMARK(BM_RemainingLifeRebuildWithGrid)->Arg(300)->Unit(benchmark::kMillisecond);

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
    if (screen.Combo2->entryCount() < 2) {
        state.SkipWithError("the aircraft has fewer than two oil components");
        return;
    }
    int next = 1;
    for (auto _ : state) {
        screen.Combo2->setListIndex(next);
        draw(screen.grdDataGrid);
        draw(screen.MSChart1);
        next = 1 - next;
    }
    state.counters["samples"] = screen.grdDataGrid->rowCount();
}
BENCHMARK(BM_OilChooseComponent)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
