// The due list read on several connections at once: the same list as on one connection, in
// the same order, the caller's connection left to the caller's thread, and a failure on any
// of them reported as that failure.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "due/DueList.h"
#include "due/OrderedReading.h"
#include "utilisation/UtilisationSource.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using due::DueEntry;
using due::DueList;

namespace {

const QDate kToday(2025, 6, 15);

// A daily use of its own for each aircraft, so that every aircraft projects differently.
class UseByRegistration : public utilisation::UtilisationSource {
  public:
    utilisation::DailyUtilisation dailyUse(const QString& reg) const override {
        const double n = reg.trimmed().mid(1).toDouble();
        utilisation::DailyUtilisation u;
        u.meter1Hours = 2 + n / 4;
        u.meter2Hours = n > 3 ? std::optional<double>(1.5) : std::nullopt;
        u.landings = 3 + n;
        u.cycles = 2 * n;
        u.rin = 10;
        return u;
    }
};

class DueListReading : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        db = Database::open(store.createMainFile());
        // Nine aircraft (one registration typed in other letters and with a trailing blank),
        // each with every basis, both meters, and a unit with an hour and a month limit.
        for (int n = 1; n <= 9; ++n) {
            const QString reg = QStringLiteral("N%1").arg(n);
            addAircraft(*db, n == 4 ? QStringLiteral("n4 ") : reg, 1000 + 37 * n, 400 + n, 800 + n,
                        40 * n, 7 * n);
            const auto limit = [&](int item) { return part(reg, item); };
            addPart(*db, limit(1).withLife(2000, 100, 900 + n));
            addPart(*db, limit(2).withMeter(2).withLife(1000, 0, 300));
            addPart(*db, limit(3).withBasis("LD").withLife(1000, 50, 300 + 20 * n));
            addPart(*db, limit(4).withBasis("CY").withLife(500, 0, 10 * n));
            addPart(*db, limit(5).withBasis("RN").withLife(900, 0, 0));
            addPart(*db, limit(6).withBasis("MO").withLife(12 + n, 0, 0).installedOn("2024-09-30"));
            addPart(*db, limit(7).withLife(300 + 40 * n, 0, 1000).asUnit("GB-1", "S" + reg));
            addPart(*db, limit(8)
                             .withBasis("MO")
                             .withLife(n, 0, 0)
                             .installedOn("2025-03-31")
                             .asUnit("gb-1 ", "s" + reg));
            addPart(*db, limit(9).withLife(100, 0, 0).inactive());
        }
    }

    DueList compute() {
        return due::computeDueList(*db, UseByRegistration(), due::WarningSettings{}, kToday);
    }

    // The list as one connection reads it: a transaction open on the connection keeps the
    // reading to it.
    DueList computeOnOneConnection() {
        data::ScratchTransaction keepToOne(*db);
        return compute();
    }

    TestStore store{GetParam()};
    std::shared_ptr<Database> db;
};

void expectSameEntry(const DueList& a, const DueEntry& x, const DueList& b, const DueEntry& y) {
    EXPECT_EQ(a.regNum(x), b.regNum(y));
    EXPECT_EQ(x.itemNumber, y.itemNumber);
    EXPECT_EQ(x.description, y.description);
    EXPECT_EQ(x.partNumber, y.partNumber);
    EXPECT_EQ(x.serialNumber, y.serialNumber);
    EXPECT_EQ(x.lifeBasis, y.lifeBasis);
    EXPECT_EQ(x.meter, y.meter);
    EXPECT_EQ(x.life, y.life);
    EXPECT_EQ(x.remaining, y.remaining);
    EXPECT_EQ(x.projection, y.projection);
    EXPECT_EQ(x.dueDay, y.dueDay);
    EXPECT_EQ(x.level, y.level);
    EXPECT_EQ(x.limitsOfComponent, y.limitsOfComponent);
    EXPECT_EQ(x.controls, y.controls);
}

TEST_P(DueListReading, GivesTheListOneConnectionGives) {
    const DueList alone = computeOnOneConnection();
    const DueList shared = compute();
    ASSERT_EQ(alone.entries.size(), 9u * 8u);
    ASSERT_EQ(shared.entries.size(), alone.entries.size());
    ASSERT_EQ(shared.aircraft.size(), alone.aircraft.size());
    EXPECT_EQ(shared.aircraftRank, alone.aircraftRank);
    for (size_t i = 0; i < alone.entries.size(); ++i) {
        SCOPED_TRACE(i);
        expectSameEntry(alone, alone.entries[i], shared, shared.entries[i]);
    }
    // Both limits of each unit were judged together: exactly one of them controls.
    int controlling = 0;
    for (const DueEntry& e : shared.entries)
        controlling += e.limitsOfComponent == 2 && e.controls;
    EXPECT_EQ(controlling, 9);
}

