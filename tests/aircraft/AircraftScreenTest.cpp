#include "aircraft/frmAircraft.h"
#include "journal/screen/JournalTableModel.h"
#include "journal/screen/UtilisationPanel.h"
#include "journal/screen/frmJournal.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/BackEnds.h"
#include "support/Controls.h"
#include "support/RealMessageBoxes.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using aircraft::frmAircraft;
using screens::MsgAnswer;

namespace {

class AircraftScreen : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        QApplication::setApplicationDisplayName("Velmora");
        path = store.createMainFile();
        library = store.createTemplateFile();
        auto db = data::Database::open(path);
        addAircraft(*db, "N1", 800, 50, 1200, 500, 40);
        db->execute(
            "UPDATE Aircraft SET CurrentMeter1 = 1234.5, LastMeter1 = 1230, "
            "CurrentMeter2 = 60, LastMeter2 = 60, Make = 'Aerodyne' WHERE RegNum = 'N1'");
        addAircraft(*db, "N2", 10);
        addAircraft(*db, "n2", 11);  // the same registration in other letters
        auto part = [&](const char* reg, int item, const char* description, bool active = true) {
            PartSpec p;
            p.reg = reg;
            p.item = item;
            p.description = description;
            p.active = active;
            addPart(*db, p);
        };
        part("N1", 20, "Tail rotor");
        part("N1", 10, "Main rotor");
        part("N1", 30, "Spare pump", false);
        part("N2", 5, "Starter");
        db->execute(
            "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron) VALUES "
            "('N1', 'Main rotor', #1/5/2026#, 3)");
    }
    void TearDown() override {
        screen.reset();
        screens::SuppressReposition = false;
    }

    frmAircraft& open() {
        screen = std::make_unique<frmAircraft>(store.dataPath());
        screen->show();
        QApplication::setActiveWindow(screen.get());
        screen->Form_Activate();
        return *screen;
    }
    // Types an entry into a field and leaves it for another, as the user does.
    void enter(int index, const QString& text, int leaveTo) {
        QLineEdit* f = control<QLineEdit>(*screen, "txtFields", index);
        f->setFocus();
        f->selectAll();
        QTest::keyClicks(f, text);
        control<QLineEdit>(*screen, "txtFields", leaveTo)->setFocus();
    }
    // A click on the option's round button, where a user clicks.
    static void clickOption(frmAircraft& s, int i) {
        QTest::mouseClick(control<QRadioButton>(s, "Option1", i), Qt::LeftButton, {},
                          QPoint(6, control<QRadioButton>(s, "Option1", i)->height() / 2));
    }
    QString stored(const QString& sql) {
        auto rs = data::Database::open(path)->openRecordset(sql);
        return rs->hasCurrent() ? rs->value(0).toString() : QStringLiteral("<no row>");
    }
    QString aircraftValue(const QString& column, const QString& reg = "N1") {
        return stored(
            QStringLiteral("select [%1] from Aircraft where RegNum = '%2'").arg(column, reg));
    }

    screens::ScopedDialogs dialogs;
    TestStore store{GetParam()};
    QString path;
    QString library;
    std::unique_ptr<frmAircraft> screen;
};

}  // namespace

