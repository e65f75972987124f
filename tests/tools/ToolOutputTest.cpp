// Where the programs write: a standard output that cannot take it all is an error with its
// reason; output files replace only regular files; CSV meant for people carries no formula.
#include "data/DataFiles.h"
#include "data/Schema.h"
#include "export/Csv.h"
#include "reportfiles/ReportDefinition.h"
#include "support/TestFiles.h"
#include "support/ToolRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

const QString kHyperlink = QStringLiteral("=HYPERLINK(\"http://example.com\",\"Pump\")");

// A data folder with its report definitions: N1 with a component past its life renamed to a
// name a spreadsheet program would run, and the company settings file in a program folder.
class ToolOutput : public ::testing::Test {
  protected:
    void SetUp() override {
        QDir(folder.path()).mkpath("Data");
        dataDir = folder.file("Data");
        dataPath = dataDir + u'/';
        main = data::dataFileName(dataPath, data::files::kMain);
        data::schema::createMainFile(main);
        data::schema::createTemplateFile(data::dataFileName(dataPath, data::files::kTemplates));
        ASSERT_NO_THROW(reports::writeDefaultReportDefinitions(dataDir));
        folder.createCompanyFile(dataPath);
        auto db = data::Database::open(main);
        addAircraft(*db, "N1", 1000);
        addPart(*db, part("N1", 1).withLife(995, 0, 0).describedAs("Pump"));
        // A change of its own line in the journal: the old and the new name.
        db->execute("UPDATE Parts SET Description = ?1 WHERE ItemNumber = 1",
                    {data::Value(kHyperlink)});
    }

    TestFolder folder;
    QString dataDir, dataPath, main;
};

int statusOf(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & S_IFMT) : 0;
}

bool makeDevice(const QString& path, unsigned minor) {
    return ::geteuid() == 0 &&
           ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

TEST_F(ToolOutput, AFullStandardOutputIsAnErrorThatSaysWhy) {
    TestFolder empty;
    const struct {
        const char* program;
        QStringList args;
    } runs[] = {
        {VELMORA_DUE_BIN, {"--data", dataDir}},
        {VELMORA_JOURNAL_BIN, {"list", "--data", dataDir, "--csv"}},
        {VELMORA_JOURNAL_BIN, {"list", "--data", dataDir}},
        {VELMORA_JOURNAL_BIN, {"verify", "--data", dataDir}},
        {VELMORA_REPORT_BIN, {"--data", dataDir, "--reg", "N1", "--pdf", folder.file("n1.pdf")}},
        {VELMORA_SQL_BIN, {main, "SELECT RegNum FROM Aircraft"}},
        {VELMORA_MIGRATE_BIN, {"--from", dataDir, "--to", empty.file("copy")}},
        {VELMORA_BACKUP_BIN, {"--folder", folder.path(), "list"}},
        {VELMORA_DEMO_BIN, {empty.file("demo")}},
        {VELMORA_IMPORT_BIN, {"--help"}},
        {VELMORA_DUE_BIN, {"--help"}},
        {VELMORA_SQL_BIN, {"--version"}},
    };
    QDir(empty.path()).mkpath("copy");
    for (const auto& run : runs) {
        SCOPED_TRACE(QString("%1 %2").arg(run.program, run.args.join(' ')).toStdString());
        const ToolRun r = runTool(QString::fromUtf8(run.program), run.args, "/dev/full");
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(
            r.err.endsWith(": the output could not be written in full: No space left on device.\n"))
            << r.err.toStdString();
    }
}

TEST_F(ToolOutput, OutputFilesReplaceOnlyRegularFiles) {
    const ToolRun shown = runTool(VELMORA_DUE_BIN, {"--data", dataDir});
    ASSERT_EQ(shown.status, 0) << shown.err.toStdString();

    // A link to a regular file: the file is replaced, the link stays.
    folder.writeFile("old.csv", "old");
    ASSERT_TRUE(QFile::link("old.csv", folder.file("due.csv")));
    ToolRun r = runTool(VELMORA_DUE_BIN, {"--data", dataDir, "--csv", folder.file("due.csv")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(statusOf(folder.file("due.csv")), S_IFLNK);
    EXPECT_EQ(QString::fromUtf8(fileBytes(folder.file("old.csv"))), shown.out);

    // A FIFO is written into for its reader.
    const QString fifo = folder.file("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess reader;
    reader.start("cat", {fifo});
    ASSERT_TRUE(reader.waitForStarted());
    r = runTool(VELMORA_DUE_BIN, {"--data", dataDir, "--csv", fifo});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    ASSERT_TRUE(reader.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(reader.readAllStandardOutput()), shown.out);
    EXPECT_EQ(statusOf(fifo), S_IFIFO);

    // Devices are written into and stay devices; a full one says so.
    const QString null = folder.file("null"), full = folder.file("full");
    if (!makeDevice(null, 3) || !makeDevice(full, 7))
        GTEST_SKIP() << "making device nodes needs root";
    for (const QStringList& args :
         {QStringList{"--csv", null}, QStringList{"--pdf", null}, QStringList{"--csv", full}}) {
        r = runTool(VELMORA_DUE_BIN, QStringList{"--data", dataDir} + args);
        EXPECT_EQ(r.status, args[1] == full ? 1 : 0) << r.err.toStdString();
    }
    EXPECT_TRUE(r.err.contains("No space left on device")) << r.err.toStdString();
    r = runTool(VELMORA_REPORT_BIN, {"--data", dataDir, "--reg", "N1", "--pdf", null});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    r = runTool(VELMORA_REPORT_BIN, {"--data", dataDir, "--reg", "N1", "--pdf", full});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("No space left on device")) << r.err.toStdString();
    EXPECT_EQ(statusOf(null), S_IFCHR);
    EXPECT_EQ(statusOf(full), S_IFCHR);
}

TEST_F(ToolOutput, CsvForPeopleCarriesNoFormulaAndVelmoraSqlKeepsValues) {
    auto cellsOf = [](const QString& csv) {
        std::vector<exporting::CsvRecord> records;
        const auto failure = exporting::parseCsv(csv.toUtf8(), &records);
        EXPECT_FALSE(failure) << failure->text.toStdString();
        QStringList cells;
        for (const auto& record : records)
            for (const auto& cell : record)
                cells << cell.value_or(QString());
        return cells;
    };
    const ToolRun due = runTool(VELMORA_DUE_BIN, {"--data", dataDir});
    ASSERT_EQ(due.status, 0) << due.err.toStdString();
    QStringList cells = cellsOf(due.out);
    EXPECT_TRUE(cells.contains(u'\'' + kHyperlink)) << due.out.toStdString();
    EXPECT_FALSE(cells.contains(kHyperlink));
    EXPECT_TRUE(cells.contains("-5.0")) << "a number stays a number: " << due.out.toStdString();

    const ToolRun journal = runTool(VELMORA_JOURNAL_BIN, {"list", "--data", dataDir, "--csv"});
    ASSERT_EQ(journal.status, 0) << journal.err.toStdString();
    cells = cellsOf(journal.out);
    EXPECT_TRUE(cells.contains(u'\'' + kHyperlink)) << journal.out.toStdString();
    EXPECT_FALSE(cells.contains(kHyperlink));

    const ToolRun sql = runTool(VELMORA_SQL_BIN, {main, "SELECT Description FROM Parts"});
    ASSERT_EQ(sql.status, 0) << sql.err.toStdString();
    EXPECT_EQ(cellsOf(sql.out), (QStringList{"Description", kHyperlink}));
}

}  // namespace
