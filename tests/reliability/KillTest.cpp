// A process that enters meter readings, saves aircraft and components and applies templates
// is killed (SIGKILL) at a random moment, again and again on the same files. After every
// kill both files pass SQLite's full integrity check, every change the process had reported
// as committed is in them, a change under way is there in full or not at all, and every
// backup listed is whole. VELMORA_KILL_ROUNDS sets the number of kills (200 by default),
// VELMORA_KILL_SEED the seed of the random moments.
#include "aircraft/TemplateLibrary.h"
#include "backup/Backups.h"
#include "data/DatabaseCopy.h"
#include "data/JetSqlTranslator.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QHash>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

using namespace velmora;
using namespace velmora::testing;

namespace {

int envNumber(const char* name, int fallback) {
    const QByteArray v = qgetenv(name);
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok && n > 0 ? n : fallback;
}

// What the child said of one change: its last committed value, and the value of a change
// it had begun after that.
struct Reported {
    QString done;
    QString pending;
    bool hasDone = false;
    bool hasPending = false;
};

// One run of the child, killed at a moment after it is ready.
class KilledRun {
  public:
    KilledRun(const QString& folder, int seed, std::chrono::milliseconds killAfter) {
        int fds[2];
        if (::pipe(fds) != 0)
            throw std::runtime_error("pipe");
        const QByteArray errors = QFile::encodeName(QDir(folder).filePath("worker-errors.txt"));
        const QByteArray dir = QFile::encodeName(folder);
        const QByteArray seedText = QByteArray::number(seed);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            const int err = ::open(errors.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (err >= 0)
                ::dup2(err, STDERR_FILENO);
            ::close(fds[0]);
            ::execl(VELMORA_KILL_WORKER, VELMORA_KILL_WORKER, dir.constData(), seedText.constData(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        fd_ = fds[0];
        if (!readUntil([this] { return output_.startsWith("READY\n"); }, std::chrono::seconds(20)))
            return;  // the status tells what happened
        const auto until = std::chrono::steady_clock::now() + killAfter;
        readUntil([] { return false; }, until - std::chrono::steady_clock::now());
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status_, 0);
        pid_ = -1;
        readUntil([] { return false; }, std::chrono::seconds(5));  // to the end of the pipe
    }
    ~KilledRun() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(fd_);
    }

    bool wasKilled() const { return WIFSIGNALED(status_) && WTERMSIG(status_) == SIGKILL; }
    // The complete lines the child wrote.
    QStringList lines() const {
        QStringList out = QString::fromUtf8(output_).split(u'\n');
        out.removeLast();  // empty, or a line cut off by the kill
        return out;
    }

  private:
    // Reads what the child writes until the condition holds, the time is up or the pipe ends.
    template <typename Done>
    bool readUntil(Done done, std::chrono::steady_clock::duration wait) {
        const auto until = std::chrono::steady_clock::now() + wait;
        while (!done()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                return done();
            output_.append(buffer, n);
        }
        return true;
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    int status_ = 0;
    QByteArray output_;
};

class KillTest : public ::testing::Test {
  protected:
    void SetUp() override {
        main = folder.createMainFile();
        templates = folder.createTemplateFile();
        std::vector<aircraft::TemplateRow> rows;
        for (int i = 0; i < 12; ++i)
            rows.push_back({data::Value(i * 5), data::Value("Bell"),
                            data::Value(QStringLiteral("Component %1").arg(i)), data::Value("P-1"),
                            data::Value("Rotor"), data::Value(1200.0), data::Value("RT"),
                            data::Value(99.5)});
        aircraft::saveTemplate(templates, "Bell", "206B", rows);
    }

    // Every row count and value the child reported is in the files. A change that was under
    // way is settled: what the files hold of it counts as committed from now on.
    void checkReported(QHash<QString, Reported>& reported, const QString& context) {
        auto db = data::Database::open(main);
        QHash<QString, int> aircraftRows, partRows;
        QHash<QString, double> totals;
        auto rs = db->openRecordset("SELECT RegNum, TotalTime, TotalTime2 FROM Aircraft");
        for (const auto& row : rs->rows()) {
            const QString reg = row.values[0].toString();
            ++aircraftRows[reg];
            totals[QStringLiteral("meter:%1:1").arg(reg)] = row.values[1].toDouble();
            totals[QStringLiteral("meter:%1:2").arg(reg)] = row.values[2].toDouble();
        }
        QHash<QString, int> items;
        auto parts = db->openRecordset("SELECT RegNum, ItemNumber FROM Parts");
        for (const auto& row : parts->rows()) {
            ++partRows[row.values[0].toString()];
            ++items[QStringLiteral("component:%1:%2")
                        .arg(row.values[0].toString())
                        .arg(row.values[1].toInt())];
        }
        for (auto it = reported.begin(); it != reported.end(); ++it) {
            const QString& key = it.key();
            Reported& r = it.value();
            const QString what = key + QStringLiteral(" (") + context + u')';
            const QString kind = key.section(u':', 0, 0);
            if (kind == u"aircraft" || kind == u"component") {
                const int count = kind == u"aircraft" ? aircraftRows.value(key.section(u':', 1))
                                                      : items.value(key);
                if (r.hasDone)
                    EXPECT_EQ(count, 1) << what.toStdString();
                else
                    EXPECT_LE(count, 1) << what.toStdString();
                if (r.hasPending && count == 1) {
                    r.done = r.pending;
                    r.hasDone = true;
                }
            } else if (kind == u"template") {
                const int count = partRows.value(key.section(u':', 1));
                const int all = (r.hasDone ? r.done : r.pending).toInt();
                if (r.hasDone)
                    EXPECT_EQ(count, all) << what.toStdString();
                else
                    EXPECT_TRUE(count == 0 || count == all)
                        << what.toStdString() << ": " << count << " of " << all << " rows";
                if (r.hasPending && count == all) {
                    r.done = r.pending;
                    r.hasDone = true;
                }
            } else if (kind == u"meter") {
                const double stored = totals.value(key, -1);
                const bool asDone = r.hasDone && stored == r.done.toDouble();
                const bool asPending = r.hasPending && stored == r.pending.toDouble();
                EXPECT_TRUE(asDone || asPending)
                    << what.toStdString() << ": the file holds " << stored << ", committed "
                    << r.done.toStdString() << ", under way " << r.pending.toStdString();
                if (asPending) {
                    r.done = r.pending;
                    r.hasDone = true;
                }
            }
            r.hasPending = false;
        }
        reported.removeIf([](const auto& entry) { return !entry.value().hasDone; });
    }

    TestFolder folder;
    QString main, templates;
};

TEST_F(KillTest, FilesStayWholeAndKeepEveryCommittedChange) {
    const int rounds = envNumber("VELMORA_KILL_ROUNDS", 200);
    const int seed = envNumber("VELMORA_KILL_SEED", 20261206);
    std::mt19937 random(static_cast<unsigned>(seed));
    QHash<QString, Reported> reported;
    int changes = 0;
    for (int round = 1; round <= rounds; ++round) {
        const auto killAfter =
            std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 80)(random));
        const QString context = QStringLiteral("round %1, killed %2 ms after it was ready, seed %3")
                                    .arg(round)
                                    .arg(killAfter.count())
                                    .arg(seed);
        QStringList lines;
        {
            KilledRun run(folder.path(), round, killAfter);
            ASSERT_TRUE(run.wasKilled())
                << context.toStdString() << ": the child ended by itself: "
                << fileBytes(folder.file("worker-errors.txt")).toStdString();
            lines = run.lines();
        }
        ASSERT_FALSE(lines.isEmpty()) << context.toStdString();
        for (const QString& line : lines.mid(1)) {
            const QStringList parts = line.split(u' ');
            ASSERT_EQ(parts.size(), 3) << line.toStdString();
            Reported& r = reported[parts[1]];
            if (parts[0] == u"PENDING") {
                r.pending = parts[2];
                r.hasPending = true;
            } else {
                r.done = parts[2];
                r.hasDone = true;
                r.hasPending = false;
                ++changes;
                if (parts[1].startsWith(QLatin1String("aircraft:"))) {
                    // A new aircraft's meter totals start as it was saved.
                    const QString reg = parts[1].section(u':', 1);
                    reported[QStringLiteral("meter:%1:1").arg(reg)] = {parts[2], {}, true, false};
                    reported[QStringLiteral("meter:%1:2").arg(reg)] = {"0", {}, true, false};
                }
            }
        }
        for (const QString& file : {main, templates}) {
            const data::FileCheck check = data::checkDatabaseFile(file, data::CheckDepth::Full);
            ASSERT_TRUE(check.intact) << file.toStdString() << " after " << context.toStdString()
                                      << ": " << check.problems.toStdString();
        }
        checkReported(reported, context);
        if (HasFailure())
            return;
        // The backups made before the templates are whole, or not listed at all.
        for (const backup::Backup& b : backup::listBackups({main}))
            ASSERT_TRUE(data::checkDatabaseFile(b.copies.front().path).intact)
                << b.name.toStdString() << " after " << context.toStdString();
        QDir(backup::backupFolderFor(main)).removeRecursively();
    }
    // The kills fell where there was work to lose. How much the child gets done before its
    // kill depends on how busy the machine is, so this asks for work in most rounds only.
    EXPECT_GT(changes, rounds / 2);
}

}  // namespace
