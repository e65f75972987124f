// What a removal, installation or overhaul refuses, on both back ends: each with a clear
// reason and nothing written.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "components/ComponentMoves.h"
#include "components/ComponentRead.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::components;

namespace {

const QDate kToday(2025, 6, 15);

class ComponentRefusal : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        location = store.createMainFile();
        db = data::Database::open(location);
        addAircraft(*db, "N1", 1000, 500, 4000, 300, 50);
        addAircraft(*db, "N2", 2000, 800, 100, 20, 5);
        addPart(
            *db,
            part("N1", 1).withLife(5000, 300, 900).installedOn("2025-03-01").asUnit("GB-1", "S1"));
        addPart(*db, part("N1", 2)
                         .withLife(1000, 990, 990)
                         .installedOn("2025-01-01")
                         .asUnit("WORN", "W1"));  // 1000 - 990 - 10: reached
        addPart(*db,
                part("N2", 1).withLife(5000, 0, 0).installedOn("2025-01-01").asUnit("GB-1", "S2"));
    }
    Removal removal(const QString& pn, const QString& sn) {
        Removal r;
        r.key = {pn, sn};
        r.regNum = "N1";
        r.date = QDate(2025, 6, 1);
        r.reason = "defect: chips";
        return r;
    }
    Installation installation(const QString& pn, const QString& sn, const QString& reg) {
        Installation in;
        in.key = {pn, sn};
        in.regNum = reg;
        in.itemNumber = 5;
        in.date = QDate(2025, 6, 10);
        return in;
    }
    // Runs a change that must be refused: the message names the reason, nothing is written.
    void expectRefused(const std::function<void()>& change, const QString& reason) {
        const QByteArray before = storedContent(location);
        const auto error = dbErrorOf(change);
        ASSERT_TRUE(error) << "not refused: " << reason.toStdString();
        EXPECT_TRUE(error->text().contains(reason))
            << error->text().toStdString() << " lacks " << reason.toStdString();
        EXPECT_EQ(storedContent(location), before);
    }

    TestStore store{GetParam()};
    QString location;
    std::shared_ptr<data::Database> db;
};

TEST_P(ComponentRefusal, RemovalsThatCannotBeAreRefusedWithTheirReason) {
    Removal blank = removal("GB-1", " ");
    expectRefused([&] { removeComponent(*db, blank, kToday); }, "serial number");
    Removal future = removal("GB-1", "S1");
    future.date = QDate(2025, 6, 16);
    expectRefused([&] { removeComponent(*db, future, kToday); }, "lies in the future");
    Removal early = removal("GB-1", "S1");
    early.date = QDate(2025, 2, 28);
    expectRefused([&] { removeComponent(*db, early, kToday); }, "precedes its installation");
    Removal noReason = removal("GB-1", "S1");
    noReason.reason = " ";
    expectRefused([&] { removeComponent(*db, noReason, kToday); }, "reason");
    Removal elsewhere = removal("GB-1", "S2");
    expectRefused([&] { removeComponent(*db, elsewhere, kToday); }, "installed on N2");

    removeComponent(*db, removal("GB-1", "S1"), kToday);
    expectRefused([&] { removeComponent(*db, removal("gb-1", "S1  "), kToday); },
                  "already in stores serviceable");
}

TEST_P(ComponentRefusal, InstallationsThatCannotBeAreRefusedWithTheirReason) {
    removeComponent(*db, removal("GB-1", "S1"), kToday);
    removeComponent(*db, removal("WORN", "W1"), kToday);
    expectRefused([&] { installComponent(*db, installation("GB-1", "S9", "N2"), kToday); },
                  "neither on an aircraft nor in stores");
    expectRefused([&] { installComponent(*db, installation("GB-1", "S2", "N1"), kToday); },
                  "installed on N2");
    Installation early = installation("GB-1", "S1", "N2");
    early.date = QDate(2025, 5, 31);
    expectRefused([&] { installComponent(*db, early, kToday); }, "precedes its removal");
    Installation meter = installation("GB-1", "S1", "N2");
    meter.meter = 3;
    expectRefused([&] { installComponent(*db, meter, kToday); }, "meter must be 1 or 2");
    expectRefused([&] { installComponent(*db, installation("GB-1", "S1", "N9"), kToday); },
                  "N9 is not on file");
    // A limit reached is named, and installing needs the user's consent.
    expectRefused([&] { installComponent(*db, installation("WORN", "W1", "N2"), kToday); },
                  "RT 1000 hours (meter 1): reached");
    Installation agreed = installation("WORN", "W1", "N2");
    agreed.acceptReachedLimits = true;
    EXPECT_NO_THROW(installComponent(*db, agreed, kToday));
    // The aircraft already has that serial number of the part.
    addPart(*db, part("N2", 8).withLife(5000, 0, 0).asUnit("GB-1", "S1"));
    expectRefused([&] { installComponent(*db, installation("GB-1", "S1", "N2"), kToday); },
                  "N2 already has P/N GB-1 S/N S1");
}

TEST_P(ComponentRefusal, ScrappedComponentsStayOffAircraftAndOverhaulsNeedTheirLimits) {
    Removal scrap = removal("GB-1", "S1");
    scrap.location = Location::Scrapped;
    removeComponent(*db, scrap, kToday);
    expectRefused([&] { installComponent(*db, installation("GB-1", "S1", "N2"), kToday); },
                  "scrapped");
    Overhaul o;
    o.key = {"GB-1", "S1"};
    o.date = QDate(2025, 6, 2);
    expectRefused([&] { overhaulComponent(*db, o, kToday); }, "scrapped");
    removeComponent(*db, removal("WORN", "W1"), kToday);
    o.key = {"WORN", "W1"};
    o.resetBases = {"LD"};
    expectRefused([&] { overhaulComponent(*db, o, kToday); }, "no limit of type LD");
    o.resetBases = {"rt"};
    overhaulComponent(*db, o, kToday);
    const auto s = storedComponent(*db, {"WORN", "W1"});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->limits.at(0).lifeUsed, 0.0);
    EXPECT_TRUE(reachedLimits(*s, kToday).isEmpty());
}

VELMORA_ON_BOTH_BACK_ENDS(ComponentRefusal);

}  // namespace
