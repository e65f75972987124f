// Runtime errors of expressions are raised as Jet raises them, never stored as Null,
// infinity or "not a number": an argument a function cannot take is 5 "Invalid procedure
// call or argument", a result beyond the range of its type 6 "Overflow", a division by zero
// 11 "Division by zero", and a text where a number is needed a type mismatch. The statement
// fails as a whole and writes nothing, on the files and on the server.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/Recordset.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using data::Value;
namespace err = data::err;

namespace {

struct Case {
    const char* expression;
    data::ErrorNumber number;
};

const Case kErrors[] = {
    {"Sqr(-1)", err::InvalidProcedureCall},
    {"Sqr(-0.0001)", err::InvalidProcedureCall},
    {"Left('abc', -1)", err::InvalidProcedureCall},
    {"Right('abc', -2)", err::InvalidProcedureCall},
    {"Mid('abc', 0)", err::InvalidProcedureCall},
    {"Mid('abc', 1, -1)", err::InvalidProcedureCall},
    {"InStr(0, 'abc', 'b')", err::InvalidProcedureCall},
    {"Round(2.5, -1)", err::InvalidProcedureCall},
    {"DateAdd('x', 1, #1/1/2005#)", err::InvalidProcedureCall},
    {"DateDiff('x', #1/1/2005#, #1/2/2005#)", err::InvalidProcedureCall},
    {"(-8) ^ 0.5", err::InvalidProcedureCall},
    {"0 ^ -1", err::InvalidProcedureCall},
    {"CInt(220000)", err::Overflow},
    {"CInt(-32768.6)", err::Overflow},
    {"CLng(1e20)", err::Overflow},
    {"CLng('3000000000')", err::Overflow},
    {"Val('1e400')", err::Overflow},
    {"1e308 * 10", err::Overflow},
    {"1e308 + 1e308", err::Overflow},
    {"-1e308 - 1e308", err::Overflow},
    {"1e308 / 1e-308", err::Overflow},
    {"10 ^ 400", err::Overflow},
    {"1e400", err::Overflow},
    {"0 / 0", err::Overflow},
    {"1e20 \\ 1", err::Overflow},
    {"#12/31/9999# + 1", err::Overflow},
    {"1 / 0", err::DivisionByZero},
    {"-2.5 / 0", err::DivisionByZero},
    {"7 \\ 0", err::DivisionByZero},
    {"7 \\ 0.4", err::DivisionByZero},
    {"7 Mod 0", err::DivisionByZero},
    {"'abc' + 1", err::TypeMismatch},
    {"1 + 'abc'", err::TypeMismatch},
    {"'abc' - 'a'", err::TypeMismatch},
};

class RuntimeErrors : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        path = store.createMainFile();
        db = Database::open(path);
        addAircraft(*db, "N1", 100);
        addPart(*db, part("N1", 1).withLife(1500, 0, 0).describedAs("Main rotor blade"));
        addPart(*db, part("N1", 2).withLife(3000, 0, 0).describedAs("Tail rotor blade"));
        before = storedContent(path);
    }

    TestStore store{GetParam()};
    QString path;
    std::shared_ptr<Database> db;
    QByteArray before;
};

TEST_P(RuntimeErrors, AreRaisedWithJetsNumbers) {
    for (const Case& c : kErrors) {
        const QString e = QString::fromLatin1(c.expression);
        const auto error =
            dbErrorOf([&] { db->openRecordset("SELECT TOP 1 " + e + " AS X FROM Aircraft"); });
        ASSERT_TRUE(error.has_value())
            << c.expression << " gave "
            << db->openRecordset("SELECT " + e + " AS X")->value("X").toString().toStdString();
        EXPECT_EQ(error->number(), c.number) << c.expression << ": " << error->text().toStdString();
    }
}

TEST_P(RuntimeErrors, JetsOwnWordsNameTheError) {
    const std::pair<const char*, const char*> cases[] = {
        {"Sqr(-4)", "Invalid procedure call or argument"},
        {"CInt(220000)", "Overflow"},
        {"1 / 0", "Division by zero"},
    };
    for (const auto& [expression, words] : cases) {
        const auto e =
            dbErrorOf([&] { db->openRecordset(QStringLiteral("SELECT %1 AS X").arg(expression)); });
        ASSERT_TRUE(e.has_value());
        EXPECT_TRUE(e->text().startsWith(QLatin1String(words))) << e->text().toStdString();
        EXPECT_TRUE(e->text().contains(QLatin1String(expression))) << e->text().toStdString();
    }
}

