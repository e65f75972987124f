// Statements that try to reach beyond the data set: the database engine's own functions
// (which read memory, files or settings, or allocate without bound) and its catalog tables.
// Jet knows none of them: each is refused with Jet's number before anything runs, on the
// files and on the server alike, whether typed, kept as a stored query or used as a find
// criterion, and the data stays as it was.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/Recordset.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using data::Value;
namespace err = data::err;

namespace {

// Functions of SQLite and of PostgreSQL that Jet does not have, and the engine's own
// helpers behind its operators, which are no Jet functions either.
const char* const kForeignFunctions[] = {
    "fts3_tokenizer('simple')",
    "hex(fts3_tokenizer('simple'))",
    "randomblob(999000000)",
    "zeroblob(999000000)",
    "hex('x')",
    "printf('%s', 'x')",
    "sqlite_version()",
    "load_extension('x')",
    "typeof(1)",
    "pg_read_file('/etc/hostname')",
    "lo_import('/etc/passwd')",
    "set_config('log_statement', 'none', false)",
    "query_to_xml('select 1', true, true, '')",
    "current_setting('data_directory')",
    "version()",
    "pg_ls_dir('.')",
    "jet_cat('a', 'b')",
    "jet_text('A')",
    "jet_fail(5, 'x', 1)",
};

// Tables and views of the engines' catalogs, and their table-valued functions.
const char* const kCatalogNames[] = {
    "sqlite_master", "sqlite_schema",      "sqlite_temp_master",   "sqlite_sequence",
    "dbstat",        "json_each",          "pragma_function_list", "[pragma_table_info]",
    "pg_user",       "PG_DATABASE",        "pg_stat_activity",     "pg_shadow",
    "[pg_settings]", "information_schema",
};

class HostileStatements : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        path = store.createMainFile();
        db = Database::open(path);
        addAircraft(*db, "N1", 100);
        addPart(*db, part("N1", 1).describedAs("Main rotor blade"));
        before = storedContent(path);
    }

    // Expects the statement refused with the number, with nothing of it run.
    void expectRefused(const QString& what, data::ErrorNumber number,
                       const std::function<void()>& statement) {
        const auto e = dbErrorOf(statement);
        ASSERT_TRUE(e.has_value()) << what.toStdString() << " ran";
        EXPECT_EQ(e->number(), number) << what.toStdString() << ": " << e->text().toStdString();
    }

    TestStore store{GetParam()};
    QString path;
    std::shared_ptr<Database> db;
    QByteArray before;
};

TEST_P(HostileStatements, FunctionsJetDoesNotHaveAreUndefinedWhereverTheyStand) {
    for (const char* f : kForeignFunctions) {
        const QString call = QString::fromLatin1(f);
        const QStringList statements = {
            "SELECT " + call + " AS X",
            "SELECT TOP 1 " + call + " AS X FROM Aircraft",
            "SELECT RegNum FROM Aircraft WHERE RegNum = 'N1' AND " + call + " IS NOT NULL",
            "SELECT RegNum FROM Aircraft ORDER BY " + call,
            "SELECT RegNum FROM Aircraft WHERE RegNum IN (SELECT " + call + " FROM Parts)",
            "UPDATE Parts SET Description = " + call + " WHERE ItemNumber = 1",
            "INSERT INTO Parts (RegNum, ItemNumber, Description) VALUES ('N1', 9, " + call + ")",
            "DELETE FROM Parts WHERE " + call + " IS NULL",
            "CREATE TABLE Hostile (A TEXT(10) DEFAULT " + call + ")",
            "CREATE TABLE Hostile (A TEXT(10), CHECK (" + call + " IS NOT NULL))",
        };
        // Were one to run, it would be undone.
        data::ScratchTransaction undone(*db);
        for (const QString& sql : statements) {
            expectRefused(sql, err::UndefinedFunction, [&] { db->execute(sql); });
            if (sql.startsWith(u"SELECT"))
                expectRefused(sql, err::UndefinedFunction, [&] { db->openRecordset(sql); });
        }
        // Jet's own words, with the name as the statement spells it.
        const auto e = dbErrorOf([&] { db->openRecordset("SELECT " + call + " AS X"); });
        ASSERT_TRUE(e.has_value());
        const QString name = call.left(call.indexOf(u'('));
        EXPECT_EQ(e->text(), QStringLiteral("Undefined function '%1' in expression.").arg(name));
        expectRefused(call, err::UndefinedFunction,
                      [&] { db->createQueryDef("Hostile", "SELECT " + call + " AS X"); });
        expectRefused(call, err::UndefinedFunction, [&] {
            db->openRecordset("Aircraft")->findFirst("RegNum = 'N1' AND " + call + " IS NULL");
        });
    }
    EXPECT_FALSE(db->hasQueryDef("Hostile"));
    EXPECT_FALSE(db->hasTable("Hostile"));
    EXPECT_EQ(storedContent(path), before);
}

