// Backups of the data files: made with SQLite's online backup beside each file, listed
// across folders, restored with the files as they were kept first, tidied by the number of
// daily backups kept; failures (a read-only folder, a full disk, damaged files) are told and
// leave the data files as they were.
#include "backup/BackupSettings.h"
#include "backup/Backups.h"
#include "data/DataFiles.h"
#include "data/DatabaseCopy.h"
#include "data/Journal.h"
#include "data/Schema.h"
#include "journal/JournalCheck.h"
#include "journal/JournalLines.h"
#include "support/FileDamage.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace velmora;
using namespace velmora::testing;
using backup::Reason;
namespace err = data::err;

namespace {

const QDateTime kMorning(QDate(2026, 12, 6), QTime(8, 30, 15));

int aircraftCount(const QString& file) {
    return data::Database::open(file)->openRecordset("Aircraft")->recordCount();
}

// A program folder with its settings file, and a data folder below it with the main data
// file and the template library, as the first start makes them.
class Backups : public ::testing::Test {
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

    TestFolder folder;
    QString dataPath, settings, main, templates;
};

TEST_F(Backups, CopiesGoBesideEachFileUnderOneName) {
    const backup::BackupOutcome out = backup::makeBackup(all(), Reason::Daily, kMorning);
    EXPECT_TRUE(out.failures.isEmpty()) << out.failures.join(' ').toStdString();
    EXPECT_EQ(out.backup.name, "2026-12-06_083015_daily");
    ASSERT_EQ(out.backup.copies.size(), 3u);
    // Each folder of the backup lists every file the whole backup holds.
    EXPECT_EQ(folderEntries(folder.file("Backups/2026-12-06_083015_daily")),
              (QStringList{".backup-contents", "SetupPP.mdb"}));
    EXPECT_EQ(folderEntries(dataPath + "Backups/2026-12-06_083015_daily"),
              (QStringList{".backup-contents", "HeliPart.mdb", "Timemgr.mdb"}));
    // A copy is a whole database file with the rows, and nothing is left half made.
    EXPECT_EQ(aircraftCount(dataPath + "Backups/2026-12-06_083015_daily/Timemgr.mdb"), 1);
    EXPECT_EQ(folderEntries(dataPath + "Backups"), QStringList{"2026-12-06_083015_daily"});

    // A second backup in the same second gets a name of its own; the list merges folders.
    const auto second = backup::makeBackup({main}, Reason::Daily, kMorning);
    EXPECT_EQ(second.backup.name, "2026-12-06_083015_daily-2");
    backup::makeBackup({main}, Reason::BeforeTemplate, kMorning.addSecs(60));
    const std::vector<backup::Backup> listed = backup::listBackups(all());
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].name, "2026-12-06_083115_before-template");
    EXPECT_EQ(listed[0].reason, Reason::BeforeTemplate);
    EXPECT_EQ(listed[1].name, "2026-12-06_083015_daily-2");
    EXPECT_EQ(listed[2].copies.size(), 3u);
    EXPECT_EQ(listed[2].description(), "6 Dec 2026 08:30:15, daily backup");
    EXPECT_NE(listed[2].copyOf(settings), nullptr);
}

// A copy is the file as it stood at one moment, also while a transaction of another
// connection is open on it.
TEST_F(Backups, CopyTakesTheCommittedStateOnly) {
    auto db = data::Database::open(main);
    data::Transaction tx(*db);
    addAircraft(*db, "N2");
    const QString copy = folder.file("copy.mdb");
    data::copyDatabaseFile(main, copy);
    EXPECT_EQ(aircraftCount(copy), 1);
    EXPECT_DB_ERROR(data::copyDatabaseFile(main, copy), err::ObjectExists);
}

