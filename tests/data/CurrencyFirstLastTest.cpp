// CCur, First and Last as Jet has them, on both back ends: CCur keeps four decimals and
// rounds a half of the fifth to the even neighbour; First and Last give the value of the
// first and last row of each group as the rows are read, Null included.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
namespace err = data::err;

namespace {

class CurrencyFirstLast : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        db = Database::open(store.createMainFile());
    }

    data::Value valueOf(const QString& expression) {
        auto rs = db->openRecordset(QStringLiteral("SELECT %1 AS X").arg(expression));
        return rs->value("X");
    }

    TestStore store{GetParam()};
    std::shared_ptr<Database> db;
};

TEST_P(CurrencyFirstLast, CCurKeepsFourDecimalsRoundingHalvesToEven) {
    const std::pair<const char*, double> cases[] = {
        {"CCur(1.23456)", 1.2346}, {"CCur(2.00005)", 2.0},    {"CCur(2.00015)", 2.0002},
        {"CCur(-2.00005)", -2.0},  {"CCur(0.00025)", 0.0002}, {"CCur(0.00035)", 0.0004},
        {"CCur(7)", 7.0},          {"CCur(' 12.5 ')", 12.5},  {"CCur(10/3)", 3.3333},
        {"CCur(1.5) * 2", 3.0},
    };
    for (const auto& [expression, expected] : cases)
        EXPECT_DOUBLE_EQ(valueOf(expression).toDouble(), expected) << expression;
    EXPECT_TRUE(valueOf("CCur(Null)").isNull());
    EXPECT_DB_ERROR(valueOf("CCur(1E16)"), err::Overflow);
    EXPECT_DB_ERROR(valueOf("CCur('ten')"), err::TypeMismatch);
}

TEST_P(CurrencyFirstLast, FirstAndLastGiveTheFirstAndLastRowOfEachGroup) {
    db->execute("CREATE TABLE Readings (Reg TEXT(10), Hours DOUBLE, Note TEXT(20))");
    const char* rows[] = {
        "'N1', 10, Null",    "'N2', 5, 'first'", "'n1', 20, 'middle'",
        "'N2', 7, 'second'", "'N1', 15, 'last'",
    };
    for (const char* r : rows)
        db->execute(QStringLiteral("INSERT INTO Readings VALUES (%1)").arg(QLatin1String(r)));
    auto rs = db->openRecordset(
        "SELECT Reg, First(Hours) AS FirstHours, Last(Hours) AS LastHours, First(Note) AS "
        "FirstNote, Last(Note) AS LastNote, Count(*) AS N FROM Readings GROUP BY Reg ORDER BY Reg");
    ASSERT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->value("N").toDouble(), 3);
    EXPECT_EQ(rs->value("FirstHours").toDouble(), 10);
    EXPECT_EQ(rs->value("LastHours").toDouble(), 15);
    EXPECT_TRUE(rs->value("FirstNote").isNull());  // the first row's own value
    EXPECT_EQ(rs->value("LastNote").toString(), "last");
    rs->moveNext();
    EXPECT_EQ(rs->value("FirstHours").toDouble(), 5);
    EXPECT_EQ(rs->value("LastNote").toString(), "second");
    // Over the whole table, and over no rows at all.
    rs = db->openRecordset("SELECT First(Note) AS F, Last(Hours) AS L FROM Readings");
    EXPECT_TRUE(rs->value("F").isNull());
    EXPECT_EQ(rs->value("L").toDouble(), 15);
    rs = db->openRecordset("SELECT First(Note) AS F FROM Readings WHERE Hours > 100");
    EXPECT_TRUE(rs->value("F").isNull());
    // A stored query with them is kept and reads the same.
    db->createQueryDef("Last notes", "SELECT Reg, Last(Note) AS Note FROM Readings GROUP BY Reg");
    EXPECT_EQ(db->openRecordset("Last notes")->recordCount(), 2);
}

VELMORA_ON_BOTH_BACK_ENDS(CurrencyFirstLast);

}  // namespace
