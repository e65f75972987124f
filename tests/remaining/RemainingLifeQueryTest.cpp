// The remaining-life list: its query text for each meter view, the values it computes for
// every life basis, and the rebuild through the working stored query Query1.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/DataFiles.h"
#include "remaining/RemainingLifeQuery.h"
#include "remaining/RemainingLifeRebuild.h"

#include <QFile>
#include <QMap>

#include <gtest/gtest.h>

#include <map>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using data::Value;
using remaining::MeterView;
namespace err = data::err;

namespace {

const QString kTerms = QStringLiteral(
    "IIf(([LifeBasis]='RT' And [MeterNumber]=1),[LifeNumber]-[InstallTimeLeft]-([TotalTime]-"
    "[InstallACHour]), ) AS TTtoRET, "
    "IIf(([LifeBasis]='RT' And [MeterNumber]=2),[LifeNumber]-[InstallTimeLeft]-([TotalTime2]-"
    "[InstallACHour]), ) AS TTtoRET2, "
    "IIf([LifeBasis]='LD',[LifeNumber]-[InstallTimeLeft]-([TotalLandings]-[InstallACHour]), ) "
    "AS LNDtoRET, "
    "IIf([LifeBasis]='CY',[LifeNumber]-[InstallTimeLeft]-([TotalCycles]-[InstallACHour]),0) AS "
    "CYCtoRET, "
    "IIf([LifeBasis]='RN',[LifeNumber]-[InstallTimeLeft]-([TotalRIN]-[InstallACHour]), ) AS "
    "RINtoRET, "
    "IIf(([LifeBasis]='OH' And [MeterNumber]=1),[LifeNumber]-[InstallTimeLeft]-([TotalTime]-"
    "[InstallACHour]), ) AS TTtoOH, "
    "IIf(([LifeBasis]='IN' And [MeterNumber]=1),[LifeNumber]-[InstallTimeLeft]-([TotalTime]-"
    "[InstallACHour]), ) AS TTtoIN, "
    "IIf([LifeBasis]='MO',Format(DateAdd('m',[LifeNumber],[InstallDate]),'mm/dd/yy'),' ') AS "
    "MTHStoRT, "
    "IIf(([LifeBasis]='OH' And [MeterNumber]=2),[LifeNumber]-[InstallTimeLeft]-([TotalTime2]-"
    "[InstallACHour]), ) AS TTtoOH2, "
    "IIf(([LifeBasis]='IN' And [MeterNumber]=2),[LifeNumber]-[InstallTimeLeft]-([TotalTime2]-"
    "[InstallACHour]), ) AS TTtoIN2");

const QString kJoin = QStringLiteral(
    " FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = Parts.RegNum Where ((Parts.Active = "
    "Yes) and ");

// One result row: its column values by name.
using Row = std::map<QString, Value>;

const QStringList kComputed = {"TTtoRET", "TTtoRET2", "LNDtoRET", "CYCtoRET", "RINtoRET",
                               "TTtoOH",  "TTtoIN",   "MTHStoRT", "TTtoOH2",  "TTtoIN2"};
const QStringList kTimeColumns = {"TTtoRET", "TTtoOH", "TTtoIN", "TTtoRET2", "TTtoOH2", "TTtoIN2"};

TEST(RemainingLifeText, MeterOneView) {
    const QString sql = remaining::remainingLifeSql("N1", MeterView::Meter1);
    EXPECT_EQ(sql, "SELECT Aircraft.*, Parts.*, " + kTerms + kJoin +
                       "(Parts.MeterNumber=1) and (Parts.RegNum='N1')) Order by [ItemNumber]");
    EXPECT_TRUE(sql.endsWith(
        " AS TTtoIN2 FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = Parts.RegNum Where "
        "((Parts.Active = Yes) and (Parts.MeterNumber=1) and (Parts.RegNum='N1')) Order by "
        "[ItemNumber]"));
}

TEST(RemainingLifeText, MeterTwoView) {
    EXPECT_EQ(remaining::remainingLifeSql("N1", MeterView::Meter2),
              "SELECT Aircraft.*, Parts.*, " + kTerms + kJoin +
                  "(Parts.MeterNumber=2) and (Parts.RegNum='N1')) Order by [ItemNumber]");
}

TEST(RemainingLifeText, BothMetersView) {
    EXPECT_EQ(remaining::remainingLifeSql("N1", MeterView::Both),
              "SELECT Aircraft.*, Parts.*, " + kTerms + kJoin +
                  "(Parts.RegNum='N1')) Order by [ItemNumber]");
}

TEST(RemainingLifeText, RegistrationTrimmedAndQuoteKeptInsideTheLiteral) {
    EXPECT_TRUE(remaining::remainingLifeSql("  N1  ", MeterView::Both)
                    .endsWith("(Parts.RegNum='N1')) Order by [ItemNumber]"));
    EXPECT_TRUE(remaining::remainingLifeSql(" N'1", MeterView::Meter2)
                    .endsWith("(Parts.RegNum='N''1')) Order by [ItemNumber]"));
    EXPECT_TRUE(remaining::remainingLifeSql("", MeterView::Both)
                    .endsWith("(Parts.RegNum='')) Order by [ItemNumber]"));
}

// One aircraft with a component of every basis and meter. Totals: 1234.5 hours on meter 1,
// 500 on meter 2, 800 landings, 40 cycles, 7 RIN.
class RemainingLife : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        path = store.createMainFile();
        db = Database::open(path);
        addAircraft(*db, "N1", 1234.5, 500, 800, 40, 7);
        addAircraft(*db, "N2", 10, 10, 10, 10, 10);
        addPart(*db, part("N1", 1).withLife(2000, 100, 1000));
        addPart(*db, part("N1", 2).withMeter(2).withLife(1000, 0, 100));
        addPart(*db, part("N1", 3).withBasis("LD").withLife(1000, 50, 300));
        addPart(*db, part("N1", 4).withBasis("CY").withLife(100, 0, 10));
        addPart(*db, part("N1", 5).withBasis("RN").withLife(20, 1, 2));
        addPart(*db, part("N1", 6).withBasis("OH").withLife(1500, 0, 0));
        addPart(*db, part("N1", 7).withBasis("IN").withLife(100, 0, 1200));
        addPart(*db, part("N1", 8).withBasis("MO").withLife(1, 0, 0).installedOn("2005-01-31"));
        addPart(*db, part("N1", 9).withBasis("OH").withMeter(2).withLife(600, 0, 0));
        addPart(*db, part("N1", 10).withBasis("IN").withMeter(2).withLife(50, 0, 480));
        addPart(*db, part("N1", 11).withLife(1000, 300, 0));  // used beyond its life
        addPart(*db, part("N1", 12).withMeter(3).withLife(1000, 0, 0));
        addPart(*db, part("N1", 13).withLife(1000, 0, 0).inactive());
        addPart(*db, part("n1", 14).withBasis("rt").withLife(1300, 0, 1200));
        addPart(*db, part("N2", 15).withLife(1000, 0, 0));
    }

    remaining::RebuildResult rebuild(const QString& reg, MeterView view) {
        auto r = remaining::rebuildRemainingLife(store.dataPath(), reg, view);
        EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join("\n").toStdString();
        EXPECT_TRUE(r.rows);
        EXPECT_FALSE(db->hasQueryDef("Query1"));
        return r;
    }

    // The rows of a rebuild by item number, each as its column values by name.
    QMap<int, Row> rowsByItem(const QString& reg, MeterView view) {
        auto r = rebuild(reg, view);
        QMap<int, Row> out;
        if (!r.rows || r.rows->recordCount() == 0)
            return out;
        auto& rs = *r.rows;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            Row row;
            for (int i = 0; i < rs.fieldCount(); ++i)
                row.emplace(rs.field(i).name, rs.value(i));
            out.insert(static_cast<int>(rs.value("ItemNumber").toInt()), row);
        }
        return out;
    }

    QList<int> items(const QString& reg, MeterView view) {
        auto r = rebuild(reg, view);
        QList<int> out;
        if (!r.rows || r.rows->recordCount() == 0)
            return out;
        for (r.rows->moveFirst(); !r.rows->eof(); r.rows->moveNext())
            out << static_cast<int>(r.rows->value("ItemNumber").toInt());
        return out;
    }

    TestStore store{GetParam()};
    TestFolder& folder = store.folder();
    QString path;
    std::shared_ptr<Database> db;
};

