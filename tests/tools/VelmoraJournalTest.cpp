// velmora-journal verify and list, run as built, on files changed by velmora-sql and by
// the sqlite3 program.
#include "backup/Backups.h"
#include "data/Journal.h"
#include "export/Csv.h"
#include "journal/JournalAnchors.h"
#include "journal/JournalLines.h"
#include "support/TestFiles.h"
#include "support/ToolRun.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

ToolRun journalTool(const QStringList& args) {
    return runTool(QStringLiteral(VELMORA_JOURNAL_BIN), args);
}

class VelmoraJournal : public ::testing::Test {
  protected:
    void SetUp() override {
        main_ = folder_.createMainFile();
        auto db = data::Database::open(main_);
        addAircraft(*db, QStringLiteral("N1"), 100);
        addAircraft(*db, QStringLiteral("N2"), 200);
        addPart(*db, part(QStringLiteral("N1"), 1));
    }
    TestFolder folder_;
    QString main_;
};

TEST_F(VelmoraJournal, VelmoraSqlChangesAreJournalledAndVerifyPasses) {
    const ToolRun sql = runTool(QStringLiteral(VELMORA_SQL_BIN),
                                {main_, QStringLiteral("UPDATE Aircraft SET TotalTime = 150 "
                                                       "WHERE RegNum = 'N2'")});
    ASSERT_EQ(sql.status, 0) << sql.err.toStdString();
    {
        auto db = data::Database::open(main_);
        const auto lines = journal::readLines(*db, {});
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_EQ(lines.back().program, QStringLiteral("velmora-sql"));
        EXPECT_EQ(lines.back().regNum, QStringLiteral("N2"));
        EXPECT_EQ(lines.back().newValue.toString(), QStringLiteral("150.0"));
    }
    const ToolRun verify =
        journalTool({QStringLiteral("verify"), QStringLiteral("--data"), folder_.path()});
    EXPECT_EQ(verify.status, 0) << verify.err.toStdString();
    EXPECT_TRUE(verify.out.contains(QStringLiteral("intact (4 lines)")))
        << verify.out.toStdString();
}

