// The data sources Remaining and Forecast: kept in the main data file, and the values
// they compute checked against the arithmetic worked out by hand in ReportTestData.cpp.
#include "ReportTestData.h"

#include "data/Database.h"
#include "data/Recordset.h"
#include "reportfiles/ReportDefinition.h"
#include "reportfiles/ReportQueries.h"

#include <QDate>

#include <gtest/gtest.h>

#include <map>

using namespace velmora;
using namespace velmora::testing;
using data::Value;
using reports::ensureReportQueries;

namespace {

// The rows of a data source for one aircraft, by item number.
std::map<int, std::map<QString, Value>> rowsOf(data::Database& db, const QString& source,
                                               const QString& reg) {
    std::map<int, std::map<QString, Value>> out;
    auto rs = db.openRecordset(source);
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        if (rs->value("Aircraft.RegNum").toString() != reg)
            continue;
        auto& row = out[static_cast<int>(rs->value("ItemNumber").toInt())];
        for (int i = 0; i < rs->fieldCount(); ++i)
            row[rs->field(i).name] = rs->value(i);
    }
    return out;
}

TEST(ReportQueries, CreatedInANewFile) {
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    EXPECT_FALSE(db->hasQueryDef("Remaining"));
    ensureReportQueries(*db);
    EXPECT_TRUE(db->hasQueryDef("Remaining"));
    EXPECT_TRUE(db->hasQueryDef("Forecast"));
    EXPECT_EQ(db->queryDefSql("Remaining"), reports::remainingReportSql());
    EXPECT_EQ(db->queryDefSql("Forecast"), reports::forecastReportSql());
    // Again: nothing changes.
    ensureReportQueries(*db);
    EXPECT_EQ(db->queryDefNames(), QStringList({"Forecast", "Remaining"}));
}

TEST(ReportQueries, AddedToAnOlderFileAndExistingOnesKept) {
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    db->createQueryDef("Remaining",
                       "SELECT Aircraft.RegNum, Parts.RegNum FROM Aircraft INNER "
                       "JOIN Parts ON Aircraft.RegNum = Parts.RegNum");
    ensureReportQueries(*db);
    EXPECT_TRUE(
        db->queryDefSql("Remaining").startsWith("SELECT Aircraft.RegNum, Parts.RegNum FROM"));
    EXPECT_EQ(db->queryDefSql("Forecast"), reports::forecastReportSql());
}

TEST(ReportQueries, BothOrNeither) {
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    db->execute("CREATE TABLE Forecast (X LONG)");
    EXPECT_DB_ERROR(ensureReportQueries(*db), data::err::ObjectExists);
    EXPECT_FALSE(db->hasQueryDef("Remaining"));
}

TEST(ReportQueries, ReadOnlyFileIsAnError) {
    TestFolder folder;
    const QString path = folder.createMainFile();
    setMode(path, 0444);
    auto db = data::Database::open(path);
    const auto e = dbErrorOf([&] { ensureReportQueries(*db); });
    ASSERT_TRUE(e.has_value());
    EXPECT_FALSE(e->text().isEmpty());
    EXPECT_FALSE(db->hasQueryDef("Remaining"));
}

