// The registration number on the aircraft set-up screen: typed over, it goes to another
// aircraft and renames none; renaming on purpose carries the aircraft's rows along; no way
// of working leaves two aircraft with one registration or components without their aircraft.
#include "aircraft/AircraftRename.h"
#include "aircraft/frmAircraft.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/BackEnds.h"
#include "support/Controls.h"
#include "utilisation/PlannedUtilisation.h"

#include "data/DbError.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using aircraft::frmAircraft;
using screens::MsgAnswer;

namespace {

class Registration : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        QApplication::setApplicationDisplayName("Velmora");
        path = store.createMainFile();
        store.createTemplateFile();
        auto db = data::Database::open(path);
        addAircraft(*db, "N1", 800);
        addAircraft(*db, "N2", 10);
        addAircraft(*db, "N3", 20);
        db->execute("UPDATE Aircraft SET [Serial Number] = 'SN-1' WHERE RegNum = 'N1'");
        for (int item : {10, 20, 30})
            addPart(*db, part("N1", item));
        addPart(*db, part("N2", 5));
        db->execute(
            "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron) VALUES "
            "('N1', 'Component', #1/5/2026#, 3)");
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
    // Clicks into the registration box, selects its text and types over it.
    void typeRegistration(const QString& text) {
        QLineEdit* box = control<QLineEdit>(*screen, "txtFields", frmAircraft::Field::RegNum);
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
    }
    QString stored(const QString& sql) {
        auto rs = data::Database::open(path)->openRecordset(sql);
        return rs->hasCurrent() ? rs->value(0).toString() : QStringLiteral("<no row>");
    }
    QString count(const QString& table, const QString& reg) {
        return stored(
            QStringLiteral("select count(*) from %1 where RegNum = '%2'").arg(table, reg));
    }
    // Components and oil samples whose registration no aircraft has.
    QString orphans() {
        return stored(
            "select (select count(*) from Parts where RegNum not in (select RegNum from "
            "Aircraft)) + (select count(*) from Oil where RegNum not in (select RegNum from "
            "Aircraft))");
    }

    screens::ScopedDialogs dialogs;
    TestStore store{GetParam()};
    QString path;
    std::unique_ptr<frmAircraft> screen;
};

}  // namespace

TEST_P(Registration, TypingAnotherAircraftsRegistrationGoesThereAndRenamesNothing) {
    frmAircraft& s = open();
    const QByteArray before = storedContent(path);
    typeRegistration("n2");
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), Qt::Key_Return);
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N2");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N2");
    ASSERT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 1);
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1));
    EXPECT_EQ(storedContent(path), before);

    // Tab, letter case and blanks at the end make no difference.
    typeRegistration("n3  ");
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), Qt::Key_Tab);
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N3");
    EXPECT_EQ(storedContent(path), before);
    EXPECT_EQ(count("Aircraft", "N1"), "1");
    EXPECT_EQ(count("Parts", "N1"), "3");
}

TEST_P(Registration, OtherTextIsRefusedAndTheBoxShowsTheAircraftsOwnAgain) {
    frmAircraft& s = open();
    const QByteArray before = storedContent(path);
    typeRegistration("n999");
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), Qt::Key_Tab);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].title, "Registration #");
    EXPECT_TRUE(dialogs->messages[0].text.startsWith("There is no aircraft N999."));
    EXPECT_TRUE(dialogs->messages[0].text.contains("Rename Aircraft..."));
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N1");
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->selectedText(),
              "N1");                                                // typing replaces it
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());  // nothing is left to save

    // Emptied, the box is refused the same way.
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), Qt::Key_Delete);
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), Qt::Key_Return);
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_TRUE(dialogs->messages[1].text.startsWith("An aircraft keeps its registration"));
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N1");
    EXPECT_EQ(storedContent(path), before);
}