TEST_P(HostileStatements, JetFunctionsAndAggregatesStillRun) {
    auto rs = db->openRecordset(
        "SELECT UCase(RegNum) AS R, Count(*) AS N, Sum(TotalTime) AS S, Min(TotalTime) AS A, "
        "Max(TotalTime) AS B, Avg(TotalTime) AS C FROM Aircraft GROUP BY UCase(RegNum)");
    EXPECT_EQ(rs->value("R"), Value("N1"));
    EXPECT_EQ(rs->value("N").toInt(), 1);
    EXPECT_EQ(rs->value("C").toDouble(), 100.0);
}

// A stored query kept in the file by another program is translated like typed SQL.
TEST_P(HostileStatements, StoredQueryTextIsHeldToTheSameRules) {
    db->createQueryDef("Kept", "SELECT RegNum FROM Aircraft");
    db->executeBound(store.backEnd() == BackEnd::File
                         ? "UPDATE _StoredQueries SET SqlText = ?1 WHERE Name = 'Kept'"
                         : "UPDATE _storedqueries SET sqltext = ?1 WHERE name = 'Kept'",
                     {Value("SELECT hex(fts3_tokenizer('simple')) AS P FROM Aircraft")});
    expectRefused("Kept", err::UndefinedFunction, [&] { db->openRecordset("Kept"); });
    db->executeBound(store.backEnd() == BackEnd::File
                         ? "UPDATE _StoredQueries SET SqlText = ?1 WHERE Name = 'Kept'"
                         : "UPDATE _storedqueries SET sqltext = ?1 WHERE name = 'Kept'",
                     {Value("SELECT * FROM pg_user")});
    expectRefused("Kept", err::ObjectNotFound, [&] { db->openRecordset("Kept"); });
}

TEST_P(HostileStatements, CatalogTablesAreNoTablesOfTheDataSet) {
    for (const char* n : kCatalogNames) {
        const QString name = QString::fromLatin1(n);
        const QStringList statements = {
            "SELECT * FROM " + name,
            "SELECT Count(*) AS N FROM " + name,
            "SELECT A.RegNum FROM Aircraft AS A INNER JOIN " + name + " AS S ON A.RegNum = S.name",
            "SELECT RegNum FROM Aircraft, " + name,
            "SELECT RegNum FROM Aircraft WHERE Exists (SELECT 1 FROM " + name + ")",
            "INSERT INTO " + name + " (name) VALUES ('x')",
            "INSERT INTO Parts (RegNum) SELECT name FROM " + name,
            "UPDATE " + name + " SET name = 'x'",
            "DELETE FROM " + name,
            "DROP TABLE " + name,
            "CREATE TABLE " + name + " (A TEXT(10))",
            "CREATE INDEX Hostile ON " + name + " (name)",
            "ALTER TABLE " + name + " ADD COLUMN B TEXT(10)",
            "CREATE TABLE Hostile (A TEXT(10) REFERENCES " + name + " (name))",
        };
        // Were one to run, it would be undone: the test server's own catalog is at stake.
        data::ScratchTransaction undone(*db);
        for (const QString& sql : statements)
            expectRefused(sql, err::ObjectNotFound, [&] { db->execute(sql); });
        expectRefused(name, err::ObjectNotFound, [&] { db->openRecordset(name); });
    }
    EXPECT_EQ(storedContent(path), before);
}

TEST_P(HostileStatements, NamesQualifiedWithASchemaAreRefused) {
    const std::pair<const char*, data::ErrorNumber> cases[] = {
        {"main.Aircraft", err::SyntaxError},
        {"temp.sqlite_master", err::SyntaxError},
        {"timemgr.aircraft", err::SyntaxError},
        {"pg_catalog.pg_user", err::ObjectNotFound},
        {"information_schema.tables", err::ObjectNotFound},
    };
    for (const auto& [name, number] : cases) {
        const QString sql = QStringLiteral("SELECT * FROM %1").arg(QLatin1String(name));
        expectRefused(sql, number, [&] { db->openRecordset(sql); });
    }
    // A bracketed name with a dot is one name, which the data set does not have.
    expectRefused("[pg_catalog.pg_user]", err::ObjectNotFound,
                  [&] { db->openRecordset("SELECT * FROM [pg_catalog.pg_user]"); });
    expectRefused("[timemgr.aircraft]", err::ObjectNotFound,
                  [&] { db->openRecordset("SELECT * FROM [timemgr.aircraft]"); });
}

