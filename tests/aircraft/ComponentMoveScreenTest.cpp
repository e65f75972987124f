// Removing a component from the aircraft set-up screen and installing it on another aircraft,
// driven through the grid's context menu, the questions asked and the Stores and History
// windows, on both back ends: what the time remaining list shows for it is the same on the
// other aircraft; a refusal is shown with its reason and writes nothing.
#include "aircraft/ComponentMoveQuestions.h"
#include "aircraft/frmAircraft.h"
#include "aircraft/frmComponentTable.h"
#include "components/ComponentTables.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/BackEnds.h"
#include "support/Controls.h"
#include "support/PdfWords.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

#include <memory>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using aircraft::frmAircraft;
using screens::MsgAnswer;

namespace {

class ComponentMoveScreen : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        QApplication::setApplicationDisplayName("Velmora");
        path = store.createMainFile();
        store.createTemplateFile();
        auto db = data::Database::open(path);
        addAircraft(*db, "N1", 1000, 0, 4000);
        addAircraft(*db, "N2", 2000, 0, 100);
        addPart(*db, part("N1", 1).withLife(100, 0, 0).asUnit("OTHER", "X"));
        addPart(*db, part("N1", 2)
                         .withBasis("LD")
                         .withLife(20000, 1500, 3000)
                         .installedOn("2025-01-01")
                         .asUnit("GB-1", "S1"));
    }
    void TearDown() override {
        screen.reset();
        screens::SuppressReposition = false;
    }
    frmAircraft& open() {
        screen = std::make_unique<frmAircraft>(store.dataPath());
        screen->setMoveDay(QDate(2025, 6, 15));
        screen->show();
        QApplication::setActiveWindow(screen.get());
        screen->Form_Activate();
        return *screen;
    }
    QString stored(const QString& sql) {
        auto rs = data::Database::open(path)->openRecordset(sql);
        return rs->hasCurrent() ? rs->value(0).toString() : QStringLiteral("<no row>");
    }

    TestStore store{GetParam()};
    QString path;
    std::unique_ptr<frmAircraft> screen;
    screens::ScopedDialogs dialogs;
};

TEST_P(ComponentMoveScreen, RemovedFromOneAircraftAndInstalledOnAnotherThroughTheScreen) {
    frmAircraft& s = open();
    ASSERT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 2);
    control<velmora::screens::DataGrid>(s, "grdDataGrid")->setCurrentRow(1);  // GB-1
    // The grid's context menu carries the move.
    ASSERT_TRUE(control<velmora::screens::DataGrid>(s, "grdDataGrid")
                    ->actions()
                    .contains(control<QAction>(s, "actRemoveComponent")));
    ASSERT_TRUE(control<QPushButton>(s, "cmdComponents")
                    ->menu()
                    ->actions()
                    .contains(control<QAction>(s, "actInstallComponent")));
    dialogs->textResult(QStringLiteral("2025-06-01"));
    dialogs->choice(4);  // to another aircraft
    dialogs->choice(0);  // stores serviceable
    dialogs->textResult(QStringLiteral("WO-17"));
    control<QAction>(s, "actRemoveComponent")->trigger();
    EXPECT_TRUE(dialogs->messages.empty()) << dialogs->messages.front().text.toStdString();
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(),
              1);  // off the aircraft's list
    ASSERT_EQ(dialogs->choiceRequests.size(), 2u);
    EXPECT_EQ(dialogs->choiceRequests[0].rows.size(), aircraft::removalReasons().size());

    // The Stores window lists it with what remains.
    aircraft::frmComponentTable stores(aircraft::frmComponentTable::Kind::Stores,
                                       data::Database::open(path)->path());
    ASSERT_EQ(stores.model()->rowCount(), 1);
    EXPECT_EQ(stores.model()->item(0, components::StoresRemaining)->text(), "LD 17500 landings");

    control<velmora::screens::Chooser>(s, "Combo1")
        ->setListIndex(control<velmora::screens::Chooser>(s, "Combo1")->findExact("N2"));
    dialogs->choice(0);  // the gearbox
    dialogs->textResult(QStringLiteral("3"));
    dialogs->choice(0);  // meter 1
    dialogs->textResult(QStringLiteral("2025-06-10"));
    dialogs->textResult(QStringLiteral("CRS 881"));
    s.cmdInstallComponent_Click();
    EXPECT_TRUE(dialogs->messages.empty()) << dialogs->messages.front().text.toStdString();
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 1);
    // 20000 - 2500 - (100 - 100): what remained at removal.
    EXPECT_EQ(stored("select LifeNumber - InstallTimeLeft - (100 - InstallACHour) from Parts "
                     "where RegNum = 'N2'"),
              "17500");

    // Its history, from the grid's current row.
    control<velmora::screens::DataGrid>(s, "grdDataGrid")->setCurrentRow(0);
    control<QAction>(s, "actHistory")->trigger();
    aircraft::frmComponentTable* history = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == u"frmComponentHistory" && w->isVisible())
            history = qobject_cast<aircraft::frmComponentTable*>(w);
    }
    ASSERT_NE(history, nullptr);
    ASSERT_EQ(history->model()->rowCount(), 3);  // installed, removed, installed
    EXPECT_EQ(history->model()->item(1, components::HistoryEvent)->text(), "removed");
    EXPECT_EQ(history->model()->item(2, components::HistoryAircraft)->text(), "N2");
    // Its record card, saved as PDF from the window.
    const QString card = store.folder().file("card.pdf");
    dialogs->saveResult(card);
    control<QPushButton>(*history, "cmdPdf")->click();
    EXPECT_TRUE(dialogs->messages.empty());
    if (pdfToTextInstalled()) {
        const QString text = pdfToText(card);
        for (const char* word : {"Component Record Card", "Serial number: S1", "WO-17", "CRS 881",
                                 "Aircraft fitted to", "TSN", "CSN"})
            EXPECT_TRUE(text.contains(QLatin1String(word))) << word << "\n" << text.toStdString();
    }
    history->close();
}

