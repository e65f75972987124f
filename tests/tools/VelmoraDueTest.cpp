// velmora-due: the due list headless, its options, outputs and exit status.
#include "support/TestFiles.h"
#include "support/ToolRun.h"

#include "data/DateDisplay.h"
#include "due/DueFilter.h"
#include "due/DueListOutput.h"
#include "due/DueListSource.h"
#include "due/DueListTable.h"
#include "export/Csv.h"
#include "oil/limits/OilLimitsStore.h"
#include "support/PdfWords.h"
#include "utilisation/PlannedUtilisation.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

ToolRun velmoraDue(const QStringList& args) {
    return runTool(QStringLiteral(VELMORA_DUE_BIN), args);
}

const QString kHeader = QStringLiteral(
    "Registration,Item #,Component Name,Part Number,Serial #,Type,Meter,Service Life,Remaining,"
    "Unit,Due Date,Days,Status,Controls\r\n");

QStringList lines(const QString& csv) {
    QStringList l = csv.split(QStringLiteral("\r\n"));
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

// N1 flies 5 hours a day: 20 hours left (4 days), 400 left (80 days); a months limit in
// 20 days. N2 has no planned use: 10 hours beyond its life.
class VelmoraDue : public ::testing::Test {
  protected:
    void SetUp() override {
        main = folder.createMainFile();
        auto db = data::Database::open(main);
        addAircraft(*db, "N1", 1000);
        addAircraft(*db, "N2", 500);
        addPart(*db, part("N1", 1).withLife(1020, 0, 0).describedAs("Starter, main"));
        addPart(*db, part("N1", 2).withLife(1400, 0, 0).describedAs("Pump"));
        const QDate retires = QDate::currentDate().addDays(20);
        addPart(*db, part("n1", 3)
                         .withBasis("MO")
                         .withLife(12, 0, 0)
                         .installedOn(retires.addMonths(-12).toString(Qt::ISODate))
                         .describedAs("Battery"));
        addPart(*db, part("N2", 4).withBasis("OH").withLife(490, 0, 0).describedAs("Hub"));
        utilisation::DailyUtilisation use;
        use.meter1Hours = 5;
        utilisation::savePlannedUtilisation(*db, {{"N1", use}});
    }

    // The lines the Due List screen shows for the same filter, as CSV.
    QString screenCsv(const due::DueFilter& filter) {
        due::DueListRequest r;
        r.dataPath = folder.dataPath();
        auto list = due::loadDueList(r);
        due::DueListTable table;
        table.setRows(list, due::selectDue(*list, filter));
        std::vector<int> all;
        for (int c = 0; c < due::DueListTable::ColumnCount; ++c)
            all.push_back(c);
        return QString::fromUtf8(due::dueListCsv(table, all));
    }

    TestFolder folder;
    QString main;
};

TEST_F(VelmoraDue, WritesTheWholeListAsTheScreenShowsIt) {
    const ToolRun r = velmoraDue({"--data", folder.path()});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(kHeader));
    EXPECT_EQ(r.out, screenCsv({}));
    const QStringList l = lines(r.out);
    ASSERT_EQ(l.size(), 5);
    EXPECT_TRUE(l[1].startsWith("N2,4,Hub,")) << l[1].toStdString();  // overdue, no date
    EXPECT_TRUE(l[1].endsWith(",-10.0,hours,no use recorded,,Overdue,"));
    EXPECT_TRUE(l[2].startsWith("N1,1,\"Starter, main\",")) << l[2].toStdString();
    EXPECT_TRUE(l[2].contains(QStringLiteral(",20.0,hours,%1,4,Due soon,")
                                  .arg(QDate::currentDate().addDays(4).toString(Qt::ISODate))));
    EXPECT_TRUE(l[3].startsWith("N1,3,Battery,"));
    EXPECT_TRUE(l[4].startsWith("N1,2,Pump,"));
}

