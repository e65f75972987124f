// A backup is whole or not at all: a run that cannot copy every file keeps nothing, a backup
// whose copy of a file was removed or replaced (by a folder, a pipe, an empty database) or
// whose folder beside a file was never completed is not listed, and restoring it restores
// nothing and says why.
#include "backup/Backups.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "support/FileDamage.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velmora;
using namespace velmora::testing;
using backup::Reason;
namespace err = data::err;

namespace {

const QDateTime kMorning(QDate(2026, 12, 6), QTime(8, 30, 15));
const QString kName = QStringLiteral("2026-12-06_083015_daily");

class WholeBackups : public ::testing::Test {
  protected:
    void SetUp() override {
        QDir(folder.path()).mkpath("Data");
        dataPath = folder.file("Data") + u'/';
        settings = folder.createCompanyFile(dataPath);
        main = dataPath + data::files::kMain;
        templates = dataPath + data::files::kTemplates;
        data::schema::createMainFile(main);
        data::schema::createTemplateFile(templates);
        addAircraft(*data::Database::open(main), "N1", 100);
    }
    QStringList all() const { return {settings, main, templates}; }
    QString copyOfMain() const { return dataPath + "Backups/" + kName + "/Timemgr.mdb"; }
    // What restoring the backup of that name says; empty when it restores.
    QString restoreFailure() {
        const std::optional<backup::Backup> b = backup::findBackup(all(), kName);
        if (!b)
            return QStringLiteral("no such backup");
        try {
            backup::restoreBackup(*b);
        } catch (const data::DbError& e) {
            return QStringLiteral("%1: %2").arg(e.code()).arg(e.text());
        }
        return {};
    }
    // The bytes of every data file and the names in both Backups folders.
    QList<QByteArray> state() const {
        QList<QByteArray> out;
        for (const QString& f : all())
            out << fileBytes(f);
        out << folderEntries(folder.file("Backups")).join(u'|').toUtf8();
        out << folderEntries(dataPath + "Backups").join(u'|').toUtf8();
        return out;
    }

    TestFolder folder;
    QString dataPath, settings, main, templates;
};

}  // namespace

