// Files that cannot be converted, destinations that cannot be written, and conversions that
// stop half way: each ends in a clear message, leaves the source as it was and writes
// nothing.
#include "legacy/FileConversion.h"
#include "legacy/JetFile.h"
#include "legacy/MemoryTableSource.h"
#include "support/JetFixtures.h"
#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::legacy;
using namespace velmora::testing;

namespace {

// The message a conversion fails with; empty when it does not fail.
QString failureOf(const QString& source, const QString& dest, const ConversionOptions& o = {}) {
    try {
        convertJetFile(source, dest, o);
    } catch (const velmora::data::DbError& e) {
        return e.text();
    }
    return {};
}

MemoryTableSource rowsSource(int rows) {
    MemoryTableSource s;
    s.addGeneratedTable("Parts",
                        {column("RegNum", JetType::Text, 10), column("ItemNumber", JetType::Long)},
                        rows, [](qint64 i, MemoryTableSource::Row* row) {
                            *row = {SourceValue::text("N1"), SourceValue::integer(i)};
                        });
    return s;
}

}  // namespace

TEST(BadInput, FilesThatAreNoJetDatabaseAreRefusedAndLeftAsTheyWere) {
    TestFolder folder;
    QDir().mkpath(folder.file("out"));
    const QString dest = folder.file("out/new.mdb");
    struct Case {
        QString file;
        QString message;
    };
    std::vector<Case> cases = {
        {folder.writeFile("empty.mdb", {}), "is empty: it is not a Jet database."},
        {folder.writeFile("notes.mdb", "Fleet notes, not a database.\n"),
         "is not a database in the earlier Jet (Access .mdb) format."},
        {folder.writeFile("half-page.mdb", jetFileHeader().left(1500)),
         "is cut short (damaged): it ends in the middle of a page."},
        {folder.file("missing.mdb"), "Could not find the file"},
    };
    cases.push_back(
        {folder.createMainFile(), "is a Velmora data file already: there is nothing to convert."});
    if (const QString nwind = jetFixture("nwind.mdb"); !nwind.isEmpty()) {
        const QByteArray whole = fileBytes(nwind);
        cases.push_back(
            {folder.writeFile("cut.mdb", whole.left(12345)), "ends in the middle of a page."});
        // Cut at a page boundary: the list of tables loses entries.
        cases.push_back({folder.writeFile("cut-at-page.mdb", whole.left(700 * 2048)),
                         "its list of tables is incomplete."});
        cases.push_back({folder.writeFile("three-pages.mdb", whole.left(3 * 2048)), "is damaged"});
    }
    for (const Case& c : cases) {
        const QByteArray before = fileBytes(c.file);
        const QString message = failureOf(c.file, dest);
        EXPECT_TRUE(message.contains(c.message)) << message.toStdString();
        EXPECT_TRUE(message.contains(c.file)) << message.toStdString();
        EXPECT_EQ(fileBytes(c.file), before);
        EXPECT_TRUE(folderEntries(folder.file("out")).isEmpty()) << c.file.toStdString();
    }
}

TEST(BadInput, DestinationsThatCannotBeWrittenAreRefused) {
    JET_FIXTURE_OR_SKIP(nwind, "nwind.mdb");
    TestFolder folder;

    // An existing file is never written over, whatever its letter case.
    const QString existing = folder.writeFile("Fleet.mdb", "keep me");
    EXPECT_TRUE(failureOf(nwind, existing).contains("exists already"));
    EXPECT_TRUE(failureOf(nwind, folder.file("FLEET.MDB")).contains("exists already"));
    EXPECT_EQ(fileBytes(existing), QByteArray("keep me"));

    EXPECT_TRUE(failureOf(nwind, folder.file("no/such/folder/x.mdb")).contains("does not exist"));

    QDir().mkpath(folder.file("locked"));
    setMode(folder.file("locked"), 0555);
    const QString message = failureOf(nwind, folder.file("locked/x.mdb"));
    setMode(folder.file("locked"), 0755);
    EXPECT_EQ(message, QStringLiteral("The folder %1 is read-only: the converted file cannot be "
                                      "written there.")
                           .arg(folder.file("locked")));
    EXPECT_TRUE(folderEntries(folder.file("locked")).isEmpty());
    EXPECT_EQ(folderEntries(folder.path()), QStringList({"Fleet.mdb", "locked"}));
}

TEST(BadInput, CancelledOrDryRunConversionsLeaveNothingBehind) {
    TestFolder folder;
    const QString dest = folder.file("Timemgr.mdb");

    MemoryTableSource source = rowsSource(5000);
    ConversionOptions cancelling;
    qint64 lastDone = -1, lastTotal = -1;
    cancelling.progress = [&](qint64 done, qint64 total) {
        lastDone = done;
        lastTotal = total;
        return done < 2000;
    };
    EXPECT_THROW(convertSource(source, "TimeMgr.mdb", dest, cancelling), ConversionCancelled);
    EXPECT_EQ(lastDone, 2000);
    EXPECT_EQ(lastTotal, 5000);
    EXPECT_TRUE(folderEntries(folder.path()).isEmpty());

    ConversionOptions dryRun;
    dryRun.dryRun = true;
    const ConversionReport report = convertSource(source, "TimeMgr.mdb", dest, dryRun);
    EXPECT_TRUE(report.dryRun);
    EXPECT_EQ(report.rowsWritten(), 5000);
    EXPECT_TRUE(report.text().contains("Dry run: nothing was written."));
    EXPECT_TRUE(folderEntries(folder.path()).isEmpty());

    // The real conversion: the file appears under its name only, complete.
    const ConversionReport done = convertSource(source, "TimeMgr.mdb", dest, {});
    EXPECT_EQ(done.rowsWritten(), 5000);
    EXPECT_EQ(folderEntries(folder.path()), QStringList{"Timemgr.mdb"});
}

TEST(BadInput, TextThatIsNoValidTextIsNamedInTheReport) {
    MemoryTableSource source;
    source.addTable("Notes",
                    {column("Id", JetType::Long), column("Remark", JetType::Text, 50),
                     column("Body", JetType::Memo)},
                    {{SourceValue::integer(1), SourceValue::text("clean"),
                      SourceValue::text("line one\r\nline two\tend")},
                     {SourceValue::integer(2), SourceValue::text(QString("C-1") + QChar(u'\0')),
                      SourceValue::text("fine")},
                     {SourceValue::integer(3), SourceValue::text("ok"),
                      SourceValue::text(QString("a") + QChar(u'\x05') + "b")}});
    TestFolder folder;
    const ConversionReport report =
        convertSource(source, "Notes.mdb", folder.file("notes.mdb"), {});
    ASSERT_EQ(report.textFindingCount(), 2);
    EXPECT_EQ(report.textFindings()[0].row, 2);
    EXPECT_EQ(report.textFindings()[0].column, "Remark");
    EXPECT_EQ(report.textFindings()[0].reason, "it holds a NUL character");
    EXPECT_EQ(report.textFindings()[1].row, 3);
    EXPECT_EQ(report.textFindings()[1].column, "Body");
    EXPECT_EQ(report.textFindings()[1].reason, "it holds the control character U+0005");
    EXPECT_TRUE(report.anythingSkipped());
    const QString text = report.text();
    EXPECT_TRUE(text.contains("Values that are not valid text in their column (2):"));
    EXPECT_TRUE(
        text.contains("  Notes, row 3, column Body: a\\x05b: it holds the control "
                      "character U+0005"))
        << text.toStdString();
    EXPECT_TRUE(report.summary().contains("Values that are not valid text in their column: 2"));
}
