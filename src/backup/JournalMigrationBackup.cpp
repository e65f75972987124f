#include "JournalMigrationBackup.h"

#include "Backups.h"

#include "data/Journal.h"

namespace velmora::backup {

void backUpBeforeJournalMigration() {
    data::journal::setBeforeMigration(
        [](const QString& file) { backupBeforeMigration(QStringList{file}); });
}

}  // namespace velmora::backup
