// Several workstations at once on the server: a row changed by another since it was read is
// not overwritten, and meter increments entered at the same time on one aircraft all count.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/SharedUse.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

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

VELMORA_ON_BOTH_BACK_ENDS(ChangedByAnother);

// One workstation entering meter increments for a while: each read of the aircraft, add,
// save; a save refused because another saved first is entered again. Returns the sum of the
// increments whose save was acknowledged.
double enterIncrements(const QString& location, int worker, qint64 forMs) {
    auto db = Database::open(location);
    double acknowledged = 0;
    QElapsedTimer clock;
    clock.start();
    for (int n = 0; clock.elapsed() < forMs; ++n) {
        const double increment = 0.1 * ((worker + n) % 7 + 1);
        try {
            auto rs = db->openRecordset("SELECT * FROM Aircraft WHERE RegNum = 'N1'");
            rs->edit();
            rs->setValue("TotalTime", Value(rs->value("TotalTime").toDouble() + increment));
            rs->update();
            acknowledged += increment;
        } catch (const data::DbError& e) {
            if (e.number() != err::DataChanged && e.number() != err::Locked)
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
                sum = enterIncrements(location, w, 3000);
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
    for (int w = 0; w < kWorkers; ++w) {
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
    EXPECT_GT(total, 0);
    const double stored = Database::open(location)
                              ->openRecordset("SELECT TotalTime FROM Aircraft")
                              ->value("TotalTime")
                              .toDouble();
    EXPECT_NEAR(stored, 1000 + total, 1e-6);
}

}  // namespace
