#include "data/DataFiles.h"
#include "remaining/frmRemain.h"
#include "reportfiles/ReportDefinition.h"
#include "reports/ReportData.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/BackEnds.h"
#include "support/Controls.h"
#include "support/RealMessageBoxes.h"

#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <memory>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using remaining::frmRemain;
using screens::MsgAnswer;

namespace {

class TimeRemaining : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        QApplication::setApplicationDisplayName("Velmora");
        path = store.createMainFile();
        auto db = data::Database::open(path);
        addAircraft(*db, "N1", 1000, 500, 800, 40, 7);
        addAircraft(*db, "N2 ", 10);  // a registration with a trailing blank
        db->execute(
            "UPDATE Aircraft SET CurrentMeter1 = 1234.5, LastMeter1 = 1230, "
            "ShowCycles = Yes, ShowLandings = Yes WHERE RegNum = 'N1'");
        PartSpec p;
        p.reg = "N1";
        auto add = [&](int item, int meter, const char* basis, double life, double ac,
                       const char* name) {
            p.item = item;
            p.meter = meter;
            p.basis = basis;
            p.life = life;
            p.installAc = ac;
            p.description = name;
            addPart(*db, p);
        };
        add(10, 1, "RT", 2000, 100, "Main rotor");    // 2000 - (1000 - 100) = 1100
        add(20, 2, "OH", 300, 50, "Hydraulic pump");  // 300 - (500 - 50) = -150
        add(30, 1, "CY", 100, 10, "Starter");         // 100 - (40 - 10) = 70
        p.reg = "N2";
        add(5, 1, "RT", 100, 0, "Battery");
    }
    void TearDown() override {
        screen.reset();
        screens::SuppressReposition = false;
    }
    frmRemain& open() {
        screen = std::make_unique<frmRemain>(store.dataPath(), [](const QString& column) {
            return column == "Name" ? data::Value("Skyline Rotor Services")
                                    : data::Value("555-0100");
        });
        screen->setReportRunner([this](QWidget*, const reports::PrintRequest& job) {
            jobs.push_back(job);
            return data::MaybeFailure();
        });
        screen->show();
        QApplication::setActiveWindow(screen.get());
        screen->Form_Activate();
        return *screen;
    }
    static void click(QAbstractButton* b) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    QString stored(const QString& sql) {
        auto rs = data::Database::open(path)->openRecordset(sql);
        return rs->hasCurrent() ? rs->value(0).toString() : QStringLiteral("<no row>");
    }
    int row(const QString& component) {
        for (int r = 0; r < control<velmora::screens::DataGrid>(*screen, "grdDataGrid")->rowCount();
             ++r) {
            if (control<velmora::screens::DataGrid>(*screen, "grdDataGrid")->textAt(r, 24) ==
                component)
                return r;
        }
        return -1;
    }

    screens::ScopedDialogs dialogs;
    TestStore store{GetParam()};
    QString path;
    std::unique_ptr<frmRemain> screen;
    std::vector<reports::PrintRequest> jobs;
};

}  // namespace

TEST_P(TimeRemaining, OpensOnTheFirstAircraftAndMeterOne) {
    frmRemain& s = open();
    EXPECT_EQ(s.windowTitle(), "Time and Cycles Remaining");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N1");
    EXPECT_TRUE(control<QRadioButton>(s, "Option1", 0)->isChecked());
    ASSERT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(),
              2);  // meter-1 components only
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->textAt(row("Main rotor"), 39),
              "1100.0");
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->textAt(row("Starter"), 42),
              "70");
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->textAt(row("Main rotor"), 42),
              "");  // 0 cycles shows blank
    EXPECT_TRUE(control<velmora::screens::DataGrid>(s, "grdDataGrid")->isColumnVisible(39));
    EXPECT_FALSE(control<velmora::screens::DataGrid>(s, "grdDataGrid")->isColumnVisible(40));
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(s, "cmdPrint", 0)->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmRemain::Field::CurrentMeter1));
    EXPECT_EQ(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->caption(),
              "To view another aircraft, click the arrow buttons to the left and right. ");
    EXPECT_TRUE(dialogs->messages.empty());
}

