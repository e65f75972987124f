// What the engine writes into the entry journal for each kind of change, and that a change
// and its lines land or fail together.
#include "JournalTestSupport.h"

#include "data/Journal.h"
#include "data/Recordset.h"
#include "journal/JournalCheck.h"
#include "support/TestFiles.h"
#include "utilisation/PlannedUtilisation.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace velmora;
using namespace velmora::testing;
using data::Value;

namespace {

class JournalRecording : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = folder_.createMainFile();
        db_ = data::Database::open(path_);
        addAircraft(*db_, QStringLiteral("N1"), 1200.5, 0, 300, 40, 7);
        addPart(*db_, part(QStringLiteral("N1"), 1));
        addPart(*db_, part(QStringLiteral("N1"), 2));
    }
    std::int64_t lineCount() { return static_cast<std::int64_t>(allLines(*db_).size()); }

    TestFolder folder_;
    QString path_;
    std::shared_ptr<data::Database> db_;
};

TEST_F(JournalRecording, AMeterEntryWritesOneLinePerChangedColumnWithItsContext) {
    const auto before = lineCount();
    auto rs = db_->openRecordset(QStringLiteral("Aircraft"));
    rs->edit();
    rs->setValue(QStringLiteral("CurrentMeter1"), Value(1203.0));
    rs->setValue(QStringLiteral("TotalTime"), Value(1203.5));
    rs->setValue(QStringLiteral("TotalLandings"), Value(300));  // unchanged: no line
    rs->update();

    const auto lines = allLines(*db_);
    ASSERT_EQ(static_cast<std::int64_t>(lines.size()), before + 2);
    const auto& meter = lines[lines.size() - 2];
    const auto& total = lines.back();
    EXPECT_EQ(meter.tableName, QStringLiteral("Aircraft"));
    EXPECT_EQ(meter.regNum, QStringLiteral("N1"));
    EXPECT_EQ(meter.columnName, QStringLiteral("CurrentMeter1"));
    EXPECT_TRUE(meter.oldValue.isNull());
    EXPECT_EQ(meter.newValue.toString(), QStringLiteral("1203.0"));
    EXPECT_EQ(total.columnName, QStringLiteral("TotalTime"));
    EXPECT_EQ(total.oldValue.toString(), QStringLiteral("1200.5"));
    EXPECT_EQ(total.newValue.toString(), QStringLiteral("1203.5"));
    EXPECT_FALSE(total.userName.isEmpty());
    EXPECT_FALSE(total.hostName.isEmpty());
    EXPECT_FALSE(total.program.isEmpty());
    EXPECT_EQ(total.screen, total.program);  // no screen named: the program stands for it
    EXPECT_LE(std::abs(total.changedAt.secsTo(QDateTime::currentDateTimeUtc())), 60);
    EXPECT_EQ(total.seq, meter.seq + 1);
    EXPECT_EQ(total.hash.size(), 64);
    EXPECT_TRUE(journal::checkJournal(*db_).intact)
        << journal::checkJournal(*db_).problem.toStdString();
}

TEST_F(JournalRecording, AddedAndDeletedRowsAreRecordedWithAllTheirValues) {
    const auto lines = allLines(*db_);
    // The rows added in SetUp: one line each, the values as a JSON object.
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].columnName, data::journal::kRowAdded);
    EXPECT_EQ(lines[1].tableName, QStringLiteral("Parts"));
    EXPECT_EQ(lines[1].itemNumber, QStringLiteral("1"));
    const QJsonObject added =
        QJsonDocument::fromJson(lines[0].newValue.toString().toUtf8()).object();
    EXPECT_EQ(added.value(QStringLiteral("RegNum")).toString(), QStringLiteral("N1"));
    EXPECT_EQ(added.value(QStringLiteral("TotalTime")).toString(), QStringLiteral("1200.5"));

    // Deleting an aircraft with its components (as the screen and velmora-sql do): one line
    // per removed row.
    {
        data::Transaction tx(*db_);
        db_->execute(QStringLiteral("DELETE FROM Parts WHERE RegNum = 'N1'"));
        db_->execute(QStringLiteral("DELETE FROM Aircraft WHERE RegNum = 'N1'"));
        tx.commit();
    }
    const auto after = allLines(*db_);
    ASSERT_EQ(after.size(), 6u);
    for (size_t i = 3; i < 6; ++i) {
        EXPECT_EQ(after[i].columnName, data::journal::kRowRemoved);
        EXPECT_TRUE(after[i].newValue.isNull());
        EXPECT_FALSE(
            QJsonDocument::fromJson(after[i].oldValue.toString().toUtf8()).object().isEmpty());
    }
    EXPECT_EQ(after[5].tableName, QStringLiteral("Aircraft"));
    EXPECT_TRUE(journal::checkJournal(*db_).intact);
}

