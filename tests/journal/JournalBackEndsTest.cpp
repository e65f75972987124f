// The entry journal on both back ends: the same lines and the same chain in a file and on
// the server, written in the change's transaction, append-only, undone and checked alike;
// and carried with the data set between them.
#include "JournalTestSupport.h"

#include "data/DataSetMigration.h"
#include "data/Journal.h"
#include "data/Recordset.h"
#include "due/DueListSource.h"
#include "journal/JournalCheck.h"
#include "journal/JournalUtilisation.h"
#include "journal/UndoEntry.h"
#include "support/BackEnds.h"
#include "support/TestFiles.h"

using namespace velmora;
using namespace velmora::testing;
using data::Value;

namespace {

class JournalBackEnds : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        main = store.createMainFile();
        db = data::Database::open(main);
        addAircraft(*db, "N1", 1000, 0, 10, 0, 0);
        addPart(*db, part("N1", 1));
        db->execute("UPDATE Aircraft SET CurrentMeter1 = 1234.5, LastMeter1 = 1230");
    }
    bool onServer() const { return GetParam() == BackEnd::Server; }
    // A meter entry as the entry rule saves it: one write of the row.
    void meterEntry(data::Database& on, double reading, double total) {
        auto rs = on.openRecordset("SELECT * FROM Aircraft WHERE RegNum = 'N1'");
        rs->edit();
        rs->setValue("CurrentMeter1", Value(reading));
        rs->setValue("LastMeter1", Value(reading));
        rs->setValue("TotalTime", Value(total));
        rs->update();
    }
    std::vector<journal::JournalLine> lines() { return allLines(*db); }
    double total() {
        return db->openRecordset("SELECT TotalTime FROM Aircraft")->value(0).toDouble();
    }

    TestStore store{GetParam()};
    QString main;
    std::shared_ptr<data::Database> db;
};

TEST_P(JournalBackEnds, AnEntryIsWrittenWithItsChangeAsOneEntryOfLines) {
    const size_t before = lines().size();
    ASSERT_EQ(before, 4u);  // the aircraft, its component, the first two readings
    EXPECT_EQ(lines()[0].columnName, data::journal::kRowAdded);
    EXPECT_EQ(lines()[2].columnName, QStringLiteral("CurrentMeter1"));
    meterEntry(*db, 1236.5, 1002);
    const auto after = lines();
    ASSERT_EQ(after.size(), before + 3);
    QStringList columns;
    for (size_t i = before; i < after.size(); ++i) {
        const journal::JournalLine& l = after[i];
        columns << l.columnName;
        EXPECT_EQ(l.entry, after[before].seq);
        EXPECT_EQ(l.tableName, QStringLiteral("Aircraft"));
        EXPECT_EQ(l.regNum, QStringLiteral("N1"));
        EXPECT_FALSE(l.userName.isEmpty());
        EXPECT_FALSE(l.hostName.isEmpty());
        EXPECT_EQ(l.hash.size(), 64);
    }
    EXPECT_EQ(columns, QStringList({"CurrentMeter1", "LastMeter1", "TotalTime"}));
    // Values read as the files write them.
    EXPECT_EQ(after[before].oldValue, Value("1234.5"));
    EXPECT_EQ(after[before + 1].oldValue, Value("1230.0"));
    EXPECT_EQ(after[before + 2].oldValue, Value("1000.0"));
    EXPECT_EQ(after[before + 2].newValue, Value("1002.0"));
    if (onServer()) {
        // Who: the session's user on the server.
        const QStringList user = queryTestServer(store.serverUri(), "SELECT session_user");
        ASSERT_EQ(user.size(), 1);
        EXPECT_EQ(after.back().userName, user.front());
    }
    const journal::CheckResult check = journal::checkJournal(*db);
    EXPECT_TRUE(check.intact) << check.problem.toStdString();
    EXPECT_EQ(check.lines, static_cast<std::int64_t>(after.size()));

    // A change that fails writes no line.
    EXPECT_TRUE(dbErrorOf([&] {
        data::Transaction tx(*db);
        db->execute("UPDATE Aircraft SET TotalTime = 1300");
        db->execute("UPDATE NoSuchTable SET X = 1");
        tx.commit();
    }));
    EXPECT_EQ(lines().size(), after.size());
}

