#include "BackupQuestion.h"

#include "Backups.h"
#include "screens/common/Dialogs.h"
#include "screens/common/MousePointer.h"

namespace velmora::backup {

bool backUpBeforeChange(QWidget* parent, const QStringList& files, Reason reason,
                        const QString& change) {
    BackupOutcome outcome;
    {
        screens::BusyPointer busy;
        outcome = makeBackup(files, reason);
    }
    if (outcome.failures.isEmpty())
        return true;
    const QString text = QStringLiteral(
                             "The data files are backed up before %1, but the backup could not be "
                             "made:\n%2\n\nNothing has been changed yet. Go on without a backup?")
                             .arg(change, outcome.failures.join(u'\n'));
    return screens::msgBox(parent, text, screens::MsgButtons::YesNo, screens::MsgIcon::Exclamation,
                           QStringLiteral("Backup"),
                           screens::MsgAnswer::No) == screens::MsgAnswer::Yes;
}

}  // namespace velmora::backup
