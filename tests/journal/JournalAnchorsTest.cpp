// The chain's anchors outside the file: kept in the settings file after every change,
// checked from there on with only the newer lines read, and what they find that the chain
// alone cannot (lines removed from its end, a chain hashed again after an edit).
#include "JournalTestSupport.h"

#include "data/Journal.h"
#include "data/Recordset.h"
#include "journal/JournalAnchors.h"
#include "journal/JournalChain.h"
#include "journal/JournalCheck.h"
#include "support/TestFiles.h"

using namespace velmora;
using namespace velmora::testing;
using data::Value;

namespace {

class JournalAnchors : public ::testing::Test {
  protected:
    void SetUp() override {
        main_ = folder_.createMainFile();
        settings_ = folder_.createCompanyFile(folder_.dataPath());
        data::journal::setAfterCommit(journal::anchorInSettings(settings_));
        db_ = data::Database::open(main_);
        addAircraft(*db_, QStringLiteral("N1"), 1000);
        addPart(*db_, part(QStringLiteral("N1"), 1));
        db_->execute(QStringLiteral("UPDATE Aircraft SET TotalTime = 1002.5"));
    }
    void TearDown() override { data::journal::setAfterCommit(nullptr); }
    std::optional<journal::ChainPoint> kept() {
        return journal::settingsAnchor(*data::Database::open(settings_), main_);
    }
    void outside(const QString& sql) {
        db_.reset();
        sqlite3Program(main_, sql);
        db_ = data::Database::open(main_);
    }

