// The Jet SQL the screens write, run as written: selections, ordering, the template
// tables' DDL, letter case in comparisons, quoting of user text, and numbered errors for
// statements that cannot run.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/JetSqlTranslator.h"
#include "data/Schema.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using data::Recordset;
using data::Value;
namespace err = data::err;

namespace {

const char kPartsColumns[] =
    "select [RegNum],[ItemNumber],[MeterNumber],[Assembly],[Active],[PartNumber],[Serial#],"
    "[Description],[DatePurchased],[Manufacturer],[Inspection],[ReplaceCost],[ReservePerHour],"
    "[LifeNumber],[LifeBasis],[InstallDate],[InstallTimeLeft],[InstallACHour],[Notes],"
    "[OilAnalysis] from [Parts] where [RegNum]='N1'";

const char kMakeStatement[] =
    "CREATE TABLE Make(ItemNumber INTEGER,Model TEXT, Year INTEGER, Manufacturer TEXT, "
    "Description TEXT, PartNum TEXT, Assembly TEXT, TBO SINGLE, Basis TEXT, Cost CURRENCY);";

QStringList column(Recordset& rs, const QString& name) {
    QStringList out;
    if (rs.recordCount() == 0)
        return out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        out << rs.value(name).toString();
    return out;
}

class JetSql : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        path = store.createMainFile();
        db = Database::open(path);
    }

    // Components of N1 (and one of N2), stored out of order.
    void addComponents() {
        addPart(*db, part("N1", 30).describedAs("Tail rotor"));
        addPart(*db, part("n1", 10).describedAs("Main rotor").withOil());
        addPart(*db, part("N1", 20).describedAs("Old starter").inactive());
        addPart(*db, part("N2", 5).describedAs("Other aircraft"));
    }

    // Runs the statement, expects the error and checks that the file was not changed.
    void expectRejected(const QString& sql, data::ErrorNumber number) {
        const QByteArray before = fileBytes(path);
        EXPECT_DB_ERROR(db->openRecordset(sql), number);
        EXPECT_DB_ERROR(db->execute(sql), number);
        EXPECT_EQ(fileBytes(path), before);
    }

    TestStore store{GetParam()};
    TestFolder& folder = store.folder();
    QString path;
    std::shared_ptr<Database> db;
};

TEST_P(JetSql, AircraftListOrderedByRegistrationIgnoringCase) {
    addAircraft(*db, "N3");
    addAircraft(*db, "n2");
    addAircraft(*db, "N1");
    auto rs = db->openRecordset("select * from [Aircraft] Order by [RegNum]");
    EXPECT_EQ(column(*rs, "RegNum"), QStringList({"N1", "n2", "N3"}));
    EXPECT_TRUE(rs->isUpdatable());
}

TEST_P(JetSql, ActiveComponentsOfOneAircraft) {
    addComponents();
    auto rs = db->openRecordset(QString::fromLatin1(kPartsColumns) +
                                " and  [Active] = Yes Order by [ItemNumber]");
    EXPECT_EQ(column(*rs, "ItemNumber"), QStringList({"10", "30"}));
    EXPECT_EQ(rs->fieldCount(), 20);
    EXPECT_GE(rs->fieldIndex("Serial#"), 0);
    EXPECT_TRUE(rs->isUpdatable());
}

TEST_P(JetSql, RemovedComponentsOfOneAircraft) {
    addComponents();
    auto rs = db->openRecordset(QString::fromLatin1(kPartsColumns) +
                                " and  [Active] = No Order by [ItemNumber]");
    EXPECT_EQ(column(*rs, "Description"), QStringList({"Old starter"}));
}

TEST_P(JetSql, AllComponentsOfOneAircraftByAssembly) {
    addComponents();
    auto rs = db->openRecordset(QString::fromLatin1(kPartsColumns) + "  Order by [Assembly]");
    EXPECT_EQ(rs->recordCount(), 3);
}

TEST_P(JetSql, ComponentsWithOilAnalysis) {
    addComponents();
    auto rs = db->openRecordset(
        "select [Description] from [Parts] where [RegNum]='N1' and [OilAnalysis]=-1");
    EXPECT_EQ(column(*rs, "Description"), QStringList({"Main rotor"}));
}

