// The database server restarts, or goes away for a while, in the middle of a screen session:
// the screens read again on a new connection as if nothing happened, a save during the outage
// says so once in the user's words and can be repeated, and nothing is half-written.
#include "aircraft/frmAircraft.h"
#include "data/DataFiles.h"
#include "data/Recordset.h"
#include "data/Schema.h"
#include "oil/frmOilAnalysis.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/BackEnds.h"
#include "support/Controls.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using screens::MsgAnswer;

namespace {

class ServerRestart : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server.isAvailable())
            GTEST_SKIP() << server.whyNot().toStdString();
        QApplication::setApplicationDisplayName("Velmora");
        ASSERT_TRUE(runOnTestServer(server.uri(), "CREATE DATABASE fleet"));
        QUrl url(server.uri());
        url.setPath("/fleet");
        dataPath = url.toString();
        data::schema::createMainFile(main());
        data::schema::createTemplateFile(data::dataFileName(dataPath, data::files::kTemplates));
        auto db = data::Database::open(main());
        addAircraft(*db, "N1", 800);
        addAircraft(*db, "N2", 200);
        db->execute("UPDATE Aircraft SET CurrentMeter1 = 1234.5, LastMeter1 = 1234.5");
        addPart(*db, part("N1", 10).describedAs("Main rotor").withLife(1000, 0, 0));
        addPart(*db, part("N2", 20).describedAs("Tail rotor").withLife(1000, 0, 0));
        db->execute("UPDATE Parts SET OilAnalysis = Yes");
        db->execute(
            "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron) VALUES "
            "('N1', 'Main rotor', #1/5/2026#, 3)");
    }
    void TearDown() override {
        oil.reset();
        setup.reset();
        screens::SuppressReposition = false;
    }
    QString main() const { return data::dataFileName(dataPath, data::files::kMain); }
    QString stored(const QString& column) {
        auto rs = data::Database::open(main())->openRecordset(
            QStringLiteral("select [%1] from Aircraft where RegNum = 'N1'").arg(column));
        return rs->value(0).toString();
    }
    // Aircraft Set-up opened as the main menu opens it: shown and activated.
    void openSetup() {
        setup = std::make_unique<aircraft::frmAircraft>(dataPath);
        setup->show();
        QApplication::setActiveWindow(setup.get());
        QApplication::processEvents();
    }
    void restart() {
        QString why;
        ASSERT_TRUE(server.kill(&why)) << why.toStdString();
        ASSERT_TRUE(server.restart(&why)) << why.toStdString();
    }
    void type(int index, const QString& text) {
        QLineEdit* f = control<QLineEdit>(*setup, "txtFields", index);
        f->setFocus();
        f->selectAll();
        QTest::keyClicks(f, text);
    }
    std::string shown() {
        std::string out;
        for (const auto& m : dialogs->messages)
            out += m.title.toStdString() + ": " + m.text.toStdString() + "\n";
        return out;
    }

    OwnPgServer server;
    screens::ScopedDialogs dialogs;
    QString dataPath;
    std::unique_ptr<aircraft::frmAircraft> setup;
    std::unique_ptr<oil::frmOilAnalysis> oil;
};

TEST_F(ServerRestart, ScreensReadAgainAfterARestartWithoutAWord) {
    openSetup();
    restart();
    // Another aircraft: its row and components are read on a new connection.
    control<velmora::screens::Chooser>(*setup, "Combo1")
        ->setListIndex(control<velmora::screens::Chooser>(*setup, "Combo1")->findExact("N2"));
    EXPECT_EQ(control<QLineEdit>(*setup, "txtFields", aircraft::frmAircraft::Field::RegNum)->text(),
              "N2");
    ASSERT_EQ(control<velmora::screens::DataGrid>(*setup, "grdDataGrid")->rowCount(), 1) << shown();
    EXPECT_EQ(control<velmora::screens::DataGrid>(*setup, "grdDataGrid")->textAt(0, 5),
              "Tail rotor");
    restart();
    oil = std::make_unique<oil::frmOilAnalysis>(dataPath);
    oil->show();
    oil->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(control<velmora::screens::Chooser>(*oil, "Combo1")->text(), "N1");
    ASSERT_EQ(control<velmora::screens::Chooser>(*oil, "Combo2")->entryCount(), 1);
    EXPECT_EQ(control<velmora::screens::Chooser>(*oil, "Combo2")->itemText(0), "Main rotor");
    restart();
    // The first save after a restart is saved at the first click.
    control<velmora::screens::Chooser>(*setup, "Combo1")
        ->setListIndex(control<velmora::screens::Chooser>(*setup, "Combo1")->findExact("N1"));
    type(1, "SN-1");
    QTest::mouseClick(control<QPushButton>(*setup, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(stored("Serial Number"), "SN-1");
    EXPECT_FALSE(control<QPushButton>(*setup, "cmdSave")->isEnabled());
    EXPECT_TRUE(dialogs->messages.empty()) << shown();
}

TEST_F(ServerRestart, ASaveWhileTheServerIsAwaySaysSoOnceAndCanBeRepeated) {
    openSetup();
    QString why;
    ASSERT_TRUE(server.kill(&why)) << why.toStdString();
    type(1, "SN-2");
    QTest::mouseClick(control<QPushButton>(*setup, "cmdSave"), Qt::LeftButton);
    ASSERT_EQ(dialogs->messages.size(), 1u) << shown();
    const QString text = dialogs->messages[0].text;
    EXPECT_TRUE(text.contains("The database server cannot be reached")) << text.toStdString();
    EXPECT_TRUE(text.contains("3151")) << text.toStdString();
    // The outage is met by the save's first statement, a read or a change: either way the
    // message says that nothing of the save was kept.
    EXPECT_TRUE(text.contains("not saved") || text.contains("Nothing was changed"))
        << text.toStdString();
    for (const char* internal : {"SELECT", "pipeline", "server closed", "rowid"})
        EXPECT_FALSE(text.contains(internal, Qt::CaseInsensitive)) << text.toStdString();
    EXPECT_TRUE(control<QPushButton>(*setup, "cmdSave")->isEnabled());
    EXPECT_EQ(
        control<QLineEdit>(*setup, "txtFields", aircraft::frmAircraft::Field::SerialNumber)->text(),
        "SN-2");

    // A meter entry confirmed meanwhile is not saved either, and says so once.
    dialogs->answer(MsgAnswer::Yes);
    type(11, "+2");
    control<QLineEdit>(*setup, "txtFields", aircraft::frmAircraft::Field::TotalTime)->setFocus();
    ASSERT_EQ(dialogs->messages.size(), 3u) << shown();
    EXPECT_EQ(dialogs->messages[1].text, "Flight time was changed by 2.0. Is this correct?");
    EXPECT_TRUE(dialogs->messages[2].text.contains("cannot be reached"));

    ASSERT_TRUE(server.restart(&why)) << why.toStdString();
    QTest::mouseClick(control<QPushButton>(*setup, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(dialogs->messages.size(), 3u) << shown();
    EXPECT_FALSE(control<QPushButton>(*setup, "cmdSave")->isEnabled());
    EXPECT_EQ(stored("Serial Number"), "SN-2");
    EXPECT_EQ(stored("CurrentMeter1"), "1236.5");
    EXPECT_EQ(stored("TotalTime"), "802");  // counted once
}

}  // namespace