VELMORA_ON_BOTH_BACK_ENDS(RemainingLife);

TEST_P(RemainingLife, MeterOneViewListsActiveMeterOneComponentsByItem) {
    EXPECT_EQ(items("N1", MeterView::Meter1), QList<int>({1, 3, 4, 5, 6, 7, 8, 11, 14}));
}

TEST_P(RemainingLife, MeterTwoViewListsActiveMeterTwoComponents) {
    EXPECT_EQ(items("N1", MeterView::Meter2), QList<int>({2, 9, 10}));
}

TEST_P(RemainingLife, BothViewListsEveryActiveComponent) {
    EXPECT_EQ(items("N1", MeterView::Both),
              QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14}));
}

TEST_P(RemainingLife, ColumnsAreAircraftThenPartsThenTheTenComputed) {
    auto r = rebuild("N1", MeterView::Both);
    ASSERT_TRUE(r.rows);
    auto& rs = *r.rows;
    const int aircraftColumns = db->openRecordset("Aircraft")->fieldCount();
    const int partsColumns = db->openRecordset("Parts")->fieldCount();
    ASSERT_EQ(rs.fieldCount(), aircraftColumns + partsColumns + 10);
    EXPECT_EQ(rs.field(0).name, "Aircraft.RegNum");
    EXPECT_EQ(rs.field(aircraftColumns).name, "Parts.RegNum");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(rs.field(aircraftColumns + partsColumns + i).name, kComputed[i]);
}