TEST_P(Registration, NoWriteOfTheRowTakesTheTypedRegistration) {
    frmAircraft& s = open();
    // The row is written as the arrows move on: the registration typed goes unwritten.
    typeRegistration("N3");
    control<QPlainTextEdit>(s, "txtFields", frmAircraft::Field::Owner)->setPlainText("Blue Sky");
    QTest::mouseClick(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->nextButton(),
                      Qt::LeftButton);
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N2");
    EXPECT_EQ(stored("select Owner from Aircraft where RegNum = 'N1'"), "Blue Sky");
    EXPECT_EQ(count("Aircraft", "N3"), "1");

    // Saved on closing: the other changes are, the registration is not.
    control<velmora::screens::Chooser>(s, "Combo1")
        ->setListIndex(control<velmora::screens::Chooser>(s, "Combo1")->findExact("N1"));
    QTest::mouseClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber),
                      Qt::LeftButton);
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber),
                    Qt::Key_End);
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber), "-X");
    typeRegistration("N2");
    dialogs->answer(MsgAnswer::Yes);
    s.close();
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(stored("select [Serial Number] from Aircraft where RegNum = 'N1'"), "SN-1-X");
    EXPECT_EQ(count("Aircraft", "N2"), "1");
    EXPECT_EQ(count("Parts", "N1"), "3");
}

TEST_P(Registration, ANewAircraftCannotTakeARegistrationThatExists) {
    frmAircraft& s = open();
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1),
                    Qt::Key_A, Qt::AltModifier);
    ASSERT_TRUE(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->isAddingNew());
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), "n2 ");
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), Qt::Key_Return);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].title, "Registration #");
    EXPECT_TRUE(dialogs->messages[0].text.startsWith(
        "An aircraft with the registration N2 exists already"));
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum));
    // Saving it anyway is refused as well.
    QTest::mouseClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber),
                      Qt::LeftButton);
    s.cmdSave_Click();
    EXPECT_EQ(count("Aircraft", "N2"), "1");
    EXPECT_EQ(stored("select count(*) from Aircraft"), "3");

    // A registration of its own is taken as before.
    QTest::mouseClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum),
                      Qt::LeftButton);
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), Qt::Key_A,
                    Qt::ControlModifier);
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), "n9");
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), Qt::Key_Tab);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N9");
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber), Qt::Key_S,
                    Qt::AltModifier);
    EXPECT_EQ(count("Aircraft", "N9"), "1");
}

TEST_P(Registration, ComponentsOfANewAircraftAreWrittenAfterIt) {
    frmAircraft& s = open();
    QTest::mouseClick(control<QPushButton>(s, "cmdAdd"), Qt::LeftButton);
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), "n9");
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), Qt::Key_Return);
    screens::DataGrid* g = control<velmora::screens::DataGrid>(s, "grdDataGrid");
    g->setFocus();
    g->setCurrentRow(g->rowCount());  // the add line
    g->setCurrentColumn(5);
    ASSERT_TRUE(g->setCellValue(5, data::Value("Fuel pump")));
    ASSERT_TRUE(g->commitPendingRow());
    EXPECT_EQ(count("Aircraft", "N9"), "1");
    EXPECT_EQ(count("Parts", "N9"), "1");
    // "No" on closing has no unsaved aircraft to leave behind its component.
    control<QPlainTextEdit>(s, "txtFields", frmAircraft::Field::Owner)->setPlainText("Owner");
    dialogs->answer(MsgAnswer::No);
    s.close();
    EXPECT_EQ(orphans(), "0");
}

