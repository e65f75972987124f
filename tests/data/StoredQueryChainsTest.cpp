// Stored queries that read other stored queries: as a table of FROM or JOIN, in a subquery,
// several levels deep; a circle of queries and a query that gives no rows are refused with
// a clear message.
#include "data/DbError.h"
#include "data/JetSqlTranslator.h"
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
namespace err = data::err;

namespace {

class StoredQueryChains : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        path = store.createMainFile();
        db = Database::open(path);
        addAircraft(*db, "N1", 100);
        addAircraft(*db, "N2", 200);
        addPart(*db, part("N1", 2).describedAs("Tail rotor"));
        addPart(*db, part("N1", 1).describedAs("Main rotor"));
        addPart(*db, part("N2", 3).describedAs("Skid"));
        addPart(*db, part("N1", 4).inactive());
        db->createQueryDef("Active", "SELECT * FROM Parts WHERE Active = Yes");
    }

    QStringList column(const QString& source, const QString& field) {
        QStringList out;
        auto rs = db->openRecordset(source);
        for (; !rs->eof(); rs->moveNext())
            out << rs->value(field).toString();
        return out;
    }

    TestStore store{GetParam()};
    QString path;
    std::shared_ptr<Database> db;
};

TEST_P(StoredQueryChains, QueryReadsAnotherQuery) {
    db->createQueryDef("Active N1",
                       "SELECT ItemNumber, Description FROM Active WHERE RegNum = 'N1' "
                       "ORDER BY ItemNumber");
    EXPECT_EQ(column("Active N1", "Description"), QStringList({"Main rotor", "Tail rotor"}));
    // Read through a third query, with the inner one's own name qualifying its columns.
    db->createQueryDef("Top part",
                       "SELECT TOP 1 [Active N1].Description AS Name FROM [Active N1] ORDER BY "
                       "[Active N1].ItemNumber DESC");
    EXPECT_EQ(column("Top part", "Name"), QStringList({"Tail rotor"}));
    // A query read by a statement, under another name, and its * columns.
    auto rs = db->openRecordset("SELECT a.* FROM [active n1] AS a WHERE a.ItemNumber = 1");
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->fieldCount(), 2);
    EXPECT_EQ(rs->value("Description").toString(), "Main rotor");
    // Its rows are not written back: they are a query's.
    EXPECT_FALSE(rs->isUpdatable());
}

TEST_P(StoredQueryChains, QueryJoinedWithATableAndInASubquery) {
    db->createQueryDef("Fleet", "SELECT RegNum, TotalTime FROM Aircraft");
    db->createQueryDef("Parts and hours",
                       "SELECT p.Description, f.TotalTime FROM Active AS p INNER JOIN Fleet AS "
                       "f ON p.RegNum = f.RegNum ORDER BY p.Description");
    auto rs = db->openRecordset("Parts and hours");
    ASSERT_EQ(rs->recordCount(), 3);
    rs->moveLast();
    EXPECT_EQ(rs->value("Description").toString(), "Tail rotor");
    EXPECT_EQ(rs->value("TotalTime").toDouble(), 100);
    EXPECT_EQ(db->openRecordset("SELECT RegNum FROM Aircraft WHERE RegNum IN (SELECT RegNum FROM "
                                "Active WHERE Description = 'Skid')")
                  ->value("RegNum")
                  .toString(),
              "N2");
    // A change can read a query too.
    EXPECT_EQ(db->execute("UPDATE Parts SET Description = 'Rotor' WHERE ItemNumber IN (SELECT "
                          "ItemNumber FROM Active WHERE RegNum = 'N1')"),
              2);
}

TEST_P(StoredQueryChains, AQueryThatGivesNoRowsCannotBeRead) {
    db->createQueryDef("Purge", "DELETE * FROM Parts");
    try {
        db->createQueryDef("Reads purge", "SELECT * FROM Purge");
        ADD_FAILURE() << "a query that reads a change was kept";
    } catch (const data::DbError& e) {
        EXPECT_EQ(e.number(), err::SyntaxError);
        EXPECT_TRUE(e.text().contains("'Purge' does not give rows")) << e.text().toStdString();
    }
    EXPECT_FALSE(db->hasQueryDef("Reads purge"));
    EXPECT_EQ(db->openRecordset("Parts")->recordCount(), 4);
    // A deleted query is missing from those that read it, as a table would be.
    db->createQueryDef("Reads active", "SELECT * FROM Active");
    db->deleteQueryDef("Active");
    EXPECT_DB_ERROR(db->openRecordset("Reads active"), err::ObjectNotFound);
}

// A table whose making was rolled back leaves its name free for a query that others read.
TEST_P(StoredQueryChains, ANameFreedByARollbackCanBeAQuery) {
    {
        data::Transaction tx(*db);
        db->execute("CREATE TABLE Temp (X LONG)");
        EXPECT_EQ(db->openRecordset("SELECT * FROM Temp")->recordCount(), 0);
    }
    db->createQueryDef("Temp", "SELECT * FROM Parts WHERE RegNum = 'N2'");
    db->createQueryDef("Reads temp", "SELECT Description FROM Temp");
    EXPECT_EQ(db->openRecordset("Reads temp")->value("Description").toString(), "Skid");
}

VELMORA_ON_BOTH_BACK_ENDS(StoredQueryChains);

// A circle of queries cannot be stored through the engine (each must run when it is
// kept), but a data set written by other means may hold one: it is refused, never followed.
TEST(StoredQueryCircles, AreRefusedWithTheQueriesNamed) {
    const QHash<QString, QString> stored{
        {"a", "SELECT * FROM B"}, {"b", "SELECT * FROM [a]"}, {"c", "SELECT * FROM c"}};
    const data::StoredQueryTexts lookup = [&](const QStringList& names) {
        QHash<QString, QString> out;
        for (const QString& n : names) {
            if (stored.contains(n.toLower()))
                out.insert(n.toLower(), stored.value(n.toLower()));
        }
        return out;
    };
    for (auto dialect : {data::SqlDialect::Sqlite, data::SqlDialect::Postgres}) {
        try {
            data::translateJetStatement("SELECT * FROM A", dialect, lookup);
            ADD_FAILURE() << "a circle of queries was followed";
        } catch (const data::DbError& e) {
            EXPECT_EQ(e.number(), err::SyntaxError);
            EXPECT_TRUE(e.text().contains("reads itself")) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains("B")) << e.text().toStdString();
        }
        EXPECT_THROW(data::translateJetStatement("SELECT * FROM c", dialect, lookup),
                     data::DbError);
        // Without the queries, the same text reads a table of that name.
        EXPECT_EQ(data::translateJetStatement("SELECT * FROM A", dialect).sql.contains("SELECT"),
                  true);
    }
}

}  // namespace