TEST_F(JournalRecording, SqlStatementsAndBoundStatementsAreJournalledLikeScreens) {
    const auto before = lineCount();
    EXPECT_EQ(db_->execute(QStringLiteral("UPDATE Parts SET LifeNumber = 500 WHERE RegNum = 'N1'")),
              2);
    db_->executeBound(QStringLiteral("UPDATE Aircraft SET TotalRIN = ?1"), {Value(9)});
    const auto lines = allLines(*db_);
    ASSERT_EQ(static_cast<std::int64_t>(lines.size()), before + 3);
    EXPECT_EQ(lines.back().columnName, QStringLiteral("TotalRIN"));
    EXPECT_EQ(lines.back().oldValue.toString(), QStringLiteral("7"));
    EXPECT_EQ(lines[lines.size() - 2].itemNumber, QStringLiteral("2"));
}

TEST_F(JournalRecording, AFailedWriteLeavesNeitherChangeNorLine) {
    const auto before = lineCount();
    const auto error = dbErrorOf([&] {
        data::Transaction tx(*db_);
        db_->execute(QStringLiteral("UPDATE Aircraft SET TotalTime = 1300"));
        db_->execute(QStringLiteral("UPDATE NoSuchTable SET X = 1"));
        tx.commit();
    });
    ASSERT_TRUE(error);
    EXPECT_EQ(lineCount(), before);
    auto rs = db_->openRecordset(QStringLiteral("Aircraft"));
    EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("TotalTime")).toDouble(), 1200.5);
    EXPECT_TRUE(journal::checkJournal(*db_).intact);
}

TEST_F(JournalRecording, TheJournalCannotBeChangedThroughTheEngine) {
    EXPECT_TRUE(
        dbErrorOf([&] { db_->execute(QStringLiteral("UPDATE Journal SET NewValue = 'x'")); }));
    EXPECT_TRUE(dbErrorOf([&] { db_->execute(QStringLiteral("DELETE FROM Journal")); }));
    EXPECT_TRUE(dbErrorOf(
        [&] { db_->execute(QStringLiteral("INSERT INTO Journal (Seq, Hash) VALUES (99, 'x')")); }));
    EXPECT_TRUE(dbErrorOf([&] { db_->execute(QStringLiteral("DROP TABLE Journal")); }));
    EXPECT_TRUE(journal::checkJournal(*db_).intact);
}

TEST_F(JournalRecording, AFileMadeBeforeTheJournalGetsItWithABaselineAtItsFirstChange) {
    db_.reset();
    sqlite3Program(path_, QStringLiteral("DROP TABLE Journal;"));
    QStringList migrated;
    data::journal::setBeforeMigration([&](const QString& f) { migrated << f; });
    db_ = data::Database::open(path_);
    EXPECT_FALSE(journal::hasJournal(*db_));  // opening changes nothing
    db_->execute(QStringLiteral("UPDATE Aircraft SET TotalCycles = 41"));
    data::journal::setBeforeMigration(nullptr);

    EXPECT_EQ(migrated.size(), 1);
    const auto lines = allLines(*db_);
    ASSERT_EQ(lines.size(), 4u);  // three rows as they were, then the change
    EXPECT_EQ(lines[0].columnName, data::journal::kRowPresent);
    const QJsonObject before =
        QJsonDocument::fromJson(lines[0].newValue.toString().toUtf8()).object();
    EXPECT_EQ(before.value(QStringLiteral("TotalCycles")).toString(), QStringLiteral("40"));
    EXPECT_EQ(lines[3].newValue.toString(), QStringLiteral("41"));
    EXPECT_TRUE(journal::checkJournal(*db_).intact)
        << journal::checkJournal(*db_).problem.toStdString();
}

TEST_F(JournalRecording, AMigrationWhoseBackupFailsChangesNothing) {
    db_.reset();
    sqlite3Program(path_, QStringLiteral("DROP TABLE Journal;"));
    data::journal::setBeforeMigration([](const QString&) {
        throw data::DbError(data::err::Internal, QStringLiteral("no backup"));
    });
    db_ = data::Database::open(path_);
    EXPECT_TRUE(
        dbErrorOf([&] { db_->execute(QStringLiteral("UPDATE Aircraft SET TotalCycles = 41")); }));
    data::journal::setBeforeMigration(nullptr);
    EXPECT_FALSE(journal::hasJournal(*db_));
    auto rs = db_->openRecordset(QStringLiteral("Aircraft"));
    EXPECT_EQ(rs->value(QStringLiteral("TotalCycles")).toInt(), 40);
}

