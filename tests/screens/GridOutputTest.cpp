// What the three data grids (component list, time remaining, oil samples) print and export:
// every cell's whole text on the printed page, and a CSV file of exactly what the grid
// shows, numbers as it rounds them without thousands separators, blank cells empty.
#include "aircraft/frmAircraft.h"
#include "oil/frmOilAnalysis.h"
#include "remaining/frmRemain.h"
#include "support/Controls.h"

#include "export/TablePrinter.h"
#include "screens/common/DataGrid.h"
#include "screens/common/GridExport.h"
#include "screens/common/GridExportMenu.h"
#include "screens/common/MousePointer.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/BackEnds.h"
#include "support/GridCsv.h"
#include "support/PdfWords.h"

#include <QApplication>
#include <QLocale>
#include <QRadioButton>

#include <gtest/gtest.h>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using data::Value;

namespace {

// N905CV, every optional column of the time remaining grid shown, with components whose
// texts are long and whose figures are large:
//   10 RT  5000 - (8123.3 - 4002.1) = 878.799999999999, shown 878.8; cost 6,900.00
//   20 CY  4000 - (3000 - 1000) = 2000 cycles
//   30 MO  24 months from 31 Jan 2025: retires 31 Jan 2027
//   40 RT  no purchase date, maker " " (as a new row of a make without a name is given)
class GridOutput : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        saved = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        db = data::Database::open(store.createMainFile());
        addAircraft(*db, "N905CV", 8123.3, 2210.5, 5000, 3000, 12000);
        db->execute(
            "UPDATE Aircraft SET ShowCost = Yes, ShowManufacturer = Yes, ShowAssembly = Yes, "
            "ShowInspection = Yes, ShowPurchase = Yes, ShowLandings = Yes, ShowCycles = Yes, "
            "ShowRIN = Yes");
        addPart(*db, part("N905CV", 10)
                         .withLife(5000, 0, 4002.1)
                         .describedAs("Main rotor blade, composite (left)")
                         .asUnit("KH-3100-1207-04", "SN-88231-A")
                         .withOil());
        addPart(*db, part("N905CV", 20)
                         .withBasis("CY")
                         .withLife(4000, 0, 1000)
                         .describedAs("Starter generator")
                         .asUnit("KH-2950-0031-11", "SG-20417"));
        addPart(*db, part("N905CV", 30)
                         .withBasis("MO")
                         .withLife(24, 0, 0)
                         .installedOn("2025-01-31")
                         .describedAs("Fire extinguisher bottle")
                         .asUnit("FX-88-221", "FE-5512"));
        addPart(*db, part("N905CV", 40)
                         .withLife(1000, 0, 8000)
                         .describedAs("Tail rotor drive shaft")
                         .asUnit("TR-4410-0902", "TS-118"));
        db->execute(
            "UPDATE Parts SET Assembly = 'Main rotor head', Manufacturer = 'Kawasaki Heavy "
            "Industries', Inspection = 'Annual / 100 hour', ReplaceCost = 6900, "
            "ReservePerHour = 0.92, DatePurchased = #2019-03-12#, Notes = 'Replace with the "
            "blade set; see service bulletin SB-214-88 rev B' WHERE ItemNumber <> 40");
        db->execute(
            "UPDATE Parts SET DatePurchased = Null, Manufacturer = ' ', ReplaceCost = 1234.567 "
            "WHERE ItemNumber = 40");
        const char* samples[] = {"2026-01-10", "2026-02-14"};
        for (int s = 0; s < 2; ++s) {
            QString sql =
                QStringLiteral(
                    "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron, Chromium, Nickel, "
                    "Aluminum, Lead, Copper, Tin, Silver, Titanium, Silicon, Boron, Sodium, "
                    "Potassium, Molybdenum, Phosphorus, Zinc, Calcium, Barium, Magnesium, "
                    "Antimony, "
                    "Vanadium, EngineHrs) VALUES ('N905CV', 'Main rotor blade, composite (left)', "
                    "'%1'")
                    .arg(QString::fromLatin1(samples[s]));
            for (int e = 0; e < 21; ++e)
                sql += QStringLiteral(", %1.25").arg(1000 * s + 37 * e + 11);
            sql += QStringLiteral(", %1)").arg(1234.5 + 100 * s);
            db->execute(sql);
        }
    }
    void TearDown() override {
        remain.reset();
        aircraft.reset();
        oilScreen.reset();
        screens::SuppressReposition = false;
        screens::MousePointer::setDefault();
        QLocale::setDefault(saved);
    }

    screens::DataGrid& componentList() {
        aircraft = std::make_unique<aircraft::frmAircraft>(store.dataPath());
        aircraft->show();
        QApplication::setActiveWindow(aircraft.get());
        aircraft->Form_Activate();
        return *control<velmora::screens::DataGrid>(*aircraft, "grdDataGrid");
    }
    screens::DataGrid& timeRemaining() {
        remain = std::make_unique<remaining::frmRemain>(
            store.dataPath(), [](const QString&) { return Value("Skyline Rotor Services"); });
        remain->show();
        QApplication::setActiveWindow(remain.get());
        remain->Form_Activate();
        control<QRadioButton>(*remain, "Option1", 2)->click();  // both meters
        return *control<velmora::screens::DataGrid>(*remain, "grdDataGrid");
    }
    screens::DataGrid& oilSamples() {
        oilScreen = std::make_unique<oil::frmOilAnalysis>(store.dataPath());
        oilScreen->show();
        oilScreen->activateWindow();
        QApplication::setActiveWindow(oilScreen.get());
        QApplication::processEvents();
        return *control<velmora::screens::DataGrid>(*oilScreen, "grdDataGrid");
    }

    // Prints the grid as "Print…" does into a PDF, and expects every word of every caption
    // and every cell it shows on the pages.
    void expectPrintedWhole(const screens::DataGrid& grid, const QString& name) {
        SCOPED_TRACE(name.toStdString());
        const QString pdf = store.folder().file(name + ".pdf");
        const auto failure = exporting::writeTablePdf(screens::gridPrintJob(grid, name), pdf);
        ASSERT_FALSE(failure) << failure->text.toStdString();
        QStringList texts;
        const std::vector<int> rows = screens::shownRows(grid);
        ASSERT_FALSE(rows.empty());
        for (int c : screens::shownColumns(grid)) {
            texts << grid.column(c).caption;
            for (int r : rows)
                texts << grid.model()->index(r, c).data().toString();
        }
        expectEveryWordPrinted(pdf, texts);
    }

    // Each field of the grid's CSV against the cell it stands for: empty where the cell
    // shows nothing, else the text shown without thousands separators or currency signs
    // (dates stay yyyy-MM-dd).
    static void expectCsvAsShown(const screens::DataGrid& grid) {
        const auto records = gridCsvRecords(grid);
        const std::vector<int> columns = screens::shownColumns(grid);
        const std::vector<int> rows = screens::shownRows(grid);
        ASSERT_EQ(records.size(), rows.size() + 1);
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t i = 0; i < columns.size(); ++i) {
                const QString shown = grid.model()->index(rows[r], columns[i]).data().toString();
                const auto& field = records[r + 1][i];
                SCOPED_TRACE(grid.column(columns[i]).caption.toStdString() + " row " +
                             std::to_string(r));
                EXPECT_EQ(field.has_value(), !shown.trimmed().isEmpty());
                const QString format = grid.column(columns[i]).format;
                if (field && !format.isEmpty() && !format.contains("Date") &&
                    !format.contains("Yes")) {
                    EXPECT_EQ(*field, QString(shown).remove(',').remove('$'));
                }
            }
        }
    }

    screens::ScopedDialogs dialogs;
    TestStore store{GetParam()};
    QLocale saved;
    std::shared_ptr<data::Database> db;
    std::unique_ptr<aircraft::frmAircraft> aircraft;
    std::unique_ptr<remaining::frmRemain> remain;
    std::unique_ptr<oil::frmOilAnalysis> oilScreen;
};

