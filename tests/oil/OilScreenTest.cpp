#include "oil/OilSamples.h"
#include "oil/TrendChart.h"
#include "oil/frmOilAnalysis.h"
#include "support/Controls.h"

#include "data/Database.h"
#include "data/Recordset.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/MousePointer.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/BackEnds.h"
#include "support/RealMessageBoxes.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDate>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using velmora::test::control;

using velmora::data::Database;
using velmora::data::Value;
using velmora::oil::frmOilAnalysis;
using velmora::screens::MessageRequest;
using velmora::screens::MsgAnswer;
using velmora::screens::MsgButtons;
using velmora::screens::MsgIcon;
namespace oil = velmora::oil;
namespace tf = velmora::testing;

namespace {

class OilScreenTest : public ::testing::TestWithParam<tf::BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store_);
        saved_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        db_ = Database::open(store_.createMainFile());
    }
    void TearDown() override {
        screen_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QLocale::setDefault(saved_);
        velmora::screens::MousePointer::setDefault();
    }

    // Two aircraft: N101 with two oil components (and one without oil analysis), N202 with
    // no oil component.
    void addFleet() {
        tf::addAircraft(*db_, "N101");
        tf::addAircraft(*db_, "N202");
        tf::addPart(*db_, tf::part("N101", 1).describedAs("Main gearbox").withOil());
        tf::addPart(*db_, tf::part("N101", 2).describedAs("Starter"));
        tf::addPart(*db_, tf::part("N101", 3).describedAs("Engine").withOil());
        tf::addPart(*db_, tf::part("N202", 1).describedAs("Engine"));
    }

    void addSample(const QString& reg, const QString& component, const QString& date, double iron,
                   double hours = 0) {
        auto rs = db_->openRecordset(QStringLiteral("Oil"));
        rs->addNew();
        rs->setValue(QStringLiteral("RegNum"), reg);
        rs->setValue(QStringLiteral("Component"), component);
        rs->setValue(QStringLiteral("DatePerformed"), date);
        rs->setValue(QStringLiteral("Iron"), iron);
        rs->setValue(QStringLiteral("EngineHrs"), hours);
        rs->update();
    }

    int oilRows(const QString& where = QStringLiteral("1=1")) {
        return db_->openRecordset("select * from Oil where " + where)->recordCount();
    }

    // Opens the screen as the main menu does: shown and activated.
    frmOilAnalysis& open() {
        screen_ = std::make_unique<frmOilAnalysis>(store_.dataPath());
        screen_->show();
        screen_->activateWindow();
        QApplication::processEvents();
        return *screen_;
    }

    velmora::screens::DataGrid& grid() {
        return *control<velmora::screens::DataGrid>(*screen_, "grdDataGrid");
    }

    QLineEdit* editor() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return grid().findChild<QLineEdit*>();
    }

    void goTo(int row, int col) {
        grid().setFocus();
        grid().setCurrentRow(row);
        grid().setCurrentColumn(col);
    }

    // Opens the current cell with F2, replaces its text and ends the edit with Enter.
    void editCurrentCell(const QString& text) {
        QTest::keyClick(&grid(), Qt::Key_F2);
        QLineEdit* e = editor();
        ASSERT_NE(e, nullptr);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
        QApplication::processEvents();
    }

    static MessageRequest box(const char* text, const char* title) {
        MessageRequest r;
        r.text = QString::fromUtf8(text);
        r.title = QString::fromUtf8(title);
        r.buttons = MsgButtons::Ok;
        r.icon = MsgIcon::None;
        r.defaultButton = MsgAnswer::Ok;
        return r;
    }

    velmora::screens::ScopedDialogs dialogs_;
    QLocale saved_;
    tf::TestStore store_{GetParam()};
    std::shared_ptr<Database> db_;
    std::unique_ptr<frmOilAnalysis> screen_;
};

const MessageRequest kNoComponents = {
    QStringLiteral("Select another aircraft or exit oil analysis to enter data."),
    QStringLiteral("No components set for oil analysis."), MsgButtons::Ok, MsgIcon::None,
    MsgAnswer::Ok};

}  // namespace

