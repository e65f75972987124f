// A component moved between aircraft keeps its life: on both back ends, for every life basis
// and both time meters, what the time remaining list shows right after installation on
// another aircraft equals what it showed before removal (figures worked by hand); the stores
// hold what remains; the history tells every event with the aircraft's totals; every change
// is journalled with who made it.
#include "ComponentTestData.h"
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "components/ComponentEvents.h"
#include "components/ComponentMoves.h"
#include "components/ComponentRead.h"
#include "components/ComponentSchema.h"
#include "data/Recordset.h"
#include "journal/JournalCheck.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::components;

namespace {

const QDate kToday(2025, 6, 15);

class ComponentMove : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        location = store.createMainFile();
        db = data::Database::open(location);
        addAircraft(*db, "N1", 1000, 500, 4000, 300, 50);
        addAircraft(*db, "N2", 2000, 800, 100, 20, 5);
        addGearboxLimit(*db, "RT", 5000, 300, 900);  // used 300 + (1000 - 900) = 400, 4600 remain
        addGearboxLimit(*db, "OH", 1500, 100, 950);  // used 150, 1350 remain
        addGearboxLimit(*db, "IN", 100, 0, 990.5);   // used 9.5, 90.5 remain
        addGearboxLimit(*db, "LD", 20000, 1500, 3000);  // used 2500, 17500 remain
        addGearboxLimit(*db, "CY", 1000, 10, 250);      // used 60, 940 remain
        addGearboxLimit(*db, "RN", 200, 5, 40);         // used 15, 185 remain
        addPart(*db, part("N1", 7)
                         .withBasis("MO")
                         .withLife(24, 0, 0)
                         .installedOn("2024-01-31")
                         .asUnit("GB-1", "S1")
                         .describedAs("Gearbox"));  // retires 31 January 2026
        addEngineLimit(*db, "RT", 3000, 100, 400);  // used 100 + (500 - 400) = 200, 2800 remain
        addEngineLimit(*db, "OH", 1200, 0, 450);    // used 50, 1150 remain
        addEngineLimit(*db, "IN", 50, 0, 480.25);   // used 19.75, 30.25 remain
        addPart(*db, part("N1", 1).withLife(100, 0, 0).asUnit("OTHER", "X"));
    }

    ComponentEvent remove(const QString& pn, const QString& sn, const QString& reg = "N1") {
        Removal r;
        r.key = {pn, sn};
        r.regNum = reg;
        r.date = QDate(2025, 6, 1);
        r.reason = QStringLiteral("to another aircraft");
        r.reference = QStringLiteral("WO-17");
        return removeComponent(*db, r, kToday);
    }
    ComponentEvent install(const QString& pn, const QString& sn, const QString& reg, int meter) {
        Installation in;
        in.key = {pn, sn};
        in.regNum = reg;
        in.itemNumber = 3;
        in.meter = meter;
        in.date = QDate(2025, 6, 10);
        in.reference = QStringLiteral("CRS 881");
        return installComponent(*db, in, kToday);
    }
    static double num(const std::map<QString, data::Value>& m, const QString& k) {
        return m.at(k).toDouble();
    }

    TestStore store{GetParam()};
    QString location;
    std::shared_ptr<data::Database> db;
};

