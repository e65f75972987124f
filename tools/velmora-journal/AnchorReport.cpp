#include "AnchorReport.h"

#include "backup/Backups.h"
#include "data/Database.h"
#include "data/Journal.h"
#include "journal/JournalLines.h"

#include <QDir>
#include <QFileInfo>

namespace velmora::journaltool {

namespace dj = data::journal;

namespace {

// A restore the journal records: when, and the time of the backup it put back.
struct Restore {
    QDateTime at;  // UTC
    QDateTime backupTaken;
    QString text;
};

std::vector<Restore> restoresIn(data::Database& mainDb) {
    std::vector<Restore> out;
    journal::LineFilter f;
    f.columnName = dj::kRestored;
    for (const journal::JournalLine& l : journal::readLines(mainDb, f)) {
        if (l.tableName != dj::kFileEvent)
            continue;
        const QString name = l.newValue.toString().section(u' ', 0, 0);
        const auto b = backup::parseBackupName(name);
        out.push_back({l.changedAt, b ? b->taken : QDateTime(),
                       QStringLiteral("the restore of the backup %1 on %2 (journal line %3)")
                           .arg(name, l.changedAt.toLocalTime().toString(Qt::ISODate))
                           .arg(l.seq)});
    }
    return out;
}

}  // namespace

std::vector<FoundAnchor> findAnchors(const QString& mainFile, const QString& settingsFile,
                                     const std::vector<journal::ChainPoint>& typed) {
    std::vector<FoundAnchor> out;
    if (!settingsFile.isEmpty() && QFileInfo(settingsFile).isFile()) {
        try {
            auto settings = data::Database::openForReading(settingsFile);
            if (auto p = journal::settingsAnchor(*settings, mainFile))
                out.push_back(
                    {QStringLiteral("%1 (%2)").arg(QFileInfo(settingsFile).fileName(),
                                                   QDir::toNativeSeparators(settingsFile)),
                     *p,
                     {}});
        } catch (const data::DbError&) {
            // A settings file that cannot be read keeps no anchor to compare.
        }
    }
    for (const backup::Backup& b : backup::listBackups({mainFile})) {
        const backup::Copy* copy = b.copyOf(mainFile);
        if (!copy)
            continue;
        try {
            const journal::ChainPoint p =
                journal::newestLine(*data::Database::openForReading(copy->path));
            if (!p.isNull())
                out.push_back({QStringLiteral("backup %1").arg(b.name), p, b.name});
        } catch (const data::DbError&) {
            // A copy that cannot be read (damaged, kept byte for byte) anchors nothing.
        }
    }
    for (const journal::ChainPoint& p : typed)
        out.push_back({QStringLiteral("typed anchor"), p, {}});
    return out;
}

AnchorReport compareAnchors(data::Database& mainDb, const std::vector<FoundAnchor>& anchors) {
    AnchorReport out;
    const std::vector<Restore> restores = restoresIn(mainDb);
    for (const FoundAnchor& a : anchors) {
        const QString wrong = journal::disagreement(mainDb, a.point);
        if (wrong.isEmpty()) {
            out.agreed
                << QStringLiteral("Anchor in %1: line %2 agrees.").arg(a.source).arg(a.point.seq);
            continue;
        }
        // A backup made on the lines that a later restore replaced holds a chain of its own.
        QString replacedBy;
        if (const auto taken = backup::parseBackupName(a.backupName)) {
            for (const Restore& r : restores) {
                if (r.backupTaken.isValid() && taken->taken > r.backupTaken &&
                    taken->taken.toUTC() <= r.at.addSecs(1))
                    replacedBy = r.text;
            }
        }
        if (!replacedBy.isEmpty())
            out.setAside << QStringLiteral(
                                "Anchor in %1 was made on the lines that %2 "
                                "replaced; it is not compared.")
                                .arg(a.source, replacedBy);
        else
            out.findings << QStringLiteral("anchor in %1: %2").arg(a.source, wrong);
    }
    return out;
}

}  // namespace velmora::journaltool
