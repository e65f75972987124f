// Stored queries: created from a name and SQL text, opened as a record source by name,
// deleted by name; a record set opened on one outlives it.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
namespace err = data::err;

namespace {

const char kActiveParts[] =
    "select [ItemNumber],[Description] from [Parts] where [RegNum]='N1' and  [Active] = Yes "
    "Order by [ItemNumber]";

class StoredQueries : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        path = store.createMainFile();
        db = Database::open(path);
        addAircraft(*db, "N1", 100);
        addPart(*db, part("N1", 2).describedAs("Tail rotor"));
        addPart(*db, part("N1", 1).describedAs("Main rotor"));
        addPart(*db, part("N1", 3).inactive());
    }

    TestStore store{GetParam()};
    TestFolder& folder = store.folder();
    QString path;
    std::shared_ptr<Database> db;
};

TEST_P(StoredQueries, CreatedQueryIsARecordSourceByName) {
    db->createQueryDef("Query1", kActiveParts);
    EXPECT_TRUE(db->hasQueryDef("Query1"));
    EXPECT_EQ(db->queryDefSql("Query1"), kActiveParts);
    EXPECT_EQ(db->queryDefNames(), QStringList{"Query1"});
    auto rs = db->openRecordset("Query1");
    ASSERT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->value("Description").toString(), "Main rotor");
    EXPECT_EQ(db->openRecordset("[query1]")->recordCount(), 2);
}

TEST_P(StoredQueries, QueryIsKeptInTheFile) {
    db->createQueryDef("Active parts", kActiveParts);
    db.reset();
    auto again = Database::open(path);
    EXPECT_EQ(again->openRecordset("Active parts")->recordCount(), 2);
}

TEST_P(StoredQueries, ExistingNameIsObjectExists) {
    db->createQueryDef("Query1", kActiveParts);
    EXPECT_DB_ERROR(db->createQueryDef("Query1", "select * from Aircraft"), err::ObjectExists);
    EXPECT_DB_ERROR(db->createQueryDef("QUERY1", "select * from Aircraft"), err::ObjectExists);
    EXPECT_EQ(db->queryDefSql("query1"), kActiveParts);
}

TEST_P(StoredQueries, TableNameIsObjectExists) {
    const QByteArray before = fileBytes(path);
    EXPECT_DB_ERROR(db->createQueryDef("parts", kActiveParts), err::ObjectExists);
    EXPECT_EQ(fileBytes(path), before);
}

TEST_P(StoredQueries, DeletedQueryIsGone) {
    db->createQueryDef("Query1", kActiveParts);
    db->deleteQueryDef("query1");
    EXPECT_FALSE(db->hasQueryDef("Query1"));
    EXPECT_DB_ERROR(db->openRecordset("Query1"), err::ObjectNotFound);
    EXPECT_DB_ERROR(db->queryDefSql("Query1"), err::ObjectNotFound);
    db->createQueryDef("Query1", "select * from Aircraft");
    EXPECT_EQ(db->openRecordset("Query1")->fieldIndex("TotalTime") >= 0, true);
}

TEST_P(StoredQueries, DeletingAnUnknownQueryIsNumbered) {
    const QByteArray before = fileBytes(path);
    EXPECT_DB_ERROR(db->deleteQueryDef("Query1"), err::ItemNotFound);
    EXPECT_EQ(fileBytes(path), before);
    db->createQueryDef("Query2", kActiveParts);
    EXPECT_DB_ERROR(db->deleteQueryDef("Query1"), err::ItemNotFound);
    EXPECT_TRUE(db->hasQueryDef("Query2"));
}

TEST_P(StoredQueries, RecordsetOutlivesItsQuery) {
    db->createQueryDef("Query1", kActiveParts);
    auto rs = db->openRecordset("Query1");
    db->deleteQueryDef("Query1");
    rs->moveLast();
    EXPECT_EQ(rs->value("ItemNumber").toInt(), 2);
    rs->findFirst("Description = 'main ROTOR'");
    EXPECT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value("ItemNumber").toInt(), 1);
    // It reads one table, so it still writes to it.
    rs->edit();
    rs->setValue("Description", "Main rotor blade");
    rs->update();
    addPart(*db, part("N1", 4));
    rs->requery();
    EXPECT_EQ(rs->recordCount(), 3);
    EXPECT_EQ(rs->value("Description").toString(), "Main rotor blade");
}

