// The oil limits on the oil screen: the limits dialog, the grid's colours, the findings line,
// the chart's limit lines and trend, and the grid's CSV export.
#include "oil/OilLimitsDialog.h"
#include "oil/OilLimitsView.h"
#include "oil/OilSamples.h"
#include "oil/TrendChart.h"
#include "oil/frmOilAnalysis.h"
#include "oil/limits/OilLimitsStore.h"
#include "support/Controls.h"

#include "data/Database.h"
#include "export/Csv.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/GridExportMenu.h"
#include "screens/common/MousePointer.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/BackEnds.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using velmora::test::control;

using velmora::data::Database;
using velmora::data::Value;
using velmora::oil::frmOilAnalysis;
using velmora::oil::OilLimitsDialog;
namespace oil = velmora::oil;
namespace lim = velmora::oil::limits;
namespace tf = velmora::testing;
namespace ex = velmora::exporting;

namespace {

const QColor kRed(Qt::red);
const QColor kAmber(0xb8, 0x6e, 0x00);

class OilLimitsScreenTest : public ::testing::TestWithParam<tf::BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store_);
        saved_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        db_ = Database::open(store_.createMainFile());
        tf::addAircraft(*db_, "N101");
        db_->execute("UPDATE [Aircraft] SET [Make]='Bell', [Model]='206B'");
        tf::addPart(*db_, tf::part("N101", 1).describedAs("Engine").withOil());
        tf::addPart(*db_, tf::part("N101", 2).describedAs("Main gearbox").withOil());
    }
    void TearDown() override {
        screen_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QLocale::setDefault(saved_);
        velmora::screens::MousePointer::setDefault();
    }

    void addSample(const QString& date, double iron, double copper, const Value& hours) {
        db_->executeBound(
            "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron, Copper, "
            "EngineHrs) VALUES ('N101', 'Engine', ?1, ?2, ?3, ?4)",
            {Value(date), Value(iron), Value(copper), hours});
    }

    frmOilAnalysis& open() {
        screen_ = std::make_unique<frmOilAnalysis>(store_.dataPath());
        screen_->resize(1500, 950);
        screen_->show();
        screen_->activateWindow();
        QApplication::processEvents();
        return *screen_;
    }

    velmora::screens::DataGrid& grid() {
        return *control<velmora::screens::DataGrid>(*screen_, "grdDataGrid");
    }
    QColor colourAt(int row, int col) {
        const QVariant v =
            grid().model()->data(grid().model()->index(row, col), Qt::ForegroundRole);
        return v.isValid() ? qvariant_cast<QBrush>(v).color() : QColor();
    }

    // Fills the limits dialog that the button opens, once it shows, and saves it.
    void fillDialogOnOpen(std::function<void(OilLimitsDialog&)> fill) {
        QTimer::singleShot(0, [fill] {
            auto* d = qobject_cast<OilLimitsDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            fill(*d);
            d->cmdSave->click();
            if (d->isVisible())
                d->reject();
        });
    }

    static void setCell(OilLimitsDialog& d, int element, int column, const QString& text) {
        d.grdLimits->item(element, column)->setText(text);
    }

    velmora::screens::ScopedDialogs dialogs_;
    QLocale saved_;
    tf::TestStore store_{GetParam()};
    std::shared_ptr<Database> db_;
    std::unique_ptr<frmOilAnalysis> screen_;
};

constexpr int kIron = 0;
constexpr int kCopper = 5;

