// The journal check on files changed through Velmora and by another program, and undoing
// an entry.
#include "JournalTestSupport.h"

#include "data/Journal.h"
#include "data/Recordset.h"
#include "journal/JournalCheck.h"
#include "journal/UndoEntry.h"
#include "support/TestFiles.h"

#include <QFile>

using namespace velmora;
using namespace velmora::testing;
using data::Value;

namespace {

class JournalCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = folder_.createMainFile();
        db_ = data::Database::open(path_);
        addAircraft(*db_, QStringLiteral("N1"), 1000, 0, 10, 0, 0);
        addAircraft(*db_, QStringLiteral("N2"), 500);
        addPart(*db_, part(QStringLiteral("N1"), 1));
        db_->execute(QStringLiteral("UPDATE Aircraft SET TotalTime = 1002.5 WHERE RegNum = 'N1'"));
        db_->execute(QStringLiteral("UPDATE Parts SET LifeNumber = 800"));
    }
    // The file after the sqlite3 program ran this SQL on it.
    journal::CheckResult checkAfterOutsideChange(const QString& sql) {
        db_.reset();
        sqlite3Program(path_, sql);
        db_ = data::Database::open(path_);
        return journal::checkJournal(*db_);
    }

    TestFolder folder_;
    QString path_;
    std::shared_ptr<data::Database> db_;
};

TEST_F(JournalCheck, AnUntouchedFilePasses) {
    const auto r = journal::checkJournal(*db_);
    EXPECT_TRUE(r.intact) << r.problem.toStdString();
    EXPECT_EQ(r.lines, 5);  // three rows added, two changes
    EXPECT_TRUE(r.problem.isEmpty());
}

TEST_F(JournalCheck, ARowOfAircraftChangedByAnotherProgramIsFound) {
    const auto r = checkAfterOutsideChange(
        QStringLiteral("UPDATE Aircraft SET TotalTime = 900 WHERE rowid = 1;"));
    EXPECT_FALSE(r.intact);
    EXPECT_TRUE(r.problem.contains(QStringLiteral("TotalTime"))) << r.problem.toStdString();
    EXPECT_TRUE(r.problem.contains(QStringLiteral("N1")));
}

TEST_F(JournalCheck, ARowOfPartsChangedByAnotherProgramIsFound) {
    EXPECT_FALSE(
        checkAfterOutsideChange(QStringLiteral("UPDATE Parts SET LifeNumber = 9000;")).intact);
}

TEST_F(JournalCheck, APartsRowAddedOrRemovedOutsideIsFound) {
    auto added = checkAfterOutsideChange(QStringLiteral(
        "DROP INDEX PartsRegNum; INSERT INTO Parts (RegNum, ItemNumber) VALUES ('N2', 7);"));
    EXPECT_FALSE(added.intact);
    EXPECT_TRUE(added.problem.contains(QStringLiteral("added"))) << added.problem.toStdString();
    auto removed = checkAfterOutsideChange(QStringLiteral(
        "DELETE FROM Parts WHERE ItemNumber = 7; DELETE FROM Parts WHERE rowid = 1;"));
    EXPECT_FALSE(removed.intact);
    EXPECT_TRUE(removed.problem.contains(QStringLiteral("removed")))
        << removed.problem.toStdString();
}

// A journalled table dropped or renamed by another program is a finding, not an intact
// journal of what is left.
TEST_F(JournalCheck, AJournalledTableThatIsGoneIsAFinding) {
    db_.reset();
    for (const auto& [sql, table] :
         {std::pair{"DROP TABLE Parts;", "Parts"}, std::pair{"DROP TABLE Oil;", "Oil"},
          std::pair{"", "Aircraft"}}) {
        TestFolder other;
        const QString copy = other.file(QStringLiteral("Timemgr.mdb"));
        ASSERT_TRUE(QFile::copy(path_, copy));
        if (*sql) {
            sqlite3Program(copy, QString::fromLatin1(sql));
        } else {
            // Renamed (the sqlite3 program cannot rename a table of a file whose indexes use
            // the engine's collation): SQLite's own statement through the engine.
            data::Database::open(copy)->executeBound(
                QStringLiteral("ALTER TABLE Aircraft RENAME TO Craft"), {});
        }
        const auto r = journal::checkJournal(*data::Database::open(copy));
        EXPECT_FALSE(r.intact) << table;
        EXPECT_TRUE(r.problem.contains(QStringLiteral("The table %1 is missing").arg(table)))
            << r.problem.toStdString();
    }
    db_ = data::Database::open(path_);
}

