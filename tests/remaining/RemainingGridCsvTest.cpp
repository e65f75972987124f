// The time remaining grid's CSV export: the shown columns and rows, remaining life without
// its display format.
#include "remaining/frmRemain.h"
#include "screens/common/DataGrid.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/Controls.h"
#include "support/GridCsv.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;

namespace {

TEST(RemainingGridCsv, RoundTripWithQuotesCommasLineBreaksAndNulls) {
    screens::ScopedDialogs dialogs;
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    addAircraft(*db, "N1", 1000.25);
    PartSpec p;
    p.reg = "N1";
    p.item = 10;
    p.life = 2000;
    p.installAc = 100;
    p.description = QStringLiteral("Rotor \"main\", blade\nset");
    addPart(*db, p);
    p.item = 20;
    p.basis = QStringLiteral("CY");
    p.life = 100;
    p.description = QStringLiteral("Starter");
    addPart(*db, p);

    auto screen = std::make_unique<remaining::frmRemain>(
        folder.dataPath(), [](const QString&) { return data::Value("x"); });
    screen->show();
    QApplication::setActiveWindow(screen.get());
    screen->Form_Activate();
    screens::DataGrid& grid = *control<velmora::screens::DataGrid>(*screen, "grdDataGrid");
    ASSERT_EQ(grid.rowCount(), 2);

    const auto records = gridCsvRecords(grid);
    ASSERT_EQ(records.size(), 3u);
    // 2000 - (1000.25 - 100) = 1099.75, shown and written as "1099.8".
    bool found = false;
    for (size_t r = 1; r < records.size(); ++r) {
        for (const auto& cell : records[r]) {
            if (cell == QStringLiteral("Rotor \"main\", blade\nset"))
                found = true;
        }
    }
    EXPECT_TRUE(found);
    int shownNumbers = 0, nulls = 0;
    for (const auto& cell : records[1]) {
        shownNumbers += cell == QStringLiteral("1099.8") ? 1 : 0;
        nulls += cell ? 0 : 1;
    }
    EXPECT_EQ(shownNumbers, 1);
    EXPECT_GE(nulls, 1);  // the limits of other bases are Null, not blanks

    expectCtrlEExports(grid, dialogs, folder.file("remaining.csv"), "Time Remaining - N1.csv");
    screen.reset();
    screens::SuppressReposition = false;
}

}  // namespace