TEST_P(OilLimitsScreenTest, LimitsSetInTheDialogColourTheGridAndNameTheWorstFinding) {
    addSample("2026-01-10", 10, 1, Value(1000));
    addSample("2026-02-10", 19.9, 2, Value(1100));  // just under the iron caution
    addSample("2026-03-10", 20, 3, Value(1200));    // at the caution
    addSample("2026-04-10", 34.9, 4, Value(1300));  // under the alert
    addSample("2026-05-10", 35, 5, Value(1400));    // at the alert
    addSample("2026-06-10", 42, 14, Value(1500));   // over; copper +9 per 100 h
    frmOilAnalysis& s = open();
    EXPECT_EQ(control<velmora::oil::OilLimitsView>(s, "limitsView")->lblFindings->text(),
              "No oil limits are set for this component.");
    EXPECT_FALSE(colourAt(5, oil::kColIron).isValid());

    // Company defaults for iron; a component limit for copper's rise.
    fillDialogOnOpen([](OilLimitsDialog& d) {
        setCell(d, kCopper, OilLimitsDialog::CautionRise, "5");
        d.optScope[2]->click();
        EXPECT_EQ(d.scope(), lim::LimitScope::Company);
        setCell(d, kIron, OilLimitsDialog::CautionPpm, "20");
        setCell(d, kIron, OilLimitsDialog::AlertPpm, "35");
    });
    control<velmora::oil::OilLimitsView>(s, "limitsView")->cmdLimits->click();
    QApplication::processEvents();
    EXPECT_TRUE(dialogs_->messages.empty());

    const lim::LimitSet company = lim::readLimitSet(*db_, lim::LimitKey::company());
    EXPECT_EQ(company[kIron], (lim::ElementLimit{20, 35, std::nullopt}));
    EXPECT_EQ(lim::readLimitSet(*db_, lim::LimitKey::forComponent("N101", "Engine"))[kCopper],
              (lim::ElementLimit{std::nullopt, std::nullopt, 5}));

    ASSERT_EQ(grid().rowCount(), 6);
    EXPECT_FALSE(colourAt(0, oil::kColIron).isValid());
    EXPECT_FALSE(colourAt(1, oil::kColIron).isValid());
    EXPECT_EQ(colourAt(2, oil::kColIron), kAmber);
    EXPECT_EQ(colourAt(3, oil::kColIron), kAmber);
    EXPECT_EQ(colourAt(4, oil::kColIron), kRed);
    EXPECT_EQ(colourAt(5, oil::kColIron), kRed);
    // Copper rises 1 ppm per 100 h (under 5), then 9.
    EXPECT_FALSE(colourAt(4, oil::kColIron + kCopper).isValid());
    EXPECT_EQ(colourAt(5, oil::kColIron + kCopper), kAmber);
    // Elements without limits and the other columns keep the normal colour.
    EXPECT_FALSE(colourAt(5, oil::kColIron + 1).isValid());
    EXPECT_FALSE(colourAt(5, oil::kColEngineHrs).isValid());

    // The sample's date as the grid shows it.
    EXPECT_EQ(control<velmora::oil::OilLimitsView>(s, "limitsView")->lblFindings->text(),
              "Newest sample (6/10/26): Iron 42 ppm over alert 35; Copper +9 ppm per 100 h "
              "over caution 5");

    // A changed reading is judged at once: the newest iron back under the caution.
    grid().setFocus();
    grid().setCurrentRow(5);
    ASSERT_TRUE(grid().setCellValue(oil::kColIron, Value(5)));
    EXPECT_FALSE(colourAt(5, oil::kColIron).isValid());
    EXPECT_EQ(control<velmora::oil::OilLimitsView>(s, "limitsView")->lblFindings->text(),
              "Newest sample (6/10/26): Copper +9 ppm per 100 h over caution 5");
}

TEST_P(OilLimitsScreenTest, ChartShowsTheLimitLinesMarksAndTrendOfTheElementShown) {
    lim::LimitSet limits{};
    limits[kIron] = {20, 35, std::nullopt};
    lim::saveLimitSet(*db_, lim::LimitKey::forModel("Bell", "206B", "Engine"), limits);
    // Hours 100..400, iron 10, 14, 15, 21 (+3.4 ppm per 100 h by least squares), and one
    // sample over the alert.
    addSample("2026-01-10", 10, 0, Value(100));
    addSample("2026-02-10", 14, 0, Value(200));
    addSample("2026-03-10", 15, 0, Value(300));
    addSample("2026-04-10", 21, 0, Value(400));
    frmOilAnalysis& s = open();
    EXPECT_EQ(control<velmora::oil::OilLimitsView>(s, "limitsView")->lblTrend->text(),
              "Trend: choose one element");
    EXPECT_TRUE(control<velmora::oil::TrendChart>(s, "MSChart1")->limits().lines.empty());

    control<QRadioButton>(s, "Option1", 0)->click();  // Iron
    QApplication::processEvents();
    EXPECT_EQ(control<velmora::oil::OilLimitsView>(s, "limitsView")->lblTrend->text(),
              "Iron trend: +3.4 ppm per 100 h over the last 4 samples");
    const lim::ChartLimits& c = control<velmora::oil::TrendChart>(s, "MSChart1")->limits();
    ASSERT_EQ(c.lines.size(), 2u);
    EXPECT_EQ(c.lines[0].value, 20);
    EXPECT_EQ(c.lines[1].value, 35);
    ASSERT_EQ(c.marks.size(), 1u);
    EXPECT_EQ(c.marks[0].row, 3);
    EXPECT_EQ(c.marks[0].level, lim::OilLevel::Caution);
    EXPECT_TRUE(
        control<velmora::oil::TrendChart>(s, "MSChart1")->legendLabels().contains("Alert 35 ppm"));

    // The gearbox has no limits of its own, nor at the model; its chart has no lines.
    control<velmora::screens::Chooser>(s, "Combo2")->setListIndex(1);
    QApplication::processEvents();
    EXPECT_TRUE(control<velmora::oil::TrendChart>(s, "MSChart1")->limits().lines.empty());
    EXPECT_TRUE(
        control<velmora::oil::OilLimitsView>(s, "limitsView")->lblFindings->text().isEmpty());
}

