#include "remaining/frmRemain.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace velmora;
using namespace velmora::testing;
using remaining::frmRemain;
using screens::MsgAnswer;

namespace {

class TimeRemaining : public ::testing::Test {
  protected:
    void SetUp() override {
        QApplication::setApplicationDisplayName("Velmora");
        path = folder.createMainFile();
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
        screen = std::make_unique<frmRemain>(folder.dataPath(), [](const QString& column) {
            return column == "Name" ? data::Value("Skyline Rotor Services")
                                    : data::Value("555-0100");
        });
        screen->setReportRunner([this](QWidget*, const remaining::PrintRequest& job, QString*) {
            jobs.push_back(job);
            return true;
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
        for (int r = 0; r < screen->grdDataGrid->rowCount(); ++r) {
            if (screen->grdDataGrid->textAt(r, 24) == component)
                return r;
        }
        return -1;
    }

    screens::ScopedDialogs dialogs;
    TestFolder folder;
    QString path;
    std::unique_ptr<frmRemain> screen;
    std::vector<remaining::PrintRequest> jobs;
};

}  // namespace

TEST_F(TimeRemaining, OpensOnTheFirstAircraftAndMeterOne) {
    frmRemain& s = open();
    EXPECT_EQ(s.windowTitle(), "Time and Cycles Remaining");
    EXPECT_EQ(s.Combo1->text(), "N1");
    EXPECT_TRUE(s.Option1[0]->isChecked());
    ASSERT_EQ(s.grdDataGrid->rowCount(), 2);  // meter-1 components only
    EXPECT_EQ(s.grdDataGrid->textAt(row("Main rotor"), 39), "1100.0");
    EXPECT_EQ(s.grdDataGrid->textAt(row("Starter"), 42), "70");
    EXPECT_EQ(s.grdDataGrid->textAt(row("Main rotor"), 42), "");  // 0 cycles shows blank
    EXPECT_TRUE(s.grdDataGrid->isColumnVisible(39));
    EXPECT_FALSE(s.grdDataGrid->isColumnVisible(40));
    EXPECT_FALSE(s.cmdSave->isEnabled());
    EXPECT_TRUE(s.cmdPrint[0]->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), s.txtFields[9]);
    EXPECT_EQ(s.datPrimaryRS->caption(),
              "To view another aircraft, click the arrow buttons to the left and right. ");
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(TimeRemaining, BothMetersListEveryComponentAndShowOverdueWithItsSign) {
    frmRemain& s = open();
    click(s.Option1[2]);
    ASSERT_EQ(s.grdDataGrid->rowCount(), 3);
    for (int c : {39, 40, 44, 45, 46, 47, 48})
        EXPECT_TRUE(s.grdDataGrid->isColumnVisible(c)) << c;
    EXPECT_EQ(s.grdDataGrid->textAt(row("Hydraulic pump"), 46), "-150.0");
    click(s.Option1[1]);
    ASSERT_EQ(s.grdDataGrid->rowCount(), 1);
    EXPECT_FALSE(s.grdDataGrid->isColumnVisible(39));
    EXPECT_TRUE(s.grdDataGrid->isColumnVisible(46));
    // What the user sees: the meter-2 columns on screen, wide enough to read.
    for (int c : {40, 46, 47}) {
        EXPECT_FALSE(s.grdDataGrid->isColumnHidden(c)) << c;
        EXPECT_GT(s.grdDataGrid->columnWidth(c), 40) << c;
    }
    for (int c : {39, 44, 45})
        EXPECT_TRUE(s.grdDataGrid->isColumnHidden(c)) << c;
    // The working query is gone after every rebuild.
    EXPECT_FALSE(data::Database::open(path)->hasQueryDef("Query1"));
}

TEST_F(TimeRemaining, PassedRetirementDateStandsOut) {
    auto db = data::Database::open(path);
    const QDate today = QDate::currentDate();
    addPart(*db, part("N1", 40).describedAs("Fire bottle"));
    addPart(*db, part("N1", 50).describedAs("Life raft"));
    db->execute(QStringLiteral("UPDATE Parts SET LifeBasis = 'MO', LifeNumber = 12, "
                               "InstallDate = '%1' WHERE ItemNumber = 40")
                    .arg(today.addYears(-2).toString(Qt::ISODate)));
    db->execute(QStringLiteral("UPDATE Parts SET LifeBasis = 'MO', LifeNumber = 12, "
                               "InstallDate = '%1' WHERE ItemNumber = 50")
                    .arg(today.toString(Qt::ISODate)));
    frmRemain& s = open();
    const int dateToRetire = 48;
    auto* m = s.grdDataGrid->model();
    const QModelIndex passed = m->index(row("Fire bottle"), dateToRetire);
    const QModelIndex ahead = m->index(row("Life raft"), dateToRetire);
    EXPECT_EQ(passed.data().toString(), today.addYears(-1).toString("MM/dd/yy"));
    EXPECT_EQ(passed.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    EXPECT_FALSE(ahead.data(Qt::ForegroundRole).isValid());
}

TEST_F(TimeRemaining, ShowBoxesAreKeptPerAircraft) {
    frmRemain& s = open();
    EXPECT_TRUE(s.grdDataGrid->isColumnVisible(42));
    EXPECT_FALSE(s.grdDataGrid->isColumnVisible(30));
    click(s.chkFields[6]);  // untick Cycles
    EXPECT_FALSE(s.grdDataGrid->isColumnVisible(42));
    EXPECT_FALSE(s.cmdSave->isEnabled());
    // A column hidden when the screen opened shows at a readable width once ticked.
    const int manufacturer = 28;
    ASSERT_FALSE(s.chkFields[1]->isChecked());
    click(s.chkFields[1]);
    EXPECT_TRUE(s.grdDataGrid->isColumnVisible(manufacturer));
    EXPECT_GT(s.grdDataGrid->columnWidth(manufacturer), 40);
    click(s.chkFields[1]);
    s.Combo1->setListIndex(s.Combo1->findExact("N2 "));
    EXPECT_EQ(stored("select ShowCycles from Aircraft where RegNum = 'N1'"), "0");
    EXPECT_FALSE(s.grdDataGrid->isColumnVisible(42));  // N2 has its own (unticked) choice
    // The registration with its trailing blank finds the record.
    EXPECT_EQ(s.txtFields[11]->text(), "10");
}

TEST_F(TimeRemaining, MeterEntryAsksTheScreensOwnSecondQuestionAndRebuilds) {
    frmRemain& s = open();
    dialogs->answer(MsgAnswer::No);
    dialogs->answer(MsgAnswer::Yes);
    s.txtFields[9]->setFocus();
    s.txtFields[9]->selectAll();
    QTest::keyClicks(s.txtFields[9], "1300");
    s.txtFields[10]->setFocus();
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[1].text, "Reset total value to entry shown?");
    EXPECT_EQ(stored("select CurrentMeter1 from Aircraft where RegNum = 'N1'"), "1300");
    EXPECT_EQ(stored("select TotalTime from Aircraft where RegNum = 'N1'"), "1000");

    dialogs->answer(MsgAnswer::Yes);
    s.txtFields[11]->setFocus();
    s.txtFields[11]->selectAll();
    QTest::keyClicks(s.txtFields[11], "+100");
    s.txtFields[13]->setFocus();
    EXPECT_EQ(stored("select TotalTime from Aircraft where RegNum = 'N1'"), "1100");
    EXPECT_EQ(s.grdDataGrid->textAt(row("Main rotor"), 39), "1000.0");  // rebuilt
    EXPECT_FALSE(s.cmdSave->isEnabled());
}

TEST_F(TimeRemaining, OtherFieldsSaveAtOnceAndForecastsWaitForSave) {
    frmRemain& s = open();
    s.txtFields[1]->setFocus();
    QTest::keyClicks(s.txtFields[1], "Aerodyne");
    EXPECT_FALSE(s.cmdPrint[0]->isEnabled());
    s.txtFields[2]->setFocus();
    EXPECT_EQ(stored("select Make from Aircraft where RegNum = 'N1'"), "Aerodyne");
    EXPECT_TRUE(s.cmdPrint[0]->isEnabled());

    s.Text1[0]->setFocus();
    QTest::keyClicks(s.Text1[0], "150");
    EXPECT_FALSE(s.cmdPrint[1]->isEnabled());  // no forecast print before it is saved
    QTest::mouseClick(s.cmdSave, Qt::LeftButton);
    EXPECT_EQ(stored("select ForecastMeter1 from Aircraft where RegNum = 'N1'"), "150");
    EXPECT_TRUE(s.cmdPrint[1]->isEnabled());
}

TEST_F(TimeRemaining, PrintsHandTheReportTheTrimmedRegistrationSafelyQuoted) {
    frmRemain& s = open();
    QTest::mouseClick(s.cmdPrint[0], Qt::LeftButton);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].selectionFormula, "{Remaining.Aircraft.RegNum} = 'N1'");
    EXPECT_EQ(jobs[0].reportFile, folder.dataPath() + "1.rpt");
    EXPECT_EQ(jobs[0].dataFile, "TimeMgr.mdb");
    EXPECT_EQ(jobs[0].companyName, "Skyline Rotor Services");
    s.Combo1->setListIndex(s.Combo1->findExact("N2 "));
    QTest::mouseClick(s.cmdPrint[1], Qt::LeftButton);
    EXPECT_EQ(jobs[1].selectionFormula, "{Forecast.Aircraft.RegNum} = 'N2'");
    EXPECT_EQ(jobs[1].reportFile, folder.dataPath() + "2.rpt");
    s.Combo1->addEntry("O'HARA");
    s.Combo1->setListIndex(s.Combo1->findExact("O'HARA"));
    EXPECT_EQ(s.selectionFormula(0), "{Remaining.Aircraft.RegNum} = 'O''HARA'");
}

TEST_F(TimeRemaining, AnEmptyFleetShowsAnEmptyChooserAndGrid) {
    data::Database::open(path)->execute("DELETE FROM Aircraft");
    frmRemain& s = open();
    EXPECT_EQ(s.Combo1->entryCount(), 0);
    EXPECT_EQ(s.Combo1->listIndex(), -1);
    EXPECT_EQ(s.grdDataGrid->rowCount(), 0);
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(TimeRemaining, ResizingChangesOnlyTheGridsWidth) {
    frmRemain& s = open();
    const int height = s.grdDataGrid->height();
    s.resize(s.width() + 120, s.height() + 200);
    EXPECT_EQ(s.grdDataGrid->width(), s.contentsRect().width());
    EXPECT_EQ(s.grdDataGrid->height(), height);
}
