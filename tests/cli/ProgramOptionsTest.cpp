#include "support/TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

using namespace velmora::testing;

namespace {

struct Program {
    QString name;
    QString path;
};

const Program kPrograms[] = {
    {QStringLiteral("velmora"), QStringLiteral(VELMORA_BIN)},
    {QStringLiteral("velmora-sql"), QStringLiteral(VELMORA_SQL_BIN)},
    {QStringLiteral("velmora-report"), QStringLiteral(VELMORA_REPORT_BIN)},
    {QStringLiteral("velmora-demo"), QStringLiteral(VELMORA_DEMO_BIN)},
    {QStringLiteral("velmora-import"), QStringLiteral(VELMORA_IMPORT_BIN)},
    {QStringLiteral("velmora-due"), QStringLiteral(VELMORA_DUE_BIN)},
    {QStringLiteral("velmora-backup"), QStringLiteral(VELMORA_BACKUP_BIN)},
    {QStringLiteral("velmora-journal"), QStringLiteral(VELMORA_JOURNAL_BIN)},
    {QStringLiteral("velmora-migrate"), QStringLiteral(VELMORA_MIGRATE_BIN)},
    {QStringLiteral("velmora-server"), QStringLiteral(VELMORA_SERVER_BIN)},
    {QStringLiteral("velmora-ad"), QStringLiteral(VELMORA_AD_BIN)},
};

struct ProgramRun {
    int status = -1;
    QString out, err;
};

// The environment of a machine without a desktop, or with the offscreen platform.
QProcessEnvironment environment(bool offscreen) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (offscreen)
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

ProgramRun run(const QString& program, const QStringList& args, bool offscreen = false) {
    QProcess p;
    p.setProcessEnvironment(environment(offscreen));
    p.start(program, args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

}  // namespace

TEST(ProgramOptions, HelpAndVersionGoToStandardOutputAndNeedNoDisplay) {
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(program.name.toStdString());
        const ProgramRun help = run(program.path, {QStringLiteral("--help")});
        EXPECT_EQ(help.status, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: ") + program.name + u' '))
            << help.out.toStdString();
        EXPECT_TRUE(help.out.contains(QStringLiteral("-h, --help")));
        EXPECT_TRUE(help.out.contains(QStringLiteral("--version")));
        EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
        EXPECT_EQ(run(program.path, {QStringLiteral("-h")}).out, help.out);

        const ProgramRun version = run(program.path, {QStringLiteral("--version")});
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out, program.name + QStringLiteral(" (Velmora) " VELMORA_VERSION "\n"));
        EXPECT_TRUE(version.err.isEmpty());
    }
    // Each tool's help names its own options.
    const ProgramRun report = run(QStringLiteral(VELMORA_REPORT_BIN), {QStringLiteral("--help")});
    for (const char* option : {"--forecast", "--data=FOLDER", "--reg=REG", "--pdf=OUT.pdf",
                               "--company=NAME", "--phone=PHONE"})
        EXPECT_TRUE(report.out.contains(QLatin1String(option))) << option;
    EXPECT_TRUE(run(QStringLiteral(VELMORA_DEMO_BIN), {QStringLiteral("--help")})
                    .out.contains(QStringLiteral("--empty")));
}

TEST(ProgramOptions, AnUnknownOptionEndsWithStatusTwoAndSaysWhich) {
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(program.name.toStdString());
        // The display question comes later: the option is refused first.
        const ProgramRun r =
            run(program.path, {QStringLiteral("--frobnicate"), QStringLiteral("x")});
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(
            r.err.startsWith(program.name + QStringLiteral(": unknown option '--frobnicate'\n")))
            << r.err.toStdString();
        EXPECT_TRUE(
            r.err.contains(QStringLiteral("Try '") + program.name + QStringLiteral(" --help'")));
        EXPECT_EQ(run(program.path, {QStringLiteral("-q")}, true).status, 2);
    }
    // Help comes first when it is asked for before the unknown option, as with getopt.
    EXPECT_EQ(
        run(QStringLiteral(VELMORA_SQL_BIN), {QStringLiteral("--help"), QStringLiteral("--x")})
            .status,
        0);
}

TEST(ProgramOptions, TheProgramsKeepTheirOwnArguments) {
    TestFolder folder;
    // An option's value is the option's, whatever it looks like.
    const ProgramRun report =
        run(QStringLiteral(VELMORA_REPORT_BIN),
            {QStringLiteral("--reg"), QStringLiteral("--help"), QStringLiteral("--pdf=x.pdf")});
    EXPECT_EQ(report.status, 1);
    EXPECT_TRUE(report.err.contains(QStringLiteral("--data FOLDER"))) << report.err.toStdString();

    const ProgramRun sql = run(QStringLiteral(VELMORA_SQL_BIN), {folder.file("Timemgr.mdb")});
    EXPECT_EQ(sql.status, 2);
    EXPECT_TRUE(
        sql.err.startsWith(QStringLiteral("usage: velmora-sql [--param NAME=VALUE]... FILE SQL")));

    const QString demo = folder.file(QStringLiteral("Demo"));
    const ProgramRun empty =
        run(QStringLiteral(VELMORA_DEMO_BIN), {QStringLiteral("--empty"), demo});
    EXPECT_EQ(empty.status, 0) << empty.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(demo + QStringLiteral("/Timemgr.mdb")));
    const ProgramRun count = run(QStringLiteral(VELMORA_SQL_BIN),
                                 {demo + QStringLiteral("/Timemgr.mdb"),
                                  QStringLiteral("select count(*) as N from Aircraft")});
    EXPECT_EQ(count.out, QStringLiteral("N\r\n0\r\n"));
}

TEST(ProgramOptions, QtsOwnOptionsStillReachTheWindowedProgram) {
    TestFolder folder;
    const QString program = folder.file(QStringLiteral("velmora"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORA_BIN), program));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess p;
    p.setProcessEnvironment(environment(true));
    p.start(program,
            {QStringLiteral("-style"), QStringLiteral("Fusion"), QStringLiteral("-reverse")});
    ASSERT_TRUE(p.waitForStarted(10000));
    // It starts as usual: the first start's settings file appears beside the copy.
    bool started = false;
    for (int waited = 0; waited < 20000 && !started; waited += 50) {
        started = QFileInfo::exists(folder.file(QStringLiteral("SetupPP.mdb")));
        if (!started && p.state() == QProcess::NotRunning)
            break;
        QThread::msleep(50);
    }
    EXPECT_TRUE(started) << p.readAllStandardError().toStdString();
    p.kill();
    p.waitForFinished(5000);
}