TEST_P(JetSql, OilSamplesOfOneComponentByDate) {
    auto oil = db->openRecordset("Oil");
    for (const char* date : {"2005-03-01", "2004-12-24", "2005-01-15"}) {
        oil->addNew();
        oil->setValue("RegNum", "N1");
        oil->setValue("Component", "gearbox");
        oil->setValue("DatePerformed", date);
        oil->setValue("Iron", 2.5);
        oil->update();
    }
    oil->addNew();
    oil->setValue("RegNum", "N1");
    oil->setValue("Component", "Engine");
    oil->setValue("DatePerformed", "2005-02-01");
    oil->update();
    auto rs = db->openRecordset(
        "select [RegNum],[Component],[DatePerformed],[Iron],[Chromium],[Nickel],[Aluminum],"
        "[Lead],[Copper],[Tin],[Silver],[Titanium],[Silicon],[Boron],[Sodium],[Potassium],"
        "[Molybdenum],[Phosphorus],[Zinc],[Calcium],[Barium],[Magnesium],[Antimony],[Vanadium],"
        "[EngineHrs] from [Oil] where [RegNum]='N1' and [Component]='Gearbox' order by "
        "[DatePerformed] ");
    EXPECT_EQ(column(*rs, "DatePerformed"),
              QStringList({"2004-12-24", "2005-01-15", "2005-03-01"}));
    EXPECT_EQ(rs->fieldCount(), 25);
}

TEST_P(JetSql, MakeTemplateTableIsCreatedAndRead) {
    const QString templates = store.createTemplateFile();
    auto tdb = Database::open(templates);
    EXPECT_DB_ERROR(tdb->openRecordset("select [ItemNumber] from Bell"), err::ObjectNotFound);
    tdb->execute(data::schema::templateTableStatement("Bell"));
    ASSERT_TRUE(tdb->hasTable("Bell"));
    tdb->execute(
        "INSERT INTO Bell (ItemNumber, Model, [Year], TBO, Basis, Cost) VALUES "
        "(1, '206', 1998, 1500.5, 'OH', 2500.125)");
    tdb->execute("INSERT INTO Bell (ItemNumber, Model) VALUES (2, '407')");
    for (const char* select : {"select", "Select"}) {
        auto rs = tdb->openRecordset(
            QString::fromLatin1(select) +
            " [ItemNumber],[Model],[Year],[Manufacturer],[Description],[TBO],[PartNum],"
            "[Assembly],[Basis],[Cost] from Bell where [Model]='206'");
        ASSERT_EQ(rs->recordCount(), 1);
        EXPECT_EQ(rs->value("Year").toInt(), 1998);
        EXPECT_DOUBLE_EQ(rs->value("TBO").toDouble(), 1500.5);
        EXPECT_EQ(rs->value("Cost").toDouble(), 2500.125);
        EXPECT_TRUE(rs->value("Manufacturer").isNull());
    }
}

TEST_P(JetSql, MakeStatementAsWrittenCreatesTheTable) {
    EXPECT_EQ(db->execute(kMakeStatement), 0);
    ASSERT_TRUE(db->hasTable("make"));
    auto rs = db->openRecordset("Make");
    const QStringList expected = {"ItemNumber", "Model",    "Year", "Manufacturer", "Description",
                                  "PartNum",    "Assembly", "TBO",  "Basis",        "Cost"};
    ASSERT_EQ(rs->fieldCount(), expected.size());
    for (int i = 0; i < rs->fieldCount(); ++i)
        EXPECT_EQ(rs->field(i).name, expected[i]);
    EXPECT_DB_ERROR(db->execute(kMakeStatement), err::TableExists);
}

TEST_P(JetSql, TemplatesListOrderedByMake) {
    const QString templates = store.createTemplateFile();
    auto tdb = Database::open(templates);
    tdb->execute(R"(INSERT INTO Aircraft (Make, Model) VALUES ("Robinson", "R44"))");
    tdb->execute(R"(INSERT INTO Aircraft (Make, Model) VALUES ("bell", "206"))");
    tdb->execute(R"(INSERT INTO Aircraft (Make, Model) VALUES ("Agusta", "109"))");
    auto rs = tdb->openRecordset("select * from [Aircraft] Order by [Make]");
    EXPECT_EQ(column(*rs, "Make"), QStringList({"Agusta", "bell", "Robinson"}));
}

