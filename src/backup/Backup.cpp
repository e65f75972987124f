#include "Backup.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace velmora::backup {

namespace {

struct ReasonName {
    Reason reason;
    const char* word;
    const char* text;
};

const ReasonName kReasons[] = {
    {Reason::Daily, "daily", "daily backup"},
    {Reason::BeforeTemplate, "before-template", "before a template was applied"},
    {Reason::BeforeConversion, "before-conversion", "before the Jet files were converted"},
    {Reason::BeforeMigration, "before-migration", "before the files were migrated"},
    {Reason::BeforeRestore, "before-restore", "the files as they were before a restore"},
};

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd_HHmmss");

}  // namespace

QString reasonWord(Reason reason) {
    for (const ReasonName& r : kReasons) {
        if (r.reason == reason)
            return QString::fromLatin1(r.word);
    }
    return {};
}

QString reasonText(Reason reason) {
    for (const ReasonName& r : kReasons) {
        if (r.reason == reason)
            return QString::fromLatin1(r.text);
    }
    return {};
}

QString backupName(const QDateTime& taken, Reason reason) {
    return taken.toString(kTimeFormat) + u'_' + reasonWord(reason);
}

std::optional<Backup> parseBackupName(const QString& name) {
    // A second backup in the same second and for the same reason carries "-2", "-3" ...
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d{4}-\d{2}-\d{2}_\d{6})_([a-z-]+?)(?:-(\d+))?$)"));
    const auto m = pattern.match(name);
    if (!m.hasMatch())
        return std::nullopt;
    const QDateTime taken = QDateTime::fromString(m.captured(1), kTimeFormat);
    if (!taken.isValid())
        return std::nullopt;
    for (const ReasonName& r : kReasons) {
        if (m.captured(2) == QLatin1String(r.word)) {
            Backup b;
            b.name = name;
            b.taken = taken;
            b.reason = r.reason;
            return b;
        }
    }
    return std::nullopt;
}

QString Backup::description() const {
    return taken.toString(QStringLiteral("d MMM yyyy HH:mm:ss")) + QStringLiteral(", ") +
           reasonText(reason);
}

const Copy* Backup::copyOf(const QString& dataFile) const {
    const QString wanted = QFileInfo(dataFile).absoluteFilePath();
    for (const Copy& c : copies) {
        if (QFileInfo(c.file).absoluteFilePath() == wanted)
            return &c;
    }
    return nullptr;
}

QString backupFolderFor(const QString& dataFile) {
    return QFileInfo(dataFile).absoluteDir().filePath(QStringLiteral("Backups"));
}

}  // namespace velmora::backup