TEST_P(RemainingLife, EachBasisFillsItsOwnColumn) {
    const auto rows = rowsByItem("N1", MeterView::Both);
    const std::vector<std::tuple<int, const char*, double>> expected = {
        {1, "TTtoRET", 2000 - 100 - (1234.5 - 1000)},
        {2, "TTtoRET2", 1000 - 0 - (500 - 100)},
        {3, "LNDtoRET", 1000 - 50 - (800 - 300)},
        {4, "CYCtoRET", 100 - 0 - (40 - 10)},
        {5, "RINtoRET", 20 - 1 - (7 - 2)},
        {6, "TTtoOH", 1500 - 1234.5},
        {7, "TTtoIN", 100 - (1234.5 - 1200)},
        {9, "TTtoOH2", 600 - 500},
        {10, "TTtoIN2", 50 - (500 - 480)},
        {14, "TTtoRET", 1300 - (1234.5 - 1200)},
    };
    for (const auto& [item, column, value] : expected) {
        ASSERT_TRUE(rows.contains(item)) << item;
        const Row& row = rows[item];
        EXPECT_DOUBLE_EQ(row.at(column).toDouble(), value) << item << " " << column;
        // Every other computed column holds its "not this basis" value.
        for (const QString& other : kComputed) {
            if (other == column)
                continue;
            if (other == "CYCtoRET")
                EXPECT_EQ(row.at(other), Value(0)) << item;
            else if (other == "MTHStoRT")
                EXPECT_EQ(row.at(other), Value(" ")) << item;
            else
                EXPECT_TRUE(row.at(other).isNull()) << item << " " << other.toStdString();
        }
    }
}

TEST_P(RemainingLife, MonthsComponentGivesTheDateAtMonthEnd) {
    const auto rows = rowsByItem("N1", MeterView::Meter1);
    EXPECT_EQ(rows[8].at("MTHStoRT"), Value("02/28/05"));
    EXPECT_EQ(rows[8].at("CYCtoRET"), Value(0));
    for (const QString& c : kTimeColumns)
        EXPECT_TRUE(rows[8].at(c).isNull()) << c.toStdString();
    EXPECT_EQ(rows[1].at("MTHStoRT"), Value(" "));
}

