#include "ImportCommand.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "support/JetFixtures.h"
#include "support/TestFiles.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

Outcome importing(const QStringList& args) {
    Outcome r;
    r.status = import::runImportCommand(args, &r.out, &r.err);
    return r;
}

}  // namespace

TEST(ImportCommand, HelpVersionAndWrongArguments) {
    const Outcome help = importing({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith(
        "Usage: velmora-import SOURCE.mdb DEST.mdb [--dry-run] [--codepage NAME]\n"));
    EXPECT_TRUE(help.out.contains("--dry-run"));
    EXPECT_TRUE(help.err.isEmpty());

    const Outcome version = importing({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out,
              QStringLiteral("velmora-import (Velmora) %1\n").arg(VELMORA_VERSION_TEXT));

    for (const QStringList& args : {QStringList{"--force", "a.mdb", "b.mdb"}, QStringList{"a.mdb"},
                                    QStringList{}, QStringList{"a.mdb", "b.mdb", "c.mdb"}}) {
        const Outcome wrong = importing(args);
        EXPECT_EQ(wrong.status, import::status::Usage) << args.join(' ').toStdString();
        EXPECT_TRUE(wrong.out.isEmpty());
        EXPECT_TRUE(wrong.err.startsWith("velmora-import: ")) << wrong.err.toStdString();
        EXPECT_TRUE(wrong.err.contains("velmora-import --help"));
    }
    EXPECT_TRUE(importing({"--force", "a", "b"})
                    .err.startsWith("velmora-import: unknown option "
                                    "'--force'\n"));
}

TEST(ImportCommand, ConvertsReportsAndNeverWritesOverAFile) {
    JET_FIXTURE_OR_SKIP(dates, "DateTestDatabase.mdb");
    JET_FIXTURE_OR_SKIP(nwind, "nwind.mdb");
    TestFolder folder;
    const QString dest = folder.file("dates.mdb");

    // Everything converted: status 0, the report on standard output.
    const Outcome ok = importing({dates, dest});
    EXPECT_EQ(ok.status, import::status::Converted) << ok.out.toStdString();
    EXPECT_TRUE(ok.out.contains("  DateTest: 6 read, 6 written; copied unchanged"));
    EXPECT_TRUE(ok.out.endsWith("Everything was converted.\n"));
    EXPECT_EQ(data::Database::open(dest)->openRecordset("DateTest")->recordCount(), 6);

    // Never over an existing file.
    const QByteArray written = fileBytes(dest);
    const Outcome again = importing({dates, dest});
    EXPECT_EQ(again.status, import::status::Failed);
    EXPECT_EQ(again.err, QStringLiteral("velmora-import: The file %1 exists already; a "
                                        "conversion never writes over a file.\n")
                             .arg(dest));
    EXPECT_EQ(fileBytes(dest), written);

    // Something skipped (queries the engine cannot run): status 3. A dry run writes nothing.
    const Outcome dry = importing({"--dry-run", nwind, folder.file("nw.mdb")});
    EXPECT_EQ(dry.status, import::status::Skipped);
    EXPECT_TRUE(dry.out.contains("Dry run: nothing was written."));
    EXPECT_TRUE(dry.out.contains("  Orders: 830 read, 830 written; copied unchanged"));
    EXPECT_TRUE(dry.out.contains("not kept: Quarterly Orders by Product (a crosstab query"));
    EXPECT_EQ(folderEntries(folder.path()), QStringList{"dates.mdb"});

    const Outcome notJet = importing({dest, folder.file("x.mdb")});
    EXPECT_EQ(notJet.status, import::status::Failed);
    EXPECT_TRUE(notJet.err.contains("is a Velmora data file already"));
}

TEST(ImportCommand, TheProgramExitsWithTheStatus) {
    TestFolder folder;
    QProcess p;
    p.start(QStringLiteral(VELMORA_IMPORT_BIN), {"--bogus"});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().startsWith("velmora-import: unknown option '--bogus'"));

    const QString empty = folder.writeFile("empty.mdb", {});
    p.start(QStringLiteral(VELMORA_IMPORT_BIN), {empty, folder.file("out.mdb")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("is empty"));
    EXPECT_EQ(folderEntries(folder.path()), QStringList{"empty.mdb"});
}

TEST(ImportCommand, AJet3FilesTextIsReadInTheCodePageGivenAndTheReportSaysWhich) {
    JET_FIXTURE_OR_SKIP(gbk, "more/ucanaccess_charsetGBK_a97.mdb");
    TestFolder folder;
    const auto field = [](const QString& file) {
        return data::Database::open(file)
            ->openRecordset("SELECT field1 FROM table1 WHERE ID = 2")
            ->value("field1")
            .toString();
    };
    const Outcome plain = importing({gbk, folder.file("plain.mdb")});
    EXPECT_EQ(plain.status, 0) << plain.err.toStdString();
    EXPECT_TRUE(
        plain.out.contains("Text read in code page CP1252 (a Jet 3 file does not say "
                           "which; --codepage names another)."));
    EXPECT_EQ(field(folder.file("plain.mdb")), QString::fromUtf8("GBK±àÂë"));

    const Outcome chinese = importing({"--codepage", "GBK", gbk, folder.file("gbk.mdb")});
    EXPECT_EQ(chinese.status, 0) << chinese.err.toStdString();
    EXPECT_TRUE(chinese.out.contains("Text read in code page GBK"));
    EXPECT_EQ(field(folder.file("gbk.mdb")), QString::fromUtf8("GBK编码"));

    const Outcome unknown = importing({"--codepage=NO-SUCH-PAGE", gbk, folder.file("no.mdb")});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.err.contains("The code page NO-SUCH-PAGE is not known"));
    const Outcome missing = importing({gbk, folder.file("no.mdb"), "--codepage"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.err.contains("--codepage needs the name of a code page"));
    EXPECT_FALSE(QFileInfo::exists(folder.file("no.mdb")));
}

// A code page that holds a letter back until it knows no accent follows (TCVN 5712, in which
// Vietnamese programs kept their text) must still give every letter, of names and of text: the
// file's own table list was read without its last letters and the file was called damaged.
TEST(ImportCommand, AJet3FileInACodePageThatHoldsLettersBackConvertsWhole) {
    JET_FIXTURE_OR_SKIP(vn, "more/vn_accounting_Y_a97.mdb");
    TestFolder folder;
    const Outcome vietnamese = importing({"--codepage", "TCVN5712-1", vn, folder.file("vn.mdb")});
    ASSERT_EQ(vietnamese.status, 0) << vietnamese.err.toStdString();
    EXPECT_TRUE(vietnamese.out.contains("Text read in code page TCVN5712-1"));
    auto db = data::Database::open(folder.file("vn.mdb"));
    auto rs = db->openRecordset("SELECT DienGiai FROM VAT WHERE Ma = 38");
    EXPECT_EQ(rs->value("DienGiai").toString(),
              QString::fromUtf8("    1. Thuế GTGT hàng bán nội địa còn phải nộp đầu kỳ"));
    // Every table of the file is there, with its name whole.
    EXPECT_EQ(db->openRecordset("SELECT Count(*) AS n FROM VTDauNam")->value("n").toInt(), 0);
}
