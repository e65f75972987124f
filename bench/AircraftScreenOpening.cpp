#include "AircraftScreenOpening.h"

#include "BenchDialogs.h"
#include "aircraft/frmAircraft.h"
#include "screens/common/DataGrid.h"
#include "support/Controls.h"

#include <QPixmap>

namespace velmora::bench {

bool openAircraftScreen(benchmark::State& state, const QString& dataPath) {
    using velmora::test::control;
    aircraft::frmAircraft screen(dataPath);
    screen.Form_Activate();
    auto* grid = control<screens::DataGrid>(screen, "grdDataGrid");
    // Drawn, so that the cells on screen are formatted.
    QPixmap pixmap(grid->size());
    grid->render(&pixmap);
    benchmark::DoNotOptimize(pixmap);
    if (!noMessageShown(state))
        return false;
    if (grid->rowCount() == 0) {
        state.SkipWithError("the first aircraft shows no components");
        return false;
    }
    return true;
}

}  // namespace velmora::bench