TEST_P(JetSql, TextComparisonsIgnoreCase) {
    db->execute(kMakeStatement);
    db->execute("INSERT INTO Make (ItemNumber, Model) VALUES (1, '206B')");
    db->execute("INSERT INTO Make (ItemNumber, Model) VALUES (2, '206b')");
    db->execute("INSERT INTO Make (ItemNumber, Model) VALUES (3, '407')");
    EXPECT_EQ(db->openRecordset("select * from Make where [Model]='206B'")->recordCount(), 2);
    EXPECT_EQ(db->openRecordset("select * from Make where '206b' = [Model]")->recordCount(), 2);
    EXPECT_EQ(db->openRecordset("select * from Make where [Model] < '3'")->recordCount(), 2);
    EXPECT_EQ(db->openRecordset("select distinct [Model] from Make")->recordCount(), 2);
}

TEST_P(JetSql, JetLiteralsAndOperators) {
    addAircraft(*db, "N1", 100);
    db->execute(R"(UPDATE Aircraft SET Make = "Bell", TrackCycles = True, ShowCost = No)");
    auto rs = db->openRecordset(
        R"(SELECT [Make] & "-" & [RegNum] AS Name, #1/31/2005# AS D, TrackCycles = Yes AS T, )"
        R"(5 Mod 3 AS M, 'Yes' AS Word FROM Aircraft WHERE ShowCost = False)");
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("Name").toString(), "Bell-N1");
    EXPECT_EQ(rs->value("D").toString(), "2005-01-31");
    EXPECT_EQ(rs->value("T").toInt(), -1);  // True is -1 wherever a comparison is a value
    EXPECT_EQ(rs->value("M").toInt(), 2);
    EXPECT_EQ(rs->value("Word").toString(), "Yes");
}

TEST_P(JetSql, IIfWithEmptyThirdArgumentGivesNull) {
    addAircraft(*db, "N1", 100);
    auto rs = db->openRecordset(
        "SELECT IIf([TotalTime]>50,[TotalTime]*2, ) AS Big, IIf([TotalTime]>500,1, ) AS Huge, "
        "IIf([TotalTime]>500,1,0) AS Zero, IIf([Make] Is Null,'none','some') AS M FROM Aircraft");
    EXPECT_EQ(rs->value("Big").toDouble(), 200);
    EXPECT_TRUE(rs->value("Huge").isNull());
    EXPECT_EQ(rs->value("Zero").toInt(), 0);
    EXPECT_EQ(rs->value("M").toString(), "none");
}

TEST_P(JetSql, DeleteStarAndTop) {
    addAircraft(*db, "N1");
    addAircraft(*db, "N2");
    addAircraft(*db, "N3");
    auto top = db->openRecordset("SELECT TOP 2 * FROM Aircraft ORDER BY RegNum DESC");
    EXPECT_EQ(column(*top, "RegNum"), QStringList({"N3", "N2"}));
    EXPECT_EQ(db->execute("DELETE * FROM Aircraft WHERE RegNum <> 'N2'"), 2);
    EXPECT_EQ(db->openRecordset("Aircraft")->recordCount(), 1);
}

// INSERT without a column list fills the table's columns in their order, from VALUES or from
// a SELECT of other columns or of another table's rows, on either back end; the row id a
// table carries on the server is none of them.
TEST_P(JetSql, InsertWithoutAColumnListFillsTheColumnsInOrder) {
    db->execute("CREATE TABLE Pair (A LONG, B TEXT(10))");
    db->execute("INSERT INTO Pair VALUES (1, 'one')");
    db->execute("INSERT INTO Pair SELECT 2, 'two'");
    db->execute("INSERT INTO Pair SELECT A + 10, B FROM Pair");
    db->execute("CREATE TABLE Copy (A LONG, B TEXT(10))");
    db->execute("INSERT INTO Copy SELECT * FROM Pair WHERE A < 10");
    db->execute("INSERT INTO Copy SELECT Pair.* FROM Pair WHERE A > 10");
    auto rs = db->openRecordset("SELECT A, B FROM Copy ORDER BY A");
    EXPECT_EQ(column(*rs, "A"), QStringList({"1", "2", "11", "12"}));
    EXPECT_EQ(column(*rs, "B"), QStringList({"one", "two", "one", "two"}));
    // Rows added after the copies get row ids of their own, and the copies can be changed.
    db->execute("INSERT INTO Copy VALUES (3, 'three')");
    auto table = db->openRecordset("Copy");
    EXPECT_EQ(table->recordCount(), 5);
    EXPECT_EQ(db->execute("UPDATE Copy SET B = 'x' WHERE A = 1"), 1);
    // Too many or too few values are refused, never put into other columns.
    for (const char* sql : {"INSERT INTO Copy VALUES (4, 'four', 5)", "INSERT INTO Copy VALUES (4)",
                            "INSERT INTO Copy SELECT A FROM Pair"}) {
        const auto e = dbErrorOf([&] { db->execute(QString::fromLatin1(sql)); });
        ASSERT_TRUE(e.has_value()) << sql;
    }
    EXPECT_EQ(db->openRecordset("Copy")->recordCount(), 5);
}

