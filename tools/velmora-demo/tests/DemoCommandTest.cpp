#include "DemoCommand.h"
#include "DemoFolder.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "remaining/RemainingLifeRebuild.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace velmora::demo {
namespace {

const QDate kToday(2025, 6, 15);

struct Outcome {
    int rc;
    QString out, err;
};

Outcome run(const QStringList& args) {
    Outcome r;
    r.rc = runDemoCommand(args, kToday, &r.out, &r.err);
    return r;
}

int rowCount(const QString& file, const QString& sql) {
    auto db = data::Database::open(file);
    auto rs = db->openRecordset(sql);
    rs->moveFirst();
    return static_cast<int>(rs->value(0).toInt());
}

TEST(DemoCommand, FillsBothFilesInANewFolder) {
    QTemporaryDir tmp;
    const QString folder = tmp.filePath(QStringLiteral("fleet/data"));
    const Outcome r = run({folder});
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("velmora-demo: created")));
    EXPECT_EQ(r.out.count(u'\n'), 1);
    const QString main = QDir(folder).filePath(QStringLiteral("Timemgr.mdb"));
    const QString templates = QDir(folder).filePath(QStringLiteral("HeliPart.mdb"));
    EXPECT_EQ(rowCount(main, QStringLiteral("SELECT Count(*) FROM Aircraft")), 4);
    EXPECT_GE(rowCount(main, QStringLiteral("SELECT Count(*) FROM Parts")), 120);
    EXPECT_GE(rowCount(main, QStringLiteral("SELECT Count(*) FROM Oil")), 48);
    EXPECT_EQ(rowCount(main, QStringLiteral("SELECT Count(*) FROM Parts WHERE Active = No")) > 0,
              true);
    EXPECT_EQ(rowCount(templates, QStringLiteral("SELECT Count(*) FROM Aircraft")), 4);
    EXPECT_GT(
        rowCount(templates, QStringLiteral("SELECT Count(*) FROM [Halden Rotorcraft] WHERE Model = "
                                           "'HR-66'")),
        30);
    EXPECT_GT(rowCount(templates, QStringLiteral("SELECT Count(*) FROM [Tarrant Aerospace] WHERE "
                                                 "ItemNumber = 0")),
              0);
}

TEST(DemoCommand, RemainingLifeListShowsOverdueComponents) {
    QTemporaryDir tmp;
    ASSERT_EQ(run({tmp.path()}).rc, 0);
    auto result = remaining::rebuildRemainingLife(tmp.path() + u'/', QStringLiteral("N421HD"),
                                                  remaining::MeterView::Both);
    ASSERT_TRUE(result.failures.isEmpty()) << result.failures.join(u'\n').toStdString();
    ASSERT_TRUE(result.rows);
    EXPECT_GE(result.rows->recordCount(), 30);
    int overdue = 0, months = 0;
    for (result.rows->moveFirst(); !result.rows->eof(); result.rows->moveNext()) {
        for (const char* col : {"TTtoRET", "TTtoRET2", "LNDtoRET", "RINtoRET", "TTtoOH", "TTtoIN",
                                "TTtoOH2", "TTtoIN2"}) {
            const data::Value v = result.rows->value(QString::fromLatin1(col));
            overdue += !v.isNull() && v.toDouble() < 0;
        }
        months += result.rows->value(QStringLiteral("MTHStoRT")).toString().size() == 8;
    }
    EXPECT_GT(overdue, 0);
    EXPECT_GT(months, 5);
}

TEST(DemoCommand, EmptyCreatesTablesWithoutRows) {
    QTemporaryDir tmp;
    const Outcome r = run({QStringLiteral("--empty"), tmp.path()});
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("empty")));
    const QString main = tmp.filePath(QStringLiteral("Timemgr.mdb"));
    EXPECT_EQ(rowCount(main, QStringLiteral("SELECT Count(*) FROM Parts")), 0);
    EXPECT_EQ(rowCount(main, QStringLiteral("SELECT Count(*) FROM Oil")), 0);
    EXPECT_EQ(rowCount(tmp.filePath(QStringLiteral("HeliPart.mdb")),
                       QStringLiteral("SELECT Count(*) FROM Aircraft")),
              0);
}

