// The due list from the main menu: its own button beside the five, one screen however often
// it is clicked, closed with the menu, and its lines opening aircraft set-up.
#include "AppFixture.h"
#include "support/Controls.h"

#include "aircraft/frmAircraft.h"
#include "data/DataFiles.h"
#include "due/DueListTable.h"
#include "due/screen/frmDueList.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "tasks/StatusTable.h"
#include "tasks/TaskWrites.h"
#include "tasks/screen/frmDirectives.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;

namespace {

class DueListMenu : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        auto db = data::Database::open(folder.file(data::files::kMain));
        addAircraft(*db, "N1", 100);
        addAircraft(*db, "N2", 200);
        addPart(*db, part("N2", 1).withLife(1000, 0, 0));
    }
};

TEST_F(DueListMenu, HasItsOwnButtonApartFromTheFive) {
    EXPECT_EQ(control<QPushButton>(*menu, "cmdDueList")->text(), "&Due List");
    EXPECT_TRUE(control<QPushButton>(*menu, "cmdDueList")->isEnabled());
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(control<QFrame>(*menu, "SSPanel1", i)
                         ->geometry()
                         .intersects(control<QFrame>(*menu, "pnlDueList")->geometry()));
    EXPECT_TRUE(control<QFrame>(*menu, "pnlDueList")
                    ->geometry()
                    .contains(control<QPushButton>(*menu, "cmdDueList")
                                  ->geometry()
                                  .translated(control<QFrame>(*menu, "pnlDueList")->pos())));
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(control<QPushButton>(*menu, "Command1", i)->text().toLower().indexOf("&d"),
                  0);  // its accelerator is its own
}

TEST_F(DueListMenu, OneScreenClosedWithTheMenu) {
    QTest::mouseClick(control<QPushButton>(*menu, "cmdDueList"), Qt::LeftButton);
    auto* due = qobject_cast<due::frmDueList*>(menu->openDueList());
    ASSERT_TRUE(due);
    EXPECT_TRUE(due->isVisible());
    EXPECT_EQ(due->table().rowCount(), 1);
    QTest::mouseClick(control<QPushButton>(*menu, "cmdDueList"), Qt::LeftButton);
    EXPECT_EQ(menu->openDueList(), due);
    menu->close();
    processDeletes();
    EXPECT_EQ(menu->openDueList(), nullptr);
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(DueListMenu, ALineOpensItsAircraftInAircraftSetUp) {
    QTest::mouseClick(control<QPushButton>(*menu, "cmdDueList"), Qt::LeftButton);
    auto* due = qobject_cast<due::frmDueList*>(menu->openDueList());
    ASSERT_TRUE(due);
    due->grdDueList_DblClick(0);
    auto* setup =
        qobject_cast<aircraft::frmAircraft*>(menu->openScreen(app::frmMenuVelmora::AircraftSetup));
    ASSERT_TRUE(setup);
    EXPECT_TRUE(setup->isVisible());
    EXPECT_EQ(control<velmora::screens::Chooser>(*setup, "Combo1")->text(), "N2");
    EXPECT_EQ(control<velmora::screens::BoundRecordSource>(*setup, "datPrimaryRS")
                  ->currentValue("RegNum")
                  .toString(),
              "N2");
    EXPECT_TRUE(dialogs->messages.empty());

    // An aircraft on file no more is said, and set-up stays where it was.
    app::showAircraftInSetup(*menu, "N9");
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "The aircraft N9 is not in the aircraft list.");
    EXPECT_EQ(control<velmora::screens::Chooser>(*setup, "Combo1")->text(), "N2");

    // While a new aircraft is being entered, it is not left behind.
    QTest::mouseClick(control<QPushButton>(*setup, "cmdAdd"), Qt::LeftButton);
    due->grdDueList_DblClick(0);
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_TRUE(dialogs->messages[1].text.startsWith("Finish or cancel the new aircraft"));
    EXPECT_TRUE(
        control<velmora::screens::BoundRecordSource>(*setup, "datPrimaryRS")->isAddingNew());
}

TEST_F(DueListMenu, DirectivesAndInspectionsHasItsButtonUnderTheDueList) {
    EXPECT_TRUE(control<QPushButton>(*menu, "cmdDirectives")->isEnabled());
    EXPECT_EQ(control<QPushButton>(*menu, "cmdDirectives")->text(), "D&irectives &&\nInspections");
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(control<QFrame>(*menu, "SSPanel1", i)
                         ->geometry()
                         .intersects(control<QFrame>(*menu, "pnlDirectives")->geometry()));
    EXPECT_FALSE(control<QFrame>(*menu, "pnlDueList")
                     ->geometry()
                     .intersects(control<QFrame>(*menu, "pnlDirectives")->geometry()));
    EXPECT_TRUE(menu->rect().contains(control<QFrame>(*menu, "pnlDirectives")->geometry()));
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(control<QPushButton>(*menu, "Command1", i)
                         ->text()
                         .toLower()
                         .contains("&i"));  // its accelerator is its own
    QTest::mouseClick(control<QPushButton>(*menu, "cmdDirectives"), Qt::LeftButton);
    auto* screen = qobject_cast<tasks::frmDirectives*>(menu->openDirectives());
    ASSERT_TRUE(screen);
    EXPECT_TRUE(screen->isVisible());
    QTest::mouseClick(control<QPushButton>(*menu, "cmdDirectives"), Qt::LeftButton);
    EXPECT_EQ(menu->openDirectives(), screen);
    menu->close();
    processDeletes();
    EXPECT_EQ(menu->openDirectives(), nullptr);
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(DueListMenu, ATaskLineOpensTheTaskInDirectivesAndInspections) {
    std::int64_t id = 0;
    {
        auto db = data::Database::open(folder.file(data::files::kMain));
        db->execute(QStringLiteral("UPDATE Aircraft SET Make = 'Bell', Model = '206B'"));
        tasks::Task t;
        t.number = QStringLiteral("2025-01-01");
        t.title = QStringLiteral("Tail rotor");
        t.effectiveDate = QDate(2025, 1, 1);
        t.make = QStringLiteral("Bell");
        t.interval[tasks::slot(tasks::Parameter::Hours)] = 100;
        id = tasks::saveTask(*db, t).ids[0];
    }
    QTest::mouseClick(control<QPushButton>(*menu, "cmdDueList"), Qt::LeftButton);
    auto* due = qobject_cast<due::frmDueList*>(menu->openDueList());
    ASSERT_TRUE(due);
    int line = -1;
    for (int r = 0; r < due->table().rowCount(); ++r) {
        const due::DueEntry* e = due->table().entryAt(r);
        if (e->isTask() && due->list()->regNum(*e) == "N2")
            line = r;
    }
    ASSERT_GE(line, 0);
    due->grdDueList_DblClick(line);
    auto* screen = qobject_cast<tasks::frmDirectives*>(menu->openDirectives());
    ASSERT_TRUE(screen);
    EXPECT_EQ(control<QTabWidget>(*screen, "tabs")->currentIndex(), 1);
    EXPECT_EQ(control<QComboBox>(*screen, "cboAircraft")->currentText(), "N2");
    const QModelIndex current = control<QTableView>(*screen, "grdStatus")->currentIndex();
    ASSERT_TRUE(current.isValid());
    EXPECT_EQ(screen->statusTable().lineAt(current.row())->task.id, id);
    EXPECT_TRUE(dialogs->messages.empty());
}

}  // namespace
