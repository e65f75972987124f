#include "ScreenOpening.h"

#include "BenchDialogs.h"
#include "aircraft/frmAircraft.h"
#include "remaining/frmRemain.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "support/Controls.h"

#include <QPixmap>

namespace velmora::bench {

using velmora::test::control;

namespace {

// Draws the grid, so that the cells on screen are formatted.
void draw(screens::DataGrid* grid) {
    QPixmap pixmap(grid->size());
    grid->render(&pixmap);
    benchmark::DoNotOptimize(pixmap);
}

// Draws the grid of a screen just opened; false (the benchmark skipped) when a message was
// shown or the grid is empty.
bool drawnWithRows(benchmark::State& state, QWidget& screen) {
    auto* grid = control<screens::DataGrid>(screen, "grdDataGrid");
    draw(grid);
    if (!noMessageShown(state))
        return false;
    if (grid->rowCount() == 0) {
        state.SkipWithError("the first aircraft shows no components");
        return false;
    }
    return true;
}

}  // namespace

bool openAircraftScreen(benchmark::State& state, const QString& dataPath) {
    aircraft::frmAircraft screen(dataPath);
    screen.Form_Activate();
    return drawnWithRows(state, screen);
}

bool openRemainingScreen(benchmark::State& state, const QString& dataPath) {
    remaining::frmRemain screen(dataPath, nullptr);
    screen.Form_Activate();
    return drawnWithRows(state, screen);
}

void chooseAircraftInTurn(benchmark::State& state, const QString& dataPath) {
    aircraft::frmAircraft screen(dataPath);
    screen.Form_Activate();
    if (!noMessageShown(state))
        return;
    int next = 1;
    for (auto _ : state) {
        control<screens::Chooser>(screen, "Combo1")->setListIndex(next);
        draw(control<screens::DataGrid>(screen, "grdDataGrid"));
        next = next == 1 ? 500 : 1;
    }
    noMessageShown(state);
}

}  // namespace velmora::bench
