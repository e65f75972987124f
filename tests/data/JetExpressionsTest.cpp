// Jet expressions run by the engine, each against the value Jet gives for it: operators and
// their precedence, Null in text joins, True as -1, text compared without regard to letter
// case or trailing blanks, Like patterns, and the functions users type.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <optional>

#include <cmath>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using data::Value;
namespace err = data::err;

namespace {

struct Case {
    const char* expression;
    Value expected;
};

const Value kNull;

// "--" and "/*" are operators, never comments.
const Case kCommentsAreOperators[] = {
    {"5--1", 6},
    {"2--2--2", 6},
    {"5 - -1", 6},
    {"8/-2", -4.0},
};

// "/" divides with fractions, "\" and Mod work on whole numbers (halves rounded to even),
// "^" raises, and the operators bind as Jet binds them.
const Case kArithmetic[] = {
    {"7/2", 3.5},     {"6/3*2", 4.0},      {"1/4", 0.25},       {"7\\2", 3},
    {"-7\\2", -3},    {"7.5\\2", 4},       {"7 Mod 3", 1},      {"-7 Mod 3", -1},
    {"7.5 Mod 2", 0}, {"2^10", 1024.0},    {"-2^2", -4.0},      {"2+3*4", 14},
    {"(2+3)*4", 20},  {"Null + 1", kNull}, {"7 / Null", kNull}, {"Null \\ 0", kNull},
};

// "+" adds numbers and joins two texts; a number and a text that reads as a number add; a
// date and a number of days give a date; Null gives Null.
const Case kPlus[] = {
    {"'a' + 'b'", "ab"},
    {"'1' + '2'", "12"},
    {"1 + '2'", 3},
    {"' 2.5 ' + 1", 3.5},
    {"'a' + Null", kNull},
    {"Null + 'a'", kNull},
    {"'a' + 'b' & 'c'", "abc"},
    {"#1/30/2005# + 2", "2005-02-01"},
    {"2 + #1/30/2005#", "2005-02-01"},
    {"#1/30/2005# + 0.5", "2005-01-30 12:00:00"},
    {"#2/1/2005# - 2", "2005-01-30"},
    {"#2/1/2005# - #1/30/2005#", 2.0},
    {"'5' - '2'", 3.0},
    {"'3' * 2", 6.0},
    {"1 + 2 - 3 + 4 * 2 / 4", 2.0},
};

// "&" joins text, takes Null as empty text and binds looser than "+".
const Case kTextJoins[] = {
    {"\"a\" & Null", "a"},
    {"Null & \"b\"", "b"},
    {"Null & Null", kNull},
    {"\"a\" & 1+2", "a3"},
    {"1 & 2", "12"},
    {"\"x\" & 1.5", "x1.5"},
    {"\"n\" & 1E+20", "n1E+20"},
    {"\"n\" & 1.5E-7", "n1.5E-07"},
    {"\"x\" & 0.1+0.2", "x0.3"},
    {"\"x\" & 2.50", "x2.5"},
    {"\"x\" & -0.0001", "x-0.0001"},
    {"\"d\" & #1/2/2005#", "d2005-01-02"},
    {"\"b\" & (1=1) & (1=2)", "b-10"},
    {"CStr(1/3)", "0.333333333333333"},
    {"Str(1E+15) & \"|\"", " 1E+15|"},
    {"\"a\" & \"b\" & \"c\" = \"ABC\"", -1},
};

// True is -1 wherever a comparison or a logical result is a value.
const Case kTrueIsMinusOne[] = {
    {"(1=1)", -1},          {"(1=1)=Yes", -1}, {"(1=2)", 0},
    {"True", -1},           {"Not (1=2)", -1}, {"(1=1) And (2=2)", -1},
    {"(1=1) Or (1=2)", -1}, {"-1 Xor 0", -1},  {"IIf(1=1, -1, 0) = True", -1},
    {"(1=1) + 1", 0},
};

// Text compares without regard to letter case or trailing blanks, on both sides, literals
// and function results included; leading blanks count.
const Case kTextComparisons[] = {
    {"'RT '='RT'", -1},
    {"'rt'='RT'", -1},
    {"\"abc\" = \"ABC\"", -1},
    {"'RT' = 'RT   '", -1},
    {"' RT' = 'RT'", 0},
    {"'RT ' <> 'rt'", 0},
    {"'rt ' < 'RU'", -1},
    {"'B' > 'a'", -1},
    {"'RT' IN ('oh', 'rt ')", -1},
    {"'RT' NOT IN ('oh', 'rt ')", 0},
    {"'b ' BETWEEN 'A' AND 'C'", -1},
    {"UCase('abc') = 'abc'", -1},
    {"Trim(' x ') & 'Y' = 'XY  '", -1},
    {"Left('Stra', 3) = 'STR'", -1},
    {"'Ärger' = 'ärger'", -1},
};

// Like takes "*", "?", "#", "[...]" and "[!...]"; "%" and "_" are ordinary characters.
const Case kLike[] = {
    {"\"100x\" Like \"100%\"", 0},    {"\"100%\" Like \"100%\"", -1},
    {"\"abc\" Like \"a_c\"", 0},      {"\"a_c\" Like \"a_c\"", -1},
    {"\"ABC\" Like \"a*\"", -1},      {"\"abc\" Like \"a?c\"", -1},
    {"\"a1c\" Like \"a#c\"", -1},     {"\"abc\" Like \"a#c\"", 0},
    {"\"abc\" Like \"a[a-c]c\"", -1}, {"\"abc\" Like \"a[!b]c\"", 0},
    {"\"a*c\" Like \"a[*]c\"", -1},   {"\"N66HV\" Like \"*6*V\"", -1},
    {"\"abc\" Not Like \"x*\"", -1},  {"Null Like \"*\"", kNull},
};

// Int and Fix keep large numbers, DateSerial reads two-digit years as Jet does, Val reads
// exponents and hexadecimal, DateDiff counts every interval.
const Case kFunctions[] = {
    {"Int(1e20)", 1e20},
    {"Int(2.5)", 2},
    {"Int(-2.5)", -3},
    {"Fix(-2.5)", -2},
    {"CLng(2.5)", 2},
    {"CLng(3.5)", 4},
    {"CInt(32767.4)", 32767},
    {"Round(2.5)", 2.0},
    {"Round(2.675, 1)", 2.7},
    {"Abs(-3)", 3},
    {"Sgn(-0.5)", -1},
    {"DateSerial(5,1,1)", "2005-01-01"},
    {"DateSerial(29,12,31)", "2029-12-31"},
    {"DateSerial(30,1,1)", "1930-01-01"},
    {"DateSerial(99,1,1)", "1999-01-01"},
    {"DateSerial(2005,14,1)", "2006-02-01"},
    {"DateSerial(2005,3,0)", "2005-02-28"},
    {"DateSerial(2005,1,-30)", "2004-12-01"},
    {"DateSerial(2005,2147483648,1)", kNull},
    {"DateSerial(2005,1,-9223372036854775808)", kNull},
    {"DateSerial(2005,1,9223372036854775807)", kNull},
    {"DateSerial(1e300,1,1)", kNull},
    {"DateSerial(9999,12,32)", kNull},
    {"DateAdd('yyyy', 10000000, #1/1/2005#)", kNull},
    {"DateAdd('m', 1, #1/31/2024#)", "2024-02-29"},
    {"DateAdd('m', -1200000, #1/1/2005#)", kNull},
    {"DateAdd('d', 1, #12/31/9999#)", kNull},
    {"DateAdd('d', -1, DateSerial(100, 1, 1))", kNull},
    {"DateAdd('n', 2000000000, #1/31/2024#)", "5826-09-24 21:20:00"},
    {"DateAdd('n', -2000000000, #12/31/9999 23:59:59#)", "6197-05-08 02:39:59"},
    {"DateAdd('n', 3000000000, #1/31/2024#)", kNull},
    {"DateAdd('q', 1000000000, #1/31/2024#)", kNull},
    {"DateAdd('h', 1e15, #1/1/2005#)", kNull},
    {"DateAdd('s', 1e300, #1/1/2005#)", kNull},
    {"Format(#3/4/2005 13:45#, 'MM/DD/YYYY')", "03/04/2005"},
    {"Format(#3/4/2005#, 'mm/dd/yy')", "03/04/05"},
    {"Val(\"1e3\")", 1000.0},
    {"Val(\"12abc\")", 12.0},
    {"Val(\" 1 2 3\")", 123.0},
    {"Val(\"-4.5D2\")", -450.0},
    {"Val(\"&HFF\")", 255.0},
    {"Val(\"&HFFFF\")", -1.0},
    {"Val(\"1e\")", 1.0},
    {"Val(\"abc\")", 0.0},
    {"DateDiff(\"h\", #1/1/2005 10:59#, #1/1/2005 13:01#)", 3},
    {"DateDiff(\"n\", #1/1/2005 10:00#, #1/1/2005 13:30#)", 210},
    {"DateDiff(\"s\", #1/1/2005 10:00:00#, #1/1/2005 10:01:05#)", 65},
    {"DateDiff(\"ww\", #1/1/2005#, #1/9/2005#)", 2},
    {"DateDiff(\"w\", #1/1/2005#, #1/15/2005#)", 2},
    {"DateDiff(\"q\", #1/31/2005#, #7/1/2005#)", 2},
    {"DateDiff(\"d\", #1/1/2005 23:00#, #1/2/2005 01:00#)", 1},
    {"DateDiff(\"m\", #1/31/2005#, #3/1/2005#)", 2},
    {"DateDiff(\"yyyy\", #12/31/2005#, #1/1/2006#)", 1},
};

::testing::AssertionResult sameValue(const Value& expected, const Value& actual) {
    if (expected.isNull() || actual.isNull() || !expected.isNumber() || !actual.isNumber()) {
        if (expected == actual)
            return ::testing::AssertionSuccess();
    } else if (std::fabs(expected.toDouble() - actual.toDouble()) <=
               1e-9 * std::max(1.0, std::fabs(expected.toDouble()))) {
        return ::testing::AssertionSuccess();
    }
    auto shown = [](const Value& v) {
        return v.isNull() ? std::string("Null") : ("'" + v.toString().toStdString() + "'");
    };
    return ::testing::AssertionFailure()
           << "gives " << shown(actual) << ", Jet gives " << shown(expected);
}

class JetExpressions : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        db = Database::open(store.createMainFile());
    }

    void expectAll(const Case* begin, const Case* end) {
        for (const Case* c = begin; c != end; ++c) {
            const QString sql =
                QStringLiteral("SELECT %1 AS X").arg(QString::fromUtf8(c->expression));
            const auto e = dbErrorOf([&] {
                auto rs = db->openRecordset(sql);
                ASSERT_EQ(rs->recordCount(), 1);
                EXPECT_TRUE(sameValue(c->expected, rs->value("X"))) << c->expression;
            });
            EXPECT_FALSE(e.has_value()) << c->expression << ": " << e->text().toStdString();
        }
    }

    TestStore store{GetParam()};
    TestFolder& folder = store.folder();
    std::shared_ptr<Database> db;
};