TEST_P(Registration, RenamingCarriesComponentsSamplesAndPlannedUseAlong) {
    utilisation::PlannedEntry planned;
    planned.regNum = "N1";
    planned.use.meter1Hours = 2.5;
    utilisation::savePlannedUtilisation(*data::Database::open(path), {planned});
    frmAircraft& s = open();
    dialogs->textResult(QStringLiteral("n7 "));
    dialogs->answer(MsgAnswer::Yes);
    QTest::mouseClick(control<QPushButton>(s, "cmdRename"), Qt::LeftButton);
    ASSERT_EQ(dialogs->textRequests.size(), 1u);
    EXPECT_EQ(dialogs->textRequests[0].initialText, "N1");
    EXPECT_EQ(dialogs->textRequests[0].maxLength, 10);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text.section('\n', 0, 0),
              "Change the registration of N1 to N7?");
    EXPECT_EQ(dialogs->messages[0].defaultButton, MsgAnswer::No);

    EXPECT_EQ(count("Aircraft", "N1"), "0");
    EXPECT_EQ(stored("select [Serial Number] from Aircraft where RegNum = 'N7'"), "SN-1");
    EXPECT_EQ(count("Parts", "N7"), "3");
    EXPECT_EQ(count("Oil", "N7"), "1");
    EXPECT_EQ(count("PlannedUtilisation", "N7"), "1");
    EXPECT_EQ(count("PlannedUtilisation", "N1"), "0");
    EXPECT_EQ(orphans(), "0");
    // The screen shows the aircraft under its new registration.
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N7");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N7");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->findExact("N1"), -1);
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 3);
    if (GetParam() == BackEnd::File) {
        // Every row's change is in the entry journal (kept in the data files only).
        EXPECT_EQ(stored("select count(*) from Journal where ColumnName = 'RegNum' and "
                         "OldValue = 'N1' and NewValue = 'N7'"),
                  "6");
    }
}

TEST_P(Registration, ARenameIsRefusedOrLeftWithNothingChanged) {
    frmAircraft& s = open();
    const QByteArray before = storedContent(path);
    // Another aircraft's registration, in other letters; this one's own; cancelled; No.
    dialogs->textResult(QStringLiteral("n2"));
    QTest::mouseClick(control<QPushButton>(s, "cmdRename"), Qt::LeftButton);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].title, "Rename Aircraft");
    EXPECT_TRUE(dialogs->messages[0].text.startsWith(
        "An aircraft with the registration N2 exists already"));
    dialogs->textResult(QStringLiteral("N1"));
    QTest::mouseClick(control<QPushButton>(s, "cmdRename"), Qt::LeftButton);
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[1].text, "N1 is this aircraft's registration already.");
    QTest::mouseClick(control<QPushButton>(s, "cmdRename"),
                      Qt::LeftButton);  // no text queued: cancelled
    EXPECT_EQ(dialogs->messages.size(), 2u);
    dialogs->textResult(QStringLiteral("N8"));
    dialogs->answer(MsgAnswer::No);
    QTest::mouseClick(control<QPushButton>(s, "cmdRename"), Qt::LeftButton);
    EXPECT_EQ(dialogs->messages.size(), 3u);
    EXPECT_EQ(storedContent(path), before);
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N1");

    // While the aircraft has unsaved changes there is nothing to rename.
    QTest::mouseClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber),
                      Qt::LeftButton);
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber), "X");
    EXPECT_FALSE(control<QPushButton>(s, "cmdRename")->isEnabled());
}

TEST_P(Registration, ARenameThatFailsHalfWayChangesNothing) {
    // Oil limits the rename cannot carry (a table without the column) fail it after the
    // aircraft, its components and samples were changed.
    data::Database::open(path)->execute(
        "CREATE TABLE OilLimits (Scope TEXT(10), Component TEXT(50))");
    const QByteArray before = storedContent(path);
    auto db = data::Database::open(path);
    EXPECT_THROW(aircraft::renameAircraft(*db, "N1", "N7"), data::DbError);
    EXPECT_EQ(storedContent(path), before);

    frmAircraft& s = open();
    dialogs->textResult(QStringLiteral("N7"));
    dialogs->answer(MsgAnswer::Yes);
    QTest::mouseClick(control<QPushButton>(s, "cmdRename"), Qt::LeftButton);
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_TRUE(dialogs->messages[1].text.startsWith("N1 was not renamed: "));
    EXPECT_EQ(storedContent(path), before);
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N1");
}