TEST_P(AircraftScreen, OpensOnTheFirstAircraftWithItsInstalledComponents) {
    frmAircraft& s = open();
    EXPECT_EQ(s.windowTitle(), "Aircraft Set-up");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->entryCount(),
              2);  // N2 and n2 listed once
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N1");
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N1");
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1)->text(),
              "1234.5");
    ASSERT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 2);
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->textAt(0, 5), "Main rotor");
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->textAt(1, 5), "Tail rotor");
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(s, "cmdAdd")->isEnabled() &&
                control<QPushButton>(s, "cmdClose")->isEnabled() &&
                control<QPushButton>(s, "cmdDelete")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1));
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_P(AircraftScreen, MeterEntriesAreConfirmedCountedAndSaved) {
    frmAircraft& s = open();
    dialogs->answer(MsgAnswer::Yes);
    enter(11, "+2", 12);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "Flight time was changed by 2.0. Is this correct?");
    EXPECT_EQ(dialogs->messages[0].title, "Meter #1 change");
    EXPECT_EQ(dialogs->messages[0].buttons, screens::MsgButtons::YesNo);
    EXPECT_EQ(aircraftValue("CurrentMeter1"), "1236.5");
    EXPECT_EQ(aircraftValue("LastMeter1"), "1236.5");
    EXPECT_EQ(aircraftValue("TotalTime"), "802");
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1)->text(),
              "1236.5");
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());

    dialogs->answer(MsgAnswer::Yes);
    enter(11, "1240", 12);
    EXPECT_EQ(dialogs->messages.back().text, "Flight time was changed by 3.5. Is this correct?");
    EXPECT_EQ(aircraftValue("CurrentMeter1"), "1240");
    EXPECT_EQ(aircraftValue("TotalTime"), "805.5");

    // Meter 2 changes only its own columns.
    dialogs->answer(MsgAnswer::Yes);
    enter(7, "+1.5", 12);
    EXPECT_EQ(dialogs->messages.back().title, "Meter #2 change");
    EXPECT_EQ(aircraftValue("CurrentMeter2"), "61.5");
    EXPECT_EQ(aircraftValue("TotalTime2"), "51.5");
    EXPECT_EQ(aircraftValue("TotalTime"), "805.5");
}

TEST_P(AircraftScreen, TotalsTakePlusEntriesWithoutAQuestion) {
    frmAircraft& s = open();
    enter(13, "+5", 14);
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::TotalLandings)->text(),
              "1205");
    EXPECT_EQ(aircraftValue("TotalLandings"), "1205");
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());

    dialogs->answer(MsgAnswer::Yes);
    enter(13, "1190", 14);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "Increasing landings by -15. Is this correct?");
    EXPECT_EQ(dialogs->messages[0].title, "Landings change");
    EXPECT_EQ(aircraftValue("TotalLandings"), "1190");
}

TEST_P(AircraftScreen, LeavingFieldsWithNothingChangedAsksAndSavesNothing) {
    frmAircraft& s = open();
    const QByteArray before = storedContent(path);
    for (int i : {11, 7, 12, 13, 14, 15, 1, 2})
        control<QLineEdit>(s, "txtFields", i)->setFocus();
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(storedContent(path), before);
}

TEST_P(AircraftScreen, ANewAircraftIsTypedInCapitalsListedAndSaved) {
    frmAircraft& s = open();
    QTest::mouseClick(control<QPushButton>(s, "cmdAdd"), Qt::LeftButton);
    EXPECT_FALSE(control<velmora::screens::Chooser>(s, "Combo1")->isVisible());
    EXPECT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(s, "cmdAdd")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum));
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 0);
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), "n123ab");
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N123AB");
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum),
                    Qt::Key_Return);  // Enter moves on to Serial Number
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber));
    EXPECT_TRUE(control<velmora::screens::Chooser>(s, "Combo1")->isVisible());
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N123AB");
    EXPECT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_EQ(aircraftValue("RegNum", "N123AB"), "<no row>");  // nothing saved yet
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber), "SN-77");
    QTest::mouseClick(control<QPushButton>(s, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(aircraftValue("Serial Number", "N123AB"), "SN-77");
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
}

TEST_P(AircraftScreen, AnEmptyRegistrationIsRefusedAndCancelReturnsToTheFirstAircraft) {
    frmAircraft& s = open();
    QTest::mouseClick(control<QPushButton>(s, "cmdAdd"), Qt::LeftButton);
    dialogs->answer(MsgAnswer::Ok);
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber)->setFocus();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    const screens::MessageRequest expected{"A registration number must be entered", "Missing data",
                                           screens::MsgButtons::OkCancel,
                                           screens::MsgIcon::Exclamation, MsgAnswer::Ok};
    EXPECT_EQ(dialogs->messages[0], expected);
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum));

    dialogs->answer(MsgAnswer::Cancel);
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber)->setFocus();
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N1");
    EXPECT_TRUE(control<velmora::screens::Chooser>(s, "Combo1")->isVisible());
    EXPECT_EQ(stored("select count(*) from Aircraft"), "3");
}