TEST_P(ComponentMove, EveryBasisOnMeterOneRemainsAsBeforeOnTheOtherAircraft) {
    const auto before = remainingOnScreen(*db, "N1", "GB-1");
    ASSERT_EQ(before.size(), 7u);
    EXPECT_DOUBLE_EQ(num(before, "RT1"), 4600);
    EXPECT_DOUBLE_EQ(num(before, "OH1"), 1350);
    EXPECT_DOUBLE_EQ(num(before, "IN1"), 90.5);
    EXPECT_DOUBLE_EQ(num(before, "LD"), 17500);
    EXPECT_DOUBLE_EQ(num(before, "CY"), 940);
    EXPECT_DOUBLE_EQ(num(before, "RN"), 185);
    EXPECT_EQ(before.at("MO").toString(), "01/31/26");

    const ComponentEvent removed = remove("gb-1 ", "s1");  // case and trailing blanks ignored
    EXPECT_EQ(removed.kind, kRemoved);
    EXPECT_EQ(removed.totals.time, 1000);
    EXPECT_EQ(removed.totals.landings, 4000);
    EXPECT_TRUE(remainingOnScreen(*db, "N1", "GB-1").empty());    // off the aircraft's list
    EXPECT_EQ(remainingOnScreen(*db, "N1", "OTHER").size(), 1u);  // the others stay

    const auto stored = storedComponent(*db, {"GB-1", "S1"});
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->removedFrom, "N1");
    EXPECT_EQ(stored->limits.size(), 7u);
    std::map<QString, double> used, left;
    for (const StoredLimit& s : stored->limits) {
        used[s.limit.basisCode()] = s.lifeUsed.value_or(-1);
        left[s.limit.basisCode()] = s.remaining().value_or(-1);
    }
    EXPECT_DOUBLE_EQ(used["RT"], 400);
    EXPECT_DOUBLE_EQ(used["OH"], 150);
    EXPECT_DOUBLE_EQ(used["IN"], 9.5);
    EXPECT_DOUBLE_EQ(used["LD"], 2500);
    EXPECT_DOUBLE_EQ(used["CY"], 60);
    EXPECT_DOUBLE_EQ(used["RN"], 15);
    EXPECT_DOUBLE_EQ(used["MO"], 16);  // 31 January 2024 to 1 June 2025
    EXPECT_DOUBLE_EQ(left["RT"], 4600);
    EXPECT_DOUBLE_EQ(left["IN"], 90.5);

    install("GB-1", "S1", "N2", 1);
    EXPECT_FALSE(storedComponent(*db, {"GB-1", "S1"}));
    const auto after = remainingOnScreen(*db, "N2", "GB-1");
    ASSERT_EQ(after.size(), 7u);
    for (const auto& [basis, value] : before) {
        if (basis == u"MO") {
            EXPECT_EQ(after.at(basis).toString(), value.toString());  // shelf time counted
        } else {
            EXPECT_DOUBLE_EQ(num(after, basis), value.toDouble()) << basis.toStdString();
        }
    }
    // The rows carry the life used and the new aircraft's totals.
    auto rs = db->openRecordset(QStringLiteral(
        "select InstallTimeLeft, InstallACHour, InstallDate, ItemNumber from Parts where "
        "RegNum='N2' and LifeBasis='LD'"));
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_DOUBLE_EQ(rs->value(0).toDouble(), 2500);
    EXPECT_DOUBLE_EQ(rs->value(1).toDouble(), 100);
    EXPECT_EQ(rs->value(3).toInt(), 3);
}

TEST_P(ComponentMove, MeterTwoLimitsKeepTheirLifeOnEitherMeterOfTheNextAircraft) {
    const auto before = remainingOnScreen(*db, "N1", "ENG-2");
    EXPECT_DOUBLE_EQ(num(before, "RT2"), 2800);
    EXPECT_DOUBLE_EQ(num(before, "OH2"), 1150);
    EXPECT_DOUBLE_EQ(num(before, "IN2"), 30.25);
    remove("ENG-2", "E9");
    install("ENG-2", "E9", "N2", 2);
    const auto onTwo = remainingOnScreen(*db, "N2", "ENG-2");
    EXPECT_DOUBLE_EQ(num(onTwo, "RT2"), 2800);
    EXPECT_DOUBLE_EQ(num(onTwo, "OH2"), 1150);
    EXPECT_DOUBLE_EQ(num(onTwo, "IN2"), 30.25);

    // Back to N1, this time on its meter 1: the same life, counted against TotalTime.
    Removal r;
    r.key = {"ENG-2", "E9"};
    r.regNum = "N2";
    r.date = QDate(2025, 6, 12);
    r.reason = "overhaul";
    r.location = Location::Shop;
    removeComponent(*db, r, kToday);
    Installation in;
    in.key = {"ENG-2", "E9"};
    in.regNum = "N1";
    in.itemNumber = 4;
    in.meter = 1;
    in.date = QDate(2025, 6, 14);
    installComponent(*db, in, kToday);
    const auto onOne = remainingOnScreen(*db, "N1", "ENG-2");
    EXPECT_DOUBLE_EQ(num(onOne, "RT1"), 2800);
    EXPECT_DOUBLE_EQ(num(onOne, "OH1"), 1150);
    EXPECT_DOUBLE_EQ(num(onOne, "IN1"), 30.25);
}