TEST_P(StoredQueries, QueryThatCannotRunIsNotStored) {
    const QByteArray before = fileBytes(path);
    EXPECT_DB_ERROR(db->createQueryDef("Query1", "select * from Robinson"), err::ObjectNotFound);
    EXPECT_DB_ERROR(db->createQueryDef("Query1", "select [Nope] from Parts"),
                    err::TooFewParameters);
    EXPECT_DB_ERROR(db->createQueryDef("Query1", "select * from Parts where"), err::SyntaxError);
    EXPECT_DB_ERROR(db->createQueryDef("", kActiveParts), err::SyntaxError);
    EXPECT_FALSE(db->hasQueryDef("Query1"));
    EXPECT_EQ(fileBytes(path), before);
}

TEST_P(StoredQueries, StoringAChangeDoesNotRunIt) {
    db->createQueryDef("Purge", "DELETE * FROM Parts");
    EXPECT_EQ(db->openRecordset("Parts")->recordCount(), 3);
    EXPECT_DB_ERROR(db->openRecordset("Purge"), err::SyntaxError);
    EXPECT_EQ(db->openRecordset("Parts")->recordCount(), 3);
}

TEST_P(StoredQueries, NamesWithQuotesAndBlanks) {
    const QString name = R"(Parts of "N1" 'active')";
    db->createQueryDef(name, kActiveParts);
    EXPECT_EQ(db->openRecordset(name)->recordCount(), 2);
    EXPECT_DB_ERROR(db->createQueryDef("Bad]name", kActiveParts), err::SyntaxError);
    db->deleteQueryDef(name);
    EXPECT_TRUE(db->queryDefNames().isEmpty());
}

TEST_P(StoredQueries, QueriesAreNotTables) {
    db->createQueryDef("Query1", kActiveParts);
    EXPECT_FALSE(db->hasTable("Query1"));
    // The entry journal is a table of both back ends; the server's work table is none.
    EXPECT_EQ(db->tableNames(), QStringList({"Aircraft", "Journal", "Oil", "Parts"}));
}

// A name is a table from the moment the table is made until it is dropped or its making is
// rolled back, however often it is asked, and a stored query may take the name afterwards.
TEST_P(StoredQueries, ANameIsATableWhileTheTableIsThere) {
    EXPECT_TRUE(db->hasTable("Parts"));
    EXPECT_TRUE(db->hasTable("[parts]"));
    EXPECT_FALSE(db->hasTable("Scratch"));
    db->execute("CREATE TABLE Scratch (Name TEXT(10))");
    EXPECT_TRUE(db->hasTable("Scratch"));
    EXPECT_TRUE(db->hasTable("SCRATCH"));
    db->execute("DROP TABLE Scratch");
    EXPECT_FALSE(db->hasTable("Scratch"));
    db->createQueryDef("Scratch", kActiveParts);
    EXPECT_FALSE(db->hasTable("Scratch"));
    EXPECT_EQ(db->openRecordset("Scratch")->recordCount(), 2);
    {
        data::Transaction tx(*db);
        db->execute("CREATE TABLE Later (Name TEXT(10))");
        EXPECT_TRUE(db->hasTable("Later"));
    }
    EXPECT_FALSE(db->hasTable("Later"));
    EXPECT_DB_ERROR(db->openRecordset("Later"), err::ObjectNotFound);
}

// A data set opened again knows its tables by any case from the start; an index, a stored
// query and the engine's own tables are no tables, and a table another workstation makes
// afterwards is one.
TEST_P(StoredQueries, ADataSetOpenedAgainKnowsItsTablesAndOnlyThem) {
    db->createQueryDef("Query1", kActiveParts);
    db->execute("CREATE TABLE Scratch (Name TEXT(10))");
    db->execute("CREATE INDEX ScratchName ON Scratch (Name)");
    db->execute("INSERT INTO Scratch (Name) VALUES ('kept')");
    db.reset();
    auto again = Database::open(path);
    EXPECT_TRUE(again->hasTable("SCRATCH"));
    EXPECT_TRUE(again->hasTable("[parts]"));
    EXPECT_FALSE(again->hasTable("ScratchName"));
    EXPECT_FALSE(again->hasTable("Query1"));
    EXPECT_FALSE(again->hasTable("_storedqueries"));
    EXPECT_FALSE(again->hasTable("_velmora_names"));
    EXPECT_FALSE(again->hasTable("_journal_staged"));
    EXPECT_EQ(again->openRecordset("Query1")->recordCount(), 2);
    auto rs = again->openRecordset("scratch");
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->field(0).table, "Scratch");
    EXPECT_EQ(rs->field(0).type.kind, data::FieldType::Kind::Text);
    EXPECT_EQ(rs->field(0).type.size, 10);

    auto other = Database::open(path);
    other->execute("CREATE TABLE Later (Name TEXT(10))");
    EXPECT_TRUE(again->hasTable("Later"));
    other->execute("DROP TABLE Later");
    EXPECT_DB_ERROR(again->openRecordset("Later"), err::ObjectNotFound);
}

