// Planned daily use kept in the main data file: read without changing the file, saved in
// one transaction, registrations compared as the engine compares text.
#include "support/TestFiles.h"

#include "utilisation/PlannedUtilisation.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using utilisation::DailyUtilisation;
using utilisation::PlannedEntry;
using utilisation::PlannedUtilisation;

namespace {

class PlannedUse : public ::testing::Test {
  protected:
    void SetUp() override {
        path = folder.createMainFile();
        db = data::Database::open(path);
    }
    TestFolder folder;
    QString path;
    std::shared_ptr<data::Database> db;
};

DailyUtilisation use(double m1, std::optional<double> landings = std::nullopt) {
    DailyUtilisation u;
    u.meter1Hours = m1;
    u.landings = landings;
    return u;
}

TEST_F(PlannedUse, AFileWithoutTheTableKnowsNothingAndStaysAsItWas) {
    const QByteArray before = fileBytes(path);
    const PlannedUtilisation p = PlannedUtilisation::read(*db);
    EXPECT_EQ(p.dailyUse("N1"), DailyUtilisation{});
    EXPECT_TRUE(p.entries().empty());
    EXPECT_FALSE(db->hasTable(utilisation::kPlannedUtilisationTable));
    db.reset();
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(PlannedUse, SavedFiguresReadBackByRegistrationInAnyLetterCase) {
    utilisation::savePlannedUtilisation(*db, {{"N1", use(4.5, 9)}, {"N2", use(0)}});
    const PlannedUtilisation p = PlannedUtilisation::read(*data::Database::open(path));
    EXPECT_EQ(p.dailyUse("N1"), use(4.5, 9));
    EXPECT_EQ(p.dailyUse("n1 "), use(4.5, 9));
    EXPECT_EQ(p.dailyUse("N2"), use(0));  // known not to fly: zero, not unknown
    EXPECT_EQ(p.dailyUse("N3"), DailyUtilisation{});
    EXPECT_FALSE(p.dailyUse("N1").meter2Hours);
    // Saving an aircraft again replaces its row, whatever letters name it.
    utilisation::savePlannedUtilisation(*db, {{"n1", use(6)}});
    const PlannedUtilisation again = PlannedUtilisation::read(*db);
    EXPECT_EQ(again.dailyUse("N1"), use(6));
    EXPECT_EQ(again.entries().size(), 2u);
}

TEST_F(PlannedUse, AFailedSaveChangesNothing) {
    utilisation::savePlannedUtilisation(*db, {{"N1", use(4)}});
    EXPECT_DB_ERROR(utilisation::savePlannedUtilisation(*db, {{"N1", use(5)}, {"N2", use(-1)}}),
                    data::err::TypeMismatch);
    EXPECT_EQ(PlannedUtilisation::read(*db).dailyUse("N1"), use(4));
    EXPECT_EQ(PlannedUtilisation::read(*db).entries().size(), 1u);

    TestFolder other;
    const QString second = other.createMainFile();
    setMode(second, 0444);
    auto readOnly = data::Database::open(second);
    EXPECT_DB_ERROR(utilisation::savePlannedUtilisation(*readOnly, {{"N1", use(4)}}),
                    data::err::ReadOnly);
    EXPECT_FALSE(readOnly->hasTable(utilisation::kPlannedUtilisationTable));
}

}  // namespace
