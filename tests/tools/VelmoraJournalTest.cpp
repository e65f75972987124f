// velmora-journal verify and list, run as built, on files changed by velmora-sql and by
// the sqlite3 program.
#include "export/Csv.h"
#include "journal/JournalLines.h"
#include "support/TestFiles.h"
#include "support/ToolRun.h"

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
    QString error;
    ASSERT_TRUE(exporting::parseCsv(one.out.toUtf8(), &records, &error)) << error.toStdString();
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