TEST_P(OilScreenTest, OpensOnTheFirstAircraftAndItsFirstComponent) {
    addFleet();
    addSample("N101", "Main gearbox", "2005-03-01", 3);
    addSample("N101", "Main gearbox", "2005-01-01", 1);
    addSample("N101", "Engine", "2005-02-01", 7);
    frmOilAnalysis& s = open();

    EXPECT_EQ(s.windowTitle(), "Oil Analysis");
    EXPECT_EQ(control<QLabel>(s, "lblLabels", 0)->text(), "Registration Number");
    EXPECT_EQ(control<QLabel>(s, "lblLabels", 1)->text(), "Component Name");
    ASSERT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->entryCount(), 2);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->itemText(0), "N101");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->itemText(1), "N202");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N101");
    ASSERT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->entryCount(), 2);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->itemText(0), "Main gearbox");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->itemText(1), "Engine");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->text(), "Main gearbox");
    EXPECT_TRUE(dialogs_->messages.empty());

    // The samples of the chosen component, oldest first, in 25 columns.
    EXPECT_EQ(grid().columnCount(), 25);
    EXPECT_TRUE(grid().isColumnHidden(oil::kColRegNum));
    EXPECT_TRUE(grid().isColumnHidden(oil::kColComponent));
    EXPECT_FALSE(grid().isColumnHidden(oil::kColDate));
    EXPECT_EQ(grid().model()->headerData(2, Qt::Horizontal).toString(), "Date Performed");
    EXPECT_EQ(grid().model()->headerData(24, Qt::Horizontal).toString(), "Engine Hrs");
    ASSERT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(grid().textAt(0, oil::kColIron), "1");
    EXPECT_EQ(grid().textAt(1, oil::kColIron), "3");
    EXPECT_EQ(grid().textAt(0, oil::kColDate), "1/1/05");
    EXPECT_EQ(grid().currentColumn(), oil::kColDate);

    // "Show Graph" with all but phosphorus, and the chart of the two samples.
    EXPECT_EQ(control<QGroupBox>(s, "Frame1")->title(), "Show Graph");
    for (int i = 0; i < oil::kOptionCount; ++i)
        EXPECT_EQ(control<QRadioButton>(s, "Option1", static_cast<size_t>(i))->text(),
                  QString::fromLatin1(oil::kOptionCaptions[static_cast<size_t>(i)]));
    EXPECT_TRUE(control<QRadioButton>(s, "Option1", 22)->isChecked());
    EXPECT_EQ(s.selectedOption(), 22);
    EXPECT_TRUE(control<velmora::oil::TrendChart>(s, "MSChart1")->chartVisible());
    EXPECT_EQ(control<velmora::oil::TrendChart>(s, "MSChart1")->rowCount(), 2);
    EXPECT_EQ(control<velmora::oil::TrendChart>(s, "MSChart1")->seriesCount(), 20);
    EXPECT_EQ(control<velmora::oil::TrendChart>(s, "MSChart1")->contents().rowLabelAt(0), "1/1/05");
    EXPECT_EQ(control<QPushButton>(s, "Command1")->text(), "Change Chart &Type");

    // Clean state; the navigation bar's caption.
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(s, "cmdClose")->isEnabled());
    EXPECT_EQ(control<QPushButton>(s, "cmdSave")->text(), "&Save");
    EXPECT_EQ(control<QPushButton>(s, "cmdClose")->text(), "&Close");
    EXPECT_EQ(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->caption(),
              "To view another aircraft, click the arrow buttons to the left and right. ");
    EXPECT_FALSE(velmora::screens::MousePointer::isBusy());
}

TEST_P(OilScreenTest, AircraftWithoutOilComponentsShowsTheMessage) {
    addFleet();
    addSample("N101", "Main gearbox", "2005-01-01", 1);
    addSample("N202", "Engine", "2005-01-01", 1);
    frmOilAnalysis& s = open();
    ASSERT_EQ(grid().rowCount(), 1);

    control<velmora::screens::Chooser>(s, "Combo1")->setListIndex(1);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0], kNoComponents);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N202");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->entryCount(), 0);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->text(), "");
    EXPECT_EQ(grid().rowCount(), 0);
    EXPECT_EQ(
        control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->currentValue("RegNum"),
        Value("N202"));

    // Back to the first: its components and samples again.
    control<velmora::screens::Chooser>(s, "Combo1")->setListIndex(0);
    EXPECT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->entryCount(), 2);
    EXPECT_EQ(grid().rowCount(), 1);
}