TEST_P(AircraftScreen, AnEmptyTableOpensInNewAircraftEntry) {
    data::Database::open(path)->execute("DELETE FROM Aircraft");
    frmAircraft& s = open();
    EXPECT_FALSE(control<velmora::screens::Chooser>(s, "Combo1")->isVisible());
    EXPECT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum));
    // Cancelling the missing registration starts a new aircraft again.
    dialogs->answer(MsgAnswer::Cancel);
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::Engine1Serial)->setFocus();
    EXPECT_TRUE(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->isAddingNew());
    EXPECT_EQ(stored("select count(*) from Aircraft"), "0");
}

TEST_P(AircraftScreen, ShowRecordsAndOrderByBuildTheListQuery) {
    frmAircraft& s = open();
    clickOption(s, 2);  // All
    clickOption(s, 3);  // Inspection
    EXPECT_TRUE(s.componentListSource().endsWith("where [RegNum]='N1'  Order by [Inspection]"));
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 3);
    clickOption(s, 1);  // Not installed
    EXPECT_TRUE(s.componentListSource().endsWith(
        "where [RegNum]='N1' and  [Active] = No Order by [Inspection]"));
    ASSERT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 1);
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->textAt(0, 5), "Spare pump");
    EXPECT_EQ(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->caption(),
              "To view another aircraft, click the arrow buttons to the left and right. ");

    // Another aircraft is listed by item number; the buttons stay as they are.
    clickOption(s, 0);
    clickOption(s, 4);  // Assembly
    control<velmora::screens::Chooser>(s, "Combo1")
        ->setListIndex(control<velmora::screens::Chooser>(s, "Combo1")->findExact("N2"));
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N2");
    EXPECT_TRUE(control<velmora::screens::BoundRecordSource>(s, "datSecondaryRS")
                    ->recordSource()
                    .endsWith("Order by [ItemNumber]"));
    EXPECT_TRUE(control<QRadioButton>(s, "Option1", 4)->isChecked());
}

TEST_P(AircraftScreen, DeletingAnAircraftRemovesAllItsComponentsAndSamplesTogether) {
    frmAircraft& s = open();
    dialogs->answer(MsgAnswer::Yes);
    QTest::mouseClick(control<QPushButton>(s, "cmdDelete"), Qt::LeftButton);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "OK to delete Aircraft?");
    EXPECT_EQ(dialogs->messages[0].title, "Delete entire aircraft");
    EXPECT_EQ(aircraftValue("RegNum"), "<no row>");
    EXPECT_EQ(stored("select count(*) from Parts where RegNum = 'N1'"), "0");  // installed or not
    EXPECT_EQ(stored("select count(*) from Oil where RegNum = 'N1'"), "0");
    EXPECT_EQ(stored("select count(*) from Parts where RegNum = 'N2'"), "1");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->findExact("N1"), -1);
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text().toUpper(),
              "N2");

    // Answering No deletes nothing.
    dialogs->answer(MsgAnswer::No);
    QTest::mouseClick(control<QPushButton>(s, "cmdDelete"), Qt::LeftButton);
    EXPECT_EQ(stored("select count(*) from Aircraft"), "2");
}

TEST_P(AircraftScreen, DeletingTheLastAircraftLeavesANewBlankRow) {
    data::Database::open(path)->execute("DELETE FROM Aircraft WHERE RegNum <> 'N1'");
    frmAircraft& s = open();
    dialogs->answer(MsgAnswer::Yes);
    QTest::mouseClick(control<QPushButton>(s, "cmdDelete"), Qt::LeftButton);
    EXPECT_EQ(stored("select count(*) from Aircraft"), "0");
    EXPECT_TRUE(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->isAddingNew());
    EXPECT_TRUE(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text().isEmpty());
}