TEST_F(Backups, DamagedFilesAreFoundAndNotCopied) {
    addManyParts(main, 300);
    EXPECT_TRUE(data::checkDatabaseFile(main, data::CheckDepth::Full).intact);
    damageLastPage(main);
    const QByteArray damaged = fileBytes(main);
    const data::FileCheck check = data::checkDatabaseFile(main);
    EXPECT_FALSE(check.intact);
    EXPECT_FALSE(check.problems.isEmpty());

    const auto out = backup::makeBackup(all(), Reason::Daily, kMorning);
    ASSERT_EQ(out.failures.size(), 1);
    EXPECT_TRUE(out.failures[0].contains(main)) << out.failures[0].toStdString();
    EXPECT_TRUE(out.failures[0].contains("damaged")) << out.failures[0].toStdString();
    // A backup is whole or not made: the copies of the other two are not kept either.
    EXPECT_TRUE(out.backup.copies.empty());
    EXPECT_TRUE(folderEntries(dataPath + "Backups").isEmpty());
    EXPECT_TRUE(folderEntries(folder.file("Backups")).isEmpty());
    EXPECT_TRUE(backup::listBackups(all()).empty());
    EXPECT_EQ(fileBytes(main), damaged);

    // A file cut short, or one that is not a database, is damaged as well.
    const QString cut = folder.writeFile("cut.mdb", fileBytes(templates).left(2000));
    EXPECT_FALSE(data::checkDatabaseFile(cut).intact);
    const QString text = folder.writeFile("text.mdb", "not a database at all");
    EXPECT_FALSE(data::checkDatabaseFile(text).intact);
    const QString jet = folder.writeFile("jet.mdb", jetFileHeader());
    EXPECT_DB_ERROR(data::checkDatabaseFile(jet), err::JetFile);
}

TEST_F(Backups, ReadOnlyBackupFolderIsToldAndChangesNothing) {
    QDir(dataPath).mkpath("Backups");
    setMode(dataPath + "Backups", 0555);
    const QByteArray before = fileBytes(main);
    const auto out = backup::makeBackup(all(), Reason::Daily, kMorning);
    setMode(dataPath + "Backups", 0755);
    ASSERT_EQ(out.failures.size(), 2);
    for (const QString& f : out.failures)
        EXPECT_TRUE(f.contains(dataPath + "Backups") && f.contains("read-only")) << f.toStdString();
    EXPECT_EQ(out.failureNumber, err::ReadOnly);
    EXPECT_TRUE(folderEntries(dataPath + "Backups").isEmpty());
    EXPECT_EQ(fileBytes(main), before);
    // The settings file beside the program could be copied, but a backup without the data
    // files is no backup of the set: nothing of it is kept, and nothing is listed.
    EXPECT_TRUE(out.backup.copies.empty());
    EXPECT_TRUE(folderEntries(folder.file("Backups")).isEmpty());
    EXPECT_TRUE(backup::listBackups(all()).empty());
}

TEST_F(Backups, FullDiskIsToldAndLeavesNoHalfCopy) {
    SmallFileSystem disk(4);
    if (!disk.available())
        GTEST_SKIP() << "no small file system to fill: " << disk.whyNot().toStdString();
    const QString file = QDir(disk.path()).filePath(data::files::kMain);
    data::schema::createMainFile(file);
    addManyParts(file, 2000);  // with their journal lines
    ASSERT_GT(QFileInfo(file).size(), 1500 * 1024);
    const QByteArray before = fileBytes(file);

    const auto out = backup::makeBackup({file}, Reason::Daily, kMorning);
    ASSERT_EQ(out.failures.size(), 1);
    EXPECT_EQ(out.failureNumber, err::DiskFull) << out.failures[0].toStdString();
    EXPECT_TRUE(out.failures[0].contains("not enough room")) << out.failures[0].toStdString();
    EXPECT_TRUE(out.backup.copies.empty());
    EXPECT_TRUE(folderEntries(QDir(disk.path()).filePath("Backups")).isEmpty());
    EXPECT_EQ(fileBytes(file), before);
    // The file is still whole and takes changes.
    EXPECT_TRUE(data::checkDatabaseFile(file, data::CheckDepth::Full).intact);
    addAircraft(*data::Database::open(file), "N9");
    EXPECT_EQ(aircraftCount(file), 1);
}

TEST_F(Backups, RestorePutsTheFilesBackAndKeepsTheCurrentOnes) {
    const backup::Backup taken = backup::makeBackup(all(), Reason::Daily, kMorning).backup;
    addAircraft(*data::Database::open(main), "N2");
    ASSERT_EQ(aircraftCount(main), 2);
    // A connection that stays open sees the restored rows.
    auto open = data::Database::open(main);

    const backup::RestoreOutcome out = backup::restoreBackup(taken);
    EXPECT_EQ(out.restored.copies.size(), 3u);
    EXPECT_EQ(open->openRecordset("Aircraft")->recordCount(), 1);
    EXPECT_EQ(aircraftCount(main), 1);
    EXPECT_EQ(out.kept.reason, Reason::BeforeRestore);
    const backup::Copy* kept = out.kept.copyOf(main);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(aircraftCount(kept->path), 2);
    // The restored file takes changes again.
    addAircraft(*open, "N3");
    EXPECT_EQ(aircraftCount(main), 2);

    // Only some of the files.
    const backup::RestoreOutcome one = backup::restoreBackup(taken, {main});
    EXPECT_EQ(one.restored.copies.size(), 1u);
    EXPECT_EQ(aircraftCount(main), 1);
}

