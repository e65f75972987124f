// Several workstations at once: a value changed by another since it was read is not
// overwritten unseen, and entries made at the same time on one aircraft all count.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/DataFiles.h"
#include "data/SharedUse.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <sys/wait.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using data::Value;
namespace err = data::err;

namespace {

class ChangedByAnother : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        db = Database::open(store.createMainFile());
        addAircraft(*db, "N1", 100);
    }

    TestStore store{GetParam()};
    std::shared_ptr<Database> db;
};

TEST_P(ChangedByAnother, SaveIsRefusedAndTheOtherChangeKept) {
    auto rs = db->openRecordset("Aircraft");
    rs->edit();
    rs->setValue("TotalTime", Value(150.0));
    // Another screen (or, on the server, another workstation) saves the row meanwhile.
    if (store.backEnd() == BackEnd::Server) {
        ASSERT_TRUE(
            runOnTestServer(store.serverUri(), "UPDATE timemgr.aircraft SET totaltime = 120"));
    } else {
        db->execute("UPDATE Aircraft SET TotalTime = 120");
    }
    const auto e = dbErrorOf([&] { rs->update(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), err::DataChanged);
    EXPECT_EQ(e->text(), "The data has been changed by another user. Reload it?");
    EXPECT_EQ(db->openRecordset("Aircraft")->value("TotalTime").toDouble(), 120.0);
    // Read again, the row takes the edit.
    rs->cancelUpdate();
    rs->requery();
    rs->edit();
    rs->setValue("TotalTime", Value(150.0));
    rs->update();
    EXPECT_EQ(db->openRecordset("Aircraft")->value("TotalTime").toDouble(), 150.0);
}

TEST_P(ChangedByAnother, RowDeletedMeanwhileIsNoLongerThere) {
    auto rs = db->openRecordset("Aircraft");
    rs->edit();
    rs->setValue("Make", Value("Bell"));
    db->execute("DELETE FROM Aircraft");
    const auto e = dbErrorOf([&] { rs->update(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), err::NoCurrentRecord);
    EXPECT_EQ(db->openRecordset("Aircraft")->recordCount(), 0);
}

// Two workstations on one aircraft, each with a connection of its own: entries are applied as
// changes to the row as it is stored, so that they add up; a value typed over one another
// saved meanwhile is still refused.
class TwoWorkstations : public ChangedByAnother {
  protected:
    void SetUp() override {
        ChangedByAnother::SetUp();
        if (IsSkipped())
            return;
        other = Database::open(
            data::dataFileName(store.otherWorkstationDataPath(), data::files::kMain));
        ASSERT_NE(other.get(), db.get()) << "the second workstation needs its own connection";
    }
    // Adds an amount to the total as stored when the row is written.
    static void addToTotal(data::Recordset& rs, double amount) {
        rs.edit();
        rs.applyChange("TotalTime", [amount](const data::Recordset::StoredColumns& stored) {
            return Value(stored("TotalTime").toDouble() + amount);
        });
        rs.update();
    }
    double storedTotal() {
        return db->openRecordset("SELECT TotalTime FROM Aircraft")->value(0).toDouble();
    }

    std::shared_ptr<Database> other;
};

TEST_P(TwoWorkstations, EntriesOnOneAircraftAddUp) {
    auto first = db->openRecordset("SELECT * FROM Aircraft WHERE RegNum = 'N1'");
    auto second = other->openRecordset("SELECT * FROM Aircraft WHERE RegNum = 'N1'");
    addToTotal(*first, 1.5);
    // The second read 100 before the first saved: its entry goes on top of 101.5.
    EXPECT_EQ(second->value("TotalTime").toDouble(), 100.0);
    EXPECT_FALSE(dbErrorOf([&] { addToTotal(*second, 2.0); }));
    EXPECT_EQ(storedTotal(), 103.5);
    EXPECT_EQ(second->value("TotalTime").toDouble(), 103.5);  // the row as stored
    EXPECT_EQ(second->storedNow("TotalTime").toDouble(), 103.5);
    EXPECT_EQ(first->value("TotalTime").toDouble(), 101.5);  // not read since
    EXPECT_EQ(first->storedNow("TotalTime").toDouble(), 103.5);
}

TEST_P(TwoWorkstations, ValueTypedOverAnotherUsersChangeIsRefused) {
    auto first = db->openRecordset("SELECT * FROM Aircraft WHERE RegNum = 'N1'");
    auto second = other->openRecordset("SELECT * FROM Aircraft WHERE RegNum = 'N1'");
    first->edit();
    first->setValue("Owner", Value("Skyline"));
    first->update();
    second->edit();
    second->setValue("Owner", Value("Harbour Air"));
    addToTotal(*first, 1.0);  // meanwhile, an entry
    second->applyChange("TotalTime", [](const data::Recordset::StoredColumns& stored) {
        return Value(stored("TotalTime").toDouble() + 2.0);
    });
    const auto e = dbErrorOf([&] { second->update(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), err::DataChanged);
    // Nothing of the refused row was written.
    auto now = db->openRecordset("SELECT Owner, TotalTime FROM Aircraft");
    EXPECT_EQ(now->value("Owner").toString(), "Skyline");
    EXPECT_EQ(now->value("TotalTime").toDouble(), 101.0);
}

TEST_P(TwoWorkstations, ColumnsTheOtherDidNotChangeAreWritten) {
    auto first = db->openRecordset("SELECT * FROM Aircraft WHERE RegNum = 'N1'");
    auto second = other->openRecordset("SELECT * FROM Aircraft WHERE RegNum = 'N1'");
    addToTotal(*first, 1.0);
    second->edit();
    second->setValue("Owner", Value("Harbour Air"));
    EXPECT_FALSE(dbErrorOf([&] { second->update(); }));
    auto now = db->openRecordset("SELECT Owner, TotalTime FROM Aircraft");
    EXPECT_EQ(now->value("Owner").toString(), "Harbour Air");
    EXPECT_EQ(now->value("TotalTime").toDouble(), 101.0);
}

VELMORA_ON_BOTH_BACK_ENDS(ChangedByAnother);
VELMORA_ON_BOTH_BACK_ENDS(TwoWorkstations);

// One workstation entering a number of meter increments: each one read of the aircraft and an
// entry applied to the row as stored. A save refused because the row was locked at that
// moment is entered again. Returns the sum of the increments whose save was acknowledged.
double enterIncrements(const QString& location, int worker, int entries) {
    auto db = Database::open(location);
    double acknowledged = 0;
    for (int n = 0, attempts = 0; n < entries && attempts < 50 * entries; ++attempts) {
        const double increment = 0.1 * ((worker + n) % 7 + 1);
        try {
            auto rs = db->openRecordset("SELECT * FROM Aircraft WHERE RegNum = 'N1'");
            rs->edit();
            rs->applyChange("TotalTime", [increment](const data::Recordset::StoredColumns& s) {
                return Value(s("TotalTime").toDouble() + increment);
            });
            rs->update();
            acknowledged += increment;
            ++n;
        } catch (const data::DbError& e) {
            if (e.number() != err::Locked)
                throw;
        }
    }
    return acknowledged;
}

TEST(ConcurrentEntry, EightWorkstationsLoseNoIncrement) {
    TestStore store{BackEnd::Server};
    VELMORA_SKIP_UNLESS_AVAILABLE(store);
    const QString location = store.createMainFile();
    addAircraft(*Database::open(location), "N1", 1000);

    constexpr int kWorkers = 8;
    constexpr int kEntries = 40;
    std::vector<pid_t> children;
    std::vector<int> pipes;
    for (int w = 0; w < kWorkers; ++w) {
        int fd[2];
        ASSERT_EQ(pipe(fd), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(fd[0]);
            double sum = -1;
            try {
                sum = enterIncrements(location, w, kEntries);
            } catch (const data::DbError& e) {
                fprintf(stderr, "workstation %d: error %d: %s\n", w, e.code(),
                        qPrintable(e.text()));
            } catch (...) {
            }
            const ssize_t written = write(fd[1], &sum, sizeof sum);
            _exit(written == sizeof sum ? 0 : 1);
        }
        close(fd[1]);
        children.push_back(pid);
        pipes.push_back(fd[0]);
    }
    double total = 0;
    double expected = 0;
    for (int w = 0; w < kWorkers; ++w) {
        for (int n = 0; n < kEntries; ++n)
            expected += 0.1 * ((w + n) % 7 + 1);
        double sum = -1;
        EXPECT_EQ(read(pipes[static_cast<size_t>(w)], &sum, sizeof sum),
                  static_cast<ssize_t>(sizeof sum));
        close(pipes[static_cast<size_t>(w)]);
        int status = 0;
        waitpid(children[static_cast<size_t>(w)], &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_GE(sum, 0) << "workstation " << w << " failed";
        total += sum;
    }
    // Every entry was saved, none refused because another saved first, and all count.
    EXPECT_NEAR(total, expected, 1e-6);
    const double stored = Database::open(location)
                              ->openRecordset("SELECT TotalTime FROM Aircraft")
                              ->value("TotalTime")
                              .toDouble();
    EXPECT_NEAR(stored, 1000 + expected, 1e-6);
}

}  // namespace
