#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace velmora::backup {

// Why a backup was made.
enum class Reason { Daily, BeforeTemplate, BeforeConversion, BeforeMigration, BeforeRestore };

// One copy of one data file in a backup.
struct Copy {
    QString file;  // the data file it is a copy of, where that file is now
    QString path;  // the copy itself
};

// The copies one backup run made, named after when and why it was made. Each data file's
// copy lies in the Backups folder beside that file, in a folder of the backup's name: a
// backup of files in two folders has a folder of the same name in each of their Backups
// folders.
struct Backup {
    QString name;  // "2026-12-06_083015_daily"
    QDateTime taken;
    Reason reason = Reason::Daily;
    std::vector<Copy> copies;
    // Why the backup is not whole (a copy it lists is missing or no file, a folder of it was
    // never completed); empty when it is. Only whole backups are listed and restored.
    QString problem;

    // "6 Dec 2026 08:30:15, daily backup", for lists and messages.
    QString description() const;
    // The copy of a data file, when the backup holds one.
    const Copy* copyOf(const QString& dataFile) const;
};

// The folder name of a backup taken at that time for that reason, and back: the time and
// reason of a folder name, nothing when the name is not a backup's.
QString backupName(const QDateTime& taken, Reason reason);
std::optional<Backup> parseBackupName(const QString& name);

// How a reason reads in the folder name ("daily", "before-template") and for the user
// ("daily backup", "before a template was applied").
QString reasonWord(Reason reason);
QString reasonText(Reason reason);

// The Backups folder beside a data file.
QString backupFolderFor(const QString& dataFile);

}  // namespace velmora::backup