TEST_P(OilScreenTest, NavigationArrowsChooseTheAircraft) {
    addFleet();
    frmOilAnalysis& s = open();
    QTest::mouseClick(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->nextButton(),
                      Qt::LeftButton);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N202");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->entryCount(), 0);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0], kNoComponents);
    EXPECT_FALSE(velmora::screens::MousePointer::isBusy());
    QTest::mouseClick(
        control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->previousButton(),
        Qt::LeftButton);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N101");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->text(), "Main gearbox");
}

TEST_P(OilScreenTest, ComponentNamesAreListedOnce) {
    tf::addAircraft(*db_, "N101");
    tf::addAircraft(*db_, "n101");  // the same registration in other letters: listed once
    tf::addPart(*db_, tf::part("N101", 1).describedAs("Engine").withOil());
    tf::addPart(*db_, tf::part("N101", 2).describedAs("Engine").withOil());
    tf::addPart(*db_, tf::part("N101", 3).describedAs("ENGINE").withOil());
    tf::addPart(*db_, tf::part("N101", 4).describedAs("Gearbox").withOil());
    frmOilAnalysis& s = open();
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->entryCount(), 1);
    ASSERT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->entryCount(), 2);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->itemText(0), "Engine");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->itemText(1), "Gearbox");
}

TEST_P(OilScreenTest, NewSampleStartsWithZerosAndNoDate) {
    addFleet();
    addSample("N101", "Main gearbox", "2005-01-01", 1);
    frmOilAnalysis& s = open();
    goTo(1, oil::kColIron);  // the add line
    QTest::keyClicks(&grid(), "4");
    QLineEdit* e = editor();
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_TRUE(grid().hasPendingRow());
    EXPECT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(s, "cmdClose")->isEnabled());
    EXPECT_EQ(grid().valueAt(1, oil::kColRegNum), Value("N101"));
    EXPECT_EQ(grid().valueAt(1, oil::kColComponent), Value("Main gearbox"));
    EXPECT_TRUE(grid().valueAt(1, oil::kColDate).isNull());
    EXPECT_EQ(grid().textAt(1, oil::kColIron), "4");
    for (int c = oil::kColIron + 1; c <= oil::kColEngineHrs; ++c)
        EXPECT_EQ(grid().valueAt(1, c), Value(0)) << "column " << c;

    // Leaving the row without a date: the sample is refused and stays on screen.
    QTest::keyClick(&grid(), Qt::Key_Up);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].title, "Missing data");
    EXPECT_TRUE(dialogs_->messages[0].text.contains("date the sample was taken"));
    EXPECT_TRUE(grid().hasPendingRow());
    EXPECT_EQ(grid().currentRow(), 1);
    EXPECT_EQ(oilRows("Iron = 4"), 0);

    // With its date it is written when the row is left.
    grid().setCurrentColumn(oil::kColDate);
    editCurrentCell("3/1/2005");
    QTest::keyClick(&grid(), Qt::Key_Up);
    EXPECT_FALSE(grid().hasPendingRow());
    ASSERT_EQ(oilRows("Iron = 4"), 1);
    auto row = db_->openRecordset("select * from Oil where Iron = 4");
    EXPECT_EQ(row->value("RegNum"), Value("N101"));
    EXPECT_EQ(row->value("Component"), Value("Main gearbox"));
    EXPECT_EQ(row->value("DatePerformed"), Value("2005-03-01"));
    EXPECT_EQ(row->value("Vanadium"), Value(0.0));
    EXPECT_EQ(row->value("EngineHrs"), Value(0.0));
    EXPECT_EQ(dialogs_->messages.size(), 1u);
}

