// A component's record card on both back ends: what identifies it (manufacturer included),
// each aircraft it was fitted to with the dates and totals, and its time and cycles since new
// and since overhaul after each event, worked by hand through a removal, an overhaul and an
// installation on another aircraft.
#include "ComponentTestData.h"
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "components/ComponentEvents.h"
#include "components/ComponentMoves.h"
#include "components/RecordCard.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::components;

namespace {

const QDate kToday(2025, 6, 15);

class RecordCardOf : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        db = data::Database::open(store.createMainFile());
        addAircraft(*db, "N1", 1000, 500, 4000, 300, 50);
        addAircraft(*db, "N2", 2000, 800, 100, 20, 5);
        addGearboxLimit(*db, "RT", 5000, 300, 900);  // 400 used at N1's 1000 hours
        addGearboxLimit(*db, "OH", 1500, 100, 950);  // 150
        addGearboxLimit(*db, "CY", 1000, 10, 250);   // 60 at N1's 300 cycles
        data::Transaction tx(*db);
        db->execute("UPDATE Parts SET Manufacturer = 'Acme Gears' WHERE PartNumber = 'GB-1'");
        tx.commit();
    }
    void moveThroughTheShop() {
        Removal r;
        r.key = {"GB-1", "S1"};
        r.regNum = "N1";
        r.date = QDate(2025, 6, 1);
        r.reason = "overhaul";
        r.location = Location::Shop;
        r.reference = "WO-17";
        removeComponent(*db, r, kToday);
        Overhaul o;
        o.key = {"GB-1", "S1"};
        o.date = QDate(2025, 6, 5);
        o.resetBases = {"OH", "CY"};
        o.reference = "EASA Form 1 AB-123";
        overhaulComponent(*db, o, kToday);
        Installation in;
        in.key = {"GB-1", "S1"};
        in.regNum = "N2";
        in.itemNumber = 3;
        in.date = QDate(2025, 6, 10);
        in.reference = "CRS 881";
        installComponent(*db, in, kToday);
    }

    TestStore store{GetParam()};
    std::shared_ptr<data::Database> db;
};

TEST_P(RecordCardOf, TellsWhereItWasFittedAndItsLifeAtEveryEvent) {
    moveThroughTheShop();
    const RecordCard card = readRecordCard(*db, {"gb-1", "s1 "});
    EXPECT_EQ(card.key.partNumber, "GB-1");
    EXPECT_EQ(card.description, "Gearbox");
    EXPECT_EQ(card.manufacturer, "Acme Gears");
    ASSERT_EQ(card.events.size(), 4u);  // installed (baseline), removed, overhauled, installed

    const auto life = lifeAtEvents(card.events);
    ASSERT_EQ(life.size(), 4u);
    // As first recorded: 300 hours and 10 cycles since new, 100 hours since overhaul.
    EXPECT_EQ(life[0].tsn, 300);
    EXPECT_EQ(life[0].csn, 10);
    EXPECT_EQ(life[0].tso, 100);
    EXPECT_FALSE(life[0].cso);
    // Off N1 at 1000 hours and 300 cycles.
    EXPECT_EQ(life[1].tsn, 400);
    EXPECT_EQ(life[1].csn, 60);
    EXPECT_EQ(life[1].tso, 150);
    // The overhaul set the overhaul and cycles limits back: since new stays.
    for (size_t i : {size_t{2}, size_t{3}}) {
        EXPECT_EQ(life[i].tsn, 400) << i;
        EXPECT_EQ(life[i].csn, 60) << i;
        EXPECT_EQ(life[i].tso, 0) << i;
        EXPECT_EQ(life[i].cso, 0) << i;
    }

    const auto events = recordCardEvents(card);
    ASSERT_EQ(events->rowCount(), 4);
    EXPECT_EQ(events->item(1, CardTotals)->text(), "TT 1000; TT2 500; LDG 4000; CYC 300; RIN 50");
    EXPECT_EQ(events->item(1, CardReason)->text(), "overhaul (to shop)");
    EXPECT_EQ(events->item(2, CardReference)->text(), "EASA Form 1 AB-123");
    EXPECT_EQ(events->item(3, CardSigned)->text(), currentUser());

    const auto fitted = recordCardFitted(card);
    ASSERT_EQ(fitted->rowCount(), 2);
    EXPECT_EQ(fitted->item(0, FittedAircraft)->text(), "N1");
    EXPECT_EQ(fitted->item(0, FittedItem)->text(), "7");
    EXPECT_EQ(fitted->item(0, FittedInstalled)->text(), "2025-01-01");
    EXPECT_EQ(fitted->item(0, FittedRemoved)->text(), "2025-06-01");
    EXPECT_EQ(fitted->item(0, FittedTotalsOff)->text(),
              "TT 1000; TT2 500; LDG 4000; CYC 300; RIN 50");
    EXPECT_EQ(fitted->item(0, FittedReason)->text(), "overhaul");
    EXPECT_EQ(fitted->item(1, FittedAircraft)->text(), "N2");
    EXPECT_EQ(fitted->item(1, FittedItem)->text(), "3");
    EXPECT_EQ(fitted->item(1, FittedInstalled)->text(), "2025-06-10");
    EXPECT_EQ(fitted->item(1, FittedTotalsOn)->text(), "TT 2000; TT2 800; LDG 100; CYC 20; RIN 5");
    EXPECT_EQ(fitted->item(1, FittedRemoved)->text(), "(fitted)");
}

TEST_P(RecordCardOf, AComponentInStoresKeepsItsIdentityAndOneUnknownHasNoEvents) {
    Removal r;
    r.key = {"GB-1", "S1"};
    r.regNum = "N1";
    r.date = QDate(2025, 6, 1);
    r.reason = "defect: chips";
    removeComponent(*db, r, kToday);
    const RecordCard stored = readRecordCard(*db, {"GB-1", "S1"});
    EXPECT_EQ(stored.manufacturer, "Acme Gears");
    EXPECT_EQ(stored.events.size(), 2u);
    const auto fitted = recordCardFitted(stored);
    ASSERT_EQ(fitted->rowCount(), 1);
    EXPECT_EQ(fitted->item(0, FittedRemoved)->text(), "2025-06-01");
    EXPECT_TRUE(readRecordCard(*db, {"NONE", "X"}).events.empty());
}

VELMORA_ON_BOTH_BACK_ENDS(RecordCardOf);

}  // namespace
