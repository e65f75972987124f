#include "StartUpBackup.h"

#include "DamagedFileOffer.h"
#include "JournalOnOpen.h"
#include "backup/BackupSettings.h"
#include "backup/Backups.h"
#include "backup/ProgramFiles.h"
#include "data/Database.h"
#include "screens/common/Dialogs.h"
#include "screens/common/MousePointer.h"

#include <QSet>

namespace velmora::app {

namespace {

// Whether the file can take changes now: a file that cannot (damaged and not restored,
// Jet left unconverted, read-only) needs no daily backup from this start.
bool takesChanges(const QString& file) {
    try {
        return !data::Database::open(file)->isReadOnly();
    } catch (const data::DbError&) {
        return false;
    }
}

}  // namespace

void careForDataFilesOnStart(QWidget* parent, const QString& programFolder, const QDateTime& now) {
    offerBackupsForDamagedFiles(parent, {backup::programFiles(programFolder).settings});
    const backup::ProgramFiles files = backup::programFiles(programFolder);
    offerBackupsForDamagedFiles(parent, {files.main, files.templates});
    checkJournalOnOpen(parent, files.settings, files.main);

    // Files that cannot be opened (still damaged, Jet files left as they were) have been
    // told of; the others get their daily backup, unless nothing can change them.
    QStringList due;
    for (const QString& file : files.existing()) {
        if (backup::dailyBackupDue(file, now.date()) && takesChanges(file))
            due << file;
    }
    if (due.isEmpty())
        return;
    backup::BackupOutcome outcome;
    {
        screens::BusyPointer busy;
        outcome = backup::makeBackup(due, backup::Reason::Daily, now);
        const int keep = backup::dailyBackupsKept(files.settings);
        QSet<QString> folders;
        for (const QString& file : due)
            folders.insert(backup::backupFolderFor(file));
        for (const QString& folder : folders)
            backup::pruneBackups(folder, keep);
    }
    if (outcome.failures.isEmpty())
        return;
    screens::msgBox(parent,
                    QStringLiteral("Today's backup of the data files could not be made in "
                                   "full:\n%1\n\nNothing of it was kept, so that no backup lacks "
                                   "a file. The data files themselves were not changed, and you "
                                   "can go on working. Make room on the disk, or make the Backups "
                                   "folder writable; the backup is tried again when Velmora next "
                                   "starts.")
                        .arg(outcome.failures.join(u'\n')),
                    screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                    QStringLiteral("Backup"));
}

}  // namespace velmora::app