// Opened again, the screen shows the fleet as it is now, with what another workstation
// changed since its last open: its aircraft list and the figures of its first aircraft.
TEST_P(TimeRemaining, OpenedAgainItShowsWhatAnotherWorkstationChanged) {
    open();
    screen.reset();
    {
        auto other = data::Database::open(
            data::dataFileName(store.otherWorkstationDataPath(), data::files::kMain));
        addAircraft(*other, "N3", 5);
        other->execute("UPDATE Aircraft SET TotalTime = 1100 WHERE RegNum = 'N1'");
    }
    frmRemain& s = open();
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->entryCount(), 3);
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->textAt(row("Main rotor"), 39),
              "1000.0");  // 2000 - (1100 - 100)
}

// The arrow buttons move to the next aircraft: the chooser, its figures and its list follow,
// and the screen is ready for its meter.
TEST_P(TimeRemaining, TheArrowsShowTheNextAircraftWithItsList) {
    frmRemain& s = open();
    ASSERT_TRUE(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->moveNext());
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N2 ");
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmRemain::Field::TotalTime)->text(), "10");
    ASSERT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 1);
    EXPECT_GE(row("Battery"), 0);
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmRemain::Field::CurrentMeter1));
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_P(TimeRemaining, BothMetersListEveryComponentAndShowOverdueWithItsSign) {
    frmRemain& s = open();
    click(control<QRadioButton>(s, "Option1", 2));
    ASSERT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 3);
    for (int c : {39, 40, 44, 45, 46, 47, 48})
        EXPECT_TRUE(control<velmora::screens::DataGrid>(s, "grdDataGrid")->isColumnVisible(c)) << c;
    EXPECT_EQ(
        control<velmora::screens::DataGrid>(s, "grdDataGrid")->textAt(row("Hydraulic pump"), 46),
        "-150.0");
    click(control<QRadioButton>(s, "Option1", 1));
    ASSERT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 1);
    EXPECT_FALSE(control<velmora::screens::DataGrid>(s, "grdDataGrid")->isColumnVisible(39));
    EXPECT_TRUE(control<velmora::screens::DataGrid>(s, "grdDataGrid")->isColumnVisible(46));
    // What the user sees: the meter-2 columns on screen, wide enough to read.
    for (int c : {40, 46, 47}) {
        EXPECT_FALSE(control<velmora::screens::DataGrid>(s, "grdDataGrid")->isColumnHidden(c)) << c;
        EXPECT_GT(control<velmora::screens::DataGrid>(s, "grdDataGrid")->columnWidth(c), 40) << c;
    }
    for (int c : {39, 44, 45})
        EXPECT_TRUE(control<velmora::screens::DataGrid>(s, "grdDataGrid")->isColumnHidden(c)) << c;
    // The working query is gone after every rebuild.
    EXPECT_FALSE(data::Database::open(path)->hasQueryDef("Query1"));
}

