#include "BackupQuestion.h"

#include "Dialogs.h"
#include "MousePointer.h"
#include "backup/Backups.h"

namespace velmora::screens {

bool backUpBeforeChange(QWidget* parent, const QStringList& files, backup::Reason reason,
                        const QString& change) {
    backup::BackupOutcome outcome;
    {
        BusyPointer busy;
        outcome = backup::makeBackup(files, reason);
    }
    if (outcome.failures.isEmpty())
        return true;
    const QString text = QStringLiteral(
                             "The data files are backed up before %1, but the backup could not be "
                             "made:\n%2\n\nNothing has been changed yet. Go on without a backup?")
                             .arg(change, outcome.failures.join(u'\n'));
    return msgBox(parent, text, MsgButtons::YesNo, MsgIcon::Exclamation, QStringLiteral("Backup"),
                  MsgAnswer::No) == MsgAnswer::Yes;
}

}  // namespace velmora::screens
