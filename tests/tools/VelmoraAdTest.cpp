// velmora-ad through its command line, on a data folder and on a data set of the test
// server: import (all or nothing, or the good lines), list, status and apply, their output
// and exit status.
#include "../tasks/TaskTestData.h"
#include "support/BackEnds.h"
#include "support/TestFiles.h"
#include "support/ToolRun.h"

#include "tasks/RegisterCsv.h"
#include "tasks/TaskStore.h"
#include "utilisation/PlannedUtilisation.h"

#include <QFile>
#include <QHash>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

ToolRun velmoraAd(const QStringList& args) {
    return runTool(QStringLiteral(VELMORA_AD_BIN), args);
}

// A line of a register file with the values given and every other column empty.
QString registerLine(const QHash<QString, QString>& values) {
    QStringList cells;
    for (const QString& column : tasks::registerCsvColumns())
        cells << values.value(column);
    return cells.join(u',') + QStringLiteral("\r\n");
}

QString header() {
    return tasks::registerCsvColumns().join(u',') + QStringLiteral("\r\n");
}

// Every 100 hours on a Bell 206B; every 500 landings of the part ABC-1.
const QHash<QString, QString> kHundredHours = {
    {"Kind", "AD"},          {"Number", "2025-01-01"}, {"EffectiveDate", "2025-01-01"},
    {"Title", "Tail rotor"}, {"Authority", "FAA"},     {"Make", "Bell"},
    {"Model", "206B"},       {"IntervalHours", "100"}};
const QHash<QString, QString> kHinge = {
    {"Kind", "SB"},          {"Number", "SB-1"},         {"EffectiveDate", "2025-01-01"},
    {"Title", "Hinge"},      {"Authority", "Bell"},      {"AppliesTo", "PART"},
    {"PartNumber", "ABC-1"}, {"IntervalLandings", "500"}};

class VelmoraAd_ : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        location = store.createMainFile();
        auto db = data::Database::open(location);
        addAircraft(*db, "N1", 1000, 0, 4000, 0, 0);
        addAircraft(*db, "N2", 2000);
        describeAircraft(*db, "N1", "Bell", "206B", "1001");
        describeAircraft(*db, "N2", "Robinson", "R44", "2000");
        addPart(*db, part("N1", 1).withBasis("LD").withLife(20000, 0, 0).asUnit("ABC-1", "S1"));
        data = store.backEnd() == BackEnd::Server ? store.serverUri() : store.folder().path();
    }
    QString writeFile(const QString& name, const QString& text) {
        const QString path = store.folder().file(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        return path;
    }
    ToolRun import(const QString& text, QStringList more = {}) {
        return velmoraAd(QStringList{"import", "--data", data, writeFile("reg.csv", text)} + more);
    }
    size_t tasksStored() {
        auto db = data::Database::open(location);
        return tasks::readRegister(*db).tasks.size();
    }

    TestStore store{GetParam()};
    QString location, data;
};

TEST_P(VelmoraAd_, ImportsListsAndReportsTheRegister) {
    ToolRun r = import(header() + registerLine(kHundredHours) + registerLine(kHinge));
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Imported 2 of 2 tasks; 2 compliance records added.\n");
    EXPECT_EQ(tasksStored(), 2u);

    // list writes what import reads.
    r = velmoraAd({"list", "--data", data});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(header()));
    EXPECT_EQ(r.out.count("\r\n"), 3);
    EXPECT_TRUE(r.out.contains("AD,2025-01-01,")) << r.out.toStdString();

    // N1's 100 hours count from its 1000 when the task was applied; its 500 landings from
    // 4000. N2 has no task.
    r = velmoraAd({"status", "--data", data, "--reg", "n1"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    QStringList lines = r.out.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("Registration,Kind,Number,Revision,Revision Date,"));
    EXPECT_TRUE(
        lines[0].contains(",Status,Method of Compliance,Last Done,Recurring,Next Due "
                          "Time,Next Due Date,"));
    EXPECT_TRUE(
        lines[1].startsWith("N1,AD,2025-01-01,,,Tail rotor,Aircraft,Open,,,Every 100.0 "
                            "hours,1100.0 hours,,100.0 hours,"))
        << lines[1].toStdString();
    EXPECT_TRUE(
        lines[2].startsWith("N1,SB,SB-1,,,Hinge,P/N ABC-1 S/N S1,Open,,,Every 500 "
                            "landings,4500 landings,,500 landings,"))
        << lines[2].toStdString();
    r = velmoraAd({"status", "--data", data, "--reg", "N2"});
    EXPECT_EQ(r.out.count("\r\n"), 1) << r.out.toStdString();

    const QString pdf = store.folder().file("n1.pdf");
    r = velmoraAd({"status", "--data", data, "--reg", "N1", "--pdf", pdf});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));
    r = velmoraAd({"status", "--data", data, "--reg", "N9"});
    EXPECT_TRUE(r.err.contains("no aircraft N9")) << r.err.toStdString();

    // An aircraft added since gets its records with apply.
    {
        auto db = data::Database::open(location);
        addAircraft(*db, "N3", 10);
        describeAircraft(*db, "N3", "Bell", "206B", "1003");
    }
    r = velmoraAd({"apply", "--data", data});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1 compliance records added.\n");
    r = velmoraAd({"apply", "--data", data, "--reg", "N3", "--reg", "N9"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "0 compliance records added.\n");
    EXPECT_TRUE(r.err.contains("no aircraft N9")) << r.err.toStdString();
}