TEST_P(TimeRemaining, RetirementDatesAreShortDatesAndOnlyPassedOnesStandOut) {
    auto db = data::Database::open(path);
    const QDate today = QDate::currentDate();
    addPart(*db, part("N1", 40).describedAs("Fire bottle"));
    addPart(*db, part("N1", 50).describedAs("Life raft"));
    addPart(*db, part("N1", 60).describedAs("Emergency beacon"));
    auto monthly = [&](int item, int months, const QDate& installed) {
        db->execute(QStringLiteral("UPDATE Parts SET LifeBasis = 'MO', LifeNumber = %1, "
                                   "InstallDate = '%2' WHERE ItemNumber = %3")
                        .arg(months)
                        .arg(installed.toString(Qt::ISODate))
                        .arg(item));
    };
    monthly(40, 12, today.addYears(-2));
    monthly(50, 12, today);
    // Due in 2062: its two-digit year ("04/17/62") is no date of 1962. (A life of 40 years
    // keeps it clear of the due-soon level for as long as this test will be run.)
    monthly(60, 480, QDate(2022, 4, 17));
    frmRemain& s = open();
    const int dateToRetire = 48;
    auto* m = control<velmora::screens::DataGrid>(s, "grdDataGrid")->model();
    const QModelIndex passed = m->index(row("Fire bottle"), dateToRetire);
    const QModelIndex ahead = m->index(row("Life raft"), dateToRetire);
    const QModelIndex in2062 = m->index(row("Emergency beacon"), dateToRetire);
    EXPECT_EQ(passed.data().toString(),
              QLocale().toString(today.addYears(-1), QLocale::ShortFormat));
    EXPECT_EQ(passed.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    EXPECT_FALSE(ahead.data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(in2062.data().toString(),
              QLocale().toString(QDate(2062, 4, 17), QLocale::ShortFormat));
    EXPECT_FALSE(in2062.data(Qt::ForegroundRole).isValid());
    // Like "Date Installed" beside it.
    EXPECT_EQ(m->index(row("Emergency beacon"), 34).data().toString(),
              QLocale().toString(QDate(2022, 4, 17), QLocale::ShortFormat));
    // Components of other bases show no date.
    EXPECT_EQ(m->index(row("Main rotor"), dateToRetire).data().toString().trimmed(), "");
}

TEST_P(TimeRemaining, ShowBoxesAreKeptPerAircraft) {
    frmRemain& s = open();
    EXPECT_TRUE(control<velmora::screens::DataGrid>(s, "grdDataGrid")->isColumnVisible(42));
    EXPECT_FALSE(control<velmora::screens::DataGrid>(s, "grdDataGrid")->isColumnVisible(30));
    click(control<QCheckBox>(s, "chkFields", 6));  // untick Cycles
    EXPECT_FALSE(control<velmora::screens::DataGrid>(s, "grdDataGrid")->isColumnVisible(42));
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
    // A column hidden when the screen opened shows at a readable width once ticked.
    const int manufacturer = 28;
    ASSERT_FALSE(control<QCheckBox>(s, "chkFields", 1)->isChecked());
    click(control<QCheckBox>(s, "chkFields", 1));
    EXPECT_TRUE(
        control<velmora::screens::DataGrid>(s, "grdDataGrid")->isColumnVisible(manufacturer));
    EXPECT_GT(control<velmora::screens::DataGrid>(s, "grdDataGrid")->columnWidth(manufacturer), 40);
    click(control<QCheckBox>(s, "chkFields", 1));
    control<velmora::screens::Chooser>(s, "Combo1")
        ->setListIndex(control<velmora::screens::Chooser>(s, "Combo1")->findExact("N2 "));
    EXPECT_EQ(stored("select ShowCycles from Aircraft where RegNum = 'N1'"), "0");
    EXPECT_FALSE(control<velmora::screens::DataGrid>(s, "grdDataGrid")
                     ->isColumnVisible(42));  // N2 has its own (unticked) choice
    // The registration with its trailing blank finds the record.
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmRemain::Field::TotalTime)->text(), "10");
}

TEST_P(TimeRemaining, MeterEntryAsksTheScreensOwnSecondQuestionAndRebuilds) {
    frmRemain& s = open();
    dialogs->answer(MsgAnswer::No);
    dialogs->answer(MsgAnswer::Yes);
    control<QLineEdit>(s, "txtFields", frmRemain::Field::CurrentMeter1)->setFocus();
    control<QLineEdit>(s, "txtFields", frmRemain::Field::CurrentMeter1)->selectAll();
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmRemain::Field::CurrentMeter1), "1300");
    control<QLineEdit>(s, "txtFields", frmRemain::Field::CurrentMeter2)->setFocus();
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[1].text, "Reset total value to entry shown?");
    EXPECT_EQ(stored("select CurrentMeter1 from Aircraft where RegNum = 'N1'"), "1300");
    EXPECT_EQ(stored("select TotalTime from Aircraft where RegNum = 'N1'"), "1000");

    dialogs->answer(MsgAnswer::Yes);
    control<QLineEdit>(s, "txtFields", frmRemain::Field::TotalTime)->setFocus();
    control<QLineEdit>(s, "txtFields", frmRemain::Field::TotalTime)->selectAll();
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmRemain::Field::TotalTime), "+100");
    control<QLineEdit>(s, "txtFields", frmRemain::Field::TotalLandings)->setFocus();
    EXPECT_EQ(stored("select TotalTime from Aircraft where RegNum = 'N1'"), "1100");
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->textAt(row("Main rotor"), 39),
              "1000.0");  // rebuilt
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
}

