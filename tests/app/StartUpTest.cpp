#include "app/ProgramFolder.h"
#include "app/ProgramIdentity.h"
#include "data/Schema.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

TEST(FirstRun, CreatesTheSettingsAndAnEmptyDataFolderOnce) {
    TestFolder folder;
    const auto failure = app::ensureFirstRun(folder.path());
    ASSERT_FALSE(failure) << failure->text.toStdString();
    const QString data = folder.file("Data") + QDir::separator();
    EXPECT_TRUE(QFileInfo::exists(data + "Timemgr.mdb"));
    EXPECT_TRUE(QFileInfo::exists(data + "HeliPart.mdb"));
    auto rs = data::Database::open(folder.file("SetupPP.mdb"))->openRecordset("CompanyInfo");
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("PathData").toString(), data);
    auto main = data::Database::open(data + "Timemgr.mdb");
    EXPECT_TRUE(main->hasTable("Aircraft") && main->hasTable("Parts") && main->hasTable("Oil"));
    // The reports are ready to print: their definitions and their data sources.
    EXPECT_EQ(main->queryDefNames(), QStringList({"Forecast", "Remaining"}));
    EXPECT_TRUE(fileBytes(data + "1.rpt").contains("Source = Remaining"));
    EXPECT_TRUE(fileBytes(data + "2.rpt").contains("Source = Forecast"));
    main.reset();

    // A later start changes nothing, even when the data files are gone.
    const QByteArray settings = fileBytes(folder.file("SetupPP.mdb"));
    QFile::remove(data + "Timemgr.mdb");
    ASSERT_FALSE(app::ensureFirstRun(folder.path()));
    EXPECT_FALSE(QFileInfo::exists(data + "Timemgr.mdb"));
    EXPECT_EQ(fileBytes(folder.file("SetupPP.mdb")), settings);
}

TEST(FirstRun, KeepsDataFilesThatAreAlreadyThere) {
    TestFolder folder;
    QDir().mkpath(folder.file("Data"));
    const QString existing = folder.file("Data/Timemgr.mdb");
    data::schema::createMainFile(existing);
    addAircraft(*data::Database::open(existing), "N1");
    const auto failure = app::ensureFirstRun(folder.path());
    ASSERT_FALSE(failure) << failure->text.toStdString();
    EXPECT_EQ(data::Database::open(existing)->openRecordset("Aircraft")->recordCount(), 1);
}

TEST(ProgramFolder, IsTheProgramsOwnFolderWhereItCanKeepItsSettings) {
    TestFolder folder;
    const QString user = folder.file("user");
    const QString bin = folder.file("bin");
    QDir().mkpath(bin);
    EXPECT_EQ(app::programFolderFor(bin, user), bin);

    // A folder that cannot be written is left for the user's own folder, unless the
    // settings are already there.
    setMode(bin, 0555);
    const bool rootWritesAnyway = QFileInfo(bin).isWritable();
    if (!rootWritesAnyway) {
        EXPECT_EQ(app::programFolderFor(bin, user), user);
    }
    setMode(bin, 0755);
    folder.writeFile("bin/SETUPPP.MDB", "");
    setMode(bin, 0555);
    EXPECT_EQ(app::programFolderFor(bin, user), bin);
    setMode(bin, 0755);
}

TEST(ProgramFolder, AnInstalledProgramKeepsItsSettingsPerUserEvenForRoot) {
    // The folders of programs shared by all users, whether or not this user may write there.
    const QString user = QStringLiteral("/home/planner/.local/share/Velmora");
    for (const char* shared : {"/usr/bin", "/usr/local/bin", "/bin", "/usr/bin/"}) {
        if (QFileInfo(QString::fromLatin1(shared)).isDir()) {
            EXPECT_EQ(app::programFolderFor(QString::fromLatin1(shared), user), user) << shared;
        }
    }
    // Any other folder that can be written is the program's own.
    TestFolder folder;
    EXPECT_EQ(app::programFolderFor(folder.path(), user), folder.path());
}

namespace {

// The program copied into a folder of its own, so that its program folder is a test folder.
QString installCopy(const TestFolder& folder) {
    const QString target = folder.file("velmora");
    QFile::copy(QStringLiteral(VELMORA_BIN), target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return target;
}

void startOffscreen(QProcess& p, const QString& program) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(program, {});
}

bool waitForFile(const QString& path, int ms) {
    for (int waited = 0; waited < ms; waited += 50) {
        if (QFileInfo::exists(path))
            return true;
        QThread::msleep(50);
    }
    return false;
}

}  // namespace

TEST(SingleInstance, ASecondStartHandsOverToTheRunningCopyAndEnds) {
    TestFolder folder;
    const QString program = installCopy(folder);
    QProcess first;
    startOffscreen(first, program);
    ASSERT_TRUE(first.waitForStarted(10000));
    ASSERT_TRUE(waitForFile(folder.file("SetupPP.mdb"), 20000));
    QThread::msleep(500);  // the menu is up and listening

    QProcess second;
    startOffscreen(second, program);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    // A copy that was killed leaves its socket behind; the next start runs all the same.
    first.kill();
    first.waitForFinished(5000);
    QProcess third;
    startOffscreen(third, program);
    ASSERT_TRUE(third.waitForStarted(10000));
    EXPECT_FALSE(third.waitForFinished(2000));
    EXPECT_EQ(third.state(), QProcess::Running);
    third.kill();
    third.waitForFinished(5000);
}

TEST(ProgramIdentity, BoxesAreTitledVelmoraAndNoNameIsAddedToWindowTitles) {
    const QString before = QApplication::applicationName();
    app::setProgramIdentity();
    EXPECT_EQ(QApplication::applicationName(), "Velmora");
    EXPECT_EQ(QApplication::applicationDisplayName(), "Velmora");
    // The title boxes take comes from the program's name: no display name of its own is
    // set, which the window system would append to "Meter #1 change".
    QApplication::setApplicationName("Renamed");
    EXPECT_EQ(QApplication::applicationDisplayName(), "Renamed");
    QApplication::setApplicationName(before);
}