TEST_P(RuntimeErrors, ChangesThatMeetOneWriteNothing) {
    const char* const updates[] = {
        "UPDATE Parts SET LifeNumber = Sqr(LifeNumber - 2000)",
        "UPDATE Parts SET ItemNumber = CInt(220000) WHERE ItemNumber = 2",
        "UPDATE Parts SET LifeNumber = LifeNumber * 1e308 * 10",
        "UPDATE Parts SET LifeNumber = 1e400",
        "UPDATE Parts SET LifeNumber = LifeNumber / (ItemNumber - 2)",
        "UPDATE Parts SET LifeNumber = LifeNumber \\ (ItemNumber - 1)",
        "UPDATE Parts SET LifeNumber = Val('1e999')",
        "UPDATE Parts SET Description = Description + 1",
        "INSERT INTO Parts (RegNum, ItemNumber, LifeNumber) VALUES ('N1', 3, 0 / 0)",
        "INSERT INTO Parts (RegNum, ItemNumber, LifeNumber) SELECT RegNum, 4, 1 / (TotalTime - "
        "100) FROM Aircraft",
        "DELETE FROM Parts WHERE LifeNumber / (ItemNumber - 2) > 0",
    };
    for (const char* sql : updates) {
        const auto e = dbErrorOf([&] { db->execute(QString::fromLatin1(sql)); });
        ASSERT_TRUE(e.has_value()) << sql << " ran";
        EXPECT_NE(e->number(), err::Internal) << sql << ": " << e->text().toStdString();
    }
    // Inside a transaction too: the failed statement leaves the work before it, and the
    // rollback leaves the data as it was.
    {
        data::Transaction tx(*db);
        db->execute("UPDATE Parts SET LifeNumber = 1 WHERE ItemNumber = 1");
        EXPECT_DB_ERROR(db->execute("UPDATE Parts SET LifeNumber = 1 / 0"), err::DivisionByZero);
        EXPECT_EQ(db->openRecordset("SELECT LifeNumber FROM Parts WHERE ItemNumber = 1")
                      ->value("LifeNumber")
                      .toDouble(),
                  1.0);
    }
    EXPECT_EQ(storedContent(path), before);
}

// IIf works out only the branch it chooses: an error in the other one is never raised.
TEST_P(RuntimeErrors, OnlyTheBranchIIfTakesCanRaiseOne) {
    auto rs = db->openRecordset(
        "SELECT IIf(ItemNumber = 1, LifeNumber / (ItemNumber - 1), LifeNumber) AS X, "
        "IIf(TotalTime > 1e9, Sqr(-1), 5) AS Y, IIf(1 = 2, CInt(99999), 6) AS Z "
        "FROM Parts INNER JOIN Aircraft ON Parts.RegNum = Aircraft.RegNum WHERE ItemNumber = 2");
    EXPECT_EQ(rs->value("X").toDouble(), 3000.0);
    EXPECT_EQ(rs->value("Y").toInt(), 5);
    EXPECT_EQ(rs->value("Z").toInt(), 6);
    EXPECT_DB_ERROR(db->openRecordset("SELECT IIf(ItemNumber = 1, LifeNumber / (ItemNumber - 1), "
                                      "0) AS X FROM Parts"),
                    err::DivisionByZero);
}

// A value handed to the engine by a screen or a tool is stored only when it is a number the
// data can hold.
TEST_P(RuntimeErrors, InfiniteOrUndefinedValuesAreNeverStored) {
    for (double bad :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_DB_ERROR(db->execute("UPDATE Parts SET LifeNumber = ?1", {Value(bad)}),
                        err::Overflow);
        EXPECT_DB_ERROR(db->execute("INSERT INTO Parts (RegNum, ItemNumber, LifeNumber) VALUES "
                                    "('N1', 5, ?1)",
                                    {Value(bad)}),
                        err::Overflow);
        EXPECT_DB_ERROR(db->insertRow("Parts", {"RegNum", "ItemNumber", "LifeNumber"},
                                      {Value("N1"), Value(6), Value(bad)}),
                        err::Overflow);
        auto rs = db->openRecordset("Parts");
        rs->edit();
        const auto e = dbErrorOf([&] {
            rs->setValue("LifeNumber", Value(bad));
            rs->update();
        });
        EXPECT_TRUE(e.has_value()) << "a record set stored " << bad;
        rs->cancelUpdate();
    }
    EXPECT_EQ(storedContent(path), before);
}

VELMORA_ON_BOTH_BACK_ENDS(RuntimeErrors);

// "+" on two texts joins them, as in Jet: a description gets its note appended.
class TextPlus : public ::testing::TestWithParam<BackEnd> {
  protected:
    TestStore store{GetParam()};
};

TEST_P(TextPlus, AppendsToTheTextItUpdates) {
    VELMORA_SKIP_UNLESS_AVAILABLE(store);
    auto db = Database::open(store.createMainFile());
    addAircraft(*db, "N1", 100);
    addPart(*db, part("N1", 1).describedAs("Main rotor blade"));
    addPart(*db, part("N1", 2).describedAs("Tail rotor blade"));
    EXPECT_EQ(db->execute("UPDATE Parts SET Description = Description + ' (overhauled)' WHERE "
                          "ItemNumber = 1"),
              1);
    auto rs = db->openRecordset(
        "SELECT Description, RegNum + '/' + Description AS Label FROM "
        "Parts ORDER BY ItemNumber");
    EXPECT_EQ(rs->value("Description"), Value("Main rotor blade (overhauled)"));
    EXPECT_EQ(rs->value("Label"), Value("N1/Main rotor blade (overhauled)"));
    rs->moveNext();
    EXPECT_EQ(rs->value("Description"), Value("Tail rotor blade"));
    // Numbers still add, also when the value comes as text.
    db->execute("UPDATE Aircraft SET TotalTime = TotalTime + ?1", {Value("2.5")});
    db->execute("UPDATE Aircraft SET TotalTime = TotalTime + ?1", {Value(1.5)});
    EXPECT_EQ(db->openRecordset("Aircraft")->value("TotalTime").toDouble(), 104.0);
}

VELMORA_ON_BOTH_BACK_ENDS(TextPlus);

}  // namespace