TEST_P(TimeRemaining, OtherFieldsSaveAtOnceAndForecastsWaitForSave) {
    frmRemain& s = open();
    control<QLineEdit>(s, "txtFields", frmRemain::Field::Make)->setFocus();
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmRemain::Field::Make), "Aerodyne");
    EXPECT_FALSE(control<QPushButton>(s, "cmdPrint", 0)->isEnabled());
    control<QLineEdit>(s, "txtFields", frmRemain::Field::Model)->setFocus();
    EXPECT_EQ(stored("select Make from Aircraft where RegNum = 'N1'"), "Aerodyne");
    EXPECT_TRUE(control<QPushButton>(s, "cmdPrint", 0)->isEnabled());

    control<QLineEdit>(s, "Text1", 0)->setFocus();
    QTest::keyClicks(control<QLineEdit>(s, "Text1", 0), "150");
    EXPECT_FALSE(control<QPushButton>(s, "cmdPrint", 1)
                     ->isEnabled());  // no forecast print before it is saved
    QTest::mouseClick(control<QPushButton>(s, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(stored("select ForecastMeter1 from Aircraft where RegNum = 'N1'"), "150");
    EXPECT_TRUE(control<QPushButton>(s, "cmdPrint", 1)->isEnabled());
}

TEST_P(TimeRemaining, PrintsHandTheReportTheTrimmedRegistrationSafelyQuoted) {
    frmRemain& s = open();
    QTest::mouseClick(control<QPushButton>(s, "cmdPrint", 0), Qt::LeftButton);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].selectionFormula, "{Remaining.Aircraft.RegNum} = 'N1'");
    EXPECT_EQ(jobs[0].reportFile, data::dataFileName(store.dataPath(), "1.rpt"));
    EXPECT_EQ(jobs[0].dataFile, "TimeMgr.mdb");
    EXPECT_EQ(jobs[0].companyName, "Skyline Rotor Services");
    control<velmora::screens::Chooser>(s, "Combo1")
        ->setListIndex(control<velmora::screens::Chooser>(s, "Combo1")->findExact("N2 "));
    QTest::mouseClick(control<QPushButton>(s, "cmdPrint", 1), Qt::LeftButton);
    EXPECT_EQ(jobs[1].selectionFormula, "{Forecast.Aircraft.RegNum} = 'N2'");
    EXPECT_EQ(jobs[1].reportFile, data::dataFileName(store.dataPath(), "2.rpt"));
    control<velmora::screens::Chooser>(s, "Combo1")->addEntry("O'HARA");
    control<velmora::screens::Chooser>(s, "Combo1")
        ->setListIndex(control<velmora::screens::Chooser>(s, "Combo1")->findExact("O'HARA"));
    EXPECT_EQ(s.selectionFormula(0), "{Remaining.Aircraft.RegNum} = 'O''HARA'");
}

TEST_P(TimeRemaining, AnEmptyFleetShowsAnEmptyChooserAndGrid) {
    data::Database::open(path)->execute("DELETE FROM Aircraft");
    frmRemain& s = open();
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->entryCount(), 0);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->listIndex(), -1);
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 0);
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_P(TimeRemaining, TheGridGrowsWithTheWindowBelowTheFramesAndAboveTheButtons) {
    frmRemain& s = open();
    // The first size shows every frame whole and the grid as laid out.
    for (QWidget* frame : {static_cast<QWidget*>(control<QGroupBox>(s, "SSFrame1")),
                           static_cast<QWidget*>(control<QGroupBox>(s, "Frame3"))})
        EXPECT_LE(frame->geometry().right(), s.contentsRect().right());
    const QRect grid = control<velmora::screens::DataGrid>(s, "grdDataGrid")->geometry();
    EXPECT_LT(grid.bottom(), control<QWidget>(s, "picButtons")->geometry().top());
    s.resize(s.width() + 120, s.height() + 200);
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->width(),
              s.contentsRect().width());
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->height(), grid.height() + 200);
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->y(), grid.y());
    EXPECT_LT(control<velmora::screens::DataGrid>(s, "grdDataGrid")->geometry().bottom(),
              control<QWidget>(s, "picButtons")->geometry().top());
    EXPECT_LE(control<QWidget>(s, "picButtons")->geometry().bottom(),
              control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->geometry().top());
    EXPECT_EQ(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->geometry().bottom(),
              s.contentsRect().bottom());
}

