// How values are stored: Yes/No as -1/0, dates as ISO text, money to four decimals, text as
// typed; and values that do not fit their column refused with a numbered error, through a
// record set and through SQL alike, without changing the file.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include <QDate>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using data::Recordset;
using data::Value;
namespace err = data::err;

namespace {

class ValueRules : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        path = store.createMainFile();
        db = Database::open(path);
        addAircraft(*db, "N1", 100);
        addPart(*db, part("N1", 1));
    }

    // The stored value and its storage class, read past the record set: SQLite's own on the
    // files, the kind of value the server's column type gives on the server.
    std::pair<QString, Value> stored(const QString& table, const QString& column) {
        if (store.backEnd() == BackEnd::Server) {
            auto rs =
                db->openRecordset(QStringLiteral("select [%2] AS V from [%1]").arg(table, column));
            const Value v = rs->value("V");
            static const char* const kinds[] = {"null", "integer", "real", "text"};
            return {QString::fromLatin1(kinds[static_cast<int>(v.type())]), v};
        }
        // SQLite's typeof() is the file's own SQL, which Jet SQL cannot reach.
        std::pair<QString, Value> out;
        db->forEachRow(
            QStringLiteral("select typeof(\"%2\"), \"%2\" from \"%1\"").arg(table, column), {},
            [&](const std::vector<Value>& row) {
                out = {row[0].toString(), row[1]};
            });
        return out;
    }

    // Sets one column of the only component row and saves it.
    void setPart(const QString& column, const Value& v) {
        auto rs = db->openRecordset("Parts");
        rs->edit();
        rs->setValue(column, v);
        rs->update();
    }

    // Expects setting the column to fail with the number, the text naming the column, and
    // nothing written.
    void expectRefused(const QString& table, const QString& column, const Value& v,
                       data::ErrorNumber number) {
        const QByteArray before = fileBytes(path);
        auto rs = db->openRecordset(table);
        rs->edit();
        const auto e = dbErrorOf([&] { rs->setValue(column, v); });
        ASSERT_TRUE(e.has_value())
            << column.toStdString() << " took " << v.toString().toStdString();
        EXPECT_EQ(e->number(), number) << e->text().toStdString();
        EXPECT_TRUE(e->text().contains(column)) << e->text().toStdString();
        rs->update();
        EXPECT_EQ(fileBytes(path), before);
    }

    // The same through SQL.
    void expectStatementRefused(const QString& sql, data::ErrorNumber number,
                                const QString& column) {
        const QByteArray before = fileBytes(path);
        const auto e = dbErrorOf([&] { db->execute(sql); });
        ASSERT_TRUE(e.has_value()) << sql.toStdString();
        EXPECT_EQ(e->number(), number) << e->text().toStdString();
        EXPECT_TRUE(e->text().contains(column)) << e->text().toStdString();
        EXPECT_EQ(fileBytes(path), before);
    }

    TestStore store{GetParam()};
    TestFolder& folder = store.folder();
    QString path;
    std::shared_ptr<Database> db;
};

TEST_P(ValueRules, YesNoIsStoredAsMinusOneAndZero) {
    for (const auto& [given, expected] : std::vector<std::pair<Value, int>>{{Value(true), -1},
                                                                            {Value(false), 0},
                                                                            {Value("Yes"), -1},
                                                                            {Value("no"), 0},
                                                                            {Value("True"), -1},
                                                                            {Value(1), -1},
                                                                            {Value(-1), -1},
                                                                            {Value(0), 0}}) {
        setPart("OilAnalysis", given);
        EXPECT_EQ(stored("Parts", "OilAnalysis"),
                  std::make_pair(QString("integer"), Value(expected)))
            << given.toString().toStdString();
    }
    db->execute("UPDATE Parts SET Active = No, OilAnalysis = Yes");
    EXPECT_EQ(stored("Parts", "Active").second, Value(0));
    EXPECT_EQ(stored("Parts", "OilAnalysis").second, Value(-1));
    db->execute("UPDATE Parts SET Active = True");
    EXPECT_EQ(stored("Parts", "Active").second, Value(-1));
}

TEST_P(ValueRules, YesNoRefusesOtherText) {
    expectRefused("Parts", "Active", Value("perhaps"), err::TypeMismatch);
    expectStatementRefused("UPDATE Parts SET Active = 'perhaps'", err::TypeMismatch, "Active");
}

