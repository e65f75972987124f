#pragma once

#include "Backup.h"
#include "data/DbError.h"

#include <QDate>
#include <QStringList>

#include <optional>
#include <vector>

namespace velmora::backup {

// What a backup run did.
struct BackupOutcome {
    Backup backup;                      // its name, time and reason, and the copies it made
    QStringList failures;               // why a data file could not be copied, one message each
    data::ErrorNumber failureNumber{};  // the engine's error number of the first failure
};

// Copies the data files that exist into the Backups folder beside each, as one backup named
// after the time and the reason, with SQLite's online backup. The copies of each folder are
// made in a hidden working folder, with the list of every file the backup holds, and take
// the backup's name only when all of them, in every folder, are complete, checked and on the
// disk: a backup is whole or not made at all. A file that cannot be copied (damaged, its
// Backups folder read-only, the disk full) is named in the failures with why, and nothing
// of that backup is kept; the data files are never changed. Before a restore
// (Reason::BeforeRestore) a damaged file is kept byte for byte, with its journal, so that
// nothing of it is lost.
BackupOutcome makeBackup(const QStringList& dataFiles, Reason reason,
                         const QDateTime& taken = QDateTime::currentDateTime());

// The whole backups of these data files, newest first, each with the copies it holds of
// them. A backup that lists a copy of one of these files that is missing or no file, or
// whose folder beside one of them was never completed, is not whole and not listed.
std::vector<Backup> listBackups(const QStringList& dataFiles);

// The backup of that name of these data files, whole or not (its problem says why not).
std::optional<Backup> findBackup(const QStringList& dataFiles, const QString& name);

// Throws data::DbError saying why when the backup is not whole, so that nothing of it is
// restored.
void checkWhole(const Backup& backup);

// The newest backup that holds an intact copy of the data file (each copy checked now),
// with that copy only.
std::optional<Backup> newestGoodBackup(const QString& dataFile);

struct RestoreOutcome {
    Backup restored;  // the copies that were put back
    Backup kept;      // the backup of the files as they were just before
};

// Puts the copies of a backup back over their data files: all of them, or those of the
// files named. A backup that is not whole is refused, and every copy is checked first: a
// regular file, intact, and a Velmora file of its data file's kind; one that is not means
// nothing is restored. Then the files as they are now are kept as a backup of their own,
// and when that cannot be made nothing is restored. A failure midway puts the files
// already restored back as they were. Throws data::DbError with a message for the user.
RestoreOutcome restoreBackup(const Backup& backup, const QStringList& onlyFiles = {});

// Whether a data file has no whole daily backup of that day yet.
bool dailyBackupDue(const QString& dataFile, const QDate& day);

// Tidies one Backups folder: keeps the newest keepDaily daily backups and removes older
// ones, and, once that many are there, the backups taken before a change that are older
// than the oldest daily one kept; removes what interrupted runs left behind.
void pruneBackups(const QString& backupFolder, int keepDaily);

// The backup a migration makes before it changes the files. Throws data::DbError when not
// every file could be copied: a migration does not go on without its backup.
Backup backupBeforeMigration(const QStringList& dataFiles);

}  // namespace velmora::backup
