// Whole statements read as Jet reads them: no comment or second statement cuts them short,
// division keeps fractions, text matches without regard to trailing blanks in joins, lists
// and sorting (in new files and in files made before), and a statement that cannot run is
// refused with Jet's number and its own words.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "remaining/RemainingLifeQuery.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using data::Recordset;
using data::Value;
namespace err = data::err;

namespace {

QStringList column(Recordset& rs, const QString& name) {
    QStringList out;
    for (const auto& row : rs.rows())
        out << row.values[static_cast<size_t>(rs.fieldIndex(name))].toString();
    return out;
}

class JetStatements : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        path = store.createMainFile();
        db = Database::open(path);
    }
    int count(const QString& where) {
        return static_cast<int>(db->openRecordset("SELECT Count(*) AS N FROM Parts WHERE " + where)
                                    ->value("N")
                                    .toInt());
    }

    TestStore store{GetParam()};
    TestFolder& folder = store.folder();
    QString path;
    std::shared_ptr<Database> db;
};

TEST_P(JetStatements, DoubleMinusIsArithmeticNotACommentThatCutsTheCondition) {
    for (int item : {1, 5, 7, 9})
        addPart(*db, part("N66HV", item));
    for (int item : {1, 8})
        addPart(*db, part("N1", item));
    EXPECT_EQ(db->execute("DELETE * FROM Parts WHERE ItemNumber > 5--1 AND RegNum = 'N66HV'"), 2);
    EXPECT_EQ(count("RegNum = 'N66HV'"), 2);
    EXPECT_EQ(count("RegNum = 'N1'"), 2);
    // TOP keeps its limit whatever follows.
    EXPECT_EQ(db->openRecordset("SELECT TOP 1 * FROM Parts ORDER BY ItemNumber --1")->recordCount(),
              1);
}

TEST_P(JetStatements, CommentsAndSecondStatementsAreRefusedAndChangeNothing) {
    addPart(*db, part("N1", 1));
    addPart(*db, part("N2", 1));
    const QByteArray before = fileBytes(path);
    for (const char* sql : {"DELETE FROM Parts WHERE RegNum = 'N1' --",
                            "DELETE FROM Parts WHERE RegNum = 'N1' /* only N1 */",
                            "DELETE FROM Parts WHERE ItemNumber = 1/*2*/",
                            "SELECT TOP 1 * FROM Parts ORDER BY ItemNumber --",
                            "DELETE FROM Parts WHERE RegNum = 'N1'; DELETE FROM Parts",
                            "UPDATE Parts SET ItemNumber = 2; DROP TABLE Aircraft"}) {
        EXPECT_DB_ERROR(db->execute(sql), err::SyntaxError);
    }
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(count("True"), 2);
}

TEST_P(JetStatements, DivisionKeepsItsFraction) {
    addAircraft(*db, "N1", 0, 0, 21930);
    db->execute("UPDATE Aircraft SET TotalTime = TotalLandings / 7");
    EXPECT_NEAR(db->openRecordset("Aircraft")->value("TotalTime").toDouble(), 3132.857142857143,
                1e-9);
    db->execute(
        "UPDATE Aircraft SET TotalTime2 = TotalLandings \\ 7, TotalCycles = TotalLandings "
        "Mod 7");
    auto rs = db->openRecordset("Aircraft");
    EXPECT_EQ(rs->value("TotalTime2").toDouble(), 3132);
    EXPECT_EQ(rs->value("TotalCycles").toInt(), 6);
}

