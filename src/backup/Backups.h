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
// made in a hidden working folder and take the backup's name only when they are complete,
// checked and on the disk, so that an interrupted or failed run never leaves a backup that
// is not whole. A file that cannot be copied (damaged, its Backups folder read-only, the
// disk full) is named in the failures with why; the data files are never changed. Before a
// restore (Reason::BeforeRestore) a damaged file is kept byte for byte, with its journal,
// so that nothing of it is lost.
BackupOutcome makeBackup(const QStringList& dataFiles, Reason reason,
                         const QDateTime& taken = QDateTime::currentDateTime());

// The backups of these data files, newest first, each with the copies it holds of them.
std::vector<Backup> listBackups(const QStringList& dataFiles);

// The newest backup that holds an intact copy of the data file (each copy checked now),
// with that copy only.
std::optional<Backup> newestGoodBackup(const QString& dataFile);

struct RestoreOutcome {
    Backup restored;  // the copies that were put back
    Backup kept;      // the backup of the files as they were just before
};

// Puts the copies of a backup back over their data files: all of them, or those of the
// files named. The copies are checked first; then the files as they are now are kept as a
// backup of their own, and when that cannot be made nothing is restored. A failure midway
// puts the files already restored back as they were. Throws data::DbError with a message
// for the user.
RestoreOutcome restoreBackup(const Backup& backup, const QStringList& onlyFiles = {});

// Whether a data file has no daily backup of that day yet.
bool dailyBackupDue(const QString& dataFile, const QDate& day);

// Tidies one Backups folder: keeps the newest keepDaily daily backups and removes older
// ones, and, once that many are there, the backups taken before a change that are older
// than the oldest daily one kept; removes what interrupted runs left behind.
void pruneBackups(const QString& backupFolder, int keepDaily);

// The backup a migration makes before it changes the files. Throws data::DbError when not
// every file could be copied: a migration does not go on without its backup.
Backup backupBeforeMigration(const QStringList& dataFiles);

}  // namespace velmora::backup
