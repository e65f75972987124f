// The journal check on files changed through Velmora and by another program, and undoing
// an entry.
#include "JournalTestSupport.h"

#include "data/Journal.h"
#include "data/Recordset.h"
#include "journal/JournalCheck.h"
#include "journal/UndoEntry.h"
#include "support/TestFiles.h"

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

    journal::undoEntry(*db_, total.seq);
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
    EXPECT_DB_ERROR(journal::undoEntry(*db_, total.seq), data::err::Internal);
    EXPECT_EQ(allLines(*db_).size(), after.size());
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
