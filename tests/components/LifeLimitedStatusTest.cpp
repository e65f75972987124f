// The status of an aircraft's life-limited parts: on both back ends, for every basis and both
// time meters, what remains is what the time remaining list and the due list show, the
// life used and the figures since new and since overhaul are those worked by hand (from
// the limits and from the component's recorded overhaul), and each component's
// controlling limit is the due list's.
#include "ComponentTestData.h"
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "components/ComponentMoves.h"
#include "components/LifeLimitedStatus.h"
#include "data/DbError.h"
#include "data/JetFormat.h"
#include "utilisation/UtilisationSource.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::components;

namespace {

const QDate kToday(2025, 6, 15);

// Two hours a day on meter 1, one on meter 2, ten landings, one cycle, half a RIN.
class SteadyUse final : public utilisation::UtilisationSource {
  public:
    utilisation::DailyUtilisation dailyUse(const QString&) const override {
        utilisation::DailyUtilisation u;
        u.meter1Hours = 2;
        u.meter2Hours = 1;
        u.landings = 10;
        u.cycles = 1;
        u.rin = 0.5;
        return u;
    }
};

class LifeLimited : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        db = data::Database::open(store.createMainFile());
        addAircraft(*db, "N1", 1000, 500, 4000, 300, 50);
        addAircraft(*db, "N2", 2000, 800, 100, 20, 5);
        addGearboxLimit(*db, "RT", 5000, 300, 900);     // used 400, 4600 remain
        addGearboxLimit(*db, "OH", 1500, 100, 950);     // used 150, 1350 remain
        addGearboxLimit(*db, "IN", 100, 0, 990.5);      // used 9.5, 90.5 remain: due in 45 days
        addGearboxLimit(*db, "LD", 20000, 1500, 3000);  // used 2500, 17500 remain
        addGearboxLimit(*db, "CY", 1000, 10, 250);      // used 60, 940 remain
        addGearboxLimit(*db, "RN", 200, 5, 40);         // used 15, 185 remain
        addPart(*db, part("N1", 7)
                         .withBasis("MO")
                         .withLife(24, 0, 0)
                         .installedOn("2024-01-31")
                         .asUnit("GB-1", "S1")
                         .describedAs("Gearbox"));  // retires 31 January 2026
        addEngineLimit(*db, "RT", 3000, 100, 400);  // used 200, 2800 remain
        addEngineLimit(*db, "OH", 1200, 0, 450);    // used 50, 1150 remain
        addEngineLimit(*db, "IN", 50, 0, 480.25);   // used 19.75, 30.25 remain: due in 30 days
        // Not limited: no basis.
        addPart(*db, part("N1", 1).withBasis("").withLife(100, 0, 0).asUnit("LAMP", "L1"));
        addPart(*db, part("N2", 1).withLife(100, 0, 0).asUnit("OTHER", "X"));
    }

    LifeLimitedStatus status(const QString& reg) {
        return readLifeLimitedStatus(*db, reg, use, due::WarningSettings{}, kToday);
    }
    static const LifeLimitedLine& line(const LifeLimitedStatus& s, const QString& pn,
                                       due::Basis basis) {
        for (const LifeLimitedLine& l : s.lines) {
            if (l.partNumber == pn && l.basisKind == basis)
                return l;
        }
        throw std::runtime_error("no such line");
    }

    TestStore store{GetParam()};
    std::shared_ptr<data::Database> db;
    SteadyUse use;
};