TEST_P(JetExpressions, CommentMarksAreOperators) {
    expectAll(std::begin(kCommentsAreOperators), std::end(kCommentsAreOperators));
}

TEST_P(JetExpressions, Arithmetic) {
    expectAll(std::begin(kArithmetic), std::end(kArithmetic));
}

TEST_P(JetExpressions, TextJoins) {
    expectAll(std::begin(kTextJoins), std::end(kTextJoins));
}

TEST_P(JetExpressions, PlusJoinsTextsAndAddsNumbers) {
    expectAll(std::begin(kPlus), std::end(kPlus));
}

TEST_P(JetExpressions, TrueIsMinusOne) {
    expectAll(std::begin(kTrueIsMinusOne), std::end(kTrueIsMinusOne));
}

TEST_P(JetExpressions, TextComparisons) {
    expectAll(std::begin(kTextComparisons), std::end(kTextComparisons));
}

TEST_P(JetExpressions, LikePatterns) {
    expectAll(std::begin(kLike), std::end(kLike));
}

TEST_P(JetExpressions, Functions) {
    expectAll(std::begin(kFunctions), std::end(kFunctions));
}

// Columns joined to text read as in Jet whatever type the back end keeps them in: money
// without the four places it is stored to, a single without the digits of its binary form,
// dates as they are stored.
TEST_P(JetExpressions, ColumnsJoinedToTextReadAsInJet) {
    db->execute(
        QStringLiteral("CREATE TABLE Joined (Cost CURRENCY, Hours SINGLE, Done DATETIME, "
                       "Landings LONG, Yes_ YESNO)"));
    db->execute(QStringLiteral("INSERT INTO Joined VALUES (2.5, 0.1, #3/4/2026#, 12, True)"));
    auto rs = db->openRecordset(QStringLiteral(
        "SELECT 'c' & Cost & '|' & Hours & '|' & Done & '|' & Landings & '|' & Yes_ AS X, "
        "CStr(Cost) AS Y, Str(Hours) AS Z FROM Joined"));
    EXPECT_EQ(rs->value("X").toString(), "c2.5|0.1|2026-03-04|12|-1");
    EXPECT_EQ(rs->value("Y").toString(), "2.5");
    EXPECT_EQ(rs->value("Z").toString(), " 0.1");
}