TEST_P(TimeRemaining, AfterAQuestionTheFocusGoesOnInTheEntryOrder) {
    frmRemain& s = open();
    screens::Dialogs::install(nullptr);  // the real boxes
    QLineEdit* meter = control<QLineEdit>(s, "txtFields", frmRemain::Field::CurrentMeter1);
    ASSERT_EQ(QApplication::focusWidget(), meter);
    meter->selectAll();
    QTest::keyClicks(meter, "+2");
    auto boxes = answerBoxesWithKeys({Qt::Key_Return});  // Yes
    QTest::keyClick(meter, Qt::Key_Return);
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_EQ(boxes->boxes[0].title, "Meter #1 change");
    EXPECT_EQ(meter->text(), "1236.5");
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields",
                                 frmRemain::Field::CurrentMeter2));  // Enter's order: meter 2
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());

    // Cancel in the closing question keeps the edited state.
    control<QLineEdit>(s, "txtFields", frmRemain::Field::SerialNumber)->setFocus();
    control<QLineEdit>(s, "Text1", 2)->setFocus();
    QTest::keyClicks(control<QLineEdit>(s, "Text1", 2), "3");
    boxes = answerBoxesWithKeys({Qt::Key_Escape});
    s.close();
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_TRUE(s.isVisible());
    EXPECT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(s, "cmdPrint", 1)->isEnabled());
}