TEST_P(AircraftScreen, NewComponentRowsGetTheirDefaultsAndTheCellRules) {
    frmAircraft& s = open();
    screens::DataGrid* g = control<velmora::screens::DataGrid>(s, "grdDataGrid");
    g->setFocus();
    g->setCurrentRow(g->rowCount());  // the add line
    g->setCurrentColumn(5);
    ASSERT_TRUE(g->setCellValue(5, data::Value("Fuel pump")));
    EXPECT_EQ(g->cellValue(0).toString(), "N1");
    EXPECT_EQ(g->cellValue(2).toInt(), 1);
    EXPECT_EQ(g->cellValue(3).toInt(), -1);
    EXPECT_EQ(g->cellValue(9).toString(), "Aerodyne");
    EXPECT_EQ(g->cellValue(14).toString(), "RT");
    EXPECT_EQ(g->cellValue(19).toInt(), 0);
    g->setCellValue(11, data::Value(1000));
    g->setCellValue(13, data::Value(2000));
    s.grdDataGrid_AfterColUpdate(13);
    EXPECT_DOUBLE_EQ(g->cellValue(12).toDouble(), 0.5);
    ASSERT_TRUE(g->commitPendingRow());
    EXPECT_EQ(stored("select ReservePerHour from Parts where Description = 'Fuel pump'"), "0.5");
    EXPECT_EQ(stored("select Manufacturer from Parts where Description = 'Fuel pump'"), "Aerodyne");

    // A Type that is not a life basis code is reported (letter case counts).
    g->setCurrentRow(0);
    g->setCellValue(14, data::Value("rt"));
    s.grdDataGrid_AfterColEdit(14);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "Press OK to continue");
    EXPECT_EQ(dialogs->messages[0].title, "Type must be RT,OH,IN,MO,LD,CY or RN");
    EXPECT_TRUE(s.typeRejected());
    g->setCellValue(14, data::Value("OH"));
    s.grdDataGrid_AfterColEdit(14);
    EXPECT_FALSE(s.typeRejected());

    // Yes/No cells: "y" is Yes, "yes" is not.
    g->setCellValue(19, data::Value("y"));
    s.grdDataGrid_AfterColEdit(19);
    EXPECT_EQ(g->cellValue(19).toInt(), -1);
    g->setCellValue(19, data::Value("yes"));
    s.grdDataGrid_AfterColEdit(19);
    EXPECT_EQ(g->cellValue(19).toInt(), 0);
    g->setCurrentColumn(19);
    s.grdDataGrid_DblClick();
    EXPECT_EQ(g->cellValue(19).toInt(), -1);
    g->setCurrentColumn(18);
    s.grdDataGrid_DblClick();
    EXPECT_TRUE(g->cellValue(18).isNull());
}

TEST_P(AircraftScreen, ARegistrationWithAQuoteWorksEverywhere) {
    data::Database::open(path)->execute("UPDATE Parts SET RegNum = 'O''NEIL' WHERE RegNum = 'N2'");
    data::Database::open(path)->execute(
        "UPDATE Aircraft SET RegNum = 'O''NEIL' WHERE RegNum = 'N2'");
    frmAircraft& s = open();
    control<velmora::screens::Chooser>(s, "Combo1")
        ->setListIndex(control<velmora::screens::Chooser>(s, "Combo1")->findExact("O'NEIL"));
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "O'NEIL");
    ASSERT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 1);
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->textAt(0, 5), "Starter");
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_P(AircraftScreen, ClosingWithUnsavedChangesAsksAndCancelKeepsEverything) {
    frmAircraft& s = open();
    control<QPlainTextEdit>(s, "txtFields", frmAircraft::Field::Owner)->setFocus();
    QTest::keyClicks(control<QPlainTextEdit>(s, "txtFields", frmAircraft::Field::Owner),
                     "Blue Sky Leasing");
    EXPECT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    dialogs->answer(MsgAnswer::Cancel);
    s.close();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "Data has changed. Save data?");
    EXPECT_EQ(dialogs->messages[0].defaultButton, MsgAnswer::No);
    EXPECT_TRUE(s.isVisible());
    EXPECT_EQ(control<QPlainTextEdit>(s, "txtFields", frmAircraft::Field::Owner)->toPlainText(),
              "Blue Sky Leasing");

    dialogs->answer(MsgAnswer::Yes);
    s.close();
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(aircraftValue("Owner"), "Blue Sky Leasing");
}