// Column definitions pass on constraints only: a computed column or a call among them would
// put a function into the data file's schema without the checks above.
TEST_P(HostileStatements, ColumnDefinitionsCarryNoCalls) {
    for (const char* def :
         {"A INTEGER AS (randomblob(5))", "A INTEGER GENERATED ALWAYS AS (hex(1)) STORED",
          "A TEXT(10) COLLATE NOCASE, B INTEGER AS (length(A))",
          "A INTEGER REFERENCES Aircraft (RegNum) ON DELETE SET DEFAULT, B INTEGER AS (hex(A))",
          "A TEXT(10), UNIQUE (A), C INTEGER AS (pg_read_file('x'))"}) {
        const QString sql = QStringLiteral("CREATE TABLE Hostile (%1)").arg(QLatin1String(def));
        expectRefused(sql, err::SyntaxError, [&] { db->execute(sql); });
    }
    EXPECT_FALSE(db->hasTable("Hostile"));
    // Keys and references still read.
    db->execute("CREATE TABLE Kept (A TEXT(10) NOT NULL, B LONG, PRIMARY KEY (A), UNIQUE (B))");
    EXPECT_TRUE(db->hasTable("Kept"));
}

VELMORA_ON_BOTH_BACK_ENDS(HostileStatements);

// A data file written by another program may carry triggers and views that call functions
// with side effects. The engine does not trust the file's schema: such a call fails with a
// numbered error when the trigger or view would run it, and nothing is written.
class HostileDataFile : public ::testing::Test {
  protected:
    void SetUp() override {
        path = folder.createMainFile();
        auto db = Database::open(path);
        addAircraft(*db, "N1", 100);
        addPart(*db, part("N1", 1));
        db->executeBound("CREATE TABLE Scratch (P TEXT)", {});
        db->executeBound(
            "CREATE TRIGGER Evil AFTER UPDATE ON Aircraft BEGIN "
            "INSERT INTO Scratch VALUES (fts3_tokenizer('simple', randomblob(8))); "
            "END",
            {});
        db->executeBound("CREATE VIEW Leak AS SELECT hex(fts3_tokenizer('simple')) AS P", {});
        db->executeBound("CREATE VIEW Greedy AS SELECT length(randomblob(999000000)) AS P", {});
        db->executeBound(
            "CREATE TRIGGER Greedy AFTER DELETE ON Parts BEGIN "
            "INSERT INTO Scratch VALUES (load_extension('libc.so.6')); END",
            {});
    }
    TestFolder folder;
    QString path;
};

TEST_F(HostileDataFile, ItsTriggersAndViewsCannotCallUnsafeFunctions) {
    auto db = Database::open(path);
    const QByteArray before = fileBytes(path);
    // Each is refused as it is prepared, naming what the file holds.
    const auto update = dbErrorOf([&] { db->execute("UPDATE Aircraft SET TotalTime = 5"); });
    ASSERT_TRUE(update.has_value()) << "the trigger ran";
    EXPECT_EQ(update->number(), err::UndefinedFunction);
    EXPECT_TRUE(update->text().contains("'Evil'")) << update->text().toStdString();
    EXPECT_TRUE(update->text().contains("'fts3_tokenizer'")) << update->text().toStdString();
    const auto remove = dbErrorOf([&] { db->execute("DELETE FROM Parts"); });
    ASSERT_TRUE(remove.has_value()) << "the trigger ran";
    EXPECT_EQ(remove->number(), err::UndefinedFunction);
    EXPECT_TRUE(remove->text().contains("'load_extension'")) << remove->text().toStdString();
    const auto greedy = dbErrorOf([&] { db->openRecordset("SELECT P FROM Greedy"); });
    ASSERT_TRUE(greedy.has_value()) << "the view allocated its gigabyte";
    EXPECT_EQ(greedy->number(), err::UndefinedFunction);
    EXPECT_TRUE(greedy->text().contains("'randomblob'")) << greedy->text().toStdString();
    // A view whose columns cannot even be worked out is named too.
    for (const char* source : {"SELECT P FROM Leak", "Leak"}) {
        const auto view = dbErrorOf([&] { db->openRecordset(QString::fromLatin1(source)); });
        ASSERT_TRUE(view.has_value()) << "the view gave an address";
        EXPECT_EQ(view->number(), err::SyntaxError);
        EXPECT_TRUE(view->text().contains("'Leak'")) << view->text().toStdString();
    }
    EXPECT_EQ(fileBytes(path), before);
    // What the file holds besides still reads and changes.
    EXPECT_EQ(db->openRecordset("SELECT TotalTime FROM Aircraft")->value("TotalTime"),
              Value(100.0));
    EXPECT_EQ(db->execute("UPDATE Parts SET Description = 'x'"), 1);
}

// The engine's own triggers still run on such a file: money rounded as it is written by SQL.
TEST_F(HostileDataFile, TheEnginesOwnTriggersStillRun) {
    auto db = Database::open(path);
    db->execute("CREATE TABLE Costs (Cost CURRENCY)");
    db->execute("INSERT INTO Costs (Cost) VALUES (1.234567)");
    EXPECT_EQ(db->openRecordset("Costs")->value("Cost").toDouble(), 1.2346);
}

}  // namespace