TEST_P(JournalBackEnds, LinesAreOnlyEverAdded) {
    const size_t count = lines().size();
    EXPECT_TRUE(dbErrorOf([&] { db->execute("UPDATE Journal SET NewValue = 'x'"); }));
    EXPECT_TRUE(dbErrorOf([&] { db->execute("DELETE FROM Journal"); }));
    EXPECT_TRUE(
        dbErrorOf([&] { db->execute("INSERT INTO Journal (Seq, Hash) VALUES (99, 'x')"); }));
    EXPECT_EQ(lines().size(), count);
    EXPECT_TRUE(journal::checkJournal(*db).intact);
    if (!onServer())
        return;
    // Not even the server's superuser changes them, but a migration's session may.
    QString error;
    EXPECT_FALSE(runOnTestServer(
        store.serverUri(), "UPDATE timemgr.journal SET newvalue = 'x' WHERE seq = 1", &error));
    EXPECT_TRUE(error.contains("can only be added to")) << error.toStdString();
    EXPECT_FALSE(runOnTestServer(store.serverUri(), "TRUNCATE timemgr.journal"));
    EXPECT_FALSE(runOnTestServer(store.serverUri(), "DELETE FROM timemgr.journal"));
    EXPECT_EQ(lines().size(), count);
    EXPECT_TRUE(runOnTestServer(store.serverUri(),
                                "SET velmora.migration = on; DELETE FROM timemgr.journal WHERE "
                                "seq = 3",
                                &error))
        << error.toStdString();
    EXPECT_EQ(lines().size(), count - 1);
}

TEST_P(JournalBackEnds, UndoTakesBackTheWholeEntry) {
    meterEntry(*db, 1236.5, 1002);
    const std::int64_t reading = lines().back().seq - 2;
    ASSERT_EQ(lines()[static_cast<size_t>(reading - 1)].columnName,
              QStringLiteral("CurrentMeter1"));
    journal::undoEntry(*db, reading);
    auto rs = db->openRecordset("SELECT CurrentMeter1, LastMeter1, TotalTime FROM Aircraft");
    EXPECT_DOUBLE_EQ(rs->value(0).toDouble(), 1234.5);
    EXPECT_DOUBLE_EQ(rs->value(1).toDouble(), 1230);
    EXPECT_DOUBLE_EQ(rs->value(2).toDouble(), 1000);
    EXPECT_EQ(lines().back().newValue, Value("1000.0"));
    EXPECT_TRUE(journal::checkJournal(*db).intact);
    EXPECT_DB_ERROR(journal::undoEntry(*db, reading), data::err::DataChanged);
}

// Two workstations saving at once: each transaction's lines are sealed in one piece, the
// chain going on from the other's.
TEST_P(JournalBackEnds, TwoSessionsChainTheirEntriesInTurn) {
    if (!onServer())
        GTEST_SKIP() << "a file is written by one connection at a time";
    auto other = data::Database::openForReading(main);
    data::Transaction first(*db);
    db->execute("UPDATE Aircraft SET TotalLandings = 11");
    {
        data::Transaction second(*other);
        other->execute("UPDATE Parts SET LifeNumber = 500");
        second.commit();
    }
    db->execute("UPDATE Aircraft SET TotalCycles = 4");
    first.commit();
    const auto all = lines();
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all[4].columnName, QStringLiteral("LifeNumber"));
    EXPECT_EQ(all[5].columnName, QStringLiteral("TotalLandings"));
    EXPECT_EQ(all[5].entry, all[6].entry);
    EXPECT_NE(all[4].entry, all[5].entry);
    EXPECT_TRUE(journal::checkJournal(*db).intact);
}

// A change made past the journal's triggers (as the server's superuser can) is found.
TEST_P(JournalBackEnds, AChangeMadeBehindTheJournalIsFound) {
    if (!onServer())
        GTEST_SKIP() << "the files' own case has tests of its own";
    ASSERT_TRUE(runOnTestServer(store.serverUri(),
                                "SET session_replication_role = replica; UPDATE timemgr.aircraft "
                                "SET totaltime = 1"));
    const journal::CheckResult check = journal::checkJournal(*db);
    EXPECT_FALSE(check.intact);
    EXPECT_TRUE(check.problem.contains("TotalTime")) << check.problem.toStdString();
}

VELMORA_ON_BOTH_BACK_ENDS(JournalBackEnds);