TEST_P(ValueRules, DatesAreStoredAsIsoText) {
    setPart("InstallDate", QDate(2005, 1, 31));
    EXPECT_EQ(stored("Parts", "InstallDate"), std::make_pair(QString("text"), Value("2005-01-31")));
    setPart("InstallDate", "2/28/2005");
    EXPECT_EQ(stored("Parts", "InstallDate").second, Value("2005-02-28"));
    setPart("InstallDate", "3/1/05 14:30");
    EXPECT_EQ(stored("Parts", "InstallDate").second, Value("2005-03-01 14:30:00"));
    db->execute("UPDATE Parts SET DatePurchased = #12/24/2004#");
    EXPECT_EQ(stored("Parts", "DatePurchased").second, Value("2004-12-24"));
    EXPECT_EQ(
        db->openRecordset("select * from Parts where InstallDate > #2/28/2005#")->recordCount(), 1);
}

TEST_P(ValueRules, ImpossibleDatesAreRefused) {
    expectRefused("Parts", "InstallDate", Value("2/30/2005"), err::TypeMismatch);
    expectRefused("Parts", "InstallDate", Value("next week"), err::TypeMismatch);
    expectStatementRefused("UPDATE Parts SET InstallDate = 'next week'", err::TypeMismatch,
                           "InstallDate");
    expectStatementRefused("UPDATE Parts SET InstallDate = '2005-02-30'", err::TypeMismatch,
                           "InstallDate");
    expectStatementRefused("UPDATE Parts SET InstallDate = '2005-02-28 25:00:00'",
                           err::TypeMismatch, "InstallDate");
    db->execute("UPDATE Parts SET InstallDate = '2004-02-29 23:59:59'");
}

TEST_P(ValueRules, CurrencyIsRoundedToFourDecimals) {
    setPart("ReplaceCost", 1234.56789);
    EXPECT_EQ(stored("Parts", "ReplaceCost").second.toDouble(), 1234.5679);
    setPart("ReservePerHour", "-0.00004");
    EXPECT_EQ(stored("Parts", "ReservePerHour").second.toDouble(), 0.0);
    setPart("ReservePerHour", " 12.5 ");
    EXPECT_EQ(stored("Parts", "ReservePerHour").second.toDouble(), 12.5);
}

TEST_P(ValueRules, CurrencyWrittenBySqlIsRoundedToo) {
    db->execute("UPDATE Parts SET ReplaceCost = 1234.56789");
    EXPECT_EQ(stored("Parts", "ReplaceCost").second.toDouble(), 1234.5679);
    db->execute("INSERT INTO Parts (RegNum, ReservePerHour) VALUES ('N2', 0.123456)");
    EXPECT_EQ(db->openRecordset("select [ReservePerHour] from Parts where [RegNum]='N2'")
                  ->value("ReservePerHour")
                  .toDouble(),
              0.1235);
}

TEST_P(ValueRules, NumbersReadBackAsNumbers) {
    EXPECT_EQ(stored("Aircraft", "TotalTime"), std::make_pair(QString("real"), Value(100.0)));
    EXPECT_EQ(stored("Parts", "ItemNumber"), std::make_pair(QString("integer"), Value(1)));
    setPart("ItemNumber", "  42 ");
    EXPECT_EQ(stored("Parts", "ItemNumber"), std::make_pair(QString("integer"), Value(42)));
    setPart("LifeNumber", "");
    EXPECT_TRUE(stored("Parts", "LifeNumber").second.isNull());
}

TEST_P(ValueRules, LongTextIsKeptExactlyAsTyped) {
    for (const char* text : {"0123", "1e3", " 12 ", "-0", "Yes", "2005-01-31", ""}) {
        setPart("Notes", text);
        EXPECT_EQ(stored("Parts", "Notes"), std::make_pair(QString("text"), Value(text))) << text;
    }
    db->execute("UPDATE Aircraft SET Owner = '007'");
    EXPECT_EQ(stored("Aircraft", "Owner"), std::make_pair(QString("text"), Value("007")));
}

TEST_P(ValueRules, NumbersInTextColumnsStayText) {
    setPart("PartNumber", 206);
    EXPECT_EQ(stored("Parts", "PartNumber"), std::make_pair(QString("text"), Value("206")));
    db->execute("UPDATE Aircraft SET [Year] = 1998");
    EXPECT_EQ(stored("Aircraft", "Year"), std::make_pair(QString("text"), Value("1998")));
}

TEST_P(ValueRules, TextTooLongForItsColumnIsRefused) {
    setPart("RegNum", "N123456789");  // ten characters: the most RegNum takes
    expectRefused("Parts", "RegNum", Value("N1234567890"), err::FieldTooSmall);
    expectRefused("Parts", "Description", Value(QString(256, u'x')), err::FieldTooSmall);
    expectStatementRefused("UPDATE Aircraft SET RegNum = 'N1234567890'", err::FieldTooSmall,
                           "RegNum");
    expectStatementRefused("INSERT INTO Parts (RegNum) VALUES ('N1234567890')", err::FieldTooSmall,
                           "RegNum");
}

