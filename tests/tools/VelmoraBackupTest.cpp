// velmora-backup list and restore, run as the program.
#include "app/SingleInstance.h"
#include "backup/Backups.h"
#include "data/DataFiles.h"
#include "data/Schema.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

struct ToolRun {
    int status = -1;
    QString out, err;
};

ToolRun velmoraBackup(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(QStringLiteral(VELMORA_BACKUP_BIN), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

const QDateTime kMorning(QDate(2026, 12, 6), QTime(8, 30, 15));

class VelmoraBackup : public ::testing::Test {
  protected:
    void SetUp() override {
        QDir(folder.path()).mkpath("Data");
        settings = folder.createCompanyFile(folder.file("Data/"));
        main = folder.file("Data/Timemgr.mdb");
        data::schema::createMainFile(main);
        data::schema::createTemplateFile(folder.file("Data/HeliPart.mdb"));
        backup::makeBackup({settings, main, folder.file("Data/HeliPart.mdb")},
                           backup::Reason::Daily, kMorning);
        backup::makeBackup({main}, backup::Reason::BeforeTemplate, kMorning.addSecs(90));
        addAircraft(*data::Database::open(main), "N1");
    }
    int aircraft() { return data::Database::open(main)->openRecordset("Aircraft")->recordCount(); }

    TestFolder folder;
    QString settings, main;
};

}  // namespace

TEST_F(VelmoraBackup, ListsTheBackupsNewestFirst) {
    const ToolRun r = velmoraBackup({"--folder", folder.path(), "list"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(),
              "NAME                               TAKEN                WHY                       "
              "     FILES\n"
              "2026-12-06_083145_before-template  2026-12-06 08:31:45  before a template was "
              "applied  Timemgr.mdb\n"
              "2026-12-06_083015_daily            2026-12-06 08:30:15  daily backup              "
              "     SetupPP.mdb, Timemgr.mdb, HeliPart.mdb\n");
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
}

TEST_F(VelmoraBackup, RestoresAfterAConfirmation) {
    // Not confirmed: nothing changes.
    ToolRun r =
        velmoraBackup({"--folder", folder.path(), "restore", "2026-12-06_083015_daily"}, "n\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(
        r.out.startsWith("Restore the backup of 6 Dec 2026 08:30:15, daily backup "
                         "(SetupPP.mdb, Timemgr.mdb, HeliPart.mdb)?"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith("Nothing was restored.\n")) << r.out.toStdString();
    EXPECT_EQ(aircraft(), 1);

    r = velmoraBackup({"--folder", folder.path(), "restore", "2026-12-06_083015_daily"}, "y\n");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.contains("Restored the backup 2026-12-06_083015_daily: SetupPP.mdb, "
                       "Timemgr.mdb, HeliPart.mdb. The files as they were are kept as "
                       "the backup "))
        << r.out.toStdString();
    EXPECT_EQ(aircraft(), 0);

    // --yes asks nothing; the files kept before the restore can be restored in turn.
    const QString kept = backup::listBackups({main}).front().name;
    r = velmoraBackup({"--folder", folder.path(), "restore", kept, "--yes"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(aircraft(), 1);
}

TEST_F(VelmoraBackup, WrongNamesAndArgumentsAreRefused) {
    ToolRun r = velmoraBackup({"--folder", folder.path(), "restore", "2020-01-01_000000_daily"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "velmora-backup: there is no backup named 2020-01-01_000000_daily "
              "(velmora-backup list shows them).\n");
    r = velmoraBackup({"--folder", folder.path(), "restore"});
    EXPECT_EQ(r.status, 2);
    r = velmoraBackup({"--folder", folder.path(), "remove", "x"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith("velmora-backup: Unknown command \"remove\""))
        << r.err.toStdString();
    r = velmoraBackup({"--folder", folder.file("nowhere"), "list"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("there is no SetupPP.mdb in")) << r.err.toStdString();
    r = velmoraBackup({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("Usage: velmora-backup [--folder DIR] list\n"))
        << r.out.toStdString();
}

// While Velmora runs on the files, restoring under it is refused: it holds their rows.
TEST_F(VelmoraBackup, RestoreIsRefusedWhileVelmoraRunsOnTheFiles) {
    app::SingleInstance running(app::SingleInstance::serverNameFor(folder.path()));
    ASSERT_TRUE(running.claim());
    const ToolRun r =
        velmoraBackup({"--folder", folder.path(), "restore", "2026-12-06_083015_daily", "--yes"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Velmora is running on these files")) << r.err.toStdString();
    EXPECT_EQ(aircraft(), 1);
}

// A backup whose copy of a file was removed or replaced by something that is not a copy of
// it is not listed, and restoring it restores nothing and says why.
TEST_F(VelmoraBackup, ABackupThatIsNotWholeIsNotListedAndNotRestored) {
    const QString name = QStringLiteral("2026-12-06_083015_daily");
    const QString copy = folder.file("Data/Backups/" + name + "/Timemgr.mdb");
    const QByteArray settingsBefore = fileBytes(settings);
    const QByteArray mainBefore = fileBytes(main);

    ASSERT_TRUE(QFile::remove(copy));
    QDir().mkpath(copy);
    ToolRun r = velmoraBackup({"--folder", folder.path(), "list"});
    EXPECT_FALSE(r.out.contains(name)) << r.out.toStdString();
    r = velmoraBackup({"--folder", folder.path(), "restore", name, "--yes"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QStringLiteral("velmora-backup: error 3024: The backup %1 is not whole: its "
                                    "copy %2 is not a file. Nothing was restored.\n")
                         .arg(name, copy));
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();

    // An empty database in its place is no copy of the main data file.
    QDir(copy).removeRecursively();
    data::Database::create(copy);
    r = velmoraBackup({"--folder", folder.path(), "restore", name, "--yes"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QStringLiteral("velmora-backup: error 3343: The backup %1 cannot be "
                                    "restored: its copy %2 is not a Velmora Timemgr.mdb: it has "
                                    "no table Aircraft. Nothing was restored.\n")
                         .arg(name, copy));

    EXPECT_EQ(fileBytes(settings), settingsBefore);
    EXPECT_EQ(fileBytes(main), mainBefore);
    EXPECT_EQ(aircraft(), 1);
    // No backup of the files as they were was made for a restore that did not happen.
    for (const QString& backups : {folder.file("Backups"), folder.file("Data/Backups")})
        EXPECT_FALSE(folderEntries(backups).join(u' ').contains("before-restore"));
}