TEST_P(Registration, RenameProblemsAreToldBeforeAnythingIsWritten) {
    auto db = data::Database::open(path);
    db->execute("INSERT INTO Aircraft (RegNum) VALUES ('n3 ')");  // N3 twice
    EXPECT_EQ(aircraft::renameProblem(*db, "N1", ""), "Type the new registration number.");
    EXPECT_TRUE(aircraft::renameProblem(*db, "N1", "ABCDEFGHIJK")
                    .startsWith("A registration number has at most 10 characters"));
    EXPECT_TRUE(aircraft::renameProblem(*db, "N3", "N8").startsWith("2 aircraft records"));
    EXPECT_TRUE(aircraft::renameProblem(*db, "N4", "N8").startsWith("There is no aircraft N4"));
    EXPECT_EQ(aircraft::renameProblem(*db, "N1", "N8"), "");
    EXPECT_EQ(aircraft::registeredAs(*db, "n2  "), std::optional<QString>("N2"));
    EXPECT_EQ(aircraft::registeredAs(*db, "N8"), std::nullopt);
    EXPECT_EQ(aircraft::registrationText("  n8 "), "N8");
}

TEST_P(Registration, AComponentOfAnAircraftRenamedElsewhereIsNotWritten) {
    frmAircraft& s = open();
    // Another workstation renames the aircraft while this screen shows it.
    aircraft::renameAircraft(*data::Database::open(path), "N1", "N7");
    screens::DataGrid* g = control<velmora::screens::DataGrid>(s, "grdDataGrid");
    g->setFocus();
    g->setCurrentRow(g->rowCount());  // the add line
    g->setCurrentColumn(5);
    ASSERT_TRUE(g->setCellValue(5, data::Value("Fuel pump")));
    EXPECT_FALSE(g->commitPendingRow());
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(
        dialogs->messages[0].text.startsWith("The aircraft N1 is not in the data file any more"));
    EXPECT_EQ(count("Parts", "N1"), "0");
    EXPECT_EQ(orphans(), "0");
}

// --- keys ---------------------------------------------------------------------------------

TEST_P(Registration, F4OrAltDownInTheBoxOpensTheListOfAircraft) {
    frmAircraft& s = open();
    QLineEdit* box = control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum);
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_F4);
    QAbstractItemView* list = control<velmora::screens::Chooser>(s, "Combo1")->view();
    ASSERT_TRUE(list->isVisible());
    // Down and Enter in the list choose the next aircraft.
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(box->text(), "N2");
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 1);

    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(box->text(), "N2");
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_P(Registration, CtrlPageDownAndUpMoveToTheNextAndPreviousAircraft) {
    frmAircraft& s = open();
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1),
                    Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N2");
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo1")->text(), "N2");
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1));
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1),
                    Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N3");
    // From the component list as well.
    control<velmora::screens::DataGrid>(s, "grdDataGrid")->setFocus();
    QTest::keyClick(control<velmora::screens::DataGrid>(s, "grdDataGrid"), Qt::Key_PageUp,
                    Qt::ControlModifier);
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N2");
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_P(Registration, AnEntryTypedBeforeCtrlPageDownIsConfirmedAndCountedFirst) {
    frmAircraft& s = open();
    QLineEdit* meter = control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1);
    meter->selectAll();
    QTest::keyClicks(meter, "+2");
    dialogs->answer(MsgAnswer::Yes);
    QTest::keyClick(meter, Qt::Key_PageDown, Qt::ControlModifier);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "Flight time was changed by 2.0. Is this correct?");
    EXPECT_EQ(stored("select TotalTime from Aircraft where RegNum = 'N1'"), "802");
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N2");

    // A registration typed goes to its aircraft, not past it.
    typeRegistration("N1");
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum),
                    Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum)->text(), "N1");

    // While a new aircraft is entered the keys change nothing.
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1),
                    Qt::Key_A, Qt::AltModifier);
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum),
                    Qt::Key_PageDown, Qt::ControlModifier);
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), Qt::Key_F4);
    EXPECT_TRUE(control<velmora::screens::BoundRecordSource>(s, "datPrimaryRS")->isAddingNew());
    EXPECT_FALSE(control<velmora::screens::Chooser>(s, "Combo1")->view()->isVisible());
    EXPECT_EQ(dialogs->messages.size(), 1u);
}

VELMORA_ON_BOTH_BACK_ENDS(Registration);