TEST_F(JournalRecording, TheLinesOfOneTransactionAreOneEntryNamedAfterItsFirstLine) {
    {
        data::Transaction tx(*db_);
        db_->execute(QStringLiteral("UPDATE Aircraft SET TotalTime = 1202.5, TotalRIN = 8"));
        db_->execute(QStringLiteral("UPDATE Parts SET LifeNumber = 300 WHERE ItemNumber = 1"));
        tx.commit();
    }
    db_->execute(QStringLiteral("UPDATE Aircraft SET TotalCycles = 41"));
    const auto lines = allLines(*db_);
    ASSERT_EQ(lines.size(), 7u);
    // Each row added in SetUp was a transaction of its own.
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(lines[i].entry, lines[i].seq);
    for (size_t i = 3; i < 6; ++i)
        EXPECT_EQ(lines[i].entry, lines[3].seq) << lines[i].columnName.toStdString();
    EXPECT_EQ(lines[6].entry, lines[6].seq);
    EXPECT_TRUE(journal::checkJournal(*db_).intact);

    // The entry is part of what a line's hash covers.
    db_.reset();
    sqlite3Program(path_, QStringLiteral("UPDATE Journal SET Entry = 5 WHERE Seq = 4;"));
    db_ = data::Database::open(path_);
    const journal::CheckResult moved = journal::checkJournal(*db_);
    EXPECT_FALSE(moved.intact);
    EXPECT_EQ(moved.atLine, 4);
}

// A journal begun before its lines named their entry: the column is added with the next
// change, the earlier lines keep no entry and their chain still holds.
TEST_F(JournalRecording, AJournalOfAnEarlierVersionGetsEntriesWithItsNextChange) {
    const auto lines = allLines(*db_);
    db_.reset();
    // The journal table as files had it then (the sqlite3 program cannot drop a column of a
    // file whose indexes use the engine's collation: the table is made again).
    QString sql = QStringLiteral(
        "CREATE TEMP TABLE Earlier AS SELECT Seq, ChangedAt, UserName, HostName, Program, "
        "Screen, TableName, RegNum, ItemNumber, RowKey, ColumnName, OldValue, NewValue, Hash "
        "FROM Journal; DROP TABLE Journal; CREATE TABLE Journal (Seq INTEGER PRIMARY KEY, "
        "ChangedAt DATETIME, UserName TEXT, HostName TEXT, Program TEXT, Screen TEXT, "
        "TableName TEXT, RegNum TEXT, ItemNumber TEXT, RowKey INTEGER, ColumnName TEXT, "
        "OldValue LONGTEXT, NewValue LONGTEXT, Hash TEXT(64)); INSERT INTO Journal SELECT * "
        "FROM Earlier;");
    QByteArray previous;
    for (const journal::JournalLine& l : lines) {
        const std::vector<Value> fields = {Value(l.seq),
                                           Value(l.changedAt.toString(data::journal::kTimeFormat)),
                                           Value(l.userName),
                                           Value(l.hostName),
                                           Value(l.program),
                                           Value(l.screen),
                                           Value(l.tableName),
                                           Value(l.regNum),
                                           l.itemNumber.isEmpty() ? Value() : Value(l.itemNumber),
                                           Value(l.rowKey),
                                           Value(l.columnName),
                                           l.oldValue,
                                           l.newValue};
        previous = data::journal::lineHash(previous, fields);
        sql += QStringLiteral("UPDATE Journal SET Hash = '%1' WHERE Seq = %2;")
                   .arg(QString::fromLatin1(previous))
                   .arg(l.seq);
    }
    sqlite3Program(path_, sql);
    db_ = data::Database::open(path_);
    ASSERT_TRUE(journal::checkJournal(*db_).intact)
        << journal::checkJournal(*db_).problem.toStdString();
    EXPECT_EQ(allLines(*db_).front().entry, 0);

    db_->execute(QStringLiteral("UPDATE Aircraft SET TotalCycles = 41, TotalRIN = 8"));
    const auto after = allLines(*db_);
    ASSERT_EQ(after.size(), lines.size() + 2);
    EXPECT_EQ(after[2].entry, 0);
    EXPECT_EQ(after[3].entry, after[3].seq);
    EXPECT_EQ(after[4].entry, after[3].seq);
    const journal::CheckResult check = journal::checkJournal(*db_);
    EXPECT_TRUE(check.intact) << check.problem.toStdString();
}

