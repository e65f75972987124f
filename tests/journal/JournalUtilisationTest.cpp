// Utilisation from a journal built over many days with a set clock.
#include "JournalTestSupport.h"

#include "data/Journal.h"
#include "journal/JournalUtilisation.h"
#include "support/TestFiles.h"
#include "utilisation/PlannedUtilisation.h"
#include "utilisation/UtilisationSettings.h"

using namespace velmora;
using namespace velmora::testing;
using data::Value;

namespace {

const QDate kStart(2026, 1, 1);

class JournalUtilisationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = folder_.createMainFile();
        db_ = data::Database::open(path_);
        at(kStart);
        addAircraft(*db_, QStringLiteral("N1"), 1000, 200, 100, 50, 10);
        addAircraft(*db_, QStringLiteral("N2"), 10);
        utilisation::PlannedEntry planned{QStringLiteral("N2"), {}};
        planned.use.meter1Hours = 4.5;
        utilisation::savePlannedUtilisation(*db_, {planned});
    }
    void TearDown() override { data::journal::setClock(nullptr); }
    void at(const QDate& day) {
        data::journal::setClock([day] { return QDateTime(day, QTime(12, 0), Qt::UTC); });
    }

    TestFolder folder_;
    QString path_;
    std::shared_ptr<data::Database> db_;
};

TEST_F(JournalUtilisationTest, AveragesTheLastDaysOfTotalsFromA120DayJournal) {
    // 120 days: on every day 3 hours on meter 1, 1 on meter 2, 2 landings; a cycle every
    // other day. The first 30 days flew twice as much, and lie outside the 90 days.
    double tt = 1000, tt2 = 200;
    int landings = 100, cycles = 50;
    for (int d = 1; d <= 120; ++d) {
        at(kStart.addDays(d));
        const double factor = d <= 30 ? 2 : 1;
        tt += 3 * factor;
        tt2 += 1 * factor;
        landings += static_cast<int>(2 * factor);
        if (d % 2 == 0)
            ++cycles;
        db_->executeBound(
            QStringLiteral("UPDATE Aircraft SET TotalTime = ?1, TotalTime2 = ?2, "
                           "TotalLandings = ?3, TotalCycles = ?4 WHERE RegNum = 'N1'"),
            {Value(tt), Value(tt2), Value(landings), Value(cycles)});
    }
    const QDate asOf = kStart.addDays(120);
    const auto u = journal::aircraftUtilisation(*db_, QStringLiteral("n1 "), asOf);
    EXPECT_TRUE(u.fromJournal);
    EXPECT_EQ(u.journalDays, 120);
    EXPECT_EQ(u.averagedDays, 90);
    EXPECT_NEAR(*u.use.meter1Hours, 3.0, 1e-9);
    EXPECT_NEAR(*u.use.meter2Hours, 1.0, 1e-9);
    EXPECT_NEAR(*u.use.landings, 2.0, 1e-9);
    EXPECT_NEAR(*u.use.cycles, 0.5, 1e-9);
    // RIN was never entered: its planned figure, of which N1 has none.
    EXPECT_FALSE(u.use.rin.has_value());
    EXPECT_EQ(u.figureFromJournal, (std::array<bool, 5>{true, true, true, true, false}));

    // Thirty days: the busy month is in.
    const auto month =
        journal::aircraftUtilisation(*db_, QStringLiteral("N1"), kStart.addDays(30), 30);
    EXPECT_NEAR(*month.use.meter1Hours, 6.0, 1e-9);

    // An undone entry takes its hours back out.
    db_->execute(
        QStringLiteral("UPDATE Aircraft SET TotalTime = TotalTime - 3 WHERE RegNum = 'N1'"));
    EXPECT_NEAR(*journal::aircraftUtilisation(*db_, QStringLiteral("N1"), asOf).use.meter1Hours,
                (90.0 * 3 - 3) / 90, 1e-9);
}

TEST_F(JournalUtilisationTest, ALessThanTwoWeekJournalTakesThePlannedFigures) {
    at(kStart.addDays(5));
    db_->execute(QStringLiteral("UPDATE Aircraft SET TotalTime = 40 WHERE RegNum = 'N2'"));
    const auto young = journal::aircraftUtilisation(*db_, QStringLiteral("N2"), kStart.addDays(13));
    EXPECT_FALSE(young.fromJournal);
    EXPECT_EQ(young.journalDays, 13);
    EXPECT_EQ(young.use.meter1Hours, 4.5);
    EXPECT_FALSE(young.use.landings.has_value());

    const auto grown = journal::aircraftUtilisation(*db_, QStringLiteral("N2"), kStart.addDays(15));
    EXPECT_TRUE(grown.fromJournal);
    EXPECT_NEAR(*grown.use.meter1Hours, 30.0 / 15, 1e-9);

    // An aircraft the journal does not know, and a file without a journal.
    EXPECT_FALSE(journal::aircraftUtilisation(*db_, QStringLiteral("X9"), kStart).fromJournal);
}

