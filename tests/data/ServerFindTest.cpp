// Finding a row among many on the server: the rows are tested many at a time, and the row
// found is the one that testing them one by one finds, whatever their texts hold.
#include "data/JetSqlTranslator.h"
#include "support/BackEnds.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <optional>

using namespace velmora;
using namespace velmora::testing;
using data::Value;

namespace {

class FindOnServer : public ::testing::Test {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        db = data::Database::open(store.createMainFile());
        // Registrations with what a server array's text must escape, and totals that are
        // whole, fractional or missing.
        const QStringList awkward{R"(Q"1)", R"(Q\2)",    "Q{3}", "Q,4", "Q 5 ",
                                  "NULL",   "Q\u00e9 7", "Q'8",  "",    "{}"};
        for (int i = 0; i < 600; ++i) {
            const Value total = i % 7 == 3   ? Value()
                                : i % 2 == 0 ? Value(std::int64_t{i})
                                             : Value(i + 0.5);
            rows.push_back(
                {Value(QStringLiteral("%1-%2").arg(awkward[i % awkward.size()]).arg(i)), total});
        }
    }

    std::unique_ptr<data::RowPredicate> predicate(const QString& criterion) {
        return db->prepareCriterion(criterion, {"RegNum", "Aircraft.TotalTime"});
    }

    int firstMatch(data::RowPredicate& p, int from = 0) {
        return p.firstMatch(
            from, static_cast<int>(rows.size()),
            [this](int i) -> const std::vector<Value>& { return rows[static_cast<size_t>(i)]; });
    }

    // The last statement the data set's session sent, as the server's activity view shows
    // it to another session.
    QString lastStatement() {
        if (pid == 0)
            db->forEachRow("SELECT pg_backend_pid()", {},
                           [&](const std::vector<Value>& row) { pid = row[0].toInt(); });
        PGconn* other = PQconnectdb(store.serverUri().toUtf8().constData());
        const QByteArray sql = "SELECT query FROM pg_stat_activity WHERE pid = " +
                               QByteArray::number(static_cast<qlonglong>(pid));
        PGresult* r = PQexec(other, sql.constData());
        const QString query = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1
                                  ? QString::fromUtf8(PQgetvalue(r, 0, 0))
                                  : QString::fromUtf8(PQerrorMessage(other));
        PQclear(r);
        PQfinish(other);
        return query;
    }

    int firstMatchOneByOne(data::RowPredicate& p, int from = 0) {
        for (int i = from; i < static_cast<int>(rows.size()); ++i) {
            if (p.matches(rows[static_cast<size_t>(i)]))
                return i;
        }
        return -1;
    }

    TestStore store{BackEnd::Server};
    std::shared_ptr<data::Database> db;
    std::vector<std::vector<Value>> rows;
    std::int64_t pid = 0;
};

TEST_F(FindOnServer, ManyRowsAreTestedTogetherWithTheAnswerOfOneByOne) {
    const QStringList criteria{
        "RegNum = " + data::quoteJetLiteral(rows[450][0].toString()),
        "RegNum = " + data::quoteJetLiteral(rows[31][0].toString()),
        R"(RegNum Like '*\2-5*')",
        "RegNum Like '{}*' AND TotalTime > 300",
        "TotalTime > 500.2",
        "IsNull(TotalTime) AND RegNum Like 'NULL*'",
        "[Aircraft.TotalTime] >= 599",
        "TotalTime > 1000000",
        "RegNum = 'nobody'",
    };
    lastStatement();
    for (const QString& criterion : criteria) {
        SCOPED_TRACE(criterion.toStdString());
        auto batched = predicate(criterion);
        const int found = firstMatch(*batched);
        // A batch that failed would have been tested again row by row: the search ended
        // with a batch.
        EXPECT_TRUE(lastStatement().contains("unnest(")) << qPrintable(lastStatement());
        auto oneByOne = predicate(criterion);
        EXPECT_EQ(found, firstMatchOneByOne(*oneByOne));
        if (found >= 0) {
            auto next = predicate(criterion);
            auto nextOneByOne = predicate(criterion);
            EXPECT_EQ(firstMatch(*next, found + 1), firstMatchOneByOne(*nextOneByOne, found + 1));
        }
    }
}

// Row 4's total is 4: the division fails there, and only there. Inside a transaction the
// batch that failed leaves the transaction able to go on and keep its writes.
TEST_F(FindOnServer, ARowThatFailsAfterTheMatchIsNotReachedAndOneBeforeItIsReported) {
    for (const bool inTransaction : {false, true}) {
        SCOPED_TRACE(inTransaction ? "in a transaction" : "alone");
        std::optional<data::Transaction> tx;
        if (inTransaction)
            tx.emplace(*db);
        auto p = predicate("100 / (TotalTime - 4) < 0");
        EXPECT_EQ(firstMatch(*p), 0);
        auto q = predicate("100 / (TotalTime - 4) > 0");
        try {
            firstMatch(*q);
            ADD_FAILURE() << "no failure reported";
        } catch (const data::DbError& e) {
            EXPECT_EQ(e.number(), data::err::DivisionByZero);
        }
        if (tx) {
            addAircraft(*db, "N-KEPT", 12);
            tx->commit();
        }
    }
    auto rs = db->openRecordset("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N-KEPT'");
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value(0).toDouble(), 12);
}

}  // namespace