// Saving the planned use of the fleet records the figures that changed, as changes, not a
// removal and an addition of every aircraft's row.
TEST_F(JournalRecording, SavingPlannedUseJournalsOnlyTheFiguresThatChanged) {
    auto use = [](double hours, std::optional<double> landings) {
        utilisation::DailyUtilisation u;
        u.meter1Hours = hours;
        u.landings = landings;
        return u;
    };
    utilisation::savePlannedUtilisation(*db_, {{"N1", use(4.5, 9)}, {"N2", use(2, {})}});
    const auto before = lineCount();
    utilisation::savePlannedUtilisation(*db_, {{"n1", use(4.5, 10)}, {"N2", use(2, {})}});
    auto lines = allLines(*db_);
    ASSERT_EQ(lineCount(), before + 1);
    EXPECT_EQ(lines.back().tableName, utilisation::kPlannedUtilisationTable);
    EXPECT_EQ(lines.back().regNum, QStringLiteral("N1"));
    EXPECT_EQ(lines.back().columnName, QStringLiteral("LandingsPerDay"));
    EXPECT_EQ(lines.back().oldValue.toString(), QStringLiteral("9.0"));
    EXPECT_EQ(lines.back().newValue.toString(), QStringLiteral("10.0"));

    // The same figures again: nothing changed, nothing recorded.
    utilisation::savePlannedUtilisation(*db_, {{"N1", use(4.5, 10)}, {"N2", use(2, {})}});
    EXPECT_EQ(lineCount(), before + 1);
    EXPECT_EQ(utilisation::PlannedUtilisation::read(*db_).dailyUse("N1"), use(4.5, 10));
    EXPECT_TRUE(journal::checkJournal(*db_).intact);
}

TEST_F(JournalRecording, TheTemplateLibraryAndOtherFilesAreNotJournalled) {
    const QString templates = folder_.createTemplateFile();
    auto t = data::Database::open(templates);
    t->execute(QStringLiteral("INSERT INTO Aircraft (Make, Model) VALUES ('Bell', '206')"));
    EXPECT_FALSE(t->hasTable(QStringLiteral("Journal")));
}

}  // namespace

namespace {

TEST_F(JournalRecording, APartRolledBackInsideATransactionLeavesTheRestToBeSaved) {
    const auto before = lineCount();
    {
        data::Transaction outer(*db_);
        {
            data::Transaction inner(*db_);
            db_->execute(QStringLiteral("UPDATE Aircraft SET TotalCycles = 99"));
        }  // rolled back
        outer.commit();
    }
    EXPECT_EQ(lineCount(), before);
    {
        data::Transaction outer(*db_);
        {
            data::Transaction inner(*db_);
            db_->execute(QStringLiteral("UPDATE Aircraft SET TotalCycles = 99"));
        }
        db_->execute(QStringLiteral("UPDATE Aircraft SET TotalRIN = 8"));
        outer.commit();
    }
    const auto lines = allLines(*db_);
    ASSERT_EQ(static_cast<std::int64_t>(lines.size()), before + 1);
    EXPECT_EQ(lines.back().columnName, QStringLiteral("TotalRIN"));
    auto rs = db_->openRecordset(QStringLiteral("Aircraft"));
    EXPECT_EQ(rs->value(QStringLiteral("TotalCycles")).toInt(), 40);
    EXPECT_TRUE(journal::checkJournal(*db_).intact);
}

// An import is one transaction of many thousand rows: its lines are sealed as it goes, and
// a part rolled back after a seal takes the lines sealed inside it with it.
TEST_F(JournalRecording, ALongTransactionSealsAsItGoesAndARolledBackPartTakesItsLines) {
    const auto before = lineCount();
    auto addParts = [&](int from, int count) {
        for (int i = from; i < from + count; ++i)
            db_->executeBound(
                QStringLiteral("INSERT INTO Parts (RegNum, ItemNumber) VALUES ('N1', ?1)"),
                {Value(i)});
    };
    {
        data::Transaction outer(*db_);
        addParts(100, 15000);
        {
            data::Transaction inner(*db_);
            addParts(20000, 10000);  // the lines pass the sealing mark in here
            auto sealed = db_->openRecordset(QStringLiteral("SELECT Count(*) FROM Journal"));
            EXPECT_GE(sealed->value(0).toInt(), before + 20000) << "nothing sealed yet";
        }  // rolled back
        addParts(40000, 1);
        outer.commit();
    }
    const auto lines = allLines(*db_);
    ASSERT_EQ(static_cast<std::int64_t>(lines.size()), before + 15001);
    EXPECT_EQ(lines.back().itemNumber, QStringLiteral("40000"));
    auto rs = db_->openRecordset(QStringLiteral("SELECT Count(*) FROM Parts"));
    EXPECT_EQ(rs->value(0).toInt(), 2 + 15001);
    const journal::CheckResult check = journal::checkJournal(*db_);
    EXPECT_TRUE(check.intact) << check.problem.toStdString();
}

}  // namespace