TEST_P(OilScreenTest, PendingEditIsWrittenOnRowChangeNotBySave) {
    addFleet();
    addSample("N101", "Main gearbox", "2005-01-01", 1);
    addSample("N101", "Main gearbox", "2005-02-01", 2);
    frmOilAnalysis& s = open();
    goTo(0, oil::kColIron);
    editCurrentCell("11.5");
    EXPECT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_EQ(grid().textAt(0, oil::kColIron), "11.5");

    // "Save" only switches the buttons.
    QTest::mouseClick(control<QPushButton>(s, "cmdSave"), Qt::LeftButton);
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(s, "cmdClose")->isEnabled());
    EXPECT_EQ(oilRows("Iron = 11.5"), 0);
    EXPECT_TRUE(grid().hasPendingRow());

    QTest::keyClick(&grid(), Qt::Key_Down);
    EXPECT_FALSE(grid().hasPendingRow());
    EXPECT_EQ(oilRows("Iron = 11.5 and DatePerformed = #1/1/2005#"), 1);
    EXPECT_EQ(oilRows(), 2);
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_P(OilScreenTest, SampleWithoutComponentIsRefused) {
    addFleet();
    frmOilAnalysis& s = open();
    control<velmora::screens::Chooser>(s, "Combo1")->setListIndex(1);  // N202: no oil components
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    ASSERT_EQ(grid().rowCount(), 0);

    goTo(0, oil::kColDate);
    editCurrentCell("3/1/2005");
    ASSERT_TRUE(grid().hasPendingRow());
    // No values go into a row without a component to belong to.
    EXPECT_TRUE(grid().valueAt(0, oil::kColRegNum).isNull());
    EXPECT_TRUE(grid().valueAt(0, oil::kColIron).isNull());

    EXPECT_FALSE(grid().commitPendingRow());
    ASSERT_EQ(dialogs_->messages.size(), 2u);
    EXPECT_EQ(dialogs_->messages[1], box("An aircraft component must be selected", "Missing data"));
    EXPECT_EQ(oilRows(), 0);
    EXPECT_TRUE(grid().hasPendingRow());
    EXPECT_EQ(grid().textAt(0, oil::kColDate), "3/1/05");
}

TEST_P(OilScreenTest, SampleWithoutAircraftIsRefusedWithBothMessages) {
    frmOilAnalysis& s = open();  // an empty file: no aircraft at all
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->entryCount(), 0);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->entryCount(), 0);
    EXPECT_EQ(grid().rowCount(), 0);
    EXPECT_FALSE(control<velmora::oil::TrendChart>(s, "MSChart1")->chartVisible());
    EXPECT_TRUE(dialogs_->messages.empty());

    goTo(0, oil::kColIron);
    editCurrentCell("12");
    ASSERT_TRUE(grid().hasPendingRow());
    EXPECT_FALSE(grid().commitPendingRow());
    ASSERT_EQ(dialogs_->messages.size(), 2u);
    EXPECT_EQ(dialogs_->messages[0], box("An aircraft must be selected", "Missing data"));
    EXPECT_EQ(dialogs_->messages[1], box("An aircraft component must be selected", "Missing data"));
    EXPECT_EQ(oilRows(), 0);
    EXPECT_EQ(grid().textAt(0, oil::kColIron), "12");

    // Closing: the prompt (Yes: save), then the question whether to let the unsaved
    // sample go.
    dialogs_->answer(MsgAnswer::Yes);  // "Data has changed. Save data?"
    dialogs_->answer(MsgAnswer::Ok);   // the two messages again
    dialogs_->answer(MsgAnswer::Ok);
    dialogs_->answer(MsgAnswer::No);  // do not close without it
    EXPECT_FALSE(s.close());
    EXPECT_TRUE(s.isVisible());
    EXPECT_EQ(dialogs_->messages.back().text,
              "The oil sample could not be saved. Close without saving it?");
    EXPECT_EQ(grid().textAt(0, oil::kColIron), "12");
    dialogs_->answer(MsgAnswer::Ok);
    dialogs_->answer(MsgAnswer::Ok);
    dialogs_->answer(MsgAnswer::Yes);
    EXPECT_TRUE(s.close());
    EXPECT_EQ(oilRows(), 0);
}