// On the files a column name reads as a date only while every table that has the column
// keeps dates in it, and "+" moves a date by days where it joins text. What the engine knows
// of the tables follows a rollback: a table dropped in a rolled-back level counts again,
// whether that level is the outermost or one nested in another.
TEST_P(JetExpressions, ADateColumnIsKnownByTheTablesThereAfterARollback) {
    db->execute(QStringLiteral("CREATE TABLE Dated (Done DATETIME)"));
    db->execute(QStringLiteral("INSERT INTO Dated VALUES (#3/4/2026#)"));
    db->execute(QStringLiteral("CREATE TABLE Counted (Done TEXT(10))"));
    db->execute(QStringLiteral("INSERT INTO Counted VALUES ('5')"));
    auto plusOne = [&](const char* table) {
        return db
            ->openRecordset(
                QStringLiteral("SELECT Done + '1' AS X FROM %1").arg(QLatin1String(table)))
            ->value("X")
            .toString();
    };
    const QString dated = plusOne("Dated");
    ASSERT_EQ(plusOne("Counted"), "51");
    for (const bool nested : {false, true}) {
        SCOPED_TRACE(nested ? "nested" : "outermost");
        {
            std::optional<data::Transaction> outer;
            if (nested)
                outer.emplace(*db);
            {
                data::Transaction tx(*db);
                db->execute(QStringLiteral("DROP TABLE Counted"));
                EXPECT_EQ(plusOne("Dated"), "2026-03-05");  // every "Done" left holds dates
            }
            EXPECT_EQ(plusOne("Counted"), "51");
            EXPECT_EQ(plusOne("Dated"), dated);
        }
        EXPECT_EQ(plusOne("Counted"), "51");
        EXPECT_EQ(plusOne("Dated"), dated);
    }
}

// Text that SQLite would read differently from Jet is refused, never run.
TEST_P(JetExpressions, TextSQLiteWouldReadOtherwiseIsRefused) {
    for (const char* expr : {"6/*2", "6*/2", "1 == 1", "5 % 2", "1 + ", "'a' || 'b'", "2 << 1",
                             "x'00'", "1 IS 1", "1; DELETE FROM Aircraft", "CASE WHEN 1 THEN 2 END",
                             "1 GLOB 1", "~1", "@x", "$x", ":x", "`x`"}) {
        const auto e = dbErrorOf(
            [&] { db->openRecordset(QStringLiteral("SELECT %1 AS X").arg(QLatin1String(expr))); });
        ASSERT_TRUE(e.has_value()) << expr;
        EXPECT_EQ(e->number(), err::SyntaxError) << expr << ": " << e->text().toStdString();
    }
}

VELMORA_ON_BOTH_BACK_ENDS(JetExpressions);

}  // namespace
