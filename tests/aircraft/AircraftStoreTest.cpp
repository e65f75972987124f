#include "aircraft/AircraftStore.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "support/BackEnds.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

// An aircraft's delete without the screen: the aircraft, its components and its oil samples
// go together or not at all.
class AircraftDelete : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        db = data::Database::open(store.createMainFile());
        addAircraft(*db, "N1", 800);
        addAircraft(*db, "N2", 10);
        addPart(*db, part("N1", 10));
        addPart(*db, part("N1", 20).inactive());
        addPart(*db, part("N2", 5));
        db->execute(
            "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron) VALUES "
            "('N1', 'Main rotor', #1/5/2026#, 3)");
        db->execute(
            "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron) VALUES "
            "('N2', 'Starter', #1/6/2026#, 1)");
    }
    QString count(const QString& table, const QString& reg) {
        auto rs = db->openRecordset(
            QStringLiteral("SELECT Count(*) AS n FROM %1 WHERE RegNum = '%2'").arg(table, reg));
        return rs->value(0).toString();
    }
    // The rows of the three tables for one aircraft, as "aircraft/parts/oil".
    QString rowsOf(const QString& reg) {
        return count("Aircraft", reg) + "/" + count("Parts", reg) + "/" + count("Oil", reg);
    }

    TestStore store{GetParam()};
    std::shared_ptr<data::Database> db;
};

TEST_P(AircraftDelete, RemovesTheAircraftWithAllItsComponentsAndSamples) {
    EXPECT_TRUE(aircraft::deleteAircraft(*db, data::Value(QStringLiteral("N1"))));
    EXPECT_EQ(rowsOf("N1"), "0/0/0");
    EXPECT_EQ(rowsOf("N2"), "1/1/1");

    // An aircraft the file does not have: nothing is deleted.
    EXPECT_FALSE(aircraft::deleteAircraft(*db, data::Value(QStringLiteral("N9"))));
    EXPECT_EQ(rowsOf("N2"), "1/1/1");
}

TEST_P(AircraftDelete, TheAircraftsOwnRowMayBeDeletedByTheCaller) {
    // The caller's delete runs inside the same transaction, after the linked rows went.
    QString seenParts;
    EXPECT_TRUE(aircraft::deleteAircraft(*db, data::Value(QStringLiteral("N1")), [&] {
        seenParts = count("Parts", "N1");
        db->execute("DELETE FROM Aircraft WHERE RegNum = 'N1'");
        return true;
    }));
    EXPECT_EQ(seenParts, "0");
    EXPECT_EQ(rowsOf("N1"), "0/0/0");

    // A caller that refuses to delete the row leaves the components and samples in place.
    EXPECT_FALSE(
        aircraft::deleteAircraft(*db, data::Value(QStringLiteral("N2")), [] { return false; }));
    EXPECT_EQ(rowsOf("N2"), "1/1/1");

    // So does a failure while the row is deleted.
    EXPECT_THROW(aircraft::deleteAircraft(*db, data::Value(QStringLiteral("N2")),
                                          [&]() -> bool {
                                              db->execute("DELETE FROM NoSuchTable");
                                              return true;
                                          }),
                 data::DbError);
    EXPECT_EQ(rowsOf("N2"), "1/1/1");
}

VELMORA_ON_BOTH_BACK_ENDS(AircraftDelete);

}  // namespace