// The restored file's journal says why its content changed: which backup came back, by
// whom; its chain stays whole. The other files keep no journal and get none.
TEST_F(Backups, ARestoreIsRecordedInTheRestoredFilesJournal) {
    const backup::Backup taken = backup::makeBackup(all(), Reason::Daily, kMorning).backup;
    addAircraft(*data::Database::open(main), "N2");
    const backup::RestoreOutcome out = backup::restoreBackup(taken);

    auto db = data::Database::open(main);
    const auto lines = journal::readLines(*db, {});
    ASSERT_FALSE(lines.empty());
    const journal::JournalLine& last = lines.back();
    EXPECT_EQ(last.tableName, data::journal::kFileEvent);
    EXPECT_EQ(last.columnName, data::journal::kRestored);
    EXPECT_TRUE(last.newValue.toString().contains(taken.name))
        << last.newValue.toString().toStdString();
    EXPECT_TRUE(last.newValue.toString().contains(out.kept.name))
        << last.newValue.toString().toStdString();
    EXPECT_FALSE(last.userName.isEmpty());
    EXPECT_FALSE(last.hostName.isEmpty());
    // The line follows the backup's own lines: the N2 row is not among them.
    for (const journal::JournalLine& l : lines)
        EXPECT_NE(l.regNum, QStringLiteral("N2"));
    const journal::CheckResult check = journal::checkJournal(*db);
    EXPECT_TRUE(check.intact) << check.problem.toStdString();
    EXPECT_FALSE(data::Database::open(templates)->hasTable(data::journal::kTable));
    EXPECT_FALSE(data::Database::open(settings)->hasTable(data::journal::kTable));
}

TEST_F(Backups, DamagedCopyIsNeverRestored) {
    addManyParts(main, 300);
    const backup::Backup taken = backup::makeBackup({main}, Reason::Daily, kMorning).backup;
    damageLastPage(taken.copies.front().path);
    addAircraft(*data::Database::open(main), "N2");
    const QByteArray before = fileBytes(main);
    EXPECT_DB_ERROR(backup::restoreBackup(taken), err::NotADatabase);
    EXPECT_EQ(fileBytes(main), before);
    EXPECT_EQ(backup::listBackups({main}).size(), 1u);  // no backup of the files was needed
    EXPECT_FALSE(backup::newestGoodBackup(main).has_value());
}

// A file too damaged to be rewritten through its journal is replaced as a whole; its
// damaged bytes (and a journal left beside it) are kept.
TEST_F(Backups, DamagedFileIsReplacedAndKeptByteForByte) {
    addManyParts(main, 300);
    const backup::Backup good = backup::makeBackup({main}, Reason::Daily, kMorning).backup;
    backup::makeBackup({main}, Reason::Daily, kMorning.addDays(1));
    // The newest backup is damaged: the offer goes to the one before it.
    damageLastPage(backup::listBackups({main}).front().copies.front().path);
    QByteArray bytes = fileBytes(main);
    bytes.replace(0, 16, QByteArray(16, 'x'));  // not even a database header any more
    QFile::remove(main);
    folder.writeFile("Data/Timemgr.mdb", bytes);
    folder.writeFile("Data/Timemgr.mdb-journal", "left by a crash");

    const auto newest = backup::newestGoodBackup(main);
    ASSERT_TRUE(newest.has_value());
    EXPECT_EQ(newest->name, good.name);
    const backup::RestoreOutcome out = backup::restoreBackup(*newest);
    EXPECT_TRUE(data::checkDatabaseFile(main, data::CheckDepth::Full).intact);
    EXPECT_EQ(data::Database::open(main)->openRecordset("Parts")->recordCount(), 300);
    EXPECT_FALSE(QFileInfo::exists(main + "-journal"));
    const backup::Copy* kept = out.kept.copyOf(main);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(fileBytes(kept->path), bytes);
    EXPECT_EQ(fileBytes(kept->path + "-journal"), "left by a crash");
}