    TestFolder folder_;
    QString main_;
    QString settings_;
    std::shared_ptr<data::Database> db_;
};

TEST_F(JournalAnchors, EveryChangeKeepsTheNewestLineInTheSettingsFile) {
    const journal::ChainPoint newest = journal::newestLine(*db_);
    ASSERT_EQ(newest.seq, 3);
    const auto anchor = kept();
    ASSERT_TRUE(anchor);
    EXPECT_EQ(anchor->seq, 3);
    EXPECT_EQ(anchor->hash, newest.hash);
    EXPECT_EQ(anchor->hash.size(), 64);

    // A change rolled back keeps none; the next change moves the anchor on.
    {
        data::Transaction tx(*db_);
        db_->execute(QStringLiteral("UPDATE Aircraft SET TotalRIN = 9"));
    }
    EXPECT_EQ(kept()->seq, 3);
    db_->execute(QStringLiteral("UPDATE Aircraft SET TotalRIN = 9"));
    EXPECT_EQ(kept()->seq, 4);
    // The file is named by its whole path, whatever letters name it.
    EXPECT_EQ(journal::settingsAnchor(*data::Database::open(settings_),
                                      folder_.file(QStringLiteral("TIMEMGR.MDB")))
                  ->seq,
              4);
}

TEST_F(JournalAnchors, TheCheckFromTheAnchorReadsOnlyTheNewerLines) {
    const auto whole = journal::checkChainSince(*db_, std::nullopt);
    EXPECT_TRUE(whole.intact) << whole.problem.toStdString();
    EXPECT_EQ(whole.linesRead, 3);
    EXPECT_EQ(whole.newest.seq, 3);

    const auto anchor = kept();
    data::journal::setAfterCommit(nullptr);  // the anchor stays where it is
    for (int i = 0; i < 5; ++i)
        db_->execute(QStringLiteral("UPDATE Aircraft SET TotalCycles = %1").arg(i + 1));
    const auto since = journal::checkChainSince(*db_, anchor);
    EXPECT_TRUE(since.intact) << since.problem.toStdString();
    EXPECT_EQ(since.linesRead, 6);  // the anchor's line and the five after it
    EXPECT_EQ(since.newest.seq, 8);
    EXPECT_EQ(since.newest.hash, journal::newestLine(*db_).hash);

    // A line changed after the anchor is found there.
    outside(QStringLiteral("UPDATE Journal SET NewValue = '7' WHERE Seq = 6;"));
    const auto broken = journal::checkChainSince(*db_, anchor);
    EXPECT_FALSE(broken.intact);
    EXPECT_EQ(broken.atLine, 6);
}

// What the chain alone cannot tell, and the anchor can.
TEST_F(JournalAnchors, FindLinesRemovedFromTheEndAndAChainHashedAgain) {
    const journal::ChainPoint anchor = *kept();
    outside(
        QStringLiteral("DELETE FROM Journal WHERE Seq = 3; UPDATE Aircraft SET TotalTime = "
                       "1000 WHERE rowid = 1;"));
    EXPECT_TRUE(journal::checkJournal(*db_).intact);  // consistent in itself
    const auto cut = journal::checkChainSince(*db_, anchor);
    EXPECT_FALSE(cut.intact);
    EXPECT_EQ(cut.atLine, 3);
    EXPECT_TRUE(cut.problem.contains(QStringLiteral("removed from its end")))
        << cut.problem.toStdString();

    // Line 2 edited and every hash from there on worked out again, as anyone can.
    TestFolder other;
    const QString main = other.createMainFile();
    auto db = data::Database::open(main);
    addAircraft(*db, QStringLiteral("N1"), 1000);
    db->execute(QStringLiteral("UPDATE Aircraft SET TotalTime = 1002.5"));
    db->execute(QStringLiteral("UPDATE Aircraft SET TotalRIN = 3"));
    const journal::ChainPoint before = journal::newestLine(*db);
    auto lines = allLines(*db);
    db.reset();
    lines[1].newValue = Value(QStringLiteral("1012.5"));
    QString sql = QStringLiteral(
        "UPDATE Aircraft SET TotalTime = 1012.5; UPDATE Journal SET NewValue = '1012.5' WHERE "
        "Seq = 2;");
    QByteArray previous = lines[0].hash.toLatin1();
    for (size_t i = 1; i < lines.size(); ++i) {
        const journal::JournalLine& l = lines[i];
        std::vector<Value> fields = {Value(l.seq),
                                     Value(l.changedAt.toString(data::journal::kTimeFormat)),
                                     Value(l.userName),
                                     Value(l.hostName),
                                     Value(l.program),
                                     Value(l.screen),
                                     Value(l.tableName),
                                     Value(l.regNum),
                                     Value(),
                                     Value(l.rowKey),
                                     Value(l.columnName),
                                     l.oldValue,
                                     l.newValue,
                                     Value(),
                                     Value(l.entry)};
        data::journal::LineHasher hasher;
        previous = hasher.lineHash(previous, fields).toByteArray();
        sql += QStringLiteral("UPDATE Journal SET Hash = '%1' WHERE Seq = %2;")
                   .arg(QString::fromLatin1(previous))
                   .arg(l.seq);
    }
    sqlite3Program(main, sql);
    db = data::Database::open(main);
    const journal::CheckResult rehashed = journal::checkJournal(*db);
    EXPECT_TRUE(rehashed.intact) << rehashed.problem.toStdString();
    const QString wrong = journal::disagreement(*db, before);
    EXPECT_TRUE(wrong.contains(QStringLiteral("hashed again"))) << wrong.toStdString();
}

TEST(JournalAnchorText, ReadsWhatAReportPrints) {
    journal::ChainPoint p;
    p.seq = 1234;
    p.hash = QStringLiteral("3f5a9c0e12ab4d77") + QString(48, u'0');
    EXPECT_EQ(journal::printedAnchor(p), QStringLiteral("line 1234, 3f5a9c0e12ab4d77"));
    for (const char* typed :
         {"1234:3f5a9c0e12ab4d77", "line 1234, 3F5A9C0E12AB4D77", " 1234 3f5a9c0e "}) {
        const auto read = journal::parseAnchor(QString::fromLatin1(typed));
        ASSERT_TRUE(read) << typed;
        EXPECT_EQ(read->seq, 1234);
        EXPECT_TRUE(p.hash.startsWith(read->hash)) << typed;
    }
    // Copied out of a PDF, whose text may hold "ff" as one ligature.
    const auto copied = journal::parseAnchor(QStringLiteral("line 7, c7ba2f69d462\uFB00de"));
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->hash, QStringLiteral("c7ba2f69d462ffde"));
    for (const char* wrong :
         {"", "1234", "1234:3f5a", "x:3f5a9c0e12ab", "0:3f5a9c0e12ab4d77", "1234:3f5a9c0e12ab4d7g"})
        EXPECT_FALSE(journal::parseAnchor(QString::fromLatin1(wrong))) << wrong;
}

}  // namespace