// Oil samples and planned use are replayed like the aircraft and their components.
TEST_F(JournalCheck, OilAndPlannedUseChangedByAnotherProgramAreFound) {
    db_->execute(QStringLiteral(
        "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron) VALUES ('N1', 'Engine', "
        "#2026-03-01#, 12)"));
    db_->execute(
        QStringLiteral("CREATE TABLE PlannedUtilisation (RegNum TEXT(10), "
                       "Meter1PerDay DOUBLE)"));
    db_->execute(
        QStringLiteral("INSERT INTO PlannedUtilisation (RegNum, Meter1PerDay) VALUES ('N1', 4)"));
    ASSERT_TRUE(journal::checkJournal(*db_).intact);

    const auto oil = checkAfterOutsideChange(QStringLiteral("UPDATE Oil SET Iron = Iron + 50;"));
    EXPECT_FALSE(oil.intact);
    EXPECT_TRUE(oil.problem.contains(QStringLiteral("Iron of the Oil row of N1")))
        << oil.problem.toStdString();
    const auto planned = checkAfterOutsideChange(
        QStringLiteral("UPDATE Oil SET Iron = Iron - 50; UPDATE PlannedUtilisation SET "
                       "Meter1PerDay = 9;"));
    EXPECT_FALSE(planned.intact);
    EXPECT_TRUE(planned.problem.contains(QStringLiteral("Meter1PerDay")))
        << planned.problem.toStdString();
    // A table that came later and that the journal speaks of is missed when it is gone.
    const auto gone = checkAfterOutsideChange(QStringLiteral("DROP TABLE PlannedUtilisation;"));
    EXPECT_FALSE(gone.intact);
    EXPECT_TRUE(gone.problem.contains(QStringLiteral("The table PlannedUtilisation is missing")))
        << gone.problem.toStdString();
}

TEST_F(JournalCheck, AJournalLineChangedRemovedOrPutInOutsideBreaksTheChain) {
    auto changed = checkAfterOutsideChange(
        QStringLiteral("UPDATE Journal SET OldValue = '999' WHERE Seq = 4;"));
    EXPECT_FALSE(changed.intact);
    EXPECT_EQ(changed.atLine, 4);

    // Put back by hand with its old text, the line matches again.
    db_.reset();
    sqlite3Program(path_, QStringLiteral("UPDATE Journal SET OldValue = '1000.0' WHERE Seq = 4;"));
    db_ = data::Database::open(path_);
    ASSERT_TRUE(journal::checkJournal(*db_).intact)
        << journal::checkJournal(*db_).problem.toStdString();

    auto removed = checkAfterOutsideChange(QStringLiteral("DELETE FROM Journal WHERE Seq = 3;"));
    EXPECT_FALSE(removed.intact);
    EXPECT_EQ(removed.atLine, 4);
}

TEST_F(JournalCheck, AForgedLineWithARecomputedSeqStillBreaksTheHashes) {
    auto r = checkAfterOutsideChange(QStringLiteral(
        "INSERT INTO Journal (Seq, TableName, RegNum, RowKey, ColumnName, OldValue, NewValue, "
        "Hash) SELECT 6, 'Aircraft', 'N1', 1, 'TotalTime', '1002.5', '1100', Hash FROM Journal "
        "WHERE Seq = 5; UPDATE Aircraft SET TotalTime = 1100 WHERE rowid = 1;"));
    EXPECT_FALSE(r.intact);
    EXPECT_EQ(r.atLine, 6);
}

TEST_F(JournalCheck, UndoWritesTheOldValueBackAndIsItselfJournalled) {
    const auto lines = allLines(*db_);
    const auto total = lines[3];
    ASSERT_EQ(total.columnName, QStringLiteral("TotalTime"));
    EXPECT_TRUE(journal::whyNotUndoable(*db_, total.seq).isEmpty());
    EXPECT_FALSE(journal::whyNotUndoable(*db_, lines[4].seq).isEmpty());  // a Parts line
    EXPECT_DB_ERROR(journal::undoEntry(*db_, lines[4].seq), data::err::Internal);

    const journal::JournalEntry undone = journal::undoEntry(*db_, total.seq);
    EXPECT_EQ(undone.regNum, QStringLiteral("N1"));
    EXPECT_EQ(undone.changesInWords(true), QStringLiteral("Airframe Time: 1002.5 → 1000.0"));
    auto rs =
        db_->openRecordset(QStringLiteral("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"));
    EXPECT_DOUBLE_EQ(rs->value(0).toDouble(), 1000.0);
    const auto after = allLines(*db_);
    ASSERT_EQ(after.size(), lines.size() + 1);
    EXPECT_EQ(after.back().columnName, QStringLiteral("TotalTime"));
    EXPECT_EQ(after.back().oldValue.toString(), QStringLiteral("1002.5"));
    EXPECT_EQ(after.back().newValue.toString(), QStringLiteral("1000.0"));
    EXPECT_TRUE(journal::checkJournal(*db_).intact);

    // The value has changed since: undoing the same line again would lose that change.
    EXPECT_DB_ERROR(journal::undoEntry(*db_, total.seq), data::err::DataChanged);
    EXPECT_EQ(allLines(*db_).size(), after.size());
}