TEST_P(ComponentMove, OverhaulResetsWhatItNamesAndTheHistoryTellsEveryEvent) {
    // A file without history reads the component's installation from its rows.
    const auto baseline = readHistory(*db, {"GB-1", "S1"});
    ASSERT_EQ(baseline.size(), 1u);
    EXPECT_EQ(baseline[0].kind, kInstalled);
    EXPECT_EQ(baseline[0].id, 0);
    EXPECT_FALSE(schema::hasHistory(*db));

    remove("GB-1", "S1");
    // The first event gave every component on file its baseline.
    EXPECT_EQ(readHistory(*db, {"OTHER", "x"}).size(), 1u);
    EXPECT_NE(readHistory(*db, {"OTHER", "x"})[0].id, 0);

    Overhaul o;
    o.key = {"GB-1", "S1"};
    o.date = QDate(2025, 6, 5);
    o.resetBases = {"OH"};
    o.reference = "OH-55";
    overhaulComponent(*db, o, kToday);
    install("GB-1", "S1", "N2", 1);
    const auto now = remainingOnScreen(*db, "N2", "GB-1");
    EXPECT_DOUBLE_EQ(num(now, "OH1"), 1500);  // time since overhaul back to zero
    EXPECT_DOUBLE_EQ(num(now, "RT1"), 4600);  // time since new kept

    const auto history = readHistory(*db, {"GB-1", "S1"});
    ASSERT_EQ(history.size(), 4u);
    EXPECT_EQ(history[0].kind, kInstalled);
    EXPECT_EQ(history[1].kind, kRemoved);
    EXPECT_EQ(history[1].regNum, "N1");
    EXPECT_EQ(history[1].reference, "WO-17");
    EXPECT_EQ(history[1].totals.time, 1000);
    EXPECT_EQ(history[1].totals.rin, 50);
    EXPECT_EQ(history[2].kind, kOverhauled);
    EXPECT_EQ(history[3].kind, kInstalled);
    EXPECT_EQ(history[3].regNum, "N2");
    EXPECT_EQ(history[3].totals.time, 2000);
    EXPECT_EQ(history[3].enteredBy, currentUser());
    for (const EventLimit& l : history[2].limits) {
        if (l.basis == u"OH") {
            EXPECT_DOUBLE_EQ(*l.usedBefore, 150);
            EXPECT_DOUBLE_EQ(*l.usedAfter, 0);
        }
        if (l.basis == u"RT") {
            EXPECT_DOUBLE_EQ(*l.usedAfter, 400);
        }
    }
    EXPECT_EQ(history[1].limits.size(), 7u);
}

TEST_P(ComponentMove, EveryRowWrittenIsJournalledWithWhoMadeIt) {
    remove("GB-1", "S1");
    auto rs = db->openRecordset(
        QStringLiteral("select TableName, UserName, ColumnName from Journal where TableName in "
                       "('ComponentStores', 'ComponentEvents', 'ComponentEventLimits', 'Parts')"));
    std::map<QString, int> lines;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        ++lines[rs->value(0).toString() + rs->value(2).toString()];
        EXPECT_FALSE(rs->value(1).toString().isEmpty());
    }
    EXPECT_EQ(lines["Parts(deleted row)"], 7);        // the rows that left the aircraft
    EXPECT_EQ(lines["ComponentStores(new row)"], 7);  // and went to the stores
    EXPECT_EQ(lines["ComponentEvents(new row)"], 4);  // three baselines and the removal
    EXPECT_EQ(lines["ComponentEventLimits(new row)"], 18);

    // The journal replays to the rows as they are, moved component and history included.
    install("GB-1", "S1", "N2", 1);
    const journal::CheckResult check = journal::checkJournal(*db);
    EXPECT_TRUE(check.intact) << check.problem.toStdString();
}

VELMORA_ON_BOTH_BACK_ENDS(ComponentMove);

}  // namespace
