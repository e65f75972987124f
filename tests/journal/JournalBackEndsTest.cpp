// The entry journal on both back ends: the same lines and the same chain in a file and on
// the server, written in the change's transaction, append-only, undone and checked alike.
#include "JournalTestSupport.h"

#include "data/Journal.h"
#include "data/Recordset.h"
#include "journal/JournalCheck.h"
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

}  // namespace