TEST_P(RemainingLife, ComponentUsedBeyondItsLifeIsNegative) {
    const auto rows = rowsByItem("N1", MeterView::Meter1);
    EXPECT_DOUBLE_EQ(rows[11].at("TTtoRET").toDouble(), 1000 - 300 - 1234.5);
}

TEST_P(RemainingLife, ComponentOnAThirdMeterHasNoTimeValues) {
    const auto rows = rowsByItem("N1", MeterView::Both);
    ASSERT_TRUE(rows.contains(12));
    for (const QString& c : kTimeColumns)
        EXPECT_TRUE(rows[12].at(c).isNull()) << c.toStdString();
    EXPECT_EQ(rows[12].at("CYCtoRET"), Value(0));
    EXPECT_EQ(rows[12].at("MTHStoRT"), Value(" "));
}

TEST_P(RemainingLife, MissingOperandGivesNull) {
    db->execute("UPDATE Parts SET InstallACHour = Null WHERE ItemNumber = 3");
    db->execute("UPDATE Parts SET InstallDate = Null WHERE ItemNumber = 8");
    db->execute("UPDATE Aircraft SET TotalCycles = Null WHERE RegNum = 'N1'");
    const auto rows = rowsByItem("N1", MeterView::Meter1);
    EXPECT_TRUE(rows[3].at("LNDtoRET").isNull());
    EXPECT_TRUE(rows[4].at("CYCtoRET").isNull());
    EXPECT_TRUE(rows[8].at("MTHStoRT").isNull());
    EXPECT_FALSE(rows[1].at("TTtoRET").isNull());
}

TEST_P(RemainingLife, EmptyRegistrationGivesNoRows) {
    EXPECT_TRUE(items("", MeterView::Both).isEmpty());
    EXPECT_TRUE(items("   ", MeterView::Meter1).isEmpty());
}

TEST_P(RemainingLife, AircraftWithoutActiveComponentsGivesNoRows) {
    addAircraft(*db, "N3");
    addPart(*db, part("N3", 1).inactive());
    EXPECT_TRUE(items("N3", MeterView::Both).isEmpty());
    EXPECT_TRUE(items("N9", MeterView::Both).isEmpty());
}

TEST_P(RemainingLife, RegistrationIsTrimmedAndMatchedIgnoringCase) {
    const QList<int> expected = items("N1", MeterView::Meter2);
    EXPECT_EQ(items("  N1 ", MeterView::Meter2), expected);
    EXPECT_EQ(items("n1", MeterView::Meter2), expected);
}

TEST_P(RemainingLife, QuoteInRegistrationSelectsThatAircraft) {
    addAircraft(*db, "N'1", 50);
    addPart(*db, part("N'1", 7).withLife(100, 0, 0));
    const auto rows = rowsByItem("N'1", MeterView::Both);
    ASSERT_EQ(rows.keys(), QList<int>{7});
    EXPECT_EQ(rows[7].at("Parts.RegNum"), Value("N'1"));
    EXPECT_DOUBLE_EQ(rows[7].at("TTtoRET").toDouble(), 50);
    EXPECT_TRUE(items("N1' OR 'a'='a", MeterView::Both).isEmpty());
}

TEST_P(RemainingLife, RowsStayReadableAfterTheWorkingQueryIsGone) {
    auto r = rebuild("N1", MeterView::Meter2);
    ASSERT_TRUE(r.rows);
    EXPECT_FALSE(r.database->hasQueryDef("Query1"));
    r.rows->moveLast();
    EXPECT_EQ(r.rows->value("ItemNumber").toInt(), 10);
    r.rows->findFirst("ItemNumber = 9");
    EXPECT_FALSE(r.rows->noMatch());
    EXPECT_DOUBLE_EQ(r.rows->value("TTtoOH2").toDouble(), 100);
}