TEST_P(ValueRules, TextTooLongForATemplateColumnIsRefused) {
    db->execute(
        "CREATE TABLE Make(ItemNumber INTEGER,Model TEXT, Year INTEGER, Manufacturer TEXT, "
        "Description TEXT, PartNum TEXT, Assembly TEXT, TBO SINGLE, Basis TEXT, Cost CURRENCY);");
    db->execute("INSERT INTO Make (Model) VALUES ('" + QString(255, u'm') + "')");
    expectStatementRefused("INSERT INTO Make (Model) VALUES ('" + QString(256, u'm') + "')",
                           err::FieldTooSmall, "Model");
}

TEST_P(ValueRules, TextWhereANumberGoesIsRefused) {
    expectRefused("Aircraft", "TotalTime", Value("a lot"), err::TypeMismatch);
    expectRefused("Parts", "ItemNumber", Value("12a"), err::TypeMismatch);
    expectRefused("Parts", "ReplaceCost", Value("$12"), err::TypeMismatch);
    expectStatementRefused("UPDATE Aircraft SET TotalTime = 'a lot'", err::TypeMismatch,
                           "TotalTime");
    expectStatementRefused("INSERT INTO Parts (RegNum, ItemNumber) VALUES ('N1', 'first')",
                           err::TypeMismatch, "ItemNumber");
    expectStatementRefused("UPDATE Parts SET ReplaceCost = 'cheap'", err::TypeMismatch,
                           "ReplaceCost");
}

TEST_P(ValueRules, WholeNumberOutOfRangeIsRefused) {
    setPart("MeterNumber", 32767);
    expectRefused("Parts", "MeterNumber", Value(32768), err::NumericOverflow);
    expectRefused("Parts", "MeterNumber", Value(-40000), err::NumericOverflow);
    expectRefused("Parts", "ItemNumber", Value(3e9), err::NumericOverflow);
    expectRefused("Aircraft", "TotalLandings", Value("9999999999"), err::NumericOverflow);
    expectStatementRefused("UPDATE Parts SET MeterNumber = 40000", err::NumericOverflow,
                           "MeterNumber");
    expectStatementRefused("UPDATE Aircraft SET TotalCycles = 2147483648", err::NumericOverflow,
                           "TotalCycles");
}

TEST_P(ValueRules, LargeNumbersKeepEveryDigit) {
    // A Large Number column holds every 64-bit whole number; beyond 2^53 a double would
    // lose the last digits.
    db->execute("CREATE TABLE Big (ID LONG, N BIGINT)");
    const std::int64_t beyondDouble = (std::int64_t{1} << 53) + 1;
    const std::int64_t largest = INT64_MAX;
    db->execute("INSERT INTO Big (ID, N) VALUES (1, ?1)", {Value(beyondDouble)});
    {
        auto rs = db->openRecordset("Big");
        rs->addNew();
        rs->setValue("ID", 2);
        rs->setValue("N", Value(largest));
        rs->update();
        rs->addNew();
        rs->setValue("ID", 3);
        rs->setValue("N", Value("-9007199254740993"));
        rs->update();
    }
    auto rs = db->openRecordset("SELECT N FROM Big ORDER BY ID");
    EXPECT_EQ(rs->value("N").type(), Value::Type::Integer);
    EXPECT_EQ(rs->value("N").toInt(), beyondDouble);
    rs->moveNext();
    EXPECT_EQ(rs->value("N").toInt(), largest);
    rs->moveNext();
    // Text goes through a double, as for every number column: the nearest one is kept.
    EXPECT_NEAR(static_cast<double>(rs->value("N").toInt()), -9007199254740993.0, 2.0);
    rs = db->openRecordset("SELECT N FROM Big WHERE N = ?1", {Value(largest)});
    EXPECT_FALSE(rs->eof());
    expectRefused("Big", "N", Value("9223372036854775808"), err::NumericOverflow);
    expectRefused("Big", "N", Value(1e19), err::NumericOverflow);
}

TEST_P(ValueRules, RefusedValueLeavesTheEditOpen) {
    auto rs = db->openRecordset("Aircraft");
    rs->edit();
    rs->setValue("TotalTime", 150);
    EXPECT_DB_ERROR(rs->setValue("RegNum", "N1234567890"), err::FieldTooSmall);
    rs->update();
    auto check = db->openRecordset("Aircraft");
    EXPECT_EQ(check->value("RegNum").toString(), "N1");
    EXPECT_EQ(check->value("TotalTime").toDouble(), 150);
}

VELMORA_ON_BOTH_BACK_ENDS(ValueRules);

}  // namespace
