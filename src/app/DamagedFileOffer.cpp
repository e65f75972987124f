#include "DamagedFileOffer.h"

#include "backup/Backups.h"
#include "data/Database.h"
#include "screens/common/Dialogs.h"
#include "screens/common/MousePointer.h"

#include <QFileInfo>

namespace velmora::app {

namespace {

using screens::MsgAnswer;
using screens::MsgButtons;
using screens::MsgIcon;

const QString kTitle = QStringLiteral("Damaged data file");

// The engine's reason the file is refused, when it is damaged; empty when it opens.
QString damageOf(const QString& file) {
    try {
        data::Database::open(file);
    } catch (const data::DbError& e) {
        if (e.number() == data::err::NotADatabase)
            return e.text();
    }
    return {};
}

bool offerFor(QWidget* parent, const QString& file, const QString& damage) {
    std::optional<backup::Backup> good;
    {
        screens::BusyPointer busy;
        good = backup::newestGoodBackup(file);
    }
    if (!good) {
        screens::msgBox(parent,
                        QStringLiteral("%1\n\nNothing was written to it. There is no good backup "
                                       "of it in %2: restore it from a copy of your own.")
                            .arg(damage, backup::backupFolderFor(file)),
                        MsgButtons::Ok, MsgIcon::Critical, kTitle);
        return false;
    }
    const QString question =
        QStringLiteral(
            "%1\n\nNothing was written to it. Restore its newest good backup, of %2? "
            "Entries made since then are not in it. The damaged file is kept in %3 "
            "first.")
            .arg(damage, good->description(), backup::backupFolderFor(file));
    if (screens::msgBox(parent, question, MsgButtons::YesNo, MsgIcon::Critical, kTitle,
                        MsgAnswer::Yes) != MsgAnswer::Yes)
        return false;
    try {
        backup::RestoreOutcome outcome;
        {
            screens::BusyPointer busy;
            outcome = backup::restoreBackup(*good, {file});
        }
        screens::msgBox(parent,
                        QStringLiteral("%1 was restored from the backup of %2. The damaged file "
                                       "is kept in the backup %3.")
                            .arg(file, good->description(), outcome.kept.name),
                        MsgButtons::Ok, MsgIcon::Information, kTitle);
        return true;
    } catch (const data::DbError& e) {
        screens::msgBox(parent, e.text(), MsgButtons::Ok, MsgIcon::Critical, kTitle);
        return false;
    }
}

}  // namespace

bool offerBackupsForDamagedFiles(QWidget* parent, const QStringList& files) {
    bool restored = false;
    for (const QString& file : files) {
        if (!QFileInfo(file).isFile())
            continue;
        QString damage;
        {
            screens::BusyPointer busy;
            damage = damageOf(file);
        }
        if (!damage.isEmpty() && offerFor(parent, file, damage))
            restored = true;
    }
    return restored;
}

}  // namespace velmora::app
