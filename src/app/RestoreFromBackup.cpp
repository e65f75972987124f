#include "RestoreFromBackup.h"

#include "backup/Backups.h"
#include "backup/ProgramFiles.h"
#include "data/DbError.h"
#include "screens/common/Dialogs.h"
#include "screens/common/MousePointer.h"

#include <QFileInfo>

namespace velmora::app {

namespace {

using screens::MsgAnswer;
using screens::MsgButtons;
using screens::MsgIcon;

const QString kTitle = QStringLiteral("Restore from backup");

QString fileNames(const backup::Backup& b) {
    QStringList names;
    for (const backup::Copy& c : b.copies)
        names << QFileInfo(c.file).fileName();
    return names.join(QStringLiteral(", "));
}

// The data files whose backups are offered: those the program uses now, and those it
// would use if they were there.
QStringList offeredFiles(const backup::ProgramFiles& files) {
    QStringList out{files.settings};
    for (const QString& f : {files.main, files.templates}) {
        if (!f.isEmpty())
            out << f;
    }
    return out;
}

}  // namespace

bool restoreFromBackup(QWidget* parent, const QString& programFolder) {
    const backup::ProgramFiles files = backup::programFiles(programFolder);
    const std::vector<backup::Backup> backups = backup::listBackups(offeredFiles(files));
    if (backups.empty()) {
        screens::msgBox(parent,
                        QStringLiteral("There is no backup of the data files yet. Velmora makes "
                                       "one on the first start of each day, in the Backups "
                                       "folder beside the files."),
                        MsgButtons::Ok, MsgIcon::Information, kTitle);
        return false;
    }
    screens::ChoiceRequest request;
    request.title = kTitle;
    request.prompt = QStringLiteral(
        "Choose the backup to restore. The files as they are now are kept as a backup first.");
    request.columns = {QStringLiteral("Taken"), QStringLiteral("Why"), QStringLiteral("Files")};
    for (const backup::Backup& b : backups)
        request.rows.push_back({b.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                backup::reasonText(b.reason), fileNames(b)});
    request.acceptText = QStringLiteral("&Restore...");
    const std::optional<int> chosen = screens::Dialogs::current().choose(parent, request);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(backups.size()))
        return false;
    const backup::Backup& b = backups[static_cast<size_t>(*chosen)];
    const QString question =
        QStringLiteral(
            "Restore the backup of %1?\n\nIt puts back %2 as they were then; what was "
            "entered since is not in them. The files as they are now are kept as a "
            "backup first.")
            .arg(b.description(), fileNames(b));
    if (screens::msgBox(parent, question, MsgButtons::YesNo, MsgIcon::Question, kTitle,
                        MsgAnswer::No) != MsgAnswer::Yes)
        return false;
    try {
        backup::RestoreOutcome outcome;
        {
            screens::BusyPointer busy;
            outcome = backup::restoreBackup(b);
        }
        screens::msgBox(parent,
                        QStringLiteral("The backup of %1 was restored. The files as they were "
                                       "are kept as the backup of %2.")
                            .arg(b.description(), outcome.kept.description()),
                        MsgButtons::Ok, MsgIcon::Information, kTitle);
        return true;
    } catch (const data::DbError& e) {
        screens::msgBox(parent, e.text(), MsgButtons::Ok, MsgIcon::Critical, kTitle);
        return false;
    }
}

}  // namespace velmora::app