TEST_P(DueListReading, SeesTheChangesOfTheCallersOpenTransaction) {
    data::Transaction tx(*db);
    addPart(*db, part("N5", 20).withLife(10, 0, 1185));
    const DueList list = compute();
    EXPECT_EQ(list.entries.size(), 9u * 8u + 1u);
    const auto added = std::find_if(list.entries.begin(), list.entries.end(),
                                    [](const DueEntry& e) { return e.itemNumber == 20; });
    ASSERT_NE(added, list.entries.end());
    EXPECT_EQ(added->remaining, 10.0);
}

TEST_P(DueListReading, AFailureOnAnyConnectionIsTheCallersError) {
    db->execute(QStringLiteral("DROP TABLE Parts"));
    const auto alone = dbErrorOf([&] { computeOnOneConnection(); });
    const auto shared = dbErrorOf([&] { compute(); });
    ASSERT_TRUE(alone);
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->number(), alone->number());
    EXPECT_EQ(shared->text(), alone->text());
}

// Reading items in order: every item taken once, in order, one take at a time while the
// other threads go on reading, each read on a connection that only its own thread touches,
// the caller's connection only on the calling thread.
TEST_P(DueListReading, ItemsAreTakenInOrderAndConnectionsStayWithTheirThreads) {
    const size_t count = 24;
    std::mutex mutex;
    std::map<Database*, std::thread::id> threadOf;
    bool sharedByThreads = false;
    std::vector<size_t> taken;
    std::atomic<int> taking{0};
    bool takesOverlapped = false;
    due::readInOrder(
        *db, count,
        [&](Database& conn, size_t i) {
            // A real read on the connection, and long enough for every thread to get items.
            conn.openRecordset(QStringLiteral("SELECT Count(*) FROM Parts WHERE ItemNumber = ?1"),
                               {data::Value(static_cast<int>(i))});
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            const std::lock_guard lock(mutex);
            const auto [at, added] = threadOf.emplace(&conn, std::this_thread::get_id());
            sharedByThreads = sharedByThreads || at->second != std::this_thread::get_id();
        },
        [&](size_t i) {
            takesOverlapped = takesOverlapped || ++taking > 1;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));  // a take of some length
            taken.push_back(i);
            --taking;
        });
    EXPECT_FALSE(takesOverlapped);
    ASSERT_EQ(taken.size(), count);
    for (size_t i = 0; i < count; ++i)
        EXPECT_EQ(taken[i], i);
    EXPECT_FALSE(sharedByThreads);
    ASSERT_TRUE(threadOf.count(db.get()));
    EXPECT_EQ(threadOf[db.get()], std::this_thread::get_id());
    if (QThread::idealThreadCount() > 1)
        EXPECT_EQ(threadOf.size(), std::min<size_t>(count, QThread::idealThreadCount()));
    else
        EXPECT_EQ(threadOf.size(), 1u);
}

// A few items on a server are read on the caller's session alone: a further session would
// cost more than it saves.
TEST_P(DueListReading, AFewItemsOnAServerAreReadOnTheCallersSession) {
    const size_t count = 4;
    std::mutex mutex;
    std::set<Database*> used;
    due::readInOrder(
        *db, count,
        [&](Database& conn, size_t) {
            conn.openRecordset(QStringLiteral("SELECT Count(*) FROM Parts"));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const std::lock_guard lock(mutex);
            used.insert(&conn);
        },
        [](size_t) {});
    if (GetParam() == BackEnd::Server)
        EXPECT_EQ(used, std::set<Database*>{db.get()});
    else
        EXPECT_TRUE(used.count(db.get()));
}

TEST_P(DueListReading, AnItemsErrorStopsTheReadingAndReachesTheCaller) {
    std::vector<size_t> taken;
    const auto error = dbErrorOf([&] {
        due::readInOrder(
            *db, 40,
            [&](Database&, size_t i) {
                if (i == 6)
                    throw data::DbError(data::err::ServerConnection,
                                        QStringLiteral("Item 6 cannot be read."));
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            },
            [&](size_t i) { taken.push_back(i); });
    });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), data::err::ServerConnection);
    EXPECT_EQ(error->text(), QStringLiteral("Item 6 cannot be read."));
    // Nothing at or after the failed item was taken, and what was taken is in order.
    ASSERT_LE(taken.size(), 6u);
    for (size_t i = 0; i < taken.size(); ++i)
        EXPECT_EQ(taken[i], i);

    // A take's error stops the reading as well.
    taken.clear();
    const auto takeError = dbErrorOf([&] {
        due::readInOrder(
            *db, 40, [&](Database&, size_t) {},
            [&](size_t i) {
                if (i == 3)
                    throw data::DbError(data::err::ServerConnection,
                                        QStringLiteral("Item 3 cannot be taken."));
                taken.push_back(i);
            });
    });
    ASSERT_TRUE(takeError);
    EXPECT_EQ(takeError->text(), QStringLiteral("Item 3 cannot be taken."));
    EXPECT_EQ(taken, (std::vector<size_t>{0, 1, 2}));
    // The connection is usable afterwards.
    EXPECT_EQ(compute().entries.size(), 9u * 8u);
}

VELMORA_ON_BOTH_BACK_ENDS(DueListReading);

}  // namespace
