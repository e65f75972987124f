// A connection opened for reading: its own, beside the shared one, on both back ends.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/Recordset.h"

#include <gtest/gtest.h>

#include <thread>

using namespace velmora;
using namespace velmora::testing;
using data::Database;

namespace {

class ReadingConnection : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        main = store.createMainFile();
        shared = Database::open(main);
        addAircraft(*shared, QStringLiteral("N1"), 100);
    }

    static int aircraftIn(Database& db) {
        return db.openRecordset(QStringLiteral("SELECT Count(*) FROM Aircraft"))
            ->rows()
            .front()
            .values[0]
            .toInt();
    }

    TestStore store{GetParam()};
    QString main;
    std::shared_ptr<Database> shared;
};

TEST_P(ReadingConnection, IsIndependentOfTheSharedConnection) {
    const auto reader = Database::openForReading(main);
    ASSERT_TRUE(reader);
    EXPECT_NE(reader.get(), shared.get());
    EXPECT_NE(Database::openForReading(main).get(), reader.get());
    // Opening the data as usual still gives the shared connection, never a reader.
    EXPECT_EQ(Database::open(main).get(), shared.get());
    EXPECT_EQ(reader->path(), shared->path());

    // A transaction on one is not the other's: the reader sees only what was committed.
    {
        data::Transaction tx(*shared);
        addAircraft(*shared, QStringLiteral("N2"), 200);
        EXPECT_TRUE(shared->inTransaction());
        EXPECT_FALSE(reader->inTransaction());
        int seenElsewhere = -1;
        std::thread other([&] { seenElsewhere = aircraftIn(*reader); });
        other.join();
        EXPECT_EQ(seenElsewhere, 1);
        EXPECT_EQ(aircraftIn(*shared), 2);
        tx.commit();
    }
    EXPECT_FALSE(shared->inTransaction());
    EXPECT_EQ(aircraftIn(*reader), 2);
}

TEST_P(ReadingConnection, MissingDataIsTheErrorOpeningGives) {
    const QString missing = store.location(QStringLiteral("Absent"));
    const auto opening = dbErrorOf([&] { Database::open(missing); });
    const auto reading = dbErrorOf([&] { Database::openForReading(missing); });
    ASSERT_TRUE(opening);
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->number(), opening->number());
}

VELMORA_ON_BOTH_BACK_ENDS(ReadingConnection);

}  // namespace