// * stands for a table's own columns wherever rows are compared or combined: rows alike from
// two tables are one row in a UNION or a DISTINCT, on either back end.
TEST_P(JetSql, StarIsTheTablesOwnColumnsInUnionsDistinctAndSubqueries) {
    db->execute("CREATE TABLE Pair (A LONG, B TEXT(10))");
    db->execute("CREATE TABLE Copy (A LONG, B TEXT(10))");
    db->execute("INSERT INTO Copy VALUES (9, 'nine')");
    for (const char* row : {"(1, 'one')", "(2, 'two')"}) {
        db->execute(QStringLiteral("INSERT INTO Pair VALUES %1").arg(QLatin1String(row)));
        db->execute(QStringLiteral("INSERT INTO Copy VALUES %1").arg(QLatin1String(row)));
    }
    db->execute("DELETE FROM Copy WHERE A = 9");
    auto count = [&](const char* sql) {
        return db->openRecordset(QLatin1String(sql))->recordCount();
    };
    EXPECT_EQ(count("SELECT * FROM Pair UNION SELECT * FROM Copy"), 2);
    EXPECT_EQ(count("SELECT Copy.* FROM Copy UNION SELECT p.* FROM Pair AS p"), 2);
    EXPECT_EQ(count("SELECT * FROM (SELECT * FROM Pair UNION ALL SELECT * FROM Copy) AS u"), 4);
    EXPECT_EQ(count("SELECT DISTINCT * FROM (SELECT * FROM Pair UNION ALL SELECT * FROM Copy) u"),
              2);
    EXPECT_EQ(count("SELECT * FROM Pair WHERE A IN (SELECT A FROM (SELECT * FROM Copy) AS c)"), 2);
    auto joined = db->openRecordset(
        "SELECT DISTINCT * FROM Pair AS p INNER JOIN (SELECT * FROM Copy) AS c ON p.A = c.A "
        "ORDER BY p.A");
    EXPECT_EQ(joined->fieldCount(), 4);
    EXPECT_EQ(joined->recordCount(), 2);
    // A statement that reads one table still gives rows that can be changed.
    auto one = db->openRecordset("SELECT * FROM Pair WHERE B = 'two'");
    one->edit();
    one->setValue("A", Value(22));
    one->update();
    EXPECT_EQ(count("SELECT * FROM Pair WHERE A = 22"), 1);
    // A stored query keeps its * as written and reads the same.
    db->createQueryDef("Both", "SELECT * FROM Pair UNION SELECT * FROM Copy");
    EXPECT_EQ(db->openRecordset("Both")->recordCount(), 3);
    // Text that looks like the engine's own names stays as written.
    EXPECT_EQ(db->openRecordset("SELECT '__velmora_star_0__' AS T, * FROM Pair "
                                "UNION SELECT '__velmora_star_0__', * FROM Copy")
                  ->recordCount(),
              3);
    auto literal = db->openRecordset(
        "SELECT '__velmora_star_0__' AS T, [__velmora_star_1__], * "
        "FROM (SELECT A AS [__velmora_star_1__] FROM Pair) AS p");
    EXPECT_EQ(literal->value("T").toString(), "__velmora_star_0__");
    EXPECT_EQ(literal->fieldCount(), 3);
    auto first = db->openRecordset("SELECT '__velmora_star_0__' AS T, * FROM Pair ORDER BY A");
    EXPECT_EQ(first->value("T").toString(), "__velmora_star_0__");
    EXPECT_EQ(first->value("B").toString(), "one");
}