TEST_P(StoredQueries, RolledBackCreationLeavesNoTrace) {
    {
        data::Transaction tx(*db);
        db->createQueryDef("Query1", kActiveParts);
        EXPECT_TRUE(db->hasQueryDef("Query1"));
    }
    EXPECT_FALSE(db->hasQueryDef("Query1"));
    EXPECT_DB_ERROR(db->openRecordset("Query1"), err::ObjectNotFound);
    db->createQueryDef("Query1", kActiveParts);
    EXPECT_EQ(db->openRecordset("Query1")->recordCount(), 2);
}

TEST_P(StoredQueries, InnerRollbackKeepsTheOuterTransactionsWork) {
    {
        data::Transaction outer(*db);
        db->createQueryDef("Kept", kActiveParts);
        {
            data::Transaction inner(*db);
            db->createQueryDef("Dropped", kActiveParts);
        }
        EXPECT_TRUE(db->hasQueryDef("Kept"));
        EXPECT_FALSE(db->hasQueryDef("Dropped"));
        outer.commit();
    }
    EXPECT_EQ(db->queryDefNames(), QStringList({"Kept"}));
}

TEST_P(StoredQueries, ScratchWorkIsUndoneWithoutTouchingTheFile) {
    VELMORA_FILES_ONLY(store);
    const QByteArray before = fileBytes(path);
    {
        data::ScratchTransaction scratch(*db);
        db->createQueryDef("Query1", kActiveParts);
        EXPECT_EQ(db->openRecordset("Query1")->recordCount(), 2);
        EXPECT_FALSE(QFile::exists(path + "-journal"));  // the undo log is in memory
        {
            data::Transaction inner(*db);  // work nested inside may be committed...
            db->execute("DELETE FROM Parts WHERE ItemNumber = 3");
            inner.commit();
        }
        EXPECT_DB_ERROR(db->commit(), err::Internal);  // ...the scratch itself never
    }
    EXPECT_FALSE(db->hasQueryDef("Query1"));
    EXPECT_EQ(db->openRecordset("Parts")->recordCount(), 3);
    EXPECT_EQ(fileBytes(path), before);

    // Work done afterwards is journalled on disk and kept as before.
    {
        data::Transaction tx(*db);
        db->createQueryDef("Query2", kActiveParts);
        EXPECT_TRUE(QFile::exists(path + "-journal"));
        tx.commit();
    }
    EXPECT_NE(fileBytes(path), before);
    EXPECT_TRUE(db->hasQueryDef("Query2"));
}

TEST_P(StoredQueries, ScratchInsideATransactionUndoesOnlyItsOwnWork) {
    {
        data::Transaction outer(*db);
        db->createQueryDef("Kept", kActiveParts);
        {
            data::ScratchTransaction scratch(*db);
            db->createQueryDef("Scratch", kActiveParts);
        }
        outer.commit();
    }
    EXPECT_EQ(db->queryDefNames(), QStringList({"Kept"}));
}

// A workstation that opened the data set before it held any stored query, and has read from
// it since, opens a query another workstation stores afterwards.
TEST_P(StoredQueries, QueryStoredMeanwhileByAnotherWorkstationOpensByName) {
    auto other = Database::openForReading(path);
    EXPECT_EQ(other->openRecordset("Parts")->recordCount(), 3);
    EXPECT_FALSE(other->hasQueryDef("Query1"));
    db->createQueryDef("Query1", kActiveParts);
    auto rs = other->openRecordset("Query1");
    ASSERT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->value("Description").toString(), "Main rotor");
}

TEST_P(StoredQueries, ReadOnlyFileStillOpensItsQueries) {
    VELMORA_FILES_ONLY(store);
    db->createQueryDef("Query1", kActiveParts);
    db.reset();
    setMode(path, 0444);
    const QByteArray before = fileBytes(path);
    {
        auto ro = Database::open(path);
        EXPECT_EQ(ro->openRecordset("Query1")->recordCount(), 2);
        EXPECT_DB_ERROR(ro->deleteQueryDef("Query1"), err::ReadOnly);
        EXPECT_DB_ERROR(ro->createQueryDef("Query2", kActiveParts), err::ReadOnly);
    }
    EXPECT_EQ(fileBytes(path), before);
    setMode(path, 0644);
}

VELMORA_ON_BOTH_BACK_ENDS(StoredQueries);

}  // namespace