TEST_P(LifeLimited, FiguresAreTheTimeRemainingListsAndTheDueListsOnBothMeters) {
    const LifeLimitedStatus s = status("n1 ");  // as the engine compares registrations
    EXPECT_EQ(s.regNum, "N1");
    EXPECT_EQ(s.totals.time, 1000);
    ASSERT_EQ(s.lines.size(), 10u);  // the lamp has no limit; N2's component is N2's
    EXPECT_EQ(*s.lines.front().itemNumber, 7);
    EXPECT_EQ(*s.lines.back().itemNumber, 9);

    // Against the time remaining list, row for row.
    const auto gearbox = remainingOnScreen(*db, "N1", "GB-1");
    const auto engine = remainingOnScreen(*db, "N1", "ENG-2");
    int compared = 0;
    for (const LifeLimitedLine& l : s.lines) {
        SCOPED_TRACE((l.partNumber + ' ' + l.basis).toStdString());
        const auto& screen = l.partNumber == u"GB-1" ? gearbox : engine;
        const QString code = due::basisCode(*l.basisKind);
        if (l.basisKind == due::Basis::MO) {
            EXPECT_EQ(data::formatDatePicture(l.dueDate.startOfDay(), "mm/dd/yy"),
                      screen.at(code).toString());
        } else {
            const QString key =
                due::isTimeBasis(*l.basisKind) ? code + QString::number(l.meter.value_or(0)) : code;
            ASSERT_TRUE(l.remaining);
            EXPECT_EQ(*l.remaining, screen.at(key).toDouble());
        }
        ++compared;
    }
    EXPECT_EQ(compared, 10);

    // Against the due list: remaining, due date, level and the controlling limit.
    const due::DueList list = due::computeDueList(*db, use, due::WarningSettings{}, kToday);
    for (const LifeLimitedLine& l : s.lines) {
        SCOPED_TRACE((l.partNumber + ' ' + l.basis).toStdString());
        int found = 0;
        for (const due::DueEntry& e : list.entries) {
            if (list.regNum(e) != u"N1" || QString::fromStdString(e.partNumber) != l.partNumber ||
                e.basisKind() != l.basisKind)
                continue;
            ++found;
            EXPECT_EQ(e.remaining, l.remaining);
            EXPECT_EQ(e.dueDate(), l.dueDate);
            EXPECT_EQ(e.level, l.level);
            EXPECT_EQ(e.controls, l.controls);
        }
        EXPECT_EQ(found, 1);
    }

    // Worked by hand.
    const auto& in1 = line(s, "GB-1", due::Basis::IN);
    EXPECT_DOUBLE_EQ(*in1.used, 9.5);
    EXPECT_EQ(in1.dueDate, QDate(2025, 7, 30));  // 90.5 hours at 2 a day: 45 days
    EXPECT_TRUE(in1.controls);
    EXPECT_FALSE(line(s, "GB-1", due::Basis::MO).controls);
    EXPECT_FALSE(line(s, "GB-1", due::Basis::RT).controls);
    const auto& mo = line(s, "GB-1", due::Basis::MO);
    EXPECT_EQ(mo.dueDate, QDate(2026, 1, 31));
    EXPECT_NEAR(*mo.remaining, 7 + 16.0 / 31, 1e-12);  // 15 June 2025 to 31 January 2026
    EXPECT_NEAR(*mo.used, 24 - (7 + 16.0 / 31), 1e-12);
    EXPECT_DOUBLE_EQ(*line(s, "GB-1", due::Basis::LD).used, 2500);
    EXPECT_DOUBLE_EQ(*line(s, "GB-1", due::Basis::CY).remaining, 940);
    EXPECT_DOUBLE_EQ(*line(s, "GB-1", due::Basis::RN).used, 15);
    const auto& in2 = line(s, "ENG-2", due::Basis::IN);
    EXPECT_EQ(*in2.meter, 2);
    EXPECT_DOUBLE_EQ(*in2.used, 19.75);
    EXPECT_EQ(in2.level, due::WarningLevel::DueSoon);  // 30 days away
    EXPECT_TRUE(in2.controls);

    // Since new and since overhaul, with no overhaul recorded: the retire limit counts from
    // new, the overhaul limit from the last overhaul; the others on the meter take theirs.
    const auto& rt = line(s, "GB-1", due::Basis::RT);
    const auto& oh = line(s, "GB-1", due::Basis::OH);
    EXPECT_DOUBLE_EQ(*rt.sinceNew, 400);
    EXPECT_DOUBLE_EQ(*rt.sinceOverhaul, 150);
    EXPECT_DOUBLE_EQ(*oh.sinceNew, 400);
    EXPECT_DOUBLE_EQ(*oh.sinceOverhaul, 150);
    EXPECT_DOUBLE_EQ(*in1.sinceNew, 400);
    EXPECT_DOUBLE_EQ(*in1.sinceOverhaul, 150);
    EXPECT_DOUBLE_EQ(*line(s, "GB-1", due::Basis::CY).sinceNew, 60);
    EXPECT_FALSE(line(s, "GB-1", due::Basis::CY).sinceOverhaul);
    EXPECT_DOUBLE_EQ(*line(s, "ENG-2", due::Basis::OH).sinceNew, 200);
    EXPECT_DOUBLE_EQ(*line(s, "ENG-2", due::Basis::RT).sinceOverhaul, 50);

    // The table the window, the CSV and the print show.
    const auto table = lifeLimitedTable(s);
    ASSERT_EQ(table->rowCount(), 10);
    EXPECT_EQ(table->item(0, LlpLimit)->text(), "5000 hours");
    EXPECT_EQ(table->item(0, LlpRemaining)->text(), "4600");
    EXPECT_EQ(table->item(2, LlpControls)->text(), "yes");  // IN, third on item 7
    EXPECT_EQ(table->item(3, LlpBasis)->text(), "MO");
    EXPECT_EQ(table->item(3, LlpDue)->text(), "2026-01-31");
    EXPECT_EQ(table->item(3, LlpRemaining)->text(), "7.5");
}

