#include "JournalOnOpen.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Journal.h"
#include "journal/JournalAnchors.h"
#include "journal/JournalChain.h"
#include "screens/common/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace velmora::app {

namespace {

// The files whose journal fault was told in this session.
QSet<QString>& told() {
    static QSet<QString> files;
    return files;
}

}  // namespace

void anchorJournalsIn(const QString& settingsFile) {
    data::journal::setAfterCommit(journal::anchorInSettings(settingsFile));
}

void checkJournalOnOpen(QWidget* parent, const QString& settingsFile, const QString& mainFile) {
    if (mainFile.isEmpty() || (!data::isServerLocation(mainFile) && !QFileInfo(mainFile).isFile()))
        return;
    const QString key = journal::anchorKey(mainFile);
    journal::ChainCheck check;
    try {
        auto db = data::Database::open(mainFile);
        if (db->isReadOnly())
            return;  // not opened for changes
        std::optional<journal::ChainPoint> anchor;
        std::shared_ptr<data::Database> settings;
        try {
            settings = data::Database::open(settingsFile);
            anchor = journal::settingsAnchor(*settings, mainFile);
        } catch (const data::DbError&) {
            // No settings file to keep an anchor in: the chain is walked whole.
        }
        check = journal::checkChainSince(*db, anchor);
        if (check.intact) {
            if (settings && !settings->isReadOnly() && !check.newest.isNull() &&
                (!anchor || anchor->seq != check.newest.seq))
                journal::storeSettingsAnchor(*settings, mainFile, check.newest);
            return;
        }
    } catch (const data::DbError&) {
        return;  // a damaged or unreadable file is told of where it is opened
    }
    if (told().contains(key))
        return;
    told().insert(key);
    screens::msgBox(
        parent,
        QStringLiteral("The entry journal of %1 was changed outside Velmora.\n\n%2\n\nThe first "
                       "line at fault is line %3. Velmora goes on recording every change. "
                       "\"velmora-journal verify\" checks the whole journal and the rows; if the "
                       "data cannot be trusted, restore a backup from Company Set-up.")
            .arg(QDir::toNativeSeparators(mainFile), check.problem)
            .arg(check.atLine),
        screens::MsgButtons::Ok, screens::MsgIcon::Exclamation, QStringLiteral("Entry journal"));
}

}  // namespace velmora::app
