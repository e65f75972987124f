// Warning levels: the level of a remaining life at, under and over each threshold, and the
// thresholds kept in the company settings file.
#include "support/TestFiles.h"

#include "data/DataFiles.h"
#include "due/WarningLevel.h"
#include "due/WarningSettingsFile.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using due::Basis;
using due::BasisWarning;
using due::WarningLevel;

namespace {

TEST(WarningLevels, ShareOfTheLifeAtUnderAndOver) {
    const BasisWarning defaults;  // 10% of the life or 30 days
    // A 2000-hour life is due soon from 200 hours left.
    EXPECT_EQ(due::warningLevel(defaults, 200.1, 2000, std::nullopt), WarningLevel::Fine);
    EXPECT_EQ(due::warningLevel(defaults, 200, 2000, std::nullopt), WarningLevel::DueSoon);
    EXPECT_EQ(due::warningLevel(defaults, 199.9, 2000, std::nullopt), WarningLevel::DueSoon);
    EXPECT_EQ(due::warningLevel(defaults, 0, 2000, std::nullopt), WarningLevel::DueSoon);
    EXPECT_EQ(due::warningLevel(defaults, -0.1, 2000, std::nullopt), WarningLevel::Overdue);
    // Without a life there is no share: only the date can warn.
    EXPECT_EQ(due::warningLevel(defaults, 5, std::nullopt, std::nullopt), WarningLevel::Fine);
    EXPECT_EQ(due::warningLevel(defaults, 5, 0, std::nullopt), WarningLevel::Fine);
}

TEST(WarningLevels, AmountInTheBasisUnitAtUnderAndOver) {
    BasisWarning w;
    w.soonAmount = 50;  // hours, months, landings, cycles or RIN
    w.soonDays.reset();
    EXPECT_EQ(due::warningLevel(w, 50.01, 100, std::nullopt), WarningLevel::Fine);
    EXPECT_EQ(due::warningLevel(w, 50, 100, std::nullopt), WarningLevel::DueSoon);
    EXPECT_EQ(due::warningLevel(w, 49, 100000, std::nullopt), WarningLevel::DueSoon);
    EXPECT_EQ(due::warningLevel(w, -1, 100, std::nullopt), WarningLevel::Overdue);
    // Days do not count when none are set.
    EXPECT_EQ(due::warningLevel(w, 80, 100, 1), WarningLevel::Fine);
}

TEST(WarningLevels, DaysToTheDueDateAtUnderAndOver) {
    BasisWarning w;
    w.soonDays = 30;
    EXPECT_EQ(due::warningLevel(w, 1000, 2000, 31), WarningLevel::Fine);
    EXPECT_EQ(due::warningLevel(w, 1000, 2000, 30), WarningLevel::DueSoon);
    EXPECT_EQ(due::warningLevel(w, 1000, 2000, 0), WarningLevel::DueSoon);
    EXPECT_EQ(due::warningLevel(w, 1000, 2000, -1), WarningLevel::Overdue);
    // A date alone (a months limit without a figure) is judged as well.
    EXPECT_EQ(due::warningLevel(w, std::nullopt, std::nullopt, 12), WarningLevel::DueSoon);
    EXPECT_EQ(due::warningLevel(w, std::nullopt, std::nullopt, std::nullopt), WarningLevel::None);
}

TEST(WarningLevels, MonthsUntilADateCountCalendarMonths) {
    const QDate today(2025, 6, 15);
    EXPECT_DOUBLE_EQ(due::monthsUntil(today, QDate(2025, 7, 15)), 1.0);
    EXPECT_DOUBLE_EQ(due::monthsUntil(today, QDate(2026, 6, 15)), 12.0);
    EXPECT_DOUBLE_EQ(due::monthsUntil(today, today), 0.0);
    EXPECT_NEAR(due::monthsUntil(today, QDate(2025, 6, 30)), 15.0 / 30.0, 1e-12);
    EXPECT_DOUBLE_EQ(due::monthsUntil(today, QDate(2025, 5, 15)), -1.0);
    // 31 January plus a month is 28 February, as the engine adds months.
    EXPECT_DOUBLE_EQ(due::monthsUntil(QDate(2025, 1, 31), QDate(2025, 2, 28)), 1.0);
    // A 24-month life is due soon (10%: 2.4 months) from 2.4 months before its date.
    const BasisWarning defaults;
    EXPECT_EQ(due::warningLevel(defaults, due::monthsUntil(today, QDate(2025, 8, 27)), 24, 73),
              WarningLevel::DueSoon);
    EXPECT_EQ(due::warningLevel(defaults, due::monthsUntil(today, QDate(2025, 9, 1)), 24, 78),
              WarningLevel::Fine);
}

class WarningSettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        path = folder.createCompanyFile(folder.dataPath());
        db = data::Database::open(path);
    }
    TestFolder folder;
    QString path;
    std::shared_ptr<data::Database> db;
};