TEST_P(GridOutput, EveryGridPrintsTheWholeTextOfEveryCell) {
    expectPrintedWhole(componentList(), "Components");
    expectPrintedWhole(timeRemaining(), "Time Remaining");
    screens::DataGrid& oil = oilSamples();
    ASSERT_EQ(screens::shownRows(oil).size(), 2u);
    expectPrintedWhole(oil, "Oil Samples");
}

TEST_P(GridOutput, TimeRemainingCsvHoldsWhatTheGridShowsAndNothingItHides) {
    screens::DataGrid& grid = timeRemaining();
    ASSERT_EQ(screens::shownRows(grid).size(), 4u);
    expectCsvAsShown(grid);
    const auto records = gridCsvRecords(grid);
    auto cell = [&](size_t row, const char* caption) {
        return csvCell(records, row, QString::fromLatin1(caption));
    };
    // Item 10 (RT): its remaining time as rounded on screen; the other bases' figures and
    // the months date, blank on screen, are empty.
    EXPECT_EQ(cell(1, "Item #"), "10");
    EXPECT_EQ(cell(1, "Time Remaining to Retire"), "878.8");
    EXPECT_EQ(cell(1, "Cycles Remaining to Retire"), std::nullopt);
    EXPECT_EQ(cell(1, "Lndgs Remaining to Retire"), std::nullopt);
    EXPECT_EQ(cell(1, "Date to Retire"), std::nullopt);
    EXPECT_EQ(cell(1, "Component at Install"), std::nullopt);
    EXPECT_EQ(cell(1, "Cost"), "6900.00");
    EXPECT_EQ(cell(1, "Purchase Date"), "2019-03-12");
    EXPECT_EQ(cell(2, "Cycles Remaining to Retire"), "2000");
    EXPECT_EQ(cell(2, "Time Remaining to Retire"), std::nullopt);
    EXPECT_EQ(cell(3, "Date to Retire"), "2027-01-31");
    EXPECT_EQ(cell(4, "Cost"), "1234.57");
    EXPECT_EQ(cell(4, "Manufacturer"), std::nullopt);
    EXPECT_EQ(cell(4, "Purchase Date"), std::nullopt);
}