TEST(DemoCommand, WritesTheReportsAndKeepsADefinitionAlreadyThere) {
    QTemporaryDir tmp;
    QFile own(tmp.filePath(QStringLiteral("1.rpt")));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("# the operator's own layout\n");
    own.close();
    const Outcome r = run({QStringLiteral("--empty"), tmp.path()});
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();
    QFile kept(tmp.filePath(QStringLiteral("1.rpt")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("# the operator's own layout\n"));
    QFile forecast(tmp.filePath(QStringLiteral("2.rpt")));
    ASSERT_TRUE(forecast.open(QIODevice::ReadOnly));
    EXPECT_TRUE(forecast.readAll().contains("Source = Forecast"));
    auto db = data::Database::open(tmp.filePath(QStringLiteral("Timemgr.mdb")));
    EXPECT_TRUE(db->hasQueryDef(QStringLiteral("Remaining")));
    EXPECT_TRUE(db->hasQueryDef(QStringLiteral("Forecast")));
}

TEST(DemoCommand, RefusesAFolderHoldingADataFileInAnyLetterCase) {
    QTemporaryDir tmp;
    QFile f(tmp.filePath(QStringLiteral("HELIPART.mdb")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep me");
    f.close();
    const Outcome r = run({tmp.path()});
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("HELIPART.mdb"))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{QStringLiteral("HELIPART.mdb")});
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("keep me"));
}

TEST(DemoCommand, RefusesASecondRun) {
    QTemporaryDir tmp;
    ASSERT_EQ(run({tmp.path()}).rc, 0);
    const Outcome r = run({QStringLiteral("--empty"), tmp.path()});
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nothing was changed")));
    EXPECT_EQ(rowCount(tmp.filePath(QStringLiteral("Timemgr.mdb")),
                       QStringLiteral("SELECT Count(*) FROM Aircraft")),
              4);
}

TEST(DemoCommand, RefusesAFileGivenAsTheFolder) {
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("plain"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const Outcome r = run({path});
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("not a folder")));
}

// The program killed while it writes leaves no data file behind, in a folder that exists
// or one it makes, and the next run fills the folder.
TEST(DemoCommand, AKilledRunLeavesNoDataFilesAndTheNextRunSucceeds) {
    QTemporaryDir tmp;
    for (const QString& folder : {tmp.path(), tmp.filePath(QStringLiteral("made/data"))}) {
        // Killed as soon as the first new entry appears where the files go.
        const QString watched = QDir(folder).exists() ? folder : tmp.path();
        const auto entries = [&] {
            return QDir(watched).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        };
        const QStringList before = entries();
        QProcess demo;
        demo.start(QStringLiteral(VELMORA_DEMO_BIN), {folder});
        ASSERT_TRUE(demo.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        while (entries() == before && waited.elapsed() < 20000)
            QThread::usleep(200);
        demo.kill();
        demo.waitForFinished();
        EXPECT_EQ(demo.exitStatus(), QProcess::CrashExit) << "the run ended before it was killed";
        EXPECT_TRUE(existingDataFiles(folder).isEmpty()) << folder.toStdString();
        const Outcome next = run({folder});
        EXPECT_EQ(next.rc, 0) << next.err.toStdString();
        EXPECT_EQ(existingDataFiles(folder).size(), 2);
        // Nor is the killed run's working folder left behind once the next run is done.
        for (const QString& where : {tmp.path(), tmp.filePath(QStringLiteral("made"))})
            EXPECT_TRUE(
                QDir(where).entryList({".velmora-demo-*"}, QDir::Dirs | QDir::Hidden).isEmpty())
                << where.toStdString();
    }
}

// A working folder whose run is gone is removed by the next run; one whose run is still
// going is left to it.
TEST(DemoCommand, WorkingFoldersOfRunsThatAreGoneAreRemoved) {
    QTemporaryDir tmp;
    QProcess ended, running;
    ended.start(QStringLiteral("true"));
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 gone = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    running.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(running.waitForStarted());
    const QString stale = QStringLiteral(".velmora-demo-%1-0badc0de").arg(gone);
    const QString busy = QStringLiteral(".velmora-demo-%1-0c0ffee0").arg(running.processId());
    for (const QString& name : {stale, busy}) {
        QDir(tmp.path()).mkpath(name + QStringLiteral("/half"));
        QFile f(tmp.filePath(name + QStringLiteral("/Timemgr.mdb")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("half a database");
    }
    const Outcome r = run({tmp.filePath(QStringLiteral("fleet"))});
    running.kill();
    running.waitForFinished();
    EXPECT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({busy, QStringLiteral("fleet")}));
}

TEST(DemoCommand, WrongArgumentsShowTheUsage) {
    EXPECT_EQ(run({}).rc, 2);
    EXPECT_EQ(run({QStringLiteral("--full"), QStringLiteral("x")}).rc, 2);
    const Outcome r = run({QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(r.rc, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("usage:")));
}

}  // namespace
}  // namespace velmora::demo