TEST_P(AircraftScreen, ClosingAfterASaveLeavesTheGridOnNoClosedList) {
    frmAircraft& s = open();
    control<QPlainTextEdit>(s, "txtFields", frmAircraft::Field::Owner)->setFocus();
    QTest::keyClicks(control<QPlainTextEdit>(s, "txtFields", frmAircraft::Field::Owner),
                     "Blue Sky Leasing");
    QTest::mouseClick(control<QPushButton>(s, "cmdSave"),
                      Qt::LeftButton);  // the component list is read again
    ASSERT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 2);
    s.close();
    EXPECT_FALSE(s.isVisible());
    // The list was closed with the screen: the grid shows nothing rather than freed rows.
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->recordset(), nullptr);
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 0);
    control<velmora::screens::DataGrid>(s, "grdDataGrid")->repaint();
    EXPECT_EQ(aircraftValue("Owner"), "Blue Sky Leasing");
}

TEST_P(AircraftScreen, SaveWithoutARegistrationDoesNothingAndEnterKeepsItsOrder) {
    frmAircraft& s = open();
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::Year)->setFocus();
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::Year), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::Year));
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::TotalRIN)->setFocus();
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::TotalRIN),
                    Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber));
    // The numeric keypad's Enter, which meter readings are typed with, does the same.
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::TotalRIN)->setFocus();
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::TotalRIN), Qt::Key_Enter,
                    Qt::KeypadModifier);
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber));

    QTest::mouseClick(control<QPushButton>(s, "cmdAdd"), Qt::LeftButton);
    const QByteArray before = storedContent(path);
    control<velmora::screens::Chooser>(s, "Combo1")->setCurrentIndex(-1);
    s.cmdSave_Click();
    EXPECT_EQ(storedContent(path), before);
}

// --- real message boxes, keys and mouse, as the user works ------------------------------

namespace {

// The cell's middle, scrolled into view first.
QPoint cellCentre(screens::DataGrid* g, int row, int col) {
    const QModelIndex at = g->model()->index(row, col);
    g->scrollTo(at);
    return g->visualRect(at).center();
}

}  // namespace

TEST_P(AircraftScreen, AfterAQuestionTheFocusGoesOnInTheEntryOrder) {
    frmAircraft& s = open();
    screens::Dialogs::install(nullptr);  // the real boxes
    QLineEdit* meter = control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1);
    ASSERT_EQ(QApplication::focusWidget(), meter);
    meter->selectAll();
    QTest::keyClicks(meter, "+2");
    auto boxes = answerBoxesWithKeys({Qt::Key_Return});  // Yes is the default
    QTest::keyClick(meter, Qt::Key_Tab);
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_EQ(boxes->boxes[0].text, "Flight time was changed by 2.0. Is this correct?");
    EXPECT_EQ(meter->text(), "1236.5");
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
    // Tab went on to the airframe time, not back to the meter.
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::TotalTime));

    // From Landings, Enter goes on to Cycles once the question is answered.
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::TotalLandings)->setFocus();
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::TotalLandings)->selectAll();
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::TotalLandings), "1190");
    boxes = answerBoxesWithKeys({Qt::Key_Return});
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::TotalLandings),
                    Qt::Key_Return);
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_EQ(boxes->boxes[0].text, "Increasing landings by -10. Is this correct?");
    EXPECT_EQ(aircraftValue("TotalLandings"), "1190");
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::TotalCycles));
    EXPECT_EQ(aircraftValue("CurrentMeter1"), "1236.5");
}