TEST_P(GridOutput, ComponentListAndOilSamplesCsvHoldWhatTheirGridsShow) {
    screens::DataGrid& components = componentList();
    ASSERT_EQ(screens::shownRows(components).size(), 4u);
    expectCsvAsShown(components);
    const auto records = gridCsvRecords(components);
    EXPECT_EQ(csvCell(records, 1, "Cost to Replace"), "6900.00");
    EXPECT_EQ(csvCell(records, 1, "Reserve Per Hour"), "0.92");
    EXPECT_EQ(csvCell(records, 1, "Date Purchased"), "2019-03-12");
    EXPECT_EQ(csvCell(records, 1, "Installed"), "Yes");
    EXPECT_EQ(csvCell(records, 4, "Cost to Replace"), "1234.57");
    EXPECT_EQ(csvCell(records, 4, "Date Purchased"), std::nullopt);
    EXPECT_EQ(csvCell(records, 4, "Manufacturer"), std::nullopt);

    screens::DataGrid& oil = oilSamples();
    expectCsvAsShown(oil);
    const auto samples = gridCsvRecords(oil);
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(csvCell(samples, 1, "Date Performed"), "2026-01-10");
    EXPECT_EQ(csvCell(samples, 2, "Iron"), "1011.25");
    EXPECT_EQ(csvCell(samples, 2, "Engine Hrs"), "1334.5");
}

}  // namespace

VELMORA_ON_BOTH_BACK_ENDS(GridOutput);