// A restore that fails midway puts the files it had restored back as they were.
TEST_F(Backups, FailedRestoreLeavesEveryFileAsItWas) {
    const backup::Backup taken =
        backup::makeBackup({main, templates}, Reason::Daily, kMorning).backup;
    addAircraft(*data::Database::open(main), "N2");
    data::Database::open(templates)->execute(
        "INSERT INTO Aircraft (Make, Model) VALUES ('A', 'B')");
    setMode(templates, 0444);
    const auto e = dbErrorOf([&] { backup::restoreBackup(taken); });
    setMode(templates, 0644);
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number(), err::ReadOnly) << e->text().toStdString();
    EXPECT_TRUE(e->text().contains(templates)) << e->text().toStdString();
    EXPECT_EQ(aircraftCount(main), 2);
    EXPECT_EQ(data::Database::open(templates)->openRecordset("Aircraft")->recordCount(), 1);
}

TEST_F(Backups, TidyingKeepsTheNewestDailyBackups) {
    for (int day = 0; day < 20; ++day) {
        const QDateTime at = kMorning.addDays(day);
        backup::makeBackup({main}, Reason::Daily, at);
        if (day % 5 == 0)
            backup::makeBackup({main}, Reason::BeforeTemplate, at.addSecs(3600));
    }
    backup::makeBackup({main}, Reason::BeforeRestore, kMorning.addDays(19).addSecs(60));
    // What a killed run left: a working folder of a process that is gone.
    QDir(dataPath + "Backups").mkpath(".partial-2026-12-01_000000_daily-999999999");
    backup::pruneBackups(dataPath + "Backups", 14);
    QStringList dailies, others;
    for (const backup::Backup& b : backup::listBackups({main}))
        (b.reason == Reason::Daily ? dailies : others) << b.name;
    EXPECT_EQ(dailies.size(), 14);
    EXPECT_EQ(dailies.last(), "2026-12-12_083015_daily");
    // Backups before a change live as long as the daily ones around them.
    EXPECT_EQ(others,
              (QStringList{"2026-12-25_083115_before-restore", "2026-12-21_093015_before-template",
                           "2026-12-16_093015_before-template"}));
    EXPECT_FALSE(
        QFileInfo::exists(dataPath + "Backups/.partial-2026-12-01_000000_daily-999999999"));
    // With fewer daily backups than kept, nothing is removed.
    backup::pruneBackups(dataPath + "Backups", 30);
    EXPECT_EQ(backup::listBackups({main}).size(), 17u);
}

TEST_F(Backups, DailyBackupIsDueOncePerDay) {
    EXPECT_TRUE(backup::dailyBackupDue(main, kMorning.date()));
    backup::makeBackup({main}, Reason::BeforeTemplate, kMorning);
    EXPECT_TRUE(backup::dailyBackupDue(main, kMorning.date()));
    backup::makeBackup({main}, Reason::Daily, kMorning);
    EXPECT_FALSE(backup::dailyBackupDue(main, kMorning.date()));
    EXPECT_TRUE(backup::dailyBackupDue(templates, kMorning.date()));
    EXPECT_TRUE(backup::dailyBackupDue(main, kMorning.date().addDays(1)));
}

TEST_F(Backups, MigrationGoesOnOnlyWithItsBackup) {
    EXPECT_EQ(backup::backupBeforeMigration(all()).copies.size(), 3u);
    QDir(dataPath + "Backups").removeRecursively();
    QDir(dataPath).mkpath("Backups");
    setMode(dataPath + "Backups", 0555);
    const auto e = dbErrorOf([&] { backup::backupBeforeMigration(all()); });
    setMode(dataPath + "Backups", 0755);
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number(), err::ReadOnly);
    EXPECT_TRUE(e->text().contains("not migrated")) << e->text().toStdString();
}

TEST_F(Backups, DailyBackupsKeptIsACompanySetting) {
    // A settings file made before the setting keeps working, with the default.
    EXPECT_EQ(backup::dailyBackupsKept(settings), backup::kDefaultDailyBackups);
    backup::setDailyBackupsKept(settings, 30);
    EXPECT_EQ(backup::dailyBackupsKept(settings), 30);
    backup::setDailyBackupsKept(settings, 7);
    EXPECT_EQ(backup::dailyBackupsKept(settings), 7);
    EXPECT_DB_ERROR(backup::setDailyBackupsKept(settings, 0), err::NumericOverflow);
    EXPECT_EQ(backup::dailyBackupsKept(settings), 7);
    EXPECT_EQ(data::Database::open(settings)->openRecordset("CompanyInfo")->recordCount(), 1);
    EXPECT_EQ(backup::dailyBackupsKept(folder.file("missing.mdb")), backup::kDefaultDailyBackups);
}

}  // namespace