class UndoEntry : public JournalCheck {
  protected:
    void SetUp() override {
        JournalCheck::SetUp();
        db_->execute(QStringLiteral(
            "UPDATE Aircraft SET CurrentMeter1 = 1234.5, LastMeter1 = 1230 WHERE RegNum = 'N1'"));
    }
    // A meter entry as the entry rule saves it: the reading, the last counted reading and
    // the total, in one write of the row. Returns the line of the reading.
    std::int64_t meterEntry(double reading, double total) {
        auto rs = db_->openRecordset(QStringLiteral("SELECT * FROM Aircraft WHERE RegNum = 'N1'"));
        rs->edit();
        rs->setValue(QStringLiteral("CurrentMeter1"), Value(reading));
        rs->setValue(QStringLiteral("LastMeter1"), Value(reading));
        rs->setValue(QStringLiteral("TotalTime"), Value(total));
        rs->update();
        for (const auto& l : allLines(*db_)) {
            if (l.columnName == u"CurrentMeter1" && l.newValue.toDouble() == reading)
                return l.seq;
        }
        return 0;
    }
    std::vector<double> meter() {
        auto rs = db_->openRecordset(QStringLiteral(
            "SELECT CurrentMeter1, LastMeter1, TotalTime FROM Aircraft WHERE RegNum = 'N1'"));
        return {rs->value(0).toDouble(), rs->value(1).toDouble(), rs->value(2).toDouble()};
    }
};

TEST_F(UndoEntry, TakesBackTheReadingTheLastReadingAndTheTotalTogether) {
    const std::int64_t reading = meterEntry(1236.5, 1004.5);
    const auto lines = allLines(*db_);
    ASSERT_EQ(lines.back().seq, reading + 2);

    // Any line of the entry names all of it.
    const journal::JournalEntry entry = journal::entryOfLine(*db_, reading + 2);
    EXPECT_EQ(entry.firstSeq, reading);
    EXPECT_EQ(entry.changesInWords(false), QStringLiteral("Current Meter #1: 1234.5 → 1236.5\n"
                                                          "Last Counted Meter #1: 1230.0 → 1236.5\n"
                                                          "Airframe Time: 1002.5 → 1004.5"));

    journal::undoEntry(*db_, reading);
    EXPECT_EQ(meter(), (std::vector<double>{1234.5, 1230, 1002.5}));
    const auto after = allLines(*db_);
    ASSERT_EQ(after.size(), lines.size() + 3);
    for (size_t i = lines.size(); i < after.size(); ++i)
        EXPECT_EQ(after[i].entry, after[lines.size()].seq);  // the undo is one entry too
    EXPECT_TRUE(journal::checkJournal(*db_).intact);

    // And the undo can itself be taken back.
    journal::undoEntry(*db_, after.back().seq);
    EXPECT_EQ(meter(), (std::vector<double>{1236.5, 1236.5, 1004.5}));
}

TEST_F(UndoEntry, IsRefusedWhenALaterChangeToItsColumnsWouldBeLost) {
    const std::int64_t first = meterEntry(1236.5, 1004.5);
    db_->execute(QStringLiteral("UPDATE Aircraft SET TotalTime = 1010 WHERE RegNum = 'N1'"));
    const size_t before = allLines(*db_).size();
    const QString why = journal::whyNotUndoable(*db_, first);
    EXPECT_TRUE(why.contains(QStringLiteral("Airframe Time of N1 was changed again")))
        << why.toStdString();
    EXPECT_DB_ERROR(journal::undoEntry(*db_, first), data::err::DataChanged);
    EXPECT_EQ(meter(), (std::vector<double>{1236.5, 1236.5, 1010}));
    EXPECT_EQ(allLines(*db_).size(), before);

    // A change to another column of the aircraft is no reason to refuse.
    const std::int64_t second = meterEntry(1240, 1013.5);
    db_->execute(QStringLiteral("UPDATE Aircraft SET TotalLandings = 11 WHERE RegNum = 'N1'"));
    journal::undoEntry(*db_, second);
    EXPECT_EQ(meter(), (std::vector<double>{1236.5, 1236.5, 1010}));
}

TEST_F(UndoEntry, IsRefusedWhenTheRowWasChangedOutsideVelmora) {
    const std::int64_t reading = meterEntry(1236.5, 1004.5);
    db_.reset();
    sqlite3Program(path_, QStringLiteral("UPDATE Aircraft SET LastMeter1 = 1 WHERE rowid = 1;"));
    db_ = data::Database::open(path_);
    const auto error = dbErrorOf([&] { journal::undoEntry(*db_, reading); });
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->text().contains(QStringLiteral("changed outside Velmora")))
        << error->text().toStdString();
    EXPECT_EQ(meter(), (std::vector<double>{1236.5, 1, 1004.5}));
}

}  // namespace

// Files already written keep their chains: a line's hash is SHA-256 over the previous hash
// and its fields, each tagged with its kind and closed by a separator. The expected value
// was worked out apart from Velmora (Python's hashlib over the same bytes).
TEST(JournalLineHash, IsTheSha256OfThePreviousHashAndTheTaggedFields) {
    const QByteArray previous = QByteArray("ab").repeated(32);
    const std::vector<Value> fields = {
        Value(std::int64_t{42}),          Value(std::int64_t{-7}), Value(1.5), Value(),
        Value(QStringLiteral("N66HV ü")), Value(QString(""))};
    EXPECT_EQ(data::journal::lineHash(previous, fields),
              QByteArray("c32662837e310d92e5e7e0fb697090213a7a7683ffdc43b4651b3c669c631408"));
}