TEST_F(WarningSettingsFile, AnOlderFileGivesTheDefaultsAndIsNotChanged) {
    const QByteArray before = fileBytes(path);
    const due::WarningSettings s = due::readWarningSettings(*db);
    EXPECT_EQ(s, due::WarningSettings{});
    for (Basis b : due::kAllBases) {
        EXPECT_FALSE(s.of(b).soonAmount);
        EXPECT_EQ(s.of(b).soonPercent, 10);
        EXPECT_EQ(s.of(b).soonDays, 30);
    }
    EXPECT_FALSE(db->hasTable(due::kWarningLevelsTable));
    db.reset();
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(WarningSettingsFile, SavedThresholdsReadBackBesideTheCompanyRecord) {
    due::WarningSettings s;
    s.of(Basis::IN).soonAmount = 10;
    s.of(Basis::MO).soonAmount = 2;
    s.of(Basis::MO).soonDays = 60;
    s.of(Basis::CY).soonPercent = 5;
    s.of(Basis::CY).soonDays.reset();
    due::saveWarningSettings(*db, s);
    EXPECT_EQ(due::readWarningSettings(*data::Database::open(path)), s);
    // Saving again replaces the rows; the company row is untouched.
    s.of(Basis::IN).soonAmount.reset();
    due::saveWarningSettings(*db, s);
    EXPECT_EQ(due::readWarningSettings(*db), s);
    EXPECT_EQ(db->openRecordset(due::kWarningLevelsTable)->recordCount(), 7);
    EXPECT_EQ(db->openRecordset("CompanyInfo")->recordCount(), 1);
}

TEST_F(WarningSettingsFile, AFailedSaveChangesNothing) {
    due::WarningSettings bad;
    bad.of(Basis::LD).soonAmount = -5;
    EXPECT_DB_ERROR(due::saveWarningSettings(*db, bad), data::err::TypeMismatch);
    EXPECT_FALSE(db->hasTable(due::kWarningLevelsTable));
    db.reset();
    setMode(path, 0444);
    auto readOnly = data::Database::open(path);
    due::WarningSettings s;
    s.of(Basis::RT).soonAmount = 25;
    EXPECT_DB_ERROR(due::saveWarningSettings(*readOnly, s), data::err::ReadOnly);
    EXPECT_EQ(due::readWarningSettings(*readOnly), due::WarningSettings{});
}

TEST_F(WarningSettingsFile, RowsWrittenByHandAreReadAsTheEngineComparesText) {
    due::saveWarningSettings(*db, due::WarningSettings{});
    db->execute(
        "UPDATE WarningLevels SET LifeBasis = 'rt', SoonAmount = 12 WHERE "
        "LifeBasis = 'RT'");
    db->execute("UPDATE WarningLevels SET SoonDays = Null WHERE LifeBasis = 'LD'");
    const due::WarningSettings s = due::readWarningSettings(*db);
    EXPECT_EQ(s.of(Basis::RT).soonAmount, 12);
    EXPECT_FALSE(s.of(Basis::LD).soonDays);
}

}  // namespace