// Once the journal is two weeks old, each total the journal has no line of takes its
// planned figure (an aircraft whose cycles nobody enters still has planned cycles), while a
// total entered before the days averaged and not since was really not used.
TEST_F(JournalUtilisationTest, ATotalWithoutJournalLinesTakesItsPlannedFigure) {
    utilisation::PlannedEntry planned{QStringLiteral("N1"), {}};
    planned.use.meter1Hours = 9;
    planned.use.landings = 6;
    planned.use.cycles = 3;
    utilisation::savePlannedUtilisation(*db_, {planned});
    at(kStart.addDays(1));
    db_->execute(QStringLiteral("UPDATE Aircraft SET TotalLandings = 105 WHERE RegNum = 'N1'"));
    for (int d = 1; d <= 120; ++d) {
        at(kStart.addDays(d));
        db_->execute(
            QStringLiteral("UPDATE Aircraft SET TotalTime = TotalTime + 2 WHERE RegNum = 'N1'"));
    }
    const auto u = journal::aircraftUtilisation(*db_, QStringLiteral("N1"), kStart.addDays(120));
    EXPECT_TRUE(u.fromJournal);
    EXPECT_NEAR(*u.use.meter1Hours, 2.0, 1e-9);
    EXPECT_EQ(u.use.landings, 0.0);  // entered 119 days ago, not in the last 90
    EXPECT_EQ(u.use.cycles, 3.0);
    EXPECT_FALSE(u.use.meter2Hours.has_value());  // neither journalled nor planned
    EXPECT_FALSE(u.use.rin.has_value());
    EXPECT_EQ(u.figureFromJournal, (std::array<bool, 5>{true, false, true, false, false}));
}

// The totals' lines are found by the journal's index of them by time. A file whose journal
// is older than that index reads the same figures, and gets the index with its next change
// (reading alone writes nothing).
TEST_F(JournalUtilisationTest, AJournalOlderThanItsTimeIndexReadsTheSameAndGetsItWithAChange) {
    for (int d = 1; d <= 20; ++d) {
        at(kStart.addDays(d));
        db_->execute(
            QStringLiteral("UPDATE Aircraft SET TotalTime = TotalTime + 2 WHERE RegNum "
                           "= 'N1'"));
    }
    const QDate asOf = kStart.addDays(20);
    auto hasIndex = [&] {
        bool found = false;
        db_->forEachRow(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = "
                                       "'JournalAircraftTime'"),
                        {}, [&](const std::vector<Value>& r) { found = r[0].toInt() == 1; });
        return found;
    };
    EXPECT_TRUE(hasIndex());
    const auto withIndex = journal::aircraftUtilisation(*db_, QStringLiteral("N1"), asOf);
    EXPECT_NEAR(*withIndex.use.meter1Hours, 2.0, 1e-9);

    db_.reset();
    sqlite3Program(path_, QStringLiteral("DROP INDEX JournalAircraftTime;"));
    db_ = data::Database::open(path_);
    const auto without = journal::aircraftUtilisation(*db_, QStringLiteral("N1"), asOf);
    EXPECT_EQ(without.journalDays, withIndex.journalDays);
    EXPECT_EQ(without.use.meter1Hours, withIndex.use.meter1Hours);
    EXPECT_FALSE(hasIndex());

    db_->execute(QStringLiteral("UPDATE Aircraft SET TotalLandings = 3 WHERE RegNum = 'N2'"));
    EXPECT_TRUE(hasIndex());
    EXPECT_EQ(journal::aircraftUtilisation(*db_, QStringLiteral("N1"), asOf).use.meter1Hours,
              withIndex.use.meter1Hours);
}

}  // namespace

TEST(UtilisationSetting, DefaultsToNinetyDaysAndKeepsWhatIsSet) {
    TestFolder folder;
    const QString company = folder.createCompanyFile(folder.dataPath());
    EXPECT_EQ(utilisation::averageDaysOf(company), 90);
    EXPECT_EQ(utilisation::averageDaysOf(QString()), 90);
    auto db = data::Database::open(company);
    utilisation::setAverageDays(*db, 30);
    EXPECT_EQ(utilisation::averageDays(*db), 30);
    EXPECT_DB_ERROR(utilisation::setAverageDays(*db, 5), data::err::TypeMismatch);
    EXPECT_EQ(utilisation::averageDays(*db), 30);
}
