// Every program on a data path that names a database server, run as built against the test
// server: the same answers as on the data folder the data set came from.
#include "data/DataFiles.h"
#include "data/Schema.h"
#include "reportfiles/ReportDefinition.h"
#include "support/PgTestServer.h"
#include "support/TestFiles.h"
#include "support/ToolRun.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

// A data folder with N1 and its components, copied onto a database of the test server with
// velmora-migrate.
class ToolsOnServer : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server.isAvailable())
            GTEST_SKIP() << server.whyNot().toStdString();
        QDir(folder.path()).mkpath("Data");
        dataDir = folder.file("Data");
        const QString dataPath = dataDir + u'/';
        const QString main = data::dataFileName(dataPath, data::files::kMain);
        data::schema::createMainFile(main);
        data::schema::createTemplateFile(data::dataFileName(dataPath, data::files::kTemplates));
        ASSERT_NO_THROW(reports::writeDefaultReportDefinitions(dataDir));
        auto db = data::Database::open(main);
        addAircraft(*db, "N1", 1000);
        addPart(*db, part("N1", 1).withLife(1200, 0, 0).describedAs("Starter"));
        addPart(*db, part("N1", 2).withLife(995, 0, 0).describedAs("Pump"));
        db.reset();
        uri = server.uri();
        const ToolRun migrate = runTool(VELMORA_MIGRATE_BIN, {"--from", dataDir, "--to", uri});
        ASSERT_EQ(migrate.status, 0) << migrate.err.toStdString();
        EXPECT_TRUE(migrate.out.contains("Timemgr.mdb Parts: 2 rows")) << migrate.out.toStdString();
        EXPECT_TRUE(migrate.out.contains("Timemgr.mdb Journal: 3 lines carried"))
            << migrate.out.toStdString();
        EXPECT_TRUE(migrate.out.contains("Timemgr.mdb Journal: the chain holds (3 lines)"))
            << migrate.out.toStdString();
    }

    PgTestDatabase server;
    TestFolder folder;
    QString dataDir, uri;
};

TEST_F(ToolsOnServer, ReportDueListAndSqlReadTheServer) {
    const QString pdf = folder.file("n1.pdf");
    ToolRun r = runTool(VELMORA_REPORT_BIN, {"--data", uri, "--reg", "N1", "--pdf", pdf});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));
    r = runTool(VELMORA_REPORT_BIN, {"--forecast", "--data", uri, "--reg", "N1", "--pdf", pdf});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    r = runTool(VELMORA_REPORT_BIN, {"--data", uri, "--reg", "N9", "--pdf", folder.file("n9.pdf")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("no aircraft with the registration number \"N9\""))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(folder.file("n9.pdf")));

    const ToolRun onFolder = runTool(VELMORA_DUE_BIN, {"--data", dataDir});
    r = runTool(VELMORA_DUE_BIN, {"--data", uri});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, onFolder.out);
    EXPECT_EQ(r.out.count("\r\n"), 3);

    r = runTool(VELMORA_SQL_BIN, {uri + "#Timemgr",
                                  "SELECT Description FROM Parts ORDER BY "
                                  "ItemNumber"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Description\r\nStarter\r\nPump\r\n");
}

TEST_F(ToolsOnServer, SqlGivesAParameterQueryItsValues) {
    const ToolRun r = runTool(
        VELMORA_SQL_BIN,
        {"--param", "Least=1000", "--param=reg=n1", uri + "#Timemgr",
         "PARAMETERS Reg Text(10), Least Long; SELECT Description FROM Parts WHERE RegNum = Reg "
         "AND LifeNumber >= Least ORDER BY ItemNumber"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Description\r\nStarter\r\n");
}

// The journal goes onto the server with the data set, and the server keeps it: velmora-sql's
// change is journalled there with its program and the session's user, the lines cannot be
// taken out, and verify and list read them.
TEST_F(ToolsOnServer, TheJournalIsCarriedAndKeptOnTheServer) {
    ToolRun r = runTool(VELMORA_JOURNAL_BIN, {"verify", "--data", uri});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("the journal is intact (3 lines)")) << r.out.toStdString();

    r = runTool(VELMORA_SQL_BIN, {uri + "#Timemgr", "UPDATE Aircraft SET TotalTime = 1010"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = runTool(VELMORA_SQL_BIN, {uri + "#Timemgr", "DELETE FROM Journal"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("can only be added to")) << r.err.toStdString();

    r = runTool(VELMORA_JOURNAL_BIN, {"list", "--data", uri, "--csv"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList rows = r.out.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 5);  // the header, three carried lines, the change
    const QStringList last = rows.back().split(u',');
    ASSERT_GE(last.size(), 12);
    EXPECT_EQ(last[4], "velmora-sql");
    EXPECT_EQ(last[2], queryTestServer(uri, "SELECT session_user").value(0));
    EXPECT_EQ(last[9], "TotalTime");
    EXPECT_EQ(last[10], "1000.0");
    EXPECT_EQ(last[11], "1010.0");
    r = runTool(VELMORA_JOURNAL_BIN, {"verify", "--data", uri});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("the journal is intact (4 lines)")) << r.out.toStdString();
}

TEST_F(ToolsOnServer, JournalBackupAndMigrationBack) {
    // The journal of a data set on a server is read there, not in a folder named after it.
    for (const char* command : {"list", "verify"}) {
        const ToolRun r = runTool(VELMORA_JOURNAL_BIN, {command, "--data", uri});
        EXPECT_FALSE(r.err.contains("Cannot connect")) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("role")) << r.err.toStdString();
        EXPECT_NE(r.status, 2) << r.err.toStdString();
    }

    // A program folder whose data path is the server: its own backups are listed, and the
    // data set is said to be backed up with the server's tools.
    TestFolder program;
    program.createCompanyFile(uri);
    ToolRun r = runTool(VELMORA_BACKUP_BIN, {"--folder", program.path(), "list"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("No backups")) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("back it up with the server's own tools")) << r.err.toStdString();

    TestFolder back;
    r = runTool(VELMORA_MIGRATE_BIN, {"--from", uri, "--to", back.path()});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Timemgr.mdb Parts: 2 rows")) << r.out.toStdString();
    ASSERT_NO_THROW(reports::writeDefaultReportDefinitions(back.path()));
    EXPECT_EQ(runTool(VELMORA_DUE_BIN, {"--data", back.path()}).out,
              runTool(VELMORA_DUE_BIN, {"--data", uri}).out);
}

}  // namespace