TEST_P(OilScreenTest, ComponentNameWithAQuoteWorks) {
    tf::addAircraft(*db_, "N101");
    tf::addPart(*db_, tf::part("N101", 1).describedAs("Pilot's gearbox").withOil());
    addSample("N101", "Pilot's gearbox", "2005-01-01", 5);
    addSample("N101", "Pilots gearbox", "2005-01-01", 6);
    frmOilAnalysis& s = open();
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->text(), "Pilot's gearbox");
    ASSERT_EQ(grid().rowCount(), 1);
    EXPECT_EQ(grid().textAt(0, oil::kColIron), "5");
    EXPECT_TRUE(dialogs_->messages.empty());

    goTo(1, oil::kColDate);
    editCurrentCell("2/1/2005");
    ASSERT_TRUE(grid().commitPendingRow());
    EXPECT_EQ(oilRows("Component = 'Pilot''s gearbox'"), 2);
    control<velmora::screens::Chooser>(s, "Combo2")->setListIndex(-1);
    control<velmora::screens::Chooser>(s, "Combo2")->setListIndex(0);
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_P(OilScreenTest, ChartFollowsTheElementAndTheNewestSamples) {
    addFleet();
    // Entered newest first: the grid and the chart still go by date.
    for (int i = 15; i >= 1; --i)
        addSample("N101", "Main gearbox", QDate(2005, 1, 1).addDays(7 * i).toString(Qt::ISODate), i,
                  100 + i);
    frmOilAnalysis& s = open();
    ASSERT_EQ(grid().rowCount(), 15);
    EXPECT_EQ(s.firstChartRow(), 5);
    EXPECT_EQ(s.lastChartRow(), 14);
    ASSERT_EQ(control<velmora::oil::TrendChart>(s, "MSChart1")->rowCount(), 10);
    EXPECT_EQ(control<velmora::oil::TrendChart>(s, "MSChart1")->contents().rowLabelAt(0),
              grid().textAt(5, oil::kColDate));
    EXPECT_EQ(control<velmora::oil::TrendChart>(s, "MSChart1")->contents().rowLabelAt(9),
              grid().textAt(14, oil::kColDate));
    EXPECT_EQ(control<velmora::oil::TrendChart>(s, "MSChart1")->contents().textAt(9, 0), "15");

    // Hours alone.
    QTest::mouseClick(control<QRadioButton>(s, "Option1", 21), Qt::LeftButton);
    EXPECT_EQ(s.selectedOption(), 21);
    ASSERT_EQ(control<velmora::oil::TrendChart>(s, "MSChart1")->seriesCount(), 1);
    EXPECT_EQ(control<velmora::oil::TrendChart>(s, "MSChart1")->contents().seriesLabelAt(0),
              "Engine Hrs");
    EXPECT_EQ(control<velmora::oil::TrendChart>(s, "MSChart1")->contents().textAt(0, 0), "106");

    // The chart types cycle.
    const int first = control<velmora::oil::TrendChart>(s, "MSChart1")->chartType();
    for (int i = 0; i < 10; ++i)
        QTest::mouseClick(control<QPushButton>(s, "Command1"), Qt::LeftButton);
    EXPECT_EQ(control<velmora::oil::TrendChart>(s, "MSChart1")->chartType(), first);
    control<velmora::oil::TrendChart>(s, "MSChart1")->setChartType(9);
    s.Command1_Click();
    EXPECT_EQ(control<velmora::oil::TrendChart>(s, "MSChart1")->chartType(), 0);

    // A component without samples hides the chart; one with samples shows it again.
    control<velmora::screens::Chooser>(s, "Combo2")->setListIndex(1);
    EXPECT_EQ(grid().rowCount(), 0);
    EXPECT_FALSE(control<velmora::oil::TrendChart>(s, "MSChart1")->chartVisible());
    control<velmora::screens::Chooser>(s, "Combo2")->setListIndex(0);
    EXPECT_TRUE(control<velmora::oil::TrendChart>(s, "MSChart1")->chartVisible());
    // The grid stands above the chart.
    EXPECT_LE(grid().geometry().bottom(),
              control<velmora::oil::TrendChart>(s, "MSChart1")->geometry().top());
}

TEST_P(OilScreenTest, ClosingAsksOnlyWithUnsavedChanges) {
    addFleet();
    addSample("N101", "Main gearbox", "2005-01-01", 1);
    frmOilAnalysis& s = open();
    goTo(0, oil::kColIron);
    editCurrentCell("2");
    dialogs_->answer(MsgAnswer::Cancel);
    EXPECT_FALSE(s.close());
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    const MessageRequest prompt{QStringLiteral("Data has changed. Save data?"),
                                QStringLiteral("Data not saved"), MsgButtons::YesNoCancel,
                                MsgIcon::Information, MsgAnswer::No};
    EXPECT_EQ(dialogs_->messages[0], prompt);
    EXPECT_EQ(grid().textAt(0, oil::kColIron), "2");
    EXPECT_EQ(oilRows("Iron = 2"), 0);

    dialogs_->answer(MsgAnswer::Yes);
    EXPECT_TRUE(s.close());
    EXPECT_EQ(oilRows("Iron = 2"), 1);  // written as the screen closed
    EXPECT_FALSE(velmora::screens::MousePointer::isBusy());
}