TEST_P(AircraftScreen, ComingBackFromAnotherProgramWindowActivatesTheScreen) {
    frmAircraft& s = open();
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber)->setFocus();
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber), "X");
    QWidget menu;  // another window of the program
    menu.show();
    QApplication::setActiveWindow(&menu);
    QApplication::setActiveWindow(&s);
    // The screen is clean again, with the focus in Current Meter #1.
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1));
    // Coming back from no window (another program) changes nothing.
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber)->setFocus();
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber), "Y");
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(&s);
    EXPECT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber));
}

TEST_P(AircraftScreen, CancelInTheClosingQuestionKeepsTheEditedState) {
    frmAircraft& s = open();
    screens::Dialogs::install(nullptr);
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber)->setFocus();
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber), "SN-9");
    auto boxes = answerBoxesWithKeys({Qt::Key_Escape});
    s.close();
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_EQ(boxes->boxes[0].title, "Data not saved");
    EXPECT_TRUE(s.isVisible());
    EXPECT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(s, "cmdClose")->isEnabled());
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber)->text(), "SN-9");
    // Closing again asks again.
    boxes = answerBoxesWithKeys({Qt::Key_Escape});
    s.close();
    EXPECT_EQ(boxes->boxes.size(), 1u);
    EXPECT_TRUE(s.isVisible());
}

TEST_P(AircraftScreen, AltAOpensANewAircraftWithoutWritingABlankOne) {
    frmAircraft& s = open();
    ASSERT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1));
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1),
                    Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_TRUE(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->isAddingNew());
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum));
    EXPECT_EQ(stored("select count(*) from Aircraft"), "3");

    // Alt+S with no registration: the box's rule keeps the user in the field; nothing is
    // written.
    dialogs->answer(MsgAnswer::Ok);
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), Qt::Key_S,
                    Qt::AltModifier);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "A registration number must be entered");
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum));
    // Save pressed otherwise (the chooser still names the last aircraft) is refused too.
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber)->setText("SN-1");
    control<QPushButton>(s, "cmdSave")->click();
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[1].text, "A registration number must be entered");
    EXPECT_EQ(dialogs->messages[1].title, "Missing data");
    EXPECT_EQ(stored("select count(*) from Aircraft"), "3");
    EXPECT_EQ(stored("select count(*) from Aircraft where RegNum is null"), "0");
    // Closing lets the half-made aircraft go without a word.
    dialogs->answer(MsgAnswer::No);
    s.close();
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(stored("select count(*) from Aircraft"), "3");
}

TEST_P(AircraftScreen, AltSRunsTheMeterRuleBeforeSaving) {
    frmAircraft& s = open();
    QLineEdit* meter = control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1);
    meter->selectAll();
    QTest::keyClicks(meter, "1240");
    dialogs->answer(MsgAnswer::Yes);
    QTest::keyClick(meter, Qt::Key_S, Qt::AltModifier);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "Flight time was changed by 10.0. Is this correct?");
    EXPECT_EQ(aircraftValue("CurrentMeter1"), "1240");
    EXPECT_EQ(aircraftValue("LastMeter1"), "1240");
    EXPECT_EQ(aircraftValue("TotalTime"), "810");
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
}