TEST_P(VelmoraAd_, VelmoraDueListsTheOpenTasksBesideTheLimits) {
    ASSERT_EQ(import(header() + registerLine(kHundredHours) + registerLine(kHinge)).status, 0);
    {
        auto db = data::Database::open(location);
        utilisation::DailyUtilisation use;
        use.meter1Hours = 5;
        use.landings = 10;
        utilisation::savePlannedUtilisation(*db, {{"N1", use}});
    }
    // N1's 100 hours from 1000: 100 left, 20 days at 5 a day, within the default 30 days;
    // the hinge's 500 landings from 4000: 50 days at 10 a day; the part's own landings limit
    // (20000, none used at 0 landings) has 16000 left: 1600 days.
    auto due = [](int days) {
        return QDate::currentDate().addDays(days).toString(Qt::ISODate) + u',' +
               QString::number(days);
    };
    ToolRun r = runTool(QStringLiteral(VELMORA_DUE_BIN), {"--data", data});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    QStringList lines = r.out.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << r.out.toStdString();
    EXPECT_EQ(lines[1],
              "N1,,AD 2025-01-01: Tail rotor,,,IN,1,100,100.0,hours," + due(20) + ",Due soon,");
    EXPECT_EQ(lines[2], "N1,,SB SB-1: Hinge,ABC-1,S1,LD,,500,500,landings," + due(50) + ",,");
    EXPECT_TRUE(lines[3].startsWith("N1,1,")) << lines[3].toStdString();
    // The filters choose the tasks as they choose the limits.
    r = runTool(QStringLiteral(VELMORA_DUE_BIN), {"--data", data, "--within-days", "30"});
    lines = r.out.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.out.toStdString();
    EXPECT_TRUE(lines[1].startsWith("N1,,AD 2025-01-01: Tail rotor,"));
    r = runTool(QStringLiteral(VELMORA_DUE_BIN), {"--data", data, "--reg", "N2"});
    EXPECT_EQ(r.out.split("\r\n", Qt::SkipEmptyParts).size(), 1) << r.out.toStdString();
}

TEST_P(VelmoraAd_, ABadLineImportsNothingUnlessTheGoodOnesAreAskedFor) {
    ASSERT_EQ(import(header() + registerLine(kHundredHours)).status, 0);
    const QByteArray before = storedContent(location);
    QHash<QString, QString> zero = kHinge;
    zero["IntervalLandings"] = "0";
    // Line 2 is new and good, line 3 has an interval of 0, line 4 a number already stored.
    const QString file =
        header() + registerLine(kHinge) + registerLine(zero) + registerLine(kHundredHours);
    ToolRun r = import(file);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_FALSE(r.err.contains("reg.csv:2:")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("reg.csv:3: ")) << r.err.toStdString();
    EXPECT_TRUE(
        r.err.contains("reg.csv:4: The register holds the number 2025-01-01 without a "
                       "revision already."))
        << r.err.toStdString();
    EXPECT_TRUE(
        r.err.contains("2 of 3 lines are bad: nothing was imported (--skip-bad imports "
                       "the good ones)"))
        << r.err.toStdString();
    EXPECT_EQ(storedContent(location), before);

    r = import(file, {"--skip-bad"});
    EXPECT_EQ(r.status, 3) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("Imported 1 of 3 tasks; 1 compliance records added.\n"))
        << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("reg.csv:3: ")) << r.err.toStdString();
    EXPECT_EQ(tasksStored(), 2u);

    // A make no aircraft has is imported with a warning.
    QHash<QString, QString> other = kHundredHours;
    other["Number"] = "2025-09-09";
    other["Make"] = "Sikorsky";
    r = import(header() + registerLine(other));
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("warning: AD 2025-09-09: no aircraft of the make Sikorsky"))
        << r.err.toStdString();
}

TEST_P(VelmoraAd_, AWrongCommandLineOrAMissingFileChangesNothing) {
    const QByteArray before = storedContent(location);
    EXPECT_EQ(velmoraAd({}).status, 2);
    EXPECT_EQ(velmoraAd({"remove", "--data", data}).status, 2);
    EXPECT_EQ(velmoraAd({"import", "--data", data}).status, 2);
    EXPECT_EQ(velmoraAd({"status", "--data", data, "--csv", "a", "--pdf", "b"}).status, 2);
    EXPECT_EQ(velmoraAd({"list", "--data", data, "--skip-bad"}).status, 2);
    ToolRun r = velmoraAd({"import", "--data", data, store.folder().file("none.csv")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("cannot be read")) << r.err.toStdString();
    EXPECT_EQ(storedContent(location), before);
    r = velmoraAd({"list", "--data", store.folder().file("missing")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("does not exist")) << r.err.toStdString();
}

VELMORA_ON_BOTH_BACK_ENDS(VelmoraAd_);

}  // namespace
