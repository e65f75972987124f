// The component list's CSV export and print job: exactly the shown columns and rows.
#include "aircraft/frmAircraft.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/DataGrid.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/Controls.h"
#include "support/GridCsv.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;

namespace {

TEST(ComponentListCsv, RoundTripWithQuotesCommasLineBreaksAndNulls) {
    screens::ScopedDialogs dialogs;
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    addAircraft(*db, "N1", 800);
    PartSpec p;
    p.reg = "N1";
    p.item = 10;
    p.life = 2000.25;
    p.description = QStringLiteral("Pump \"A\", left\nside");
    addPart(*db, p);
    p.item = 20;
    p.description = QStringLiteral("Starter");
    addPart(*db, p);
    db->execute("UPDATE Parts SET Notes = 'one, \"two\"' WHERE ItemNumber = 10");
    db->execute("UPDATE Parts SET LifeNumber = NULL, Notes = NULL WHERE ItemNumber = 20");

    auto screen = std::make_unique<aircraft::frmAircraft>(folder.dataPath());
    screen->show();
    QApplication::setActiveWindow(screen.get());
    screen->Form_Activate();
    screens::DataGrid& grid = *control<velmora::screens::DataGrid>(*screen, "grdDataGrid");
    ASSERT_EQ(grid.rowCount(), 2);

    const auto records = gridCsvRecords(grid);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(csvCell(records, 1, grid.column(5).caption), "Pump \"A\", left\nside");
    EXPECT_EQ(csvCell(records, 1, grid.column(18).caption), "one, \"two\"");
    EXPECT_EQ(csvCell(records, 1, grid.column(13).caption), "2000.25");
    EXPECT_EQ(csvCell(records, 2, grid.column(13).caption), std::nullopt);
    EXPECT_EQ(csvCell(records, 2, grid.column(18).caption), std::nullopt);

    // A hidden column is left out; moving a column moves it in the file too.
    grid.setColumnVisible(18, false);
    grid.horizontalHeader()->moveSection(grid.horizontalHeader()->visualIndex(5), 0);
    const auto moved = gridCsvRecords(grid);
    EXPECT_EQ(moved[0][0], grid.column(5).caption);
    EXPECT_EQ(std::count(moved[0].begin(), moved[0].end(), grid.column(18).caption), 0);

    // Ctrl+E asks for the file with the aircraft's name and writes it.
    expectCtrlEExports(grid, dialogs, folder.file("components.csv"), "Components - N1.csv");
    // Export and print, then (after a separator) the four entries that move components and
    // the life-limited parts status.
    EXPECT_EQ(grid.actions().size(), 8);
    screen.reset();
    screens::SuppressReposition = false;
}

// Texts that a spreadsheet program would run as formulas are exported as text; a negative
// number stays a number.
TEST(ComponentListCsv, FormulasAreExportedAsText) {
    screens::ScopedDialogs dialogs;
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    addAircraft(*db, "N1", 800);
    PartSpec p;
    p.reg = "N1";
    p.item = 10;
    p.life = -5;
    p.description = QStringLiteral("=HYPERLINK(\"http://example.com\",\"Pump\")");
    addPart(*db, p);
    db->execute("UPDATE Parts SET Notes = '+1+cmd|'' /C calc''!A0' WHERE ItemNumber = 10");

    auto screen = std::make_unique<aircraft::frmAircraft>(folder.dataPath());
    screen->show();
    QApplication::setActiveWindow(screen.get());
    screen->Form_Activate();
    screens::DataGrid& grid = *control<velmora::screens::DataGrid>(*screen, "grdDataGrid");
    ASSERT_EQ(grid.rowCount(), 1);
    const QString file = folder.file("components.csv");
    expectCtrlEExports(grid, dialogs, file, "Components - N1.csv");
    std::vector<exporting::CsvRecord> records;
    const auto failure = exporting::parseCsv(fileBytes(file), &records);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    EXPECT_EQ(csvCell(records, 1, grid.column(5).caption),
              "'=HYPERLINK(\"http://example.com\",\"Pump\")");
    EXPECT_EQ(csvCell(records, 1, grid.column(18).caption), "'+1+cmd|' /C calc'!A0");
    EXPECT_EQ(csvCell(records, 1, grid.column(13).caption), "-5");
    screen.reset();
    screens::SuppressReposition = false;
}

}  // namespace