TEST_P(TimeRemaining, ForecastsOutOfRangeAreRefusedAtTheirField) {
    frmRemain& s = open();
    const QString before = stored("select ForecastMeter1 from Aircraft where RegNum = 'N1'");
    for (const char* entry : {"-50", "1e12", "100001", "lots"}) {
        control<QLineEdit>(s, "Text1", 0)->setFocus();
        control<QLineEdit>(s, "Text1", 0)->selectAll();
        QTest::keyClicks(control<QLineEdit>(s, "Text1", 0), entry);
        control<QLineEdit>(s, "Text1", 1)->setFocus();  // leaving marks the field at once
        EXPECT_FALSE(control<QLineEdit>(s, "Text1", 0)->toolTip().isEmpty()) << entry;
        EXPECT_TRUE(control<QLabel>(s, "lblForecastProblem")->isVisible()) << entry;
        EXPECT_TRUE(control<QLabel>(s, "lblForecastProblem")->text().startsWith("Meter #1: "))
            << entry;
        QTest::mouseClick(control<QPushButton>(s, "cmdSave"), Qt::LeftButton);
        EXPECT_EQ(stored("select ForecastMeter1 from Aircraft where RegNum = 'N1'"), before)
            << entry;
        EXPECT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled()) << entry;
        EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>(s, "Text1", 0)) << entry;
        EXPECT_EQ(control<QLineEdit>(s, "Text1", 0)->text(), entry);
    }
    EXPECT_TRUE(dialogs->messages.empty());  // the message stands at the field, no box
    control<QLineEdit>(s, "Text1", 0)->selectAll();
    QTest::keyClicks(control<QLineEdit>(s, "Text1", 0), "-5");
    EXPECT_TRUE(control<QLineEdit>(s, "Text1", 0)->toolTip().contains("negative"));
    EXPECT_TRUE(control<QLabel>(s, "lblForecastProblem")->text().contains("negative"));
    // Moving to another aircraft does not write it either.
    control<velmora::screens::Chooser>(s, "Combo1")
        ->setListIndex(control<velmora::screens::Chooser>(s, "Combo1")->findExact("N2 "));
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N1");
    EXPECT_EQ(stored("select ForecastMeter1 from Aircraft where RegNum = 'N1'"), before);

    // A sound increase, 100,000 at most, is taken and the mark goes.
    control<QLineEdit>(s, "Text1", 0)->selectAll();
    QTest::keyClicks(control<QLineEdit>(s, "Text1", 0), "100000");
    EXPECT_TRUE(control<QLineEdit>(s, "Text1", 0)->toolTip().isEmpty());
    EXPECT_FALSE(control<QLabel>(s, "lblForecastProblem")->isVisible());
    QTest::mouseClick(control<QPushButton>(s, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(stored("select ForecastMeter1 from Aircraft where RegNum = 'N1'"), "100000");
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
}

TEST_P(TimeRemaining, WindowSizeAndColumnWidthsAreRememberedForTheUser) {
    frmRemain& s = open();
    const QSize first = s.size();
    s.resize(first.width() + 150, first.height() + 90);
    control<velmora::screens::DataGrid>(s, "grdDataGrid")
        ->horizontalHeader()
        ->resizeSection(24, 333);  // as the user drags it
    s.close();
    screen.reset();
    frmRemain& again = open();
    EXPECT_EQ(again.size(), QSize(first.width() + 150, first.height() + 90));
    EXPECT_EQ(control<velmora::screens::DataGrid>(again, "grdDataGrid")->columnWidth(24), 333);
    // Another aircraft keeps the user's width.
    control<velmora::screens::Chooser>(again, "Combo1")
        ->setListIndex(control<velmora::screens::Chooser>(again, "Combo1")->findExact("N2 "));
    EXPECT_EQ(control<velmora::screens::DataGrid>(again, "grdDataGrid")->columnWidth(24), 333);
}

TEST_P(TimeRemaining, ACellThatIsCutShowsItsWholeTextAsItsTip) {
    data::Database::open(path)->execute(
        "UPDATE Parts SET Description = 'Main rotor blade retention bolt and its nut' "
        "WHERE Description = 'Main rotor'");
    frmRemain& s = open();
    screens::DataGrid* g = control<velmora::screens::DataGrid>(s, "grdDataGrid");
    const int r = row("Main rotor blade retention bolt and its nut");
    ASSERT_GE(r, 0);
    g->horizontalHeader()->resizeSection(24, 60);
    ASSERT_TRUE(g->isTextCut(r, 24));
    EXPECT_FALSE(g->isTextCut(r, 0));
    const QModelIndex at = g->model()->index(r, 24);
    g->scrollTo(at);
    const QPoint pos = g->visualRect(at).center();
    QHelpEvent tip(QEvent::ToolTip, pos, g->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(g->viewport(), &tip);
    EXPECT_EQ(QToolTip::text(), "Main rotor blade retention bolt and its nut");
    QToolTip::hideText();
}

TEST_P(TimeRemaining, TheActualReportReadsTheScreensDataSet) {
    // The report definitions of a data folder lie in it; a server's are the program's own.
    if (GetParam() == BackEnd::File) {
        ASSERT_NO_THROW(reports::writeDefaultReportDefinitions(store.folder().path()));
    }
    frmRemain& s = open();
    QTest::mouseClick(control<QPushButton>(s, "cmdPrint", 0), Qt::LeftButton);
    ASSERT_EQ(jobs.size(), 1u);
    reports::ReportModel model;
    const auto failure = reports::loadReportModel(jobs[0], &model);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    EXPECT_TRUE(model.aircraftFound);
    QStringList shown;
    for (const reports::ReportLine& line : model.lines) {
        for (const reports::ReportCell& cell : line.cells)
            shown << cell.text.trimmed();
    }
    EXPECT_TRUE(shown.contains("Main rotor")) << shown.join('|').toStdString();
    EXPECT_TRUE(shown.contains("Starter")) << shown.join('|').toStdString();
    EXPECT_FALSE(shown.contains("Battery"));  // another aircraft's
}

VELMORA_ON_BOTH_BACK_ENDS(TimeRemaining);