TEST(ReportQueries, RemainingLifeOnEveryBasis) {
    ReportFolder f;
    auto rows = rowsOf(*f.db, "Remaining", "N1");
    ASSERT_EQ(rows.size(), 10u);  // item 11 is not installed
    EXPECT_EQ(rows.count(11), 0u);
    EXPECT_DOUBLE_EQ(rows[1]["TTtoRET"].toDouble(), 2000);
    EXPECT_TRUE(rows[1]["TTtoOH"].isNull());
    EXPECT_DOUBLE_EQ(rows[2]["TTtoOH"].toDouble(), 700);  // meter 2 against TotalTime2
    EXPECT_DOUBLE_EQ(rows[3]["TTtoIN"].toDouble(), 50);
    EXPECT_DOUBLE_EQ(rows[4]["LNDtoRET"].toDouble(), 900);
    EXPECT_DOUBLE_EQ(rows[5]["CYCtoRET"].toDouble(), 400);
    EXPECT_DOUBLE_EQ(rows[6]["RINtoRET"].toDouble(), 320);
    EXPECT_DOUBLE_EQ(rows[7]["TTtoRET"].toDouble(), -12.5);
    EXPECT_DOUBLE_EQ(rows[10]["TTtoRET"].toDouble(), 1100);  // meter 2 against TotalTime2
    EXPECT_TRUE(rows[5]["LNDtoRET"].isNull());
    EXPECT_TRUE(rows[1]["CYCtoRET"].isNull());
    EXPECT_DOUBLE_EQ(rows[4]["Remaining"].toDouble(), 900);
    EXPECT_TRUE(rows[8]["Remaining"].isNull());

    EXPECT_EQ(rows[8]["RetireDate"].toDate(),
              QDate::fromString(isoMonthsFromToday(-13), Qt::ISODate).addMonths(12));
    EXPECT_EQ(rows[9]["RetireDate"].toDate(),
              QDate::fromString(isoMonthsFromToday(-20), Qt::ISODate).addMonths(24));
    EXPECT_TRUE(rows[1]["RetireDate"].isNull());

    for (int item : {7, 8})
        EXPECT_EQ(rows[item]["Overdue"].toInt(), -1) << item;
    for (int item : {1, 2, 3, 4, 5, 6, 9, 10})
        EXPECT_EQ(rows[item]["Overdue"].toInt(), 0) << item;
    EXPECT_EQ(rows[8]["RetireDue"].toInt(), -1);
    EXPECT_EQ(rows[9]["RetireDue"].toInt(), 0);
    EXPECT_EQ(rows[7]["Status"].toString(), "OVERDUE");
    EXPECT_EQ(rows[1]["Status"].toString(), "");
    EXPECT_EQ(rows[1]["Parts.RegNum"].toString(), "N1");
}

TEST(ReportQueries, ForecastLessTheIncreases) {
    ReportFolder f;
    auto rows = rowsOf(*f.db, "Forecast", "N1");
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_DOUBLE_EQ(rows[1]["TTtoRET"].toDouble(), 1900);  // less meter 1's 100
    EXPECT_DOUBLE_EQ(rows[2]["TTtoOH"].toDouble(), 650);    // less meter 2's 50
    EXPECT_DOUBLE_EQ(rows[3]["TTtoIN"].toDouble(), -50);
    EXPECT_DOUBLE_EQ(rows[4]["LNDtoRET"].toDouble(), 700);  // less 200 landings
    EXPECT_DOUBLE_EQ(rows[5]["CYCtoRET"].toDouble(), 300);  // less 100 cycles
    EXPECT_DOUBLE_EQ(rows[6]["RINtoRET"].toDouble(), 320);  // Null RIN increase: 0
    EXPECT_DOUBLE_EQ(rows[7]["TTtoRET"].toDouble(), -112.5);
    EXPECT_DOUBLE_EQ(rows[10]["TTtoRET"].toDouble(), 1050);
    EXPECT_EQ(rows[9]["RetireDue"].toInt(), -1);  // retires within the six months
    EXPECT_EQ(rows[8]["RetireDue"].toInt(), -1);
    for (int item : {3, 7, 8, 9})
        EXPECT_EQ(rows[item]["Due"].toInt(), -1) << item;
    for (int item : {1, 2, 4, 5, 6, 10})
        EXPECT_EQ(rows[item]["Due"].toInt(), 0) << item;
    EXPECT_EQ(rows[3]["Status"].toString(), "DUE");
    EXPECT_EQ(rows[9]["Status"].toString(), "DUE");
    EXPECT_EQ(rows[7]["Status"].toString(), "OVERDUE");
    EXPECT_EQ(rows[8]["Status"].toString(), "OVERDUE");
}

TEST(ReportQueries, ForecastWithoutIncreasesEqualsRemaining) {
    ReportFolder f;
    f.db->execute(
        "UPDATE Aircraft SET ForecastMeter1 = Null, ForecastMeter2 = Null, "
        "ForecastLandings = Null, ForecastCycles = Null, ForecastRIN = Null, "
        "ForecastMonths = Null");
    auto now = rowsOf(*f.db, "Remaining", "N1");
    auto later = rowsOf(*f.db, "Forecast", "N1");
    for (const auto& [item, row] : now) {
        for (const char* col : {"TTtoRET", "TTtoOH", "TTtoIN", "LNDtoRET", "CYCtoRET", "RINtoRET",
                                "RetireDate", "RetireDue"})
            EXPECT_EQ(later[item][col], row.at(col)) << item << " " << col;
        EXPECT_EQ(later[item]["Due"], row.at("Overdue")) << item;
    }
}

}  // namespace