TEST_F(VelmoraJournal, VerifyFailsWhenTheSqlite3ProgramChangedARowOrALine) {
    for (const QString& sql :
         {QStringLiteral("UPDATE Aircraft SET TotalTime = 1 WHERE rowid = 2;"),
          QStringLiteral("UPDATE Parts SET LifeNumber = 77;"),
          QStringLiteral("UPDATE Journal SET NewValue = NULL WHERE Seq = 1;")}) {
        TestFolder other;
        const QString copy = other.file(QStringLiteral("Timemgr.mdb"));
        ASSERT_TRUE(QFile::copy(main_, copy));
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {copy, sql});
        ASSERT_TRUE(p.waitForFinished(30000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        const ToolRun verify =
            journalTool({QStringLiteral("verify"), QStringLiteral("--data"), other.path()});
        EXPECT_EQ(verify.status, 1) << sql.toStdString();
        EXPECT_TRUE(verify.err.contains(QStringLiteral("outside Velmora")))
            << verify.err.toStdString();
    }
}

// verify compares the chain with its anchors kept outside the file (the settings file's,
// every backup's, one typed from a report), and each one that disagrees is a finding: what
// the chain cannot tell by itself.
TEST_F(VelmoraJournal, VerifyComparesTheAnchorsOutsideTheFile) {
    const QString settings = folder_.createCompanyFile(folder_.dataPath());
    data::journal::setAfterCommit(journal::anchorInSettings(settings));
    data::Database::open(main_)->execute(
        QStringLiteral("UPDATE Aircraft SET TotalTime = 110 WHERE RegNum = 'N1'"));
    ASSERT_TRUE(backup::makeBackup({main_}, backup::Reason::Daily).failures.isEmpty());
    data::Database::open(main_)->execute(
        QStringLiteral("UPDATE Aircraft SET TotalTime = 120 WHERE RegNum = 'N1'"));
    data::journal::setAfterCommit(nullptr);
    const journal::ChainPoint newest = journal::newestLine(*data::Database::open(main_));
    const QString typed = QStringLiteral("%1:%2").arg(newest.seq).arg(newest.hash.left(16));
    const QStringList args = {QStringLiteral("verify"),
                              QStringLiteral("--data"),
                              folder_.path(),
                              QStringLiteral("--settings"),
                              settings,
                              QStringLiteral("--anchor"),
                              typed};
    const ToolRun good = journalTool(args);
    EXPECT_EQ(good.status, 0) << good.err.toStdString();
    EXPECT_TRUE(good.out.contains(QStringLiteral("Anchor in SetupPP.mdb")))
        << good.out.toStdString();
    EXPECT_TRUE(good.out.contains(QStringLiteral("Anchor in backup "))) << good.out.toStdString();
    EXPECT_TRUE(
        good.out.contains(QStringLiteral("Anchor in typed anchor: line %1 agrees").arg(newest.seq)))
        << good.out.toStdString();

    // The last line taken out and the row put back: the chain and rows hold together, the
    // anchors of the settings file and of the report do not; the older backup still agrees.
    QProcess p;
    p.start(QStringLiteral("sqlite3"),
            {main_, QStringLiteral("DELETE FROM Journal WHERE Seq = %1; UPDATE Aircraft SET "
                                   "TotalTime = 110 WHERE rowid = 1;")
                        .arg(newest.seq)});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const ToolRun cut = journalTool(args);
    EXPECT_EQ(cut.status, 1);
    EXPECT_TRUE(cut.out.contains(QStringLiteral("the journal is intact"))) << cut.out.toStdString();
    EXPECT_TRUE(cut.err.contains(QStringLiteral("anchor in SetupPP.mdb"))) << cut.err.toStdString();
    EXPECT_TRUE(cut.err.contains(
        QStringLiteral("anchor in typed anchor: line %1 is missing").arg(newest.seq)))
        << cut.err.toStdString();
    EXPECT_TRUE(cut.out.contains(QStringLiteral("Anchor in backup "))) << cut.out.toStdString();

    // Without anchors, verify says what it cannot tell.
    TestFolder bare;
    ASSERT_TRUE(QFile::copy(main_, bare.file(QStringLiteral("Timemgr.mdb"))));
    const ToolRun none =
        journalTool({QStringLiteral("verify"), QStringLiteral("--data"), bare.path(),
                     QStringLiteral("--settings"), bare.file(QStringLiteral("SetupPP.mdb"))});
    EXPECT_EQ(none.status, 0) << none.err.toStdString();
    EXPECT_TRUE(none.out.contains(QStringLiteral("No anchor of the chain was found")))
        << none.out.toStdString();
    EXPECT_EQ(journalTool({QStringLiteral("verify"), QStringLiteral("--data"), bare.path(),
                           QStringLiteral("--anchor"), QStringLiteral("12:xyz")})
                  .status,
              2);
}

// A journalled table dropped by another program fails verify.
TEST_F(VelmoraJournal, VerifyFailsWhenAJournalledTableIsGone) {
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {main_, QStringLiteral("DROP TABLE Parts;")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const ToolRun verify =
        journalTool({QStringLiteral("verify"), QStringLiteral("--data"), folder_.path()});
    EXPECT_EQ(verify.status, 1);
    EXPECT_TRUE(verify.err.contains(QStringLiteral("The table Parts is missing")))
        << verify.err.toStdString();
}

TEST_F(VelmoraJournal, ListFiltersByRegistrationAndDayAndWritesCsv) {
    const ToolRun all =
        journalTool({QStringLiteral("list"), QStringLiteral("--data"), folder_.path()});
    ASSERT_EQ(all.status, 0) << all.err.toStdString();
    EXPECT_EQ(all.out.count(u'\n'), 3);

    const ToolRun one =
        journalTool({QStringLiteral("list"), QStringLiteral("--data"), folder_.path(),
                     QStringLiteral("--reg"), QStringLiteral("n1"), QStringLiteral("--csv")});
    ASSERT_EQ(one.status, 0) << one.err.toStdString();
    std::vector<exporting::CsvRecord> records;
    const auto failure = exporting::parseCsv(one.out.toUtf8(), &records);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    ASSERT_EQ(records.size(), 3u);  // the header, the aircraft, its component
    EXPECT_EQ(records[0][0], QStringLiteral("Seq"));
    EXPECT_EQ(records[2][6], QStringLiteral("Parts"));
    EXPECT_EQ(records[2][8], QStringLiteral("1"));

    const ToolRun later = journalTool({QStringLiteral("list"), QStringLiteral("--data"),
                                       folder_.path(), QStringLiteral("--since"),
                                       QDate::currentDate().addDays(2).toString(Qt::ISODate)});
    EXPECT_EQ(later.status, 0);
    EXPECT_TRUE(later.out.isEmpty());

    EXPECT_EQ(journalTool({QStringLiteral("list"), QStringLiteral("--data"), folder_.path(),
                           QStringLiteral("--since"), QStringLiteral("yesterday")})
                  .status,
              2);
    EXPECT_EQ(journalTool({QStringLiteral("verify")}).status, 2);
    EXPECT_EQ(
        journalTool({QStringLiteral("verify"), QStringLiteral("--data"), folder_.file("none")})
            .status,
        1);
}

}  // namespace
