// velmora-migrate onto a server that fails on the way: stopped as a crash would stop it in the
// middle of the copy, or refusing a value. The target is left without a data set, and the
// copy run again succeeds and leaves nothing of the failed one.
#include "data/DataFiles.h"
#include "data/DataSetMigration.h"
#include "data/Schema.h"
#include "support/PgTableLock.h"
#include "support/PgTestServer.h"
#include "support/TestFiles.h"
#include "support/ToolRun.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace velmora;
using namespace velmora::testing;

namespace {

const QStringList kPublicOnly = {"public"};
const QStringList kDataSet = {"helipart", "public", "timemgr", "velmora_jet"};

// A data folder with an aircraft, its components and a template library.
void makeSource(const QString& dataPath) {
    auto db = data::Database::open(data::dataFileName(dataPath, data::files::kMain));
    for (int a = 1; a <= 3; ++a) {
        const QString reg = QStringLiteral("N%1").arg(a);
        addAircraft(*db, reg, 1000 * a);
        for (int i = 1; i <= 20; ++i)
            addPart(*db, part(reg, i).withLife(5000, 0, 0));
    }
    auto templates = data::Database::open(data::dataFileName(dataPath, data::files::kTemplates));
    templates->execute("INSERT INTO Aircraft (Make, Model) VALUES ('Bell', '206B')");
}

// Waits until a session on the server waits for a lock: the copy has got as far as the
// locked table. False when that has not happened within a minute.
bool waitForLockWaiter(const QString& uri) {
    for (int i = 0; i < 600; ++i) {
        if (!queryTestServer(uri,
                             "SELECT 1 FROM pg_locks l JOIN pg_database d ON d.oid = "
                             "l.database WHERE NOT l.granted AND d.datname = "
                             "current_database()")
                 .isEmpty())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

class MigrateFailure : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!source.isAvailable())
            GTEST_SKIP() << source.whyNot().toStdString();
        data::schema::createMainFile(folder.file("Timemgr.mdb"));
        data::schema::createTemplateFile(folder.file("HeliPart.mdb"));
        makeSource(folder.dataPath());
        data::migrateDataSet(folder.dataPath(), source.uri());
    }

    // Copies the source server's data set onto a server of the test's own, stops that server
    // while the copy waits for the source's table, and starts it again.
    void crashIntoOwnServer(OwnPgServer& target, const QString& table) {
        PgTableLock lock(source.uri(), table, "ACCESS EXCLUSIVE");
        QProcess migrate;
        migrate.start(VELMORA_MIGRATE_BIN, {"--from", source.uri(), "--to", target.uri()});
        ASSERT_TRUE(waitForLockWaiter(source.uri()))
            << "the copy never reached " << table.toStdString();
        QString why;
        ASSERT_TRUE(target.kill(&why)) << why.toStdString();
        lock.release();
        ASSERT_TRUE(migrate.waitForFinished(60000));
        EXPECT_EQ(migrate.exitCode(), 1);
        const QString err = QString::fromUtf8(migrate.readAllStandardError());
        EXPECT_TRUE(err.contains("nothing was copied")) << err.toStdString();
        ASSERT_TRUE(target.restart(&why)) << why.toStdString();
    }

    void expectRetryWorks(const QString& target) {
        const ToolRun again =
            runTool(VELMORA_MIGRATE_BIN, {"--from", source.uri(), "--to", target});
        EXPECT_EQ(again.status, 0) << again.err.toStdString();
        EXPECT_TRUE(again.out.contains("Timemgr.mdb Parts: 60 rows")) << again.out.toStdString();
        EXPECT_EQ(schemasOf(target), kDataSet);
        const ToolRun sql =
            runTool(VELMORA_SQL_BIN, {target + "#Timemgr", "SELECT Count(*) AS n FROM Parts"});
        EXPECT_EQ(sql.out, "n\r\n60\r\n") << sql.err.toStdString();
    }

    TestFolder folder;
    PgTestDatabase source;
};

TEST_F(MigrateFailure, AServerStoppedInTheMiddleOfTheCopyIsLeftAsItWas) {
    OwnPgServer target;
    if (!target.isAvailable())
        GTEST_SKIP() << target.whyNot().toStdString();
    // Aircraft and Oil are copied, then the copy waits for Parts.
    crashIntoOwnServer(target, "timemgr.parts");
    EXPECT_EQ(schemasOf(target.uri()), kPublicOnly);
    expectRetryWorks(target.uri());
}

TEST_F(MigrateFailure, AServerStoppedAfterTheFirstFileHoldsNoDataSet) {
    OwnPgServer target;
    if (!target.isAvailable())
        GTEST_SKIP() << target.whyNot().toStdString();
    // Timemgr is copied whole, then the copy waits for HeliPart's table of models.
    crashIntoOwnServer(target, "helipart.aircraft");
    const QStringList left = schemasOf(target.uri());
    EXPECT_FALSE(left.contains("timemgr")) << left.join(' ').toStdString();
    EXPECT_FALSE(left.contains("helipart")) << left.join(' ').toStdString();
    expectRetryWorks(target.uri());
}

TEST_F(MigrateFailure, AStatementTheServerRefusesLeavesNothingAndTheCopyCanBeRunAgain) {
    // A stored query of the template library that reads a table dropped since: the server
    // refuses to keep it, after the main file was copied whole.
    PgTestDatabase target;
    auto templates = data::Database::open(folder.file("HeliPart.mdb"));
    templates->execute("CREATE TABLE Extra (Make TEXT(50))");
    templates->createQueryDef("Makes", "SELECT Make FROM Extra");
    templates->execute("DROP TABLE Extra");
    const ToolRun failed =
        runTool(VELMORA_MIGRATE_BIN, {"--from", folder.path(), "--to", target.uri()});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.err.contains("nothing was copied")) << failed.err.toStdString();
    EXPECT_TRUE(failed.err.contains("HeliPart on")) << failed.err.toStdString();
    EXPECT_FALSE(failed.err.contains("velmora_copy")) << failed.err.toStdString();
    EXPECT_EQ(schemasOf(target.uri()), kPublicOnly);

    templates->deleteQueryDef("Makes");
    templates.reset();
    const ToolRun again =
        runTool(VELMORA_MIGRATE_BIN, {"--from", folder.path(), "--to", target.uri()});
    EXPECT_EQ(again.status, 0) << again.err.toStdString();
    EXPECT_EQ(schemasOf(target.uri()), kDataSet);
}

}  // namespace