TEST_P(JetSql, ChangedRowCountIsOfTheStatementItself) {
    addAircraft(*db, "N1");
    addAircraft(*db, "N2");
    EXPECT_EQ(db->execute("UPDATE Aircraft SET TotalTime = 1"), 2);
    EXPECT_EQ(db->execute(kMakeStatement), 0);
    EXPECT_EQ(db->execute("UPDATE Aircraft SET TotalTime = 1 WHERE RegNum = 'N9'"), 0);
}

TEST_P(JetSql, EngineFunctionsUnderTheirJetNames) {
    addAircraft(*db, "  n1 ", 1234.5);
    auto rs = db->openRecordset(
        "SELECT UCase(Trim([RegNum])) AS R, Len([RegNum]) AS L, Left('Bell 206', 4) AS B, "
        "Mid('Bell 206', 6) AS Mo, Nz([Make], 'unknown') AS Mk, Val('12.5 hours') AS V, "
        "Year(#2/28/2005#) AS Y, Format([TotalTime], '#####0.0') AS F FROM Aircraft");
    EXPECT_EQ(rs->value("R").toString(), "N1");
    EXPECT_EQ(rs->value("L").toInt(), 5);
    EXPECT_EQ(rs->value("B").toString(), "Bell");
    EXPECT_EQ(rs->value("Mo").toString(), "206");
    EXPECT_EQ(rs->value("Mk").toString(), "unknown");
    EXPECT_EQ(rs->value("V").toDouble(), 12.5);
    EXPECT_EQ(rs->value("Y").toInt(), 2005);
    EXPECT_EQ(rs->value("F").toString(), "1234.5");
}