TEST_P(OilScreenTest, ClosingCleanAsksNothing) {
    addFleet();
    frmOilAnalysis& s = open();
    QTest::mouseClick(control<QPushButton>(s, "cmdClose"), Qt::LeftButton);
    EXPECT_FALSE(s.isVisible());
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_P(OilScreenTest, MissingDataFileIsADataError) {
    VELMORA_FILES_ONLY(store_);  // a folder without the file
    screen_ = std::make_unique<frmOilAnalysis>(store_.dataPath() + "nowhere/");
    ASSERT_FALSE(dialogs_->messages.empty());
    EXPECT_TRUE(dialogs_->messages[0].text.startsWith("Data error event hit err:"));
    EXPECT_GT(dialogs_->messages[0].text.size(),
              QStringLiteral("Data error event hit err:").size());
    EXPECT_EQ(dialogs_->messages[0].buttons, MsgButtons::Ok);
    screen_->show();
    screen_->Form_Activate();
    EXPECT_EQ(control<velmora::screens::Chooser>(*screen_, "Combo1")->entryCount(), 0);
    EXPECT_EQ(grid().rowCount(), 0);
}

TEST_P(OilScreenTest, ResizeKeepsTheLayout) {
    addFleet();
    addSample("N101", "Main gearbox", "2005-01-01", 1);
    frmOilAnalysis& s = open();
    s.resize(1100, 760);
    const QRect inner = s.contentsRect();
    EXPECT_EQ(grid().width(), inner.width());
    EXPECT_LE(grid().geometry().bottom(),
              control<velmora::oil::TrendChart>(s, "MSChart1")->geometry().top());
    EXPECT_LE(control<QWidget>(s, "picButtons")->geometry().bottom(),
              control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->geometry().top());
    EXPECT_EQ(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->geometry().bottom(),
              inner.bottom());
    // Too small for the grid: nothing breaks.
    s.resize(200, 120);
    s.resize(1000, 700);
    EXPECT_EQ(grid().width(), s.contentsRect().width());
}

TEST_P(OilScreenTest, ActivationFromAnotherWindowChoosesTheFirstAircraft) {
    addFleet();
    frmOilAnalysis& s = open();
    control<velmora::screens::Chooser>(s, "Combo1")->setListIndex(1);
    ASSERT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N202");
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    s.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N101");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->text(), "Main gearbox");
}

// --- the user's mouse and keys, real pop-up lists and message boxes ----------------------

namespace {

// Picks a chooser's entry as the user does: a click opens its list, a click on the entry
// chooses it.
void pickWithMouse(velmora::screens::Chooser* chooser, int entry) {
    QTest::mouseClick(chooser, Qt::LeftButton);
    QAbstractItemView* list = chooser->view();
    ASSERT_TRUE(list->isVisible());
    const QRect at = list->visualRect(list->model()->index(entry, 0));
    // The list takes no click in the instant it opens: the user looks first.
    QTest::mouseMove(list->viewport(), at.center());
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
    QApplication::processEvents();
}

}  // namespace

TEST_P(OilScreenTest, MouseChoicesAndPopUpListsKeepTheChosenAircraft) {
    addFleet();
    tf::addAircraft(*db_, "N303");
    tf::addPart(*db_, tf::part("N303", 1).describedAs("Gearbox").withOil());
    addSample("N303", "Gearbox", "2006-01-01", 7);
    frmOilAnalysis& s = open();
    velmora::screens::Dialogs::install(nullptr);  // the real boxes
    ASSERT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N101");

    // An aircraft without oil components: OK on the message keeps it chosen.
    auto boxes = tf::answerBoxesWithKeys({Qt::Key_Return});
    pickWithMouse(control<velmora::screens::Chooser>(s, "Combo1"), 1);
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_EQ(boxes->boxes[0].title, "No components set for oil analysis.");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N202");
    EXPECT_EQ(
        control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->currentValue("RegNum"),
        Value("N202"));
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->entryCount(), 0);

    pickWithMouse(control<velmora::screens::Chooser>(s, "Combo1"), 2);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N303");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2")->text(), "Gearbox");
    ASSERT_EQ(grid().rowCount(), 1);
    EXPECT_EQ(grid().textAt(0, oil::kColIron), "7");

    // Opening and closing the component list changes nothing.
    QTest::mouseClick(control<velmora::screens::Chooser>(s, "Combo2"), Qt::LeftButton);
    ASSERT_TRUE(control<velmora::screens::Chooser>(s, "Combo2")->view()->isVisible());
    QTest::keyClick(control<velmora::screens::Chooser>(s, "Combo2")->view(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N303");
    EXPECT_EQ(
        control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->currentValue("RegNum"),
        Value("N303"));
    EXPECT_EQ(grid().textAt(0, oil::kColIron), "7");
    // A sample typed now belongs to the aircraft on screen.
    EXPECT_EQ(grid().valueAt(0, oil::kColRegNum), Value("N303"));
}

TEST_P(OilScreenTest, CancelInTheClosingQuestionKeepsTheEditedState) {
    addFleet();
    addSample("N101", "Main gearbox", "2005-01-01", 1);
    frmOilAnalysis& s = open();
    velmora::screens::Dialogs::install(nullptr);  // the real boxes
    goTo(0, oil::kColIron);
    editCurrentCell("9");
    ASSERT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    auto boxes = tf::answerBoxesWithKeys({Qt::Key_Escape});
    s.close();
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_EQ(boxes->boxes[0].title, "Data not saved");
    EXPECT_TRUE(s.isVisible());
    EXPECT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(s, "cmdClose")->isEnabled());
    EXPECT_EQ(grid().textAt(0, oil::kColIron), "9");
    EXPECT_EQ(oilRows("Iron = 9"), 0);
}