TEST_F(VelmoraDue, FiltersByDaysHoursAndAircraft) {
    ToolRun r = velmoraDue({"--data", folder.path(), "--within-days", "10"});
    EXPECT_EQ(r.status, 0);
    due::DueFilter f;
    f.withinDays = 10;
    EXPECT_EQ(r.out, screenCsv(f));
    EXPECT_EQ(lines(r.out).size(), 3);  // the overdue hub and the starter

    r = velmoraDue({"--data=" + folder.path(), "--within-days=10", "--within-hours=500"});
    EXPECT_EQ(lines(r.out).size(), 4);  // and the pump, 400 hours left

    // Registrations in other letters and with trailing blanks, several times.
    r = velmoraDue({"--data", folder.path(), "--reg", "n2 ", "--reg", "N1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(lines(r.out).size(), 5);
    r = velmoraDue({"--data", folder.path(), "--reg", "n2"});
    EXPECT_EQ(lines(r.out).size(), 2);
    EXPECT_FALSE(r.err.contains("velmora-due:")) << r.err.toStdString();

    r = velmoraDue({"--data", folder.path(), "--reg", "N9"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kHeader);
    EXPECT_TRUE(r.err.contains("no aircraft N9")) << r.err.toStdString();
}

TEST_F(VelmoraDue, WritesCsvAndPdfFiles) {
    const QString csv = folder.file("due.csv");
    ToolRun r = velmoraDue({"--data", folder.path(), "--csv", csv, "--within-days", "30"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    std::vector<exporting::CsvRecord> records;
    const auto failure = exporting::parseCsv(fileBytes(csv), &records);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    EXPECT_EQ(records.size(), 4u);
    EXPECT_EQ(records[2][2], QString("Starter, main"));
    EXPECT_EQ(records[1][13], std::nullopt);  // an empty cell is an empty field

    const QString pdf = folder.file("due.pdf");
    r = velmoraDue({"--data", folder.path(), "--pdf", pdf});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));

    r = velmoraDue({"--data", folder.path(), "--csv", folder.file("none/due.csv")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("cannot be written")) << r.err.toStdString();
}

// The components whose newest oil sample is over an alert level: a section of the PDF, and
// CSV of their own with --oil-alerts; --reg chooses their aircraft too.
TEST_F(VelmoraDue, OilAlertFindingsFollowThePrintedListAndAreWrittenAsCsv) {
    {
        auto db = data::Database::open(main);
        db->execute(
            "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron, EngineHrs) VALUES "
            "('N2', 'Engine', '2026-06-01', 48, 200)");
        db->execute(
            "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron, EngineHrs) VALUES "
            "('N1', 'Engine', '2026-06-01', 12, 200)");
    }
    const QString header = QStringLiteral("Registration,Component,Sample Date,Findings\r\n");
    const QString pdf = folder.file("due.pdf");
    const QString heading = QStringLiteral("the newest sample of 1 component is over an alert");
    // No limits kept: nothing is over them.
    ToolRun r = velmoraDue({"--data", folder.path(), "--oil-alerts"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, header);

    oil::limits::LimitSet limits{};
    limits[0] = {20, 40, std::nullopt};
    oil::limits::saveLimitSet(*data::Database::open(main), oil::limits::LimitKey::company(),
                              limits);
    r = velmoraDue({"--data", folder.path(), "--oil-alerts"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, header + "N2,Engine,2026-06-01,Iron 48 ppm over alert 40\r\n");
    r = velmoraDue({"--data", folder.path(), "--oil-alerts", "--reg", "n1"});
    EXPECT_EQ(r.out, header);
    const QString csv = folder.file("oil.csv");
    r = velmoraDue({"--data", folder.path(), "--oil-alerts", "--csv", csv});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(QString::fromUtf8(fileBytes(csv)),
              header + "N2,Engine,2026-06-01,Iron 48 ppm over alert 40\r\n");

    r = velmoraDue({"--data", folder.path(), "--oil-alerts", "--pdf", pdf});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("--oil-alerts writes the oil-alert findings as CSV"))
        << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(pdf));

    if (!pdfToTextInstalled())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    r = velmoraDue({"--data", folder.path(), "--pdf", pdf});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    QString text = pdfToText(pdf).simplified();
    EXPECT_TRUE(text.contains(heading)) << text.toStdString();
    EXPECT_TRUE(text.contains("Iron 48 ppm over alert 40"));
    EXPECT_TRUE(text.contains(data::displayDate(QDate(2026, 6, 1))));
    EXPECT_GT(text.indexOf(heading), text.indexOf("Starter, main"));
    r = velmoraDue({"--data", folder.path(), "--pdf", pdf, "--reg", "N1"});
    text = pdfToText(pdf).simplified();
    EXPECT_FALSE(text.contains("Oil analysis")) << text.toStdString();
}

TEST(VelmoraDueEmpty, AnEmptyFleetIsAnEmptyList) {
    TestFolder folder;
    folder.createMainFile();
    const ToolRun r = velmoraDue({"--data", folder.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kHeader);
}

TEST(VelmoraDueErrors, WrongOptionsExitWithTwoAndBadFoldersWithOne) {
    TestFolder folder;
    struct Case {
        QStringList args;
        const char* message;
    } wrong[] = {
        {{"--data", folder.path(), "--within-days", "soon"}, "--within-days takes a whole"},
        {{"--data", folder.path(), "--within-days", "-3"}, "--within-days takes a whole"},
        {{"--data", folder.path(), "--within-hours", "x"}, "--within-hours takes a number"},
        {{"--data", folder.path(), "--colour"}, "unknown option '--colour'"},
        {{"--within-days", "3"}, "name the data folder with --data DIR"},
        {{"--data"}, "needs a value"},
        {{"--data", folder.path(), "--csv", "a", "--pdf", "b"}, "either --csv OUT or --pdf OUT"},
        {{"--data", folder.path(), "stray"}, "unknown argument 'stray'"},
    };
    for (const Case& c : wrong) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ToolRun r = velmoraDue(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    ToolRun r = velmoraDue({"--data", folder.file("missing")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("the data folder")) << r.err.toStdString();
    r = velmoraDue({"--data", folder.path()});  // a folder without Timemgr.mdb
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Timemgr.mdb")) << r.err.toStdString();
    EXPECT_TRUE(folderEntries(folder.path()).isEmpty()) << "nothing is created";

    r = velmoraDue({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("velmora-due (Velmora) "));
    r = velmoraDue({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("Usage: velmora-due --data DIR"));
}

TEST_F(VelmoraDue, WarningLevelsComeFromTheNamedSettingsFile) {
    const QString settings = folder.createCompanyFile(folder.dataPath());
    ToolRun r = velmoraDue({"--data", folder.path(), "--settings", settings});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, velmoraDue({"--data", folder.path()}).out);  // no levels kept: defaults
    r = velmoraDue({"--data", folder.path(), "--settings", folder.file("nope.mdb")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("nope.mdb")) << r.err.toStdString();
}

}  // namespace