TEST_P(LifeLimited, AfterAnOverhaulTheHistoryGivesTimeSinceNewAndSinceOverhaul) {
    Removal r;
    r.key = {"GB-1", "S1"};
    r.regNum = "N1";
    r.date = QDate(2025, 6, 1);
    r.reason = "overhaul";
    r.location = Location::Shop;
    removeComponent(*db, r, kToday);
    Overhaul o;
    o.key = {"GB-1", "S1"};
    o.date = QDate(2025, 6, 5);
    o.resetBases = {"OH", "CY"};  // the cycles limit set back too, as the shop certified
    overhaulComponent(*db, o, kToday);
    Installation in;
    in.key = {"gb-1", "s1"};
    in.regNum = "N2";
    in.itemNumber = 3;
    in.date = QDate(2025, 6, 10);
    installComponent(*db, in, kToday);
    // N2 flies 100 hours and 10 cycles.
    {
        data::Transaction tx(*db);
        db->execute("UPDATE Aircraft SET TotalTime = 2100, TotalCycles = 30 WHERE RegNum = 'N2'");
        tx.commit();
    }

    const LifeLimitedStatus s = status("N2");
    ASSERT_EQ(s.lines.size(), 8u);  // the gearbox's seven and OTHER's one
    const auto& rt = line(s, "GB-1", due::Basis::RT);
    EXPECT_DOUBLE_EQ(*rt.used, 500);
    EXPECT_DOUBLE_EQ(*rt.sinceNew, 500);
    EXPECT_DOUBLE_EQ(*rt.sinceOverhaul, 100);  // 500 less the 400 it had at the overhaul
    const auto& oh = line(s, "GB-1", due::Basis::OH);
    EXPECT_DOUBLE_EQ(*oh.used, 100);
    EXPECT_DOUBLE_EQ(*oh.remaining, 1400);
    EXPECT_DOUBLE_EQ(*oh.sinceNew, 500);
    EXPECT_DOUBLE_EQ(*oh.sinceOverhaul, 100);
    const auto& insp = line(s, "GB-1", due::Basis::IN);
    EXPECT_DOUBLE_EQ(*insp.remaining, -9.5);
    EXPECT_EQ(insp.level, due::WarningLevel::Overdue);
    EXPECT_DOUBLE_EQ(*insp.sinceOverhaul, 100);
    const auto& cy = line(s, "GB-1", due::Basis::CY);
    EXPECT_DOUBLE_EQ(*cy.used, 10);
    EXPECT_DOUBLE_EQ(*cy.sinceNew, 70);  // the 60 the overhaul set back count from new
    EXPECT_DOUBLE_EQ(*cy.sinceOverhaul, 10);
    const auto& ld = line(s, "GB-1", due::Basis::LD);
    EXPECT_DOUBLE_EQ(*ld.sinceNew, 2500);
    EXPECT_DOUBLE_EQ(*ld.sinceOverhaul, 0);
    // N1 no longer lists the gearbox.
    EXPECT_EQ(status("N1").lines.size(), 3u);
}

TEST_P(LifeLimited, AnUnknownRegistrationIsRefused) {
    try {
        status("N9");
        FAIL() << "no error";
    } catch (const data::DbError& e) {
        EXPECT_EQ(e.number(), data::ErrorNumber::ItemNotFound);
        EXPECT_TRUE(e.text().contains("N9"));
    }
}

VELMORA_ON_BOTH_BACK_ENDS(LifeLimited);

}  // namespace
