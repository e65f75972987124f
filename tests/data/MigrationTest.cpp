// Moving a data set between a data folder and the server, both ways, value for value.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/DataFiles.h"
#include "data/DataSetMigration.h"
#include "data/JetSqlTranslator.h"
#include "data/Journal.h"
#include "data/Schema.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using data::Value;
namespace err = data::err;

namespace {

// Every table's rows as values, and the stored queries, of one data file.
struct Content {
    std::map<QString, std::vector<std::vector<Value>>> tables;
    std::map<QString, QString> queries;
};

Content contentOf(const QString& location) {
    Content c;
    auto db = Database::open(location);
    for (const QString& t : db->tableNames()) {
        // Each file keeps its own entry journal; it is not copied.
        if (t == data::journal::kTable)
            continue;
        auto rs = db->openRecordset(t);
        std::vector<std::vector<Value>> rows;
        for (const auto& row : rs->rows())
            rows.push_back(row.values);
        c.tables[t] = rows;
    }
    for (const QString& q : db->queryDefNames())
        c.queries[q] = db->queryDefSql(q);
    return c;
}

class Migration : public ::testing::Test {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(server);
        auto db = Database::open(source.createMainFile());
        addAircraft(*db, "N1", 1234.5, 500, 800, 40, 7);
        addAircraft(*db, "n2 ", 10);
        addPart(*db, part("N1", 1).withLife(2000, 100, 1000).installedOn("2005-01-31"));
        addPart(*db, part("N1", 2).withBasis("MO").describedAs("It's \"quoted\"").withOil());
        db->execute(
            "UPDATE Parts SET ReplaceCost = 1234.5678, DatePurchased = "
            "#3/1/2005 14:30:00# WHERE ItemNumber = 1");
        db->createQueryDef("Active", "SELECT * FROM Parts WHERE Active = Yes ORDER BY ItemNumber");
        // A table of the operator's own with a Large Number, beyond what a double holds.
        db->execute("CREATE TABLE Counters (Name TEXT(20), N BIGINT)");
        db->execute("INSERT INTO Counters (Name, N) VALUES ('largest', ?1)", {Value(kLargest)});
        auto templates = Database::open(source.createTemplateFile());
        templates->execute("INSERT INTO Aircraft (Make, Model) VALUES ('Bell', '206B')");
        templates->execute(data::schema::templateTableStatement("Bell"));
        templates->execute(
            "INSERT INTO [Bell] (ItemNumber, Model, TBO, Cost) VALUES "
            "(1, '206B', 1500.5, 99.95)");
    }

    static constexpr std::int64_t kLargest = INT64_MAX - 1;
    TestStore source{BackEnd::File};
    TestStore server{BackEnd::Server};
    TestStore back{BackEnd::File};
};

TEST_F(Migration, FolderToServerAndBackKeepsEveryValue) {
    const auto there = data::migrateDataSet(source.dataPath(), server.dataPath());
    ASSERT_EQ(there.size(), 2u);
    const QString report = data::migrationReport(there);
    EXPECT_TRUE(report.contains("Timemgr.mdb Parts: 2 rows")) << report.toStdString();
    EXPECT_TRUE(report.contains("HeliPart.mdb Bell: 1 rows")) << report.toStdString();
    EXPECT_TRUE(report.contains("Timemgr.mdb: 1 stored queries")) << report.toStdString();
    EXPECT_TRUE(report.contains("Timemgr.mdb Journal: ")) << report.toStdString();

    // The server's data set reads as the folder's does.
    auto onServer = Database::open(server.location(data::files::kMain));
    auto rs =
        onServer->openRecordset("SELECT * FROM Parts WHERE RegNum = 'n1' ORDER BY ItemNumber");
    ASSERT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->value("ReplaceCost").toDouble(), 1234.5678);
    EXPECT_EQ(rs->value("DatePurchased"), Value("2005-03-01 14:30:00"));
    EXPECT_EQ(onServer->openRecordset("SELECT N FROM Counters")->value("N"), Value(kLargest));

    data::migrateDataSet(server.dataPath(), back.dataPath());
    for (const QString& file : {data::files::kMain, data::files::kTemplates}) {
        const Content before = contentOf(source.location(file));
        const Content after = contentOf(back.location(file));
        EXPECT_EQ(before.tables, after.tables) << file.toStdString();
        EXPECT_EQ(before.queries, after.queries) << file.toStdString();
    }
}

TEST_F(Migration, TargetThatHoldsDataIsRefusedAndLeftAsItWas) {
    data::migrateDataSet(source.dataPath(), server.dataPath());
    auto onServer = Database::open(server.location(data::files::kMain));
    onServer->execute("DELETE FROM Parts WHERE ItemNumber = 2");
    const auto e = dbErrorOf([&] { data::migrateDataSet(source.dataPath(), server.dataPath()); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), err::ObjectExists);
    EXPECT_EQ(onServer->openRecordset("Parts")->recordCount(), 1);

    const auto toFolder =
        dbErrorOf([&] { data::migrateDataSet(server.dataPath(), source.dataPath()); });
    ASSERT_TRUE(toFolder);
    EXPECT_EQ(toFolder->number(), err::ObjectExists);
    EXPECT_EQ(
        Database::open(source.location(data::files::kMain))->openRecordset("Parts")->recordCount(),
        2);
}

TEST_F(Migration, MissingSourceCopiesNothing) {
    const auto e = dbErrorOf([&] { data::migrateDataSet(back.dataPath(), server.dataPath()); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), err::FileNotFound);
    EXPECT_TRUE(folderEntries(back.folder().path()).isEmpty());
    const auto fromServer =
        dbErrorOf([&] { data::migrateDataSet(server.dataPath(), back.dataPath()); });
    ASSERT_TRUE(fromServer);
    EXPECT_TRUE(folderEntries(back.folder().path()).isEmpty());
}

}  // namespace
