// The main menu on a data path that names a database server: every screen opens on the
// server's data sets as on a data folder, and a server that cannot be used is said once,
// before any screen opens.
#include "aircraft/frmAircraft.h"
#include "app/ScreenRegistry.h"
#include "app/StartUpBackup.h"
#include "app/frmMenuVelmora.h"
#include "data/DataFiles.h"
#include "data/Recordset.h"
#include "due/DueListTable.h"
#include "due/screen/frmDueList.h"
#include "oil/frmOilAnalysis.h"
#include "remaining/frmRemain.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/BackEnds.h"
#include "support/Controls.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using app::frmMenuVelmora;

namespace {

class ServerDataPath : public ::testing::Test {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        store.createMainFile();
        store.createTemplateFile();
        auto db = data::Database::open(store.location(data::files::kMain));
        addAircraft(*db, "N1", 100);
        addAircraft(*db, "N2", 200);
        addPart(*db, part("N2", 1).describedAs("Main rotor").withLife(1000, 0, 0));
    }
    void TearDown() override {
        if (!menu)
            return;
        for (int i = 0; i < 4; ++i)
            delete menu->openScreen(i);
        delete menu->openDueList();
        menu.reset();
    }
    // The menu of a program folder whose settings name this data path.
    frmMenuVelmora& openMenu(const QString& dataPath) {
        QFile::remove(store.folder().file(data::files::kCompany));
        store.folder().createCompanyFile(dataPath);
        menu = std::make_unique<frmMenuVelmora>(store.folder().path());
        app::registerScreens(*menu);
        menu->Form_Load();
        return *menu;
    }
    QWidget* click(int index) {
        QTest::mouseClick(control<QPushButton>(*menu, "Command1", static_cast<size_t>(index)),
                          Qt::LeftButton);
        return menu->openScreen(index);
    }

    screens::ScopedDialogs dialogs;
    TestStore store{BackEnd::Server};
    std::unique_ptr<frmMenuVelmora> menu;
};

TEST_F(ServerDataPath, EveryScreenOpensOnTheServersDataSets) {
    openMenu(store.dataPath());
    auto* setup = qobject_cast<aircraft::frmAircraft*>(click(frmMenuVelmora::AircraftSetup));
    ASSERT_TRUE(setup);
    EXPECT_EQ(control<velmora::screens::Chooser>(*setup, "Combo1")->entryCount(), 2);
    EXPECT_EQ(control<velmora::screens::Chooser>(*setup, "Combo1")->text(), "N1");

    auto* remain = qobject_cast<remaining::frmRemain*>(click(frmMenuVelmora::TimeRemaining));
    ASSERT_TRUE(remain);
    EXPECT_EQ(control<velmora::screens::Chooser>(*remain, "Combo1")->entryCount(), 2);

    EXPECT_TRUE(qobject_cast<oil::frmOilAnalysis*>(click(frmMenuVelmora::OilAnalysis)));

    QTest::mouseClick(control<QPushButton>(*menu, "cmdDueList"), Qt::LeftButton);
    auto* due = qobject_cast<due::frmDueList*>(menu->openDueList());
    ASSERT_TRUE(due);
    ASSERT_EQ(due->table().rowCount(), 1);
    EXPECT_TRUE(dialogs->messages.empty()) << dialogs->messages.front().title.toStdString() << ": "
                                           << dialogs->messages.front().text.toStdString();
}

TEST_F(ServerDataPath, AServerThatCannotBeUsedIsSaidOnceAndNoScreenOpens) {
    const QString refusedLogin =
        QString(store.dataPath()).replace("user=velmora", "user=velmora_pw");
    const QString unreachable = QStringLiteral("postgresql:///velmora?host=/nonexistent/socket");
    struct Case {
        QString dataPath;
        const char* reason;
    };
    for (const Case& c : {Case{unreachable, "No such file"},
                          Case{QStringLiteral("postgresql://[broken"), "Cannot connect"},
                          Case{refusedLogin, "password authentication failed"}}) {
        SCOPED_TRACE(c.dataPath.toStdString());
        TearDown();
        dialogs->messages.clear();
        qputenv("PGPASSWORD", "wrong");
        openMenu(c.dataPath);
        for (int index : {frmMenuVelmora::AircraftSetup, frmMenuVelmora::TimeRemaining,
                          frmMenuVelmora::OilAnalysis})
            EXPECT_EQ(click(index), nullptr);
        QTest::mouseClick(control<QPushButton>(*menu, "cmdDueList"), Qt::LeftButton);
        EXPECT_EQ(menu->openDueList(), nullptr);
        qunsetenv("PGPASSWORD");
        ASSERT_EQ(dialogs->messages.size(), 4u);
        EXPECT_TRUE(dialogs->messages[0].text.startsWith("The data on the database server"));
        EXPECT_TRUE(dialogs->messages[0].text.contains(c.reason))
            << dialogs->messages[0].text.toStdString();
        EXPECT_FALSE(dialogs->messages[0].text.contains("wrong"));
        // Company Set-up still opens, to mend the data path.
        EXPECT_NE(click(frmMenuVelmora::CompanySetup), nullptr);
    }
    // Nothing was written to the data sets.
    auto rs = data::Database::open(store.location(data::files::kMain))
                  ->openRecordset("select * from Aircraft");
    EXPECT_EQ(rs->recordCount(), 2);
}

TEST_F(ServerDataPath, StartUpLeavesTheServersDataSetsToTheServer) {
    // No damaged-file check and no daily backup of data sets on a server: only the settings
    // file, which is local, gets its backup.
    openMenu(store.dataPath());
    app::careForDataFilesOnStart(nullptr, store.folder().path(), QDateTime::currentDateTime());
    EXPECT_TRUE(dialogs->messages.empty()) << dialogs->messages.front().text.toStdString();
    int files = 0;
    for (QDirIterator it(store.folder().path(), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString f = it.next();
        ++files;
        EXPECT_TRUE(f.contains("SetupPP", Qt::CaseInsensitive)) << f.toStdString();
    }
    EXPECT_GE(files, 1);  // the settings file itself
}

}  // namespace