TEST_P(OilScreenTest, TheDeleteKeyAsksBeforeASampleGoes) {
    addFleet();
    addSample("N101", "Main gearbox", "2005-01-01", 1);
    addSample("N101", "Main gearbox", "2005-02-01", 2);
    open();
    goTo(0, oil::kColIron);
    dialogs_->answer(MsgAnswer::No);
    QTest::keyClick(&grid(), Qt::Key_Delete);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].text, "Delete this record?");
    EXPECT_EQ(dialogs_->messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs_->messages[0].defaultButton, MsgAnswer::No);
    EXPECT_EQ(oilRows(), 2);
    dialogs_->answer(MsgAnswer::Yes);
    QTest::keyClick(&grid(), Qt::Key_Delete);
    EXPECT_EQ(oilRows(), 1);
    EXPECT_EQ(oilRows("Iron = 1"), 0);
}

TEST_P(OilScreenTest, WithoutSamplesTheGridEndsAboveTheChartsOptions) {
    addFleet();  // no samples: the chart is hidden
    frmOilAnalysis& s = open();
    ASSERT_FALSE(control<velmora::oil::TrendChart>(s, "MSChart1")->chartVisible());
    EXPECT_LT(grid().geometry().bottom(), control<QGroupBox>(s, "Frame1")->geometry().top());
    s.resize(s.width() + 200, s.height() + 150);
    EXPECT_LT(grid().geometry().bottom(), control<QGroupBox>(s, "Frame1")->geometry().top());
    EXPECT_LT(grid().geometry().bottom(), control<QPushButton>(s, "Command1")->geometry().top());
}

TEST_P(OilScreenTest, ASampleOfAnAircraftRenamedOnAnotherScreenIsNotWritten) {
    addFleet();
    addSample("N101", "Main gearbox", "2005-01-01", 1);
    frmOilAnalysis& s = open();
    // Aircraft Set-up renames the aircraft, its samples with it, while this screen is open.
    db_->execute("UPDATE Aircraft SET RegNum = 'N909' WHERE RegNum = 'N101'");
    db_->execute("UPDATE Oil SET RegNum = 'N909' WHERE RegNum = 'N101'");
    db_->execute("UPDATE Parts SET RegNum = 'N909' WHERE RegNum = 'N101'");
    goTo(1, oil::kColDate);
    editCurrentCell("2/1/2005");
    EXPECT_FALSE(grid().commitPendingRow());
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].title, "Oil Analysis");
    EXPECT_TRUE(dialogs_->messages[0].text.startsWith(
        "The aircraft N101 is not in the data file any more"));
    EXPECT_EQ(oilRows("RegNum = 'N101'"), 0);
    EXPECT_EQ(oilRows(), 1);
    Q_UNUSED(s);
}

VELMORA_ON_BOTH_BACK_ENDS(OilScreenTest);