TEST_P(JetStatements, TrailingBlanksAndLetterCaseDoNotCountInJoinsListsAndSorting) {
    addAircraft(*db, "N1 ", 100);
    addPart(*db, part("n1", 10).withBasis("RT ").withLife(500, 0, 0));
    addPart(*db, part("N1  ", 20).withBasis("oh").withLife(300, 0, 0));
    addPart(*db, part(" N1", 30).withBasis("IN"));  // a leading blank: another registration
    auto joined = db->openRecordset(
        "SELECT Parts.ItemNumber FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = "
        "Parts.RegNum WHERE Aircraft.RegNum = 'N1' ORDER BY Parts.ItemNumber");
    EXPECT_EQ(column(*joined, "ItemNumber"), QStringList({"10", "20"}));
    EXPECT_EQ(count("LifeBasis IN ('RT', 'OH')"), 2);
    EXPECT_EQ(count("LifeBasis = 'rt'"), 1);
    EXPECT_EQ(count("RegNum <> 'N1'"), 1);
    // The remaining-life list of the aircraft finds both components and computes their values.
    auto remaining =
        db->openRecordset(remaining::remainingLifeSql("N1", remaining::MeterView::Both));
    ASSERT_EQ(remaining->recordCount(), 2);
    EXPECT_EQ(remaining->value("TTtoRET").toDouble(), 400);
    remaining->moveNext();
    EXPECT_EQ(remaining->value("TTtoOH").toDouble(), 200);

    db->execute("UPDATE Parts SET Description = 'b' WHERE ItemNumber = 10");
    db->execute("UPDATE Parts SET Description = 'A ' WHERE ItemNumber = 20");
    db->execute("UPDATE Parts SET Description = 'C' WHERE ItemNumber = 30");
    addPart(*db, part("N1", 40).describedAs("a"));
    auto sorted = db->openRecordset(
        "SELECT ItemNumber, Trim(Description) & '' AS D FROM Parts ORDER BY "
        "Trim(Description) & '', ItemNumber");
    EXPECT_EQ(column(*sorted, "ItemNumber"), QStringList({"20", "40", "10", "30"}));
    auto byAlias = db->openRecordset(
        "SELECT ItemNumber, UCase(Description) & '' AS D FROM Parts ORDER BY D DESC, ItemNumber");
    EXPECT_EQ(column(*byAlias, "ItemNumber"), QStringList({"30", "10", "20", "40"}));
    auto grouped = db->openRecordset(
        "SELECT RegNum, Count(*) AS N FROM Parts GROUP BY RegNum "
        "ORDER BY RegNum");
    // The server groups without regard to letter case, but trailing blanks still count there.
    if (store.backEnd() == BackEnd::File) {
        EXPECT_EQ(column(*grouped, "N"), QStringList({"1", "3"}));
    }
}

TEST_P(JetStatements, FindCriteriaIgnoreTrailingBlanks) {
    addAircraft(*db, "N7");
    addAircraft(*db, "N8 ");
    auto rs = db->openRecordset("select * from [Aircraft] Order by [RegNum]");
    rs->findFirst("[RegNum] = \"n8\"");
    ASSERT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value("RegNum").toString(), "N8 ");
}

// A file made before text columns took the engine's own collation: its columns compare
// without regard to letter case only, its indexes are in that order. It keeps working,
// with trailing blanks ignored as in new files, and its indexes stay valid.
TEST_P(JetStatements, FilesMadeBeforeCompareAsNewOnes) {
    const QString old = folder.file("Older.mdb");
    {
        auto made = Database::create(old);
        made->executeBound(
            "CREATE TABLE Aircraft (RegNum TEXT(10) COLLATE NOCASE, TotalTime DOUBLE)", {});
        made->executeBound(
            "CREATE TABLE Parts (RegNum TEXT(10) COLLATE NOCASE, ItemNumber INTEGER, "
            "LifeBasis TEXT(50) COLLATE NOCASE)",
            {});
        made->executeBound("CREATE INDEX PartsRegNum ON Parts (RegNum, ItemNumber)", {});
    }
    auto odb = Database::open(old);
    odb->execute("INSERT INTO Aircraft (RegNum, TotalTime) VALUES ('N1 ', 10)");
    odb->execute("INSERT INTO Parts (RegNum, ItemNumber, LifeBasis) VALUES ('n1', 1, 'RT ')");
    odb->execute("INSERT INTO Parts (RegNum, ItemNumber, LifeBasis) VALUES ('N1', 2, 'OH')");
    odb->execute("INSERT INTO Parts (RegNum, ItemNumber, LifeBasis) VALUES ('N2', 3, 'RT')");
    auto rs = odb->openRecordset(
        "SELECT Parts.ItemNumber FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = "
        "Parts.RegNum WHERE Parts.RegNum = 'N1 ' AND Parts.LifeBasis IN ('rt', 'oh') ORDER BY "
        "Parts.ItemNumber");
    EXPECT_EQ(column(*rs, "ItemNumber"), QStringList({"1", "2"}));
    EXPECT_EQ(odb->execute("DELETE FROM Parts WHERE RegNum = 'n1  ' AND LifeBasis = 'rt'"), 1);
    EXPECT_EQ(odb->execute("UPDATE Parts SET RegNum = 'N1 ' WHERE ItemNumber = 3"), 1);
    EXPECT_EQ(odb->openRecordset("SELECT * FROM Parts WHERE RegNum = 'N1'")->recordCount(), 2);
}