TEST_P(RemainingLife, LeftoverWorkingQueryIsReplacedAndRemovedForGood) {
    db->createQueryDef("Query1", "select * from [Aircraft] Order by [RegNum]");
    EXPECT_EQ(items("N1", MeterView::Meter2), QList<int>({2, 9, 10}));
    EXPECT_FALSE(db->hasQueryDef("Query1"));
    // A table of the working query's name is no leftover: it is kept, and the list is still
    // shown, read without the working query.
    db->execute("CREATE TABLE Query1 (Name TEXT(10))");
    const auto r = remaining::rebuildRemainingLife(store.dataPath(), "N1", MeterView::Meter2);
    ASSERT_TRUE(r.rows);
    EXPECT_EQ(r.rows->recordCount(), 3);
    ASSERT_FALSE(r.failures.isEmpty());
    EXPECT_TRUE(r.failures.first().startsWith(QString::number(static_cast<int>(err::ObjectExists))))
        << r.failures.join("\n").toStdString();
    EXPECT_TRUE(db->hasTable("Query1"));
}

TEST_P(RemainingLife, RebuildLeavesTheFileByteForByteUnchanged) {
    VELMORA_FILES_ONLY(store);
    const QByteArray before = fileBytes(path);
    for (MeterView view : {MeterView::Meter1, MeterView::Meter2, MeterView::Both}) {
        const auto r = rebuild("N1", view);
        ASSERT_TRUE(r.rows);
        EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join("\n").toStdString();
    }
    // Not even the file's change counter moves: no write reaches the disk.
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_FALSE(QFile::exists(path + "-journal"));
}

TEST_P(RemainingLife, ReadOnlyFileReportsEveryFailedStepAndStaysUnchanged) {
    VELMORA_FILES_ONLY(store);
    db.reset();
    setMode(path, 0444);
    const QByteArray before = fileBytes(path);
    const auto r = remaining::rebuildRemainingLife(folder.dataPath(), "N1", MeterView::Both);
    // The working query cannot be stored, but the remaining life is still shown.
    ASSERT_TRUE(r.rows);
    EXPECT_GT(r.rows->recordCount(), 0);
    ASSERT_FALSE(r.failures.isEmpty());
    EXPECT_TRUE(r.failures.first().startsWith(QString::number(static_cast<int>(err::ReadOnly))))
        << r.failures.join("\n").toStdString();
    EXPECT_EQ(fileBytes(path), before);
    setMode(path, 0644);
}

TEST(RemainingLifeFiles, MissingMainFileIsReportedAndNotCreated) {
    TestFolder folder;
    const auto r = remaining::rebuildRemainingLife(folder.dataPath(), "N1", MeterView::Both);
    EXPECT_FALSE(r.database);
    EXPECT_FALSE(r.rows);
    ASSERT_FALSE(r.failures.isEmpty());
    EXPECT_TRUE(r.failures.first().startsWith(QString::number(static_cast<int>(err::FileNotFound))))
        << r.failures.join("\n").toStdString();
    EXPECT_TRUE(folderEntries(folder.path()).isEmpty());
}

TEST(RemainingLifeFiles, AccessFileIsReportedAndLeftUnchanged) {
    TestFolder folder;
    const QString path = folder.writeFile(data::files::kMain, jetFileHeader());
    const auto r = remaining::rebuildRemainingLife(folder.dataPath(), "N1", MeterView::Meter1);
    EXPECT_FALSE(r.rows);
    ASSERT_FALSE(r.failures.isEmpty());
    EXPECT_TRUE(r.failures.first().startsWith(QString::number(static_cast<int>(err::JetFile))))
        << r.failures.join("\n").toStdString();
    EXPECT_EQ(fileBytes(path), jetFileHeader());
    EXPECT_EQ(folderEntries(folder.path()), QStringList{data::files::kMain});
}

TEST(RemainingLifeFiles, MainFileWithoutTheTablesIsReported) {
    TestFolder folder;
    const QString path = folder.file(data::files::kMain);
    Database::create(path);
    const QByteArray before = fileBytes(path);
    const auto r = remaining::rebuildRemainingLife(folder.dataPath(), "N1", MeterView::Both);
    EXPECT_FALSE(r.rows);
    ASSERT_FALSE(r.failures.isEmpty());
    EXPECT_TRUE(
        r.failures.first().startsWith(QString::number(static_cast<int>(err::ObjectNotFound))))
        << r.failures.join("\n").toStdString();
    EXPECT_EQ(fileBytes(path), before);
}

}  // namespace
