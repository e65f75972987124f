// Statements nested too deeply or running too long for the engine: each is refused with a
// numbered error and the process goes on, also when the text comes from a stored query of a
// data file. Nesting within the limits still works.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
namespace err = data::err;

namespace {

QString nested(const char* open, const char* inner, const char* close, int depth) {
    return QString::fromLatin1(open).repeated(depth) + QString::fromLatin1(inner) +
           QString::fromLatin1(close).repeated(depth);
}

QString chain(const char* term, const char* op, int terms) {
    QStringList parts;
    for (int i = 0; i < terms; ++i)
        parts << QString::fromLatin1(term);
    return parts.join(QLatin1String(op));
}

class StatementLimits : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        path = store.createMainFile();
        db = Database::open(path);
        addAircraft(*db, "N1", 100);
    }

    TestStore store{GetParam()};
    TestFolder& folder = store.folder();
    QString path;
    std::shared_ptr<Database> db;
};

TEST_P(StatementLimits, DeepNestingIsRefusedNotACrash) {
    VELMORA_FILES_ONLY(store);
    const QString cases[] = {
        nested("Nz(", "1", ")", 10000),
        nested("IIf(1=1,", "1", ",0)", 5000),
        nested("IIf(1=2,0,", "1", ")", 5000),
        nested("(", "1", ")", 10000),
        nested("-", "1", "", 10000),
        nested("Not ", "1", "", 10000),
        nested("(SELECT ", "1", ")", 2000),
        nested("Nz(", "1", ")", 40),  // beyond what SQLite's own parser takes
    };
    const QByteArray before = fileBytes(path);
    for (const QString& e : cases) {
        EXPECT_DB_ERROR(db->openRecordset("SELECT " + e + " AS X FROM Aircraft"),
                        err::QueryTooComplex);
        EXPECT_DB_ERROR(db->execute("UPDATE Aircraft SET TotalTime = " + e), err::QueryTooComplex);
        EXPECT_DB_ERROR(db->createQueryDef("Deep", "SELECT " + e + " AS X"), err::QueryTooComplex);
    }
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_FALSE(db->hasQueryDef("Deep"));
}

TEST_P(StatementLimits, LongChainsAreRefusedOrRunByTheirLength) {
    EXPECT_DB_ERROR(db->openRecordset("SELECT " + chain("1", "+", 5000) + " AS X"),
                    err::QueryTooComplex);
    EXPECT_EQ(db->openRecordset("SELECT " + chain("1", "+", 500) + " AS X")->value("X").toInt(),
              500);
    // A long "&" chain is joined by few calls, not one call nested in the next.
    const QString joined =
        db->openRecordset("SELECT " + chain("'ab'", " & ", 2000) + " AS X")->value("X").toString();
    EXPECT_EQ(joined, QStringLiteral("ab").repeated(2000));
}

TEST_P(StatementLimits, NestingWithinTheLimitsWorks) {
    // An IIf in the false branch of another adds no depth: sixty of them still run.
    QString lookup = QStringLiteral("'none'");
    for (int i = 60; i >= 1; --i)
        lookup = QStringLiteral("IIf([TotalTime]=%1,'v%1',%2)").arg(i).arg(lookup);
    db->execute("UPDATE Aircraft SET TotalTime = 42");
    EXPECT_EQ(db->openRecordset("SELECT " + lookup + " AS X FROM Aircraft")->value("X").toString(),
              "v42");
    EXPECT_EQ(
        db->openRecordset("SELECT " + nested("Nz(", "7", ")", 20) + " AS X")->value("X").toInt(),
        7);
    EXPECT_EQ(
        db->openRecordset("SELECT " + nested("(", "7", ")", 90) + " AS X")->value("X").toInt(), 7);
}

// A data file written elsewhere may hold a stored query the engine cannot take: opening it
// is refused like the statement itself.
TEST_P(StatementLimits, StoredQueryNestedTooDeeplyIsRefused) {
    db->createQueryDef("Remaining", "SELECT RegNum FROM Aircraft");
    db->executeBound("UPDATE _StoredQueries SET SqlText = ?1 WHERE Name = 'Remaining'",
                     {data::Value("SELECT " + nested("Nz(", "1", ")", 10000) + " AS X")});
    EXPECT_DB_ERROR(db->openRecordset("Remaining"), err::QueryTooComplex);
    const auto e = dbErrorOf([&] { db->openRecordset("Remaining"); });
    ASSERT_TRUE(e.has_value());
    EXPECT_LT(e->text().size(), 1000) << "the message quotes the statement in part";
}

VELMORA_ON_BOTH_BACK_ENDS(StatementLimits);

}  // namespace