TEST_F(WholeBackups, ABackupLackingAFileIsNotListedAndRestoresNothing) {
    struct Case {
        const char* what;
        std::function<void(const QString&)> replace;
        QString problem;
    };
    const std::vector<Case> cases = {
        {"removed", [](const QString& copy) { QFile::remove(copy); },
         "its copy of " + main + " is missing"},
        {"a folder",
         [](const QString& copy) {
             QFile::remove(copy);
             QDir().mkpath(copy);
         },
         "its copy " + copyOfMain() + " is not a file"},
        {"a pipe",
         [](const QString& copy) {
             QFile::remove(copy);
             ::mkfifo(QFile::encodeName(copy).constData(), 0600);
         },
         "its copy " + copyOfMain() + " is not a file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder.file("Backups")).removeRecursively();
        QDir(dataPath + "Backups").removeRecursively();
        ASSERT_TRUE(backup::makeBackup(all(), Reason::Daily, kMorning).failures.isEmpty());
        addAircraft(*data::Database::open(main), "N2");
        c.replace(copyOfMain());

        EXPECT_TRUE(backup::listBackups(all()).empty());
        const QList<QByteArray> before = state();
        EXPECT_EQ(restoreFailure(), QStringLiteral("3024: The backup %1 is not whole: %2. Nothing "
                                                   "was restored.")
                                        .arg(kName, c.problem));
        EXPECT_EQ(state(), before);
        // Nor is it the backup a damaged file is offered, and today's backup is still due.
        EXPECT_FALSE(backup::newestGoodBackup(main));
        EXPECT_TRUE(backup::dailyBackupDue(main, kMorning.date()));
        QDir(copyOfMain()).removeRecursively();
        QFile::remove(copyOfMain());
        QFile::remove(main);
        data::schema::createMainFile(main);
        addAircraft(*data::Database::open(main), "N1", 100);
    }
}

TEST_F(WholeBackups, ACopyThatIsNoVelmoraFileOfItsKindIsNotRestored) {
    ASSERT_TRUE(backup::makeBackup(all(), Reason::Daily, kMorning).failures.isEmpty());
    addAircraft(*data::Database::open(main), "N2");
    // An empty database in place of the main data file's copy, then the company file's.
    QFile::remove(copyOfMain());
    data::Database::create(copyOfMain());
    ASSERT_EQ(backup::listBackups(all()).size(), 1u);
    const QList<QByteArray> before = state();
    EXPECT_EQ(restoreFailure(), QStringLiteral("3343: The backup %1 cannot be restored: its copy "
                                               "%2 is not a Velmora Timemgr.mdb: it has no table "
                                               "Aircraft. Nothing was restored.")
                                    .arg(kName, copyOfMain()));
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(backup::newestGoodBackup(main));

    QFile::remove(copyOfMain());
    QFile::copy(templates, copyOfMain());
    EXPECT_TRUE(restoreFailure().contains("is not a Velmora Timemgr.mdb: it has no table Parts"));
    EXPECT_EQ(state(), before);
}

TEST_F(WholeBackups, AFolderOfABackupNeverCompletedMakesItNotWhole) {
    ASSERT_TRUE(backup::makeBackup(all(), Reason::Daily, kMorning).failures.isEmpty());
    // The settings file's folder of the backup is gone, as when the run was killed before it
    // took the backup's name: the data folder's part alone is not the backup.
    QDir(folder.file("Backups/" + kName)).removeRecursively();
    EXPECT_TRUE(backup::listBackups(all()).empty());
    EXPECT_TRUE(restoreFailure().contains("is not whole: its copy of " + settings + " is missing"));
    // The files of the data folder alone still have their whole copies there.
    EXPECT_TRUE(backup::newestGoodBackup(main));
}

TEST_F(WholeBackups, ABackupCutShortByAFullDiskKeepsNothing) {
    SmallFileSystem disk(4);
    if (!disk.available())
        GTEST_SKIP() << "no small file system to fill: " << disk.whyNot().toStdString();
    // The settings file lies on a disk with room, a main data file on one that fills up.
    const QString full = QDir(disk.path()).filePath(data::files::kMain);
    data::schema::createMainFile(full);
    const QStringList files = {settings, full};
    const QDateTime earlier = kMorning.addDays(-1);
    ASSERT_TRUE(backup::makeBackup(files, Reason::Daily, earlier).failures.isEmpty());
    addManyParts(full, 2000);
    const QStringList settingsBackups = folderEntries(folder.file("Backups"));
    const QStringList fullBackups = folderEntries(QDir(disk.path()).filePath("Backups"));

    // Today's backup cannot copy the main data file: the settings file's copy is not kept.
    const backup::BackupOutcome out = backup::makeBackup(files, Reason::Daily, kMorning);
    ASSERT_FALSE(out.failures.isEmpty());
    EXPECT_EQ(out.failureNumber, err::DiskFull);
    EXPECT_TRUE(out.backup.copies.empty());
    EXPECT_EQ(folderEntries(folder.file("Backups")), settingsBackups);
    EXPECT_EQ(folderEntries(QDir(disk.path()).filePath("Backups")), fullBackups);
    ASSERT_EQ(backup::listBackups(files).size(), 1u);
    EXPECT_TRUE(backup::dailyBackupDue(settings, kMorning.date()));

    // Restoring yesterday's needs a backup of the files as they are, which cannot be made:
    // nothing is restored, and no backup of them with a file missing is left either.
    const QByteArray before = fileBytes(full);
    try {
        backup::restoreBackup(backup::listBackups(files).front());
        ADD_FAILURE() << "restored without a backup of the files as they were";
    } catch (const data::DbError& e) {
        EXPECT_EQ(e.number(), err::DiskFull) << e.text().toStdString();
    }
    EXPECT_EQ(fileBytes(full), before);
    EXPECT_EQ(folderEntries(folder.file("Backups")), settingsBackups);
    EXPECT_EQ(folderEntries(QDir(disk.path()).filePath("Backups")), fullBackups);
    EXPECT_EQ(backup::listBackups(files).size(), 1u);
}