TEST_P(AircraftScreen, ARejectedTypeKeepsItsCellAndTheFocus) {
    frmAircraft& s = open();
    screens::Dialogs::install(nullptr);
    screens::DataGrid* g = control<velmora::screens::DataGrid>(s, "grdDataGrid");
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cellCentre(g, 0, 14));
    ASSERT_EQ(g->currentColumn(), 14);
    QTest::keyClick(g, Qt::Key_Z);  // typing opens the cell
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z);
    auto boxes = answerBoxesWithKeys({Qt::Key_Return});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_EQ(boxes->boxes[0].title, "Type must be RT,OH,IN,MO,LD,CY or RN");
    EXPECT_EQ(boxes->boxes[0].text, "Press OK to continue");
    EXPECT_EQ(g->currentRow(), 0);
    EXPECT_EQ(g->currentColumn(), 14);
    EXPECT_EQ(g->cellText(14), "zz");
    EXPECT_EQ(QApplication::focusWidget(), g);
    EXPECT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());  // the row's edit is still there

    // The same on a new row: its Item #, Tab to Type... a rejected code.
    control<QRadioButton>(s, "Option1", 0)->click();
    g->cancelPendingRow();
    const int add = g->rowCount();
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cellCentre(g, add, 13));
    ASSERT_EQ(g->currentRow(), add);
    QTest::keyClick(g, Qt::Key_0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // into Type, opened
    ASSERT_EQ(g->currentColumn(), 14);
    auto* typeEditor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(typeEditor, nullptr);
    typeEditor->selectAll();
    QTest::keyClicks(typeEditor, "rt");
    boxes = answerBoxesWithKeys({Qt::Key_Return});
    QTest::keyClick(typeEditor, Qt::Key_Tab);
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_EQ(g->currentRow(), add);
    EXPECT_EQ(g->currentColumn(), 14);
    EXPECT_EQ(g->cellText(14), "rt");
    EXPECT_EQ(QApplication::focusWidget(), g);
}

TEST_P(AircraftScreen, TheDeleteKeyAsksBeforeAComponentGoes) {
    frmAircraft& s = open();
    screens::DataGrid* g = control<velmora::screens::DataGrid>(s, "grdDataGrid");
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cellCentre(g, 0, 5));
    dialogs->answer(MsgAnswer::No);
    QTest::keyClick(g, Qt::Key_Delete);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "Delete this record?");
    EXPECT_EQ(dialogs->messages[0].defaultButton, MsgAnswer::No);
    EXPECT_EQ(stored("select count(*) from Parts where RegNum = 'N1'"), "3");
    dialogs->answer(MsgAnswer::Yes);
    QTest::keyClick(g, Qt::Key_Delete);
    EXPECT_EQ(stored("select count(*) from Parts where Description = 'Main rotor'"), "0");
    EXPECT_EQ(g->rowCount(), 1);
}

VELMORA_ON_BOTH_BACK_ENDS(AircraftScreen);

// The server keeps the journal too: "Journal..." shows the aircraft's lines from it.
TEST_P(AircraftScreen, TheJournalButtonShowsTheAircraftsLinesOnBothBackEnds) {
    frmAircraft& s = open();
    dialogs->messages.clear();
    QTest::mouseClick(control<QPushButton>(s, "cmdJournal"), Qt::LeftButton);
    EXPECT_TRUE(dialogs->messages.empty());
    journal::frmJournal* j = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<journal::frmJournal*>(w))
            j = found;
    }
    ASSERT_NE(j, nullptr);
    EXPECT_GT(j->table().rowCount(), 0);
    for (const journal::JournalLine& l : j->table().lines())
        EXPECT_EQ(l.regNum.compare(control<velmora::screens::Chooser>(s, "Combo1")->text(),
                                   Qt::CaseInsensitive),
                  0);
    delete j;
    // The utilisation panel counts the journal's days.
    EXPECT_TRUE(control<velmora::journal::UtilisationPanel>(s, "fraUtilisation")
                    ->lblSource->text()
                    .startsWith("Planned: 0 of 14 days"))
        << control<velmora::journal::UtilisationPanel>(s, "fraUtilisation")
               ->lblSource->text()
               .toStdString();
}
