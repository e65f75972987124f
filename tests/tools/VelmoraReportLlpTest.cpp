// velmora-report --llp through its command line, on a data folder and on a data set of the
// test server: the status of an aircraft's life-limited parts as CSV (on standard output or
// into a file) and as PDF, and an unknown aircraft refused with nothing written.
#include "support/BackEnds.h"
#include "support/PdfWords.h"
#include "support/TestFiles.h"
#include "support/ToolRun.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

ToolRun velmoraReport(const QStringList& args) {
    return runTool(QStringLiteral(VELMORA_REPORT_BIN), args);
}

QStringList csvLines(const QString& text) {
    QStringList lines;
    for (const QString& l : text.split('\n', Qt::SkipEmptyParts))
        lines << l.trimmed();
    return lines;
}

class VelmoraReportLlp : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        auto db = data::Database::open(store.createMainFile());
        addAircraft(*db, "N1", 1000, 500, 4000, 300, 0);
        addPart(*db, part("N1", 4)
                         .withBasis("LD")
                         .withLife(20000, 1500, 3000)
                         .asUnit("GB-1", "S1")
                         .describedAs("Gearbox"));
        addPart(*db, part("N1", 4)
                         .withBasis("RT")
                         .withLife(5000, 300, 900)
                         .asUnit("GB-1", "S1")
                         .describedAs("Gearbox"));
        addPart(*db, part("N1", 6)
                         .withMeter(2)
                         .withBasis("OH")
                         .withLife(1200, 0, 450)
                         .asUnit("ENG-2", "E9")
                         .describedAs("Engine"));
        data = store.backEnd() == BackEnd::Server ? store.serverUri() : store.folder().path();
    }

    TestStore store{GetParam()};
    QString data;
};

TEST_P(VelmoraReportLlp, WritesTheStatusAsCsvAndAsPdf) {
    const ToolRun listed = velmoraReport({"--llp", "--data", data, "--reg", "n1"});
    ASSERT_EQ(listed.status, 0) << listed.err.toStdString();
    const QStringList lines = csvLines(listed.out);
    ASSERT_EQ(lines.size(), 4) << listed.out.toStdString();
    EXPECT_TRUE(
        lines[0].startsWith("Item #,Component Name,Part Number,Serial #,Basis,Meter,Limit,"
                            "Used,Remaining,Due,Since New,Since Overhaul,Controls"))
        << lines[0].toStdString();
    // Item 4: retire 5000 hours, 400 used; landings 20000, 2500 used. Item 6: overhaul on
    // meter 2, 50 used since the overhaul.
    EXPECT_TRUE(lines[1].startsWith("4,Gearbox,GB-1,S1,RT,1,5000 hours,400,4600,"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(",400,,yes")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("4,Gearbox,GB-1,S1,LD,,20000 landings,2500,17500,"))
        << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith("6,Engine,ENG-2,E9,OH,2,1200 hours,50,1150,"))
        << lines[3].toStdString();
    EXPECT_TRUE(lines[3].endsWith(",,50,yes")) << lines[3].toStdString();

    const QString csv = store.folder().file("llp.csv");
    const ToolRun written = velmoraReport({"--llp", "--data", data, "--reg", "N1", "--csv", csv});
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(csvLines(QString::fromUtf8(f.readAll())), lines);

    if (!pdfToTextInstalled())
        GTEST_SKIP() << "pdftotext is not installed";
    const QString pdf = store.folder().file("llp.pdf");
    const ToolRun printed = velmoraReport({"--llp", "--data", data, "--reg", "N1", "--pdf", pdf});
    ASSERT_EQ(printed.status, 0) << printed.err.toStdString();
    const QString text = pdfToText(pdf);
    EXPECT_TRUE(text.contains("Life-Limited Parts Status - N1")) << text.toStdString();
    for (const char* word : {"GB-1", "ENG-2", "4600", "17500", "1150", "Controls"})
        EXPECT_TRUE(text.contains(QLatin1String(word))) << word;
}

TEST_P(VelmoraReportLlp, AnUnknownAircraftOrAWrongCommandLineWritesNothing) {
    const QString csv = store.folder().file("none.csv");
    const ToolRun unknown = velmoraReport({"--llp", "--data", data, "--reg", "N9", "--csv", csv});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.err.contains("\"N9\"")) << unknown.err.toStdString();
    EXPECT_FALSE(QFile::exists(csv));
    const ToolRun both = velmoraReport(
        {"--llp", "--data", data, "--reg", "N1", "--csv", csv, "--pdf", csv + ".pdf"});
    EXPECT_EQ(both.status, 1);
    EXPECT_TRUE(both.err.contains("Name one output")) << both.err.toStdString();
    const ToolRun csvOfActual = velmoraReport({"--data", data, "--reg", "N1", "--csv", csv});
    EXPECT_EQ(csvOfActual.status, 1);
    EXPECT_FALSE(QFile::exists(csv));
}

VELMORA_ON_BOTH_BACK_ENDS(VelmoraReportLlp);

}  // namespace