TEST_P(ComponentMoveScreen, ARefusalIsShownWithItsReasonAndNothingIsWritten) {
    frmAircraft& s = open();
    control<velmora::screens::DataGrid>(s, "grdDataGrid")->setCurrentRow(1);
    const QByteArray before = storedContent(path);
    dialogs->textResult(QStringLiteral("2024-12-31"));  // before its installation
    dialogs->choice(0);
    dialogs->choice(0);
    dialogs->textResult(QString());
    control<QAction>(s, "actRemoveComponent")->trigger();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains("precedes its installation"))
        << dialogs->messages[0].text.toStdString();
    EXPECT_EQ(storedContent(path), before);
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 2);

    // Nothing in stores: installing says so.
    s.cmdInstallComponent_Click();
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_TRUE(dialogs->messages[1].text.startsWith("No component is in stores"));
}

// The aircraft's life-limited parts from the Component button: the status window lists
// every limit with the figures of the time remaining list, and saves the report as CSV and
// as PDF through the dialogs service.
TEST_P(ComponentMoveScreen, LifeLimitedPartsStatusFromTheComponentButton) {
    frmAircraft& s = open();
    ASSERT_TRUE(control<QPushButton>(s, "cmdComponents")
                    ->menu()
                    ->actions()
                    .contains(control<QAction>(s, "actLifeLimited")));
    control<QAction>(s, "actLifeLimited")->trigger();
    aircraft::frmComponentTable* llp = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == u"frmLifeLimited" && w->isVisible())
            llp = qobject_cast<aircraft::frmComponentTable*>(w);
    }
    ASSERT_NE(llp, nullptr);
    EXPECT_TRUE(llp->windowTitle().contains("N1"));
    const QStandardItemModel& m = *llp->model();
    ASSERT_EQ(m.rowCount(), 2);
    // OTHER: 100 hours, 1000 flown since installation at 0; the gearbox: 17500 landings.
    EXPECT_EQ(m.item(0, components::LlpPartNumber)->text(), "OTHER");
    EXPECT_EQ(m.item(0, components::LlpRemaining)->text(), "-900");
    EXPECT_EQ(m.item(0, components::LlpUsed)->text(), "1000");
    EXPECT_EQ(m.item(1, components::LlpRemaining)->text(), "17500");
    EXPECT_EQ(m.item(1, components::LlpSinceNew)->text(), "2500");

    const QString csv = store.folder().file("llp.csv");
    dialogs->saveResult(csv);
    control<QPushButton>(*llp, "cmdCsv")->click();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.startsWith("Item #,Component Name,Part Number")) << text.toStdString();
    EXPECT_TRUE(text.contains(",GB-1,S1,LD,,20000 landings,2500,17500,")) << text.toStdString();

    const QString pdf = store.folder().file("llp.pdf");
    dialogs->saveResult(pdf);
    control<QPushButton>(*llp, "cmdPdf")->click();
    EXPECT_TRUE(dialogs->messages.empty());
    QFile p(pdf);
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    EXPECT_TRUE(p.read(5).startsWith("%PDF"));
    llp->close();
}

VELMORA_ON_BOTH_BACK_ENDS(ComponentMoveScreen);

}  // namespace