struct Refusal {
    const char* statement;
    data::ErrorNumber number;
    const char* named;  // the statement's own word that the message must name
};

const Refusal kRefusals[] = {
    {"select [TailNumber] from [Aircraft]", err::TooFewParameters, "TailNumber"},
    {"select * from [Aircraft] where [Aircraft].[Tail] = 1", err::TooFewParameters, "Tail"},
    {"UPDATE Aircraft SET TailNumber = 'x'", err::TooFewParameters, "TailNumber"},
    {"INSERT INTO Aircraft (RegNum, TailNumber) VALUES ('N9', 1)", err::TooFewParameters,
     "TailNumber"},
    {"select Frobnicate([RegNum]) from [Aircraft]", err::UndefinedFunction, "Frobnicate"},
    {"select RegNum from Aircraft INNER JOIN Parts ON Aircraft.RegNum = Parts.RegNum",
     err::AmbiguousColumn, "RegNum"},
    {"select * from Robinson", err::ObjectNotFound, "Robinson"},
    {"DELETE FROM Robinson WHERE Model = 'R44'", err::ObjectNotFound, "Robinson"},
    {"select * from Aircraft where", err::SyntaxError, "where"},
    {"select Nz() from Aircraft", err::SyntaxError, "Nz"},
    {"select Count(RegNum, 1) from Aircraft", err::SyntaxError, "Count"},
    {"select * from Aircraft where RegNum = = 'N1'", err::SyntaxError, "RegNum"},
    {"UPDATE Aircraft SET TotalLandings = 'many'", err::TypeMismatch, "TotalLandings"},
    {"UPDATE Aircraft SET RegNum = 'ABCDEFGHIJKLMNOP'", err::FieldTooSmall, "RegNum"},
    {"CREATE TABLE Aircraft (Tail TEXT)", err::TableExists, "Aircraft"},
    {"DROP TABLE Robinson", err::ObjectNotFound, "Robinson"},
};

TEST_P(JetStatements, FailuresCarryJetNumbersAndTheStatementsOwnWords) {
    addAircraft(*db, "N1");
    addPart(*db, part("N1", 1));
    const QByteArray before = fileBytes(path);
    for (const Refusal& r : kRefusals) {
        const auto e = dbErrorOf([&] {
            if (QByteArray(r.statement).startsWith("select"))
                db->openRecordset(r.statement);
            else
                db->execute(r.statement);
        });
        ASSERT_TRUE(e.has_value()) << r.statement;
        EXPECT_EQ(e->number(), r.number) << r.statement << ": " << e->text().toStdString();
        EXPECT_TRUE(e->text().contains(QLatin1String(r.named))) << e->text().toStdString();
        // Never worded as if the file were damaged, never in the translation's own names.
        EXPECT_FALSE(e->text().contains("failed on")) << e->text().toStdString();
        EXPECT_FALSE(e->text().contains("jet_")) << e->text().toStdString();
        EXPECT_FALSE(e->text().contains("COLLATE")) << e->text().toStdString();
    }
    EXPECT_EQ(fileBytes(path), before);
}

VELMORA_ON_BOTH_BACK_ENDS(JetStatements);

}  // namespace