TEST_P(OilLimitsScreenTest, TheDialogRefusesWhatCannotBeALimitAndChangesNothing) {
    addSample("2026-01-10", 10, 1, Value(1000));
    open();
    OilLimitsDialog d(db_, "N101", "Engine", screen_.get());
    setCell(d, kIron, OilLimitsDialog::CautionPpm, "40");
    setCell(d, kIron, OilLimitsDialog::AlertPpm, "35");
    d.cmdSave_Click();
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].text,
              "Iron: The caution level must not be above the alert level.");
    setCell(d, kIron, OilLimitsDialog::CautionPpm, "lots");
    d.cmdSave_Click();
    ASSERT_EQ(dialogs_->messages.size(), 2u);
    EXPECT_EQ(dialogs_->messages[1].text,
              "Iron: the caution (ppm) must be a number, or empty for no limit.");
    EXPECT_FALSE(db_->hasTable(lim::kOilLimitsTable));
    // The make and model scope names the aircraft's.
    EXPECT_EQ(d.optScope[1]->text(), "&Make and model (Bell 206B, Engine)");
}

TEST_P(OilLimitsScreenTest, SamplesGridExportsItsShownColumnsAndRowsUnformatted) {
    // The shown columns are a date and numbers (texts with quotes, commas and line breaks are
    // in the hidden columns only; the other grids' tests have them). A Null reading stays
    // Null, numbers keep every digit.
    db_->executeBound(
        "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron, EngineHrs) "
        "VALUES ('N101', 'Engine', ?1, ?2, NULL)",
        {Value("2026-01-10"), Value(12.25)});
    addSample("2026-02-10", 1234567.5, 0, Value(1500.5));
    frmOilAnalysis& s = open();
    const QString file = store_.folder().file("samples.csv");
    dialogs_->saveResult(file);
    grid().setFocus();
    QTest::keyClick(&grid(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(dialogs_->saveRequests.size(), 1u);
    EXPECT_TRUE(dialogs_->saveRequests[0].initialFile.endsWith("Oil Samples - N101 Engine.csv"));

    std::vector<ex::CsvRecord> records;
    const auto failure = ex::parseCsv(tf::fileBytes(file), &records);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    ASSERT_EQ(records.size(), 3u);      // the header and two samples; not the add line
    ASSERT_EQ(records[0].size(), 23u);  // RegNum and Component are hidden
    EXPECT_EQ(*records[0][0], "Date Performed");
    EXPECT_EQ(*records[0][22], "Engine Hrs");
    EXPECT_EQ(*records[1][0], "2026-01-10");
    EXPECT_EQ(*records[1][1], "12.25");
    EXPECT_FALSE(records[1][22].has_value());
    EXPECT_EQ(*records[2][1], "1234567.5");
    EXPECT_EQ(*records[2][22], "1500.5");

    // The same through the context menu's entry, and the print job of the same cells.
    const auto actions = grid().actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QString::fromUtf8("Export to CSV\u2026"));
    EXPECT_EQ(actions[1]->text(), QString::fromUtf8("Print\u2026"));
    EXPECT_EQ(grid().contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(velmora::screens::gridCsv(grid()), tf::fileBytes(file));
    const ex::TablePrintJob job = velmora::screens::gridPrintJob(grid(), "Oil");
    EXPECT_EQ(job.columns.size(), 23u);
    EXPECT_EQ(job.rows->size(), 2u);
    EXPECT_EQ(ex::tablePageLayout(job).orientation(), QPageLayout::Landscape);
    Q_UNUSED(s);
}

}  // namespace

VELMORA_ON_BOTH_BACK_ENDS(OilLimitsScreenTest);