TEST_P(JetSql, WordsAndSymbolsInsideLiteralsAndBracketsStayAsWritten) {
    db->execute("CREATE TABLE Odd ([Yes & No] TEXT, [a--b] TEXT, [Serial#] TEXT)");
    db->execute(R"(INSERT INTO Odd ([Yes & No], [a--b], [Serial#]) VALUES )"
                R"(('Yes & #1/1/05# -- /* x', "say ""Yes""", "a'b"))");
    auto rs = db->openRecordset(
        R"(select [Yes & No], [a--b], 'No & #1/2/05#' AS L from [Odd] where [Serial#] = "a'b")");
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("Yes & No").toString(), "Yes & #1/1/05# -- /* x");
    EXPECT_EQ(rs->value("a--b").toString(), R"(say "Yes")");
    EXPECT_EQ(rs->value("L").toString(), "No & #1/2/05#");
    EXPECT_TRUE(rs->isUpdatable());
}

TEST_P(JetSql, QuotingHelpersKeepUserTextOneLiteralOrName) {
    EXPECT_EQ(data::quoteJetLiteral("N'1"), "'N''1'");
    EXPECT_EQ(data::quoteJetName("Bell 206"), "[Bell 206]");
    EXPECT_DB_ERROR(data::quoteJetName("Bell]; DROP TABLE Parts"), err::SyntaxError);
}

TEST_P(JetSql, QuoteInRegistrationSelectsThatAircraftOnly) {
    addAircraft(*db, "N'1");
    addAircraft(*db, "N1");
    for (const QString& reg : {QStringLiteral("N'1"), QStringLiteral("x' OR 'a'='a")}) {
        const QString sql = "select * from [Aircraft] where [RegNum]=" + data::quoteJetLiteral(reg);
        auto rs = db->openRecordset(sql);
        EXPECT_EQ(column(*rs, "RegNum"), reg == "N'1" ? QStringList{"N'1"} : QStringList{});
    }
    EXPECT_EQ(db->execute("DELETE FROM Aircraft WHERE RegNum = " +
                          data::quoteJetLiteral("N1' OR '1'='1")),
              0);
    EXPECT_EQ(db->openRecordset("Aircraft")->recordCount(), 2);
}

TEST_P(JetSql, MakeWithQuotesAndBlanksGetsItsOwnTable) {
    const QString templates = store.createTemplateFile();
    auto tdb = Database::open(templates);
    const QString make = R"(O'Brien "Rotor" Works)";
    tdb->execute(data::schema::templateTableStatement(make));
    EXPECT_TRUE(tdb->hasTable(make));
    tdb->execute("INSERT INTO " + data::quoteJetName(make) + " (ItemNumber, Model) VALUES (1, " +
                 data::quoteJetLiteral("O'B 1") + ")");
    auto rs = tdb->openRecordset("select [ItemNumber],[Model] from " + data::quoteJetName(make) +
                                 " where [Model]=" + data::quoteJetLiteral("o'b 1"));
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(tdb->tableNames(), QStringList({"Aircraft", make}));
    const QByteArray before = fileBytes(templates);
    EXPECT_DB_ERROR(tdb->execute(data::schema::templateTableStatement("Bell]")), err::SyntaxError);
    EXPECT_EQ(fileBytes(templates), before);
}

TEST_P(JetSql, DataPathWithQuotesAndBlanks) {
    const QString sub = folder.file(QStringLiteral("O'Hare \"Base\""));
    ASSERT_TRUE(QDir().mkpath(sub));
    const QString file = sub + QStringLiteral("/Timemgr.mdb");
    data::schema::createMainFile(file);
    auto other = Database::open(file);
    addAircraft(*other, "N1");
    EXPECT_EQ(other->openRecordset("select * from [Aircraft] Order by [RegNum]")->recordCount(), 1);
}

TEST_P(JetSql, SyntaxErrorsAreNumbered) {
    addAircraft(*db, "N1");
    expectRejected("select from where", err::SyntaxError);
    expectRejected("select * from [Aircraft] Order by", err::SyntaxError);
    expectRejected("select * from [Aircraft] where [RegNum]='N1", err::SyntaxError);
    expectRejected("select * from [Aircraft where [RegNum]='N1'", err::SyntaxError);
    expectRejected("select * from Aircraft where RegNum = ?", err::SyntaxError);
    expectRejected("select IIf(1) from Aircraft", err::SyntaxError);
    expectRejected("select * from Aircraft where (RegNum = 'N1'", err::SyntaxError);
    expectRejected("select * from Aircraft where [Installed] > #13/45/2005#", err::SyntaxError);
    EXPECT_DB_ERROR(db->execute(""), err::SyntaxError);
    EXPECT_DB_ERROR(db->execute("  ;  "), err::SyntaxError);
    EXPECT_DB_ERROR(db->openRecordset("   "), err::ObjectNotFound);
}

TEST_P(JetSql, OnlyOneStatementRuns) {
    addAircraft(*db, "N1");
    const QByteArray before = fileBytes(path);
    EXPECT_DB_ERROR(db->execute("DELETE FROM Aircraft; DROP TABLE Parts"), err::SyntaxError);
    EXPECT_DB_ERROR(db->openRecordset("select * from Aircraft; DELETE FROM Aircraft"),
                    err::SyntaxError);
    // A record source that is a change is refused, not run.
    EXPECT_DB_ERROR(db->openRecordset("DELETE FROM Aircraft"), err::SyntaxError);
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_TRUE(db->hasTable("Parts"));
}

TEST_P(JetSql, UnknownTableIsObjectNotFound) {
    const QByteArray before = fileBytes(path);
    EXPECT_DB_ERROR(db->openRecordset("Robinson"), err::ObjectNotFound);
    EXPECT_DB_ERROR(db->openRecordset("[Robinson]"), err::ObjectNotFound);
    expectRejected("select [ItemNumber] from Robinson where [Model]='R44'", err::ObjectNotFound);
    EXPECT_DB_ERROR(db->execute("DELETE * FROM Robinson"), err::ObjectNotFound);
    EXPECT_DB_ERROR(db->execute("INSERT INTO Robinson (Model) VALUES ('R44')"),
                    err::ObjectNotFound);
    const auto e = dbErrorOf([&] { db->openRecordset("select * from Robinson"); });
    ASSERT_TRUE(e.has_value());
    EXPECT_TRUE(e->text().contains("Robinson")) << e->text().toStdString();
    EXPECT_EQ(fileBytes(path), before);
}

TEST_P(JetSql, UnknownColumnIsNumbered) {
    addAircraft(*db, "N1");
    expectRejected("select [TailNumber] from [Aircraft]", err::TooFewParameters);
    expectRejected("select * from [Aircraft] Order by [TailNumber]", err::TooFewParameters);
    EXPECT_DB_ERROR(db->execute("UPDATE Aircraft SET TailNumber = 'x'"), err::TooFewParameters);
    const auto e = dbErrorOf([&] { db->openRecordset("select [TailNumber] from [Aircraft]"); });
    ASSERT_TRUE(e.has_value());
    EXPECT_TRUE(e->text().contains("TailNumber")) << e->text().toStdString();
}

TEST_P(JetSql, UnknownFunctionIsNumbered) {
    addAircraft(*db, "N1");
    expectRejected("select Frobnicate([RegNum]) from [Aircraft]", err::UndefinedFunction);
}

TEST_P(JetSql, SelectIsNotUpdatableWhenItGroupsOrJoins) {
    addAircraft(*db, "N1");
    addPart(*db, part("N1", 1));
    EXPECT_FALSE(db->openRecordset("select count(*) AS N from Parts")->isUpdatable());
    EXPECT_FALSE(db->openRecordset("select distinct RegNum from Parts")->isUpdatable());
    EXPECT_FALSE(db->openRecordset("select [RegNum] from Parts group by [RegNum]")->isUpdatable());
    EXPECT_TRUE(
        db->openRecordset("select [RegNum] from Parts where [ItemNumber] = 1")->isUpdatable());
}

VELMORA_ON_BOTH_BACK_ENDS(JetSql);

}  // namespace

// Values bound to ?1, ?2, ... of Jet text: the rest of the statement is still Jet (Yes,
// brackets, its text comparison), and no value, whatever it holds, changes the statement.
TEST_P(JetSql, BoundValuesGoIntoJetTextAsValuesOnly) {
    addComponents();
    addAircraft(*db, "N1");
    auto rs = db->openRecordset(
        "select [Description] from [Parts] where [RegNum]=?1 and [Active] = Yes "
        "Order by [ItemNumber]",
        {Value(QStringLiteral("n1  "))});
    EXPECT_EQ(column(*rs, "Description"), QStringList({"Main rotor", "Tail rotor"}));

    const QString hostile = QStringLiteral("N1' or 'a'='a");
    EXPECT_EQ(db->openRecordset("select * from [Parts] where [RegNum]=?1", {Value(hostile)})
                  ->recordCount(),
              0);
    EXPECT_EQ(db->execute("UPDATE [Parts] SET [Notes] = ?1 WHERE [RegNum] = ?2 AND "
                          "[ItemNumber] = ?3",
                          {Value(hostile), Value(QStringLiteral("N1")), Value(30)}),
              1);
    EXPECT_EQ(db->openRecordset("select [Notes] from [Parts] where [ItemNumber]=30")
                  ->value("Notes")
                  .toString(),
              hostile);
    EXPECT_EQ(db->execute("DELETE FROM [Parts] WHERE [RegNum] = ?1", {Value(hostile)}), 0);
    EXPECT_EQ(db->openRecordset("Parts")->recordCount(), 4);
}

TEST_P(JetSql, ARequeryKeepsItsBoundValues) {
    addComponents();
    auto rs = db->openRecordset("select * from [Parts] where [RegNum]=?1", {Value("N2")});
    EXPECT_EQ(rs->recordCount(), 1);
    addPart(*db, part("N2", 6).describedAs("Second part"));
    rs->requery();
    EXPECT_EQ(column(*rs, "Description"), QStringList({"Other aircraft", "Second part"}));
}

TEST_P(JetSql, MarkersAndValuesMustMatch) {
    addComponents();
    const QByteArray before = fileBytes(path);
    EXPECT_DB_ERROR(db->openRecordset("select * from [Parts] where [RegNum]=?1"),
                    err::TooFewParameters);
    EXPECT_DB_ERROR(
        db->openRecordset("select * from [Parts] where [RegNum]=?1", {Value("N1"), Value("N2")}),
        err::TooFewParameters);
    EXPECT_DB_ERROR(db->execute("DELETE FROM [Parts] WHERE [RegNum] = ?1"), err::TooFewParameters);
    EXPECT_EQ(fileBytes(path), before);
}