// The journal goes with the data set from a folder to the server and back, line for line:
// the chain, the rows it replays and the daily use it gives hold on both sides, and each
// side goes on from it.
TEST(JournalMigration, CarriesTheJournalBothWaysLineForLine) {
    TestStore folder(BackEnd::File);
    TestStore server(BackEnd::Server);
    VELMORA_SKIP_UNLESS_AVAILABLE(server);
    TestStore back(BackEnd::File);
    // The journal ends today, whatever day that is: the due list projects from today.
    const QDate asOf = QDate::currentDate();
    {
        auto db = data::Database::open(folder.createMainFile());
        folder.createTemplateFile();
        QDateTime at(asOf.addDays(-40), QTime(18, 0), Qt::UTC);
        data::journal::setClock([&] { return at; });
        addAircraft(*db, "N1", 1000, 0, 10, 0, 0);
        addPart(*db, part("N1", 1));
        db->execute("DELETE FROM Parts WHERE ItemNumber = 1");
        addPart(*db, part("N1", 2));  // a row id with a gap before it
        // Whole currency amounts: the files keep them as whole numbers, the server does not.
        db->execute("UPDATE Parts SET ReplaceCost = 1200 WHERE ItemNumber = 2");
        addPart(*db, part("N1", 4));
        db->execute("UPDATE Parts SET ReplaceCost = 0 WHERE ItemNumber = 4");
        for (int day = 0; day < 40; ++day) {
            at = QDateTime(asOf.addDays(day - 39), QTime(18, 0), Qt::UTC);
            db->execute(QStringLiteral("UPDATE Aircraft SET TotalTime = %1, TotalLandings = %2")
                            .arg(1000 + 2.5 * (day + 1))
                            .arg(10 + 3 * (day + 1)));
        }
        data::journal::setClock(nullptr);
    }
    const auto fileLines = allLines(*data::Database::open(folder.location("Timemgr.mdb")));
    const auto report = data::migrateDataSet(folder.dataPath(), server.dataPath());
    const QString text = data::migrationReport(report);
    EXPECT_TRUE(text.contains(
        QStringLiteral("Timemgr.mdb Journal: %1 lines carried").arg(fileLines.size())))
        << text.toStdString();

    auto onServer = data::Database::open(server.location("Timemgr.mdb"));
    const auto serverLines = allLines(*onServer);
    ASSERT_EQ(serverLines.size(), fileLines.size());
    for (size_t i = 0; i < fileLines.size(); ++i) {
        EXPECT_EQ(serverLines[i].hash, fileLines[i].hash) << i;
        EXPECT_EQ(serverLines[i].newValue, fileLines[i].newValue) << i;
        EXPECT_EQ(serverLines[i].rowKey, fileLines[i].rowKey) << i;
    }
    journal::CheckResult check = journal::checkJournal(*onServer);
    EXPECT_TRUE(check.intact) << check.problem.toStdString();
    // The daily use is projected from the server's journal as from the file's.
    const auto fileUse = journal::aircraftUtilisation(
        *data::Database::open(folder.location("Timemgr.mdb")), "N1", asOf, 30);
    const auto serverUse = journal::aircraftUtilisation(*onServer, "n1", asOf, 30);
    EXPECT_TRUE(fileUse.fromJournal);
    EXPECT_TRUE(serverUse.fromJournal);
    EXPECT_DOUBLE_EQ(*serverUse.use.meter1Hours, 2.5);
    EXPECT_DOUBLE_EQ(*serverUse.use.landings, 3);
    EXPECT_EQ(serverUse.use, fileUse.use);
    // And so does the due list.
    const auto dueUse = due::journalledUtilisation(30)(*onServer);
    EXPECT_EQ(dueUse->dailyUse("N1"), serverUse.use);

    // The server goes on from the carried chain, and so does the folder it goes back to.
    onServer->execute("UPDATE Aircraft SET TotalRIN = 4");
    onServer->execute("UPDATE Parts SET ReplaceCost = 1300 WHERE ItemNumber = 2");
    check = journal::checkJournal(*onServer);
    EXPECT_TRUE(check.intact) << check.problem.toStdString();
    data::migrateDataSet(server.dataPath(), back.dataPath());
    auto backDb = data::Database::open(back.location("Timemgr.mdb"));
    const auto backLines = allLines(*backDb);
    ASSERT_EQ(backLines.size(), fileLines.size() + 2);
    EXPECT_EQ(backLines.back().hash, allLines(*onServer).back().hash);
    addPart(*backDb, part("N1", 3));
    check = journal::checkJournal(*backDb);
    EXPECT_TRUE(check.intact) << check.problem.toStdString();
}

}  // namespace
