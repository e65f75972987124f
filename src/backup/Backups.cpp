#include "Backups.h"

#include "BackupContents.h"
#include "CopyCheck.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DatabaseCopy.h"
#include "data/DbError.h"
#include "data/Journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

namespace velmora::backup {

using data::DbError;
namespace err = data::err;

namespace {

// Working folders of runs not finished yet: ".partial-NAME-PID".
const QString kStagingPrefix = QStringLiteral(".partial-");

void syncPath(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// The Backups folder, made when it is not there yet. A folder whose permissions forbid
// writing is refused even for a user (root) whom the system would let write anyway: it was
// made read-only on purpose.
void prepareFolder(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw DbError(err::ReadOnly,
                      QStringLiteral("the backup folder %1 cannot be made there").arg(folder));
    struct stat sb {};
    const QByteArray name = QFile::encodeName(folder);
    if (::stat(name.constData(), &sb) != 0 || !S_ISDIR(sb.st_mode))
        throw DbError(err::InvalidPath, QStringLiteral("%1 is not a folder").arg(folder));
    if ((sb.st_mode & 0222) == 0 || ::access(name.constData(), W_OK | X_OK) != 0)
        throw DbError(err::ReadOnly,
                      QStringLiteral("the backup folder %1 is read-only").arg(folder));
}

bool processRunning(qint64 pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// Working folders left by runs that were interrupted (their process is gone, or they are a
// day old).
void removeLeftovers(const QString& folder) {
    const QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(
        {kStagingPrefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& e : entries) {
        const QString name = e.fileName();
        const qint64 pid = name.mid(name.lastIndexOf(u'-') + 1).toLongLong();
        const bool old = e.lastModified().secsTo(QDateTime::currentDateTime()) > 24 * 3600;
        if (old || !processRunning(pid))
            QDir(e.absoluteFilePath()).removeRecursively();
    }
}

// A file byte for byte, with its journal when one lies beside it: what is kept of a damaged
// file that is about to be replaced.
void copyBytes(const QString& file, const QString& destination) {
    for (const QString& suffix : {QString(), QStringLiteral("-journal")}) {
        const QString from = file + suffix;
        if (!suffix.isEmpty() && !QFileInfo::exists(from))
            continue;
        QFile source(from);
        if (!source.copy(destination + suffix)) {
            QFile::remove(destination);
            QFile::remove(destination + QStringLiteral("-journal"));
            throw DbError(err::DiskError,
                          QStringLiteral("%1 could not be copied to %2: %3.")
                              .arg(from, destination + suffix, source.errorString()));
        }
        syncPath(destination + suffix);
    }
}

// Replaces a file with a copy kept byte for byte: written beside it and renamed over it.
void putBytesBack(const QString& kept, const QString& file) {
    const QFileInfo info(file);
    const QString staging = info.absoluteDir().filePath(
        QStringLiteral(".%1.restoring-%2").arg(info.fileName()).arg(::getpid()));
    QFile::remove(staging);
    if (!QFile::copy(kept, staging))
        throw DbError(err::DiskError, QStringLiteral("%1 could not be put back.").arg(file));
    syncPath(staging);
    QFile::remove(file + QStringLiteral("-journal"));
    if (QFileInfo::exists(kept + QStringLiteral("-journal")))
        QFile::copy(kept + QStringLiteral("-journal"), file + QStringLiteral("-journal"));
    if (::rename(QFile::encodeName(staging).constData(), QFile::encodeName(file).constData()) !=
        0) {
        const int code = errno;
        QFile::remove(staging);
        throw DbError(err::DiskError,
                      QStringLiteral("%1 could not be put back: %2.").arg(file, systemError(code)));
    }
    syncPath(info.absolutePath());
}

QString absolute(const QString& file) {
    return QFileInfo(data::resolvePathCaseInsensitive(file)).absoluteFilePath();
}

// The backups one Backups folder holds, each with the path of its folder.
struct FolderEntry {
    Backup backup;
    QString path;
};

std::vector<FolderEntry> backupsIn(const QString& folder) {
    std::vector<FolderEntry> out;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (auto b = parseBackupName(name))
            out.push_back({*b, dir.filePath(name)});
    }
    return out;
}

bool newerFirst(const Backup& a, const Backup& b) {
    if (a.taken != b.taken)
        return a.taken > b.taken;
    return a.name > b.name;
}

// The restored main data file's journal says why its content changed: which backup was put
// back, and where the files as they were are kept (who and when come with every line).
void recordRestore(const Backup& restored, const Backup& kept) {
    for (const Copy& c : restored.copies) {
        try {
            auto db = data::Database::open(c.file);
            if (db->isReadOnly())
                continue;
            data::journal::recordFileEvent(
                *db, data::journal::kRestored,
                QStringLiteral("%1 (%2); the files as they were are kept in %3")
                    .arg(restored.name, restored.description(), kept.name));
        } catch (const DbError&) {
            // The restore stands without its line: a file that was just written whole
            // and cannot take one more line now has nothing else lost.
        }
    }
}

}  // namespace

BackupOutcome makeBackup(const QStringList& dataFiles, Reason reason, const QDateTime& taken) {
    BackupOutcome out;
    out.backup.taken = taken;
    out.backup.reason = reason;
    auto failed = [&out](data::ErrorNumber number, const QString& text) {
        if (out.failures.isEmpty())
            out.failureNumber = number;
        out.failures << text;
    };
    // The files by the Backups folder their copies go to, each once.
    std::map<QString, QStringList> byFolder;
    QStringList seen;
    for (const QString& f : dataFiles) {
        const QString file = absolute(f);
        if (seen.contains(file) || !QFileInfo(file).isFile())
            continue;
        seen << file;
        byFolder[backupFolderFor(file)] << file;
    }
    if (byFolder.empty())
        return out;
    const QString base = backupName(taken, reason);
    QString name = base;
    for (int n = 2;; ++n) {
        const bool used = std::any_of(byFolder.begin(), byFolder.end(), [&](const auto& entry) {
            return QFileInfo::exists(QDir(entry.first).filePath(name));
        });
        if (!used)
            break;
        name = base + u'-' + QString::number(n);
    }
    out.backup.name = name;

    // Every folder's copies are made in its working folder first; only when all are there
    // do they take the backup's name, so that no backup lacks a file.
    struct Part {
        QString folder, staging;
        std::vector<Copy> copies;
    };
    std::vector<Part> parts;
    auto discard = [&parts] {
        for (const Part& p : parts)
            QDir(p.staging).removeRecursively();
    };
    for (const auto& [folder, files] : byFolder) {
        try {
            prepareFolder(folder);
        } catch (const DbError& e) {
            for (const QString& file : files)
                failed(e.number(), QStringLiteral("%1 was not copied: %2.").arg(file, e.text()));
            continue;
        }
        removeLeftovers(folder);
        const QDir dir(folder);
        Part part{
            folder, dir.filePath(kStagingPrefix + name + u'-' + QString::number(::getpid())), {}};
        if (!QDir().mkpath(part.staging)) {
            for (const QString& file : files)
                failed(err::ReadOnly, QStringLiteral("%1 was not copied: the backup folder %2 "
                                                     "cannot be written.")
                                          .arg(file, folder));
            continue;
        }
        parts.push_back(part);
        for (const QString& file : files) {
            const QString fileName = QFileInfo(file).fileName();
            const QString copy = QDir(part.staging).filePath(fileName);
            try {
                try {
                    data::copyDatabaseFile(file, copy);
                } catch (const DbError& e) {
                    if (reason != Reason::BeforeRestore || e.number() != err::NotADatabase)
                        throw;
                    copyBytes(file, copy);
                }
                parts.back().copies.push_back({file, dir.filePath(name + u'/' + fileName)});
            } catch (const DbError& e) {
                failed(e.number(), e.text());
            }
        }
    }
    for (const Part& p : parts) {
        if (out.failures.isEmpty() && !writeBackupContents(p.staging, seen))
            failed(err::DiskError, QStringLiteral("The list of the backup's files could not be "
                                                  "written into %1.")
                                       .arg(p.folder));
    }
    if (!out.failures.isEmpty()) {
        discard();
        return out;
    }
    std::vector<QString> named;  // the folders that took the backup's name
    for (const Part& p : parts) {
        syncPath(p.staging);
        const QString final = QDir(p.folder).filePath(name);
        if (::rename(QFile::encodeName(p.staging).constData(),
                     QFile::encodeName(final).constData()) != 0) {
            const int code = errno;
            for (const QString& done : named)
                QDir(done).removeRecursively();
            discard();
            for (const Part& q : parts) {
                for (const Copy& c : q.copies)
                    failed(err::DiskError,
                           QStringLiteral("%1 was not copied: %2.").arg(c.file, systemError(code)));
            }
            return out;
        }
        named.push_back(final);
        syncPath(p.folder);
    }
    for (const Part& p : parts)
        out.backup.copies.insert(out.backup.copies.end(), p.copies.begin(), p.copies.end());
    return out;
}

namespace {

// Every backup of these data files, whole or not, by name.
std::map<QString, Backup> backupsOf(const QStringList& dataFiles) {
    std::map<QString, Backup> byName;
    std::map<QString, QStringList> listed;  // by backup: the files its folders list
    QStringList seen;
    for (const QString& f : dataFiles) {
        const QString file = absolute(f);
        if (seen.contains(file))
            continue;
        seen << file;
        const QString fileName = QFileInfo(file).fileName();
        for (const FolderEntry& e : backupsIn(backupFolderFor(file))) {
            auto it = byName.find(e.backup.name);
            if (it == byName.end())
                it = byName.emplace(e.backup.name, e.backup).first;
            if (const auto contents = readBackupContents(e.path)) {
                if (contents->isEmpty())
                    it->second.problem =
                        QStringLiteral("the list of its files in %1 cannot be read").arg(e.path);
                listed[e.backup.name] << *contents;
            }
            const QString copy = data::resolvePathCaseInsensitive(QDir(e.path).filePath(fileName));
            if (QFileInfo(copy).isFile() &&
                std::none_of(it->second.copies.begin(), it->second.copies.end(),
                             [&](const Copy& c) { return c.file == file; }))
                it->second.copies.push_back({file, copy});
        }
    }
    // A file that a backup lists must have its copy there: one of these files that it holds
    // no copy of means a copy was removed or a folder of it was never completed.
    for (auto& [name, b] : byName) {
        for (const QString& file : seen) {
            const bool inList = listed[name].contains(file);
            if (!inList || b.copyOf(file) || !b.problem.isEmpty())
                continue;
            const QString copy =
                QDir(backupFolderFor(file)).filePath(name + u'/' + QFileInfo(file).fileName());
            b.problem = QFileInfo::exists(copy)
                            ? QStringLiteral("its copy %1 is not a file").arg(copy)
                            : QStringLiteral("its copy of %1 is missing").arg(file);
        }
        if (b.copies.empty() && b.problem.isEmpty())
            b.problem = QStringLiteral("it holds no copy of the files");
    }
    return byName;
}

}  // namespace

std::vector<Backup> listBackups(const QStringList& dataFiles) {
    std::vector<Backup> out;
    for (auto& [name, b] : backupsOf(dataFiles)) {
        if (b.problem.isEmpty())
            out.push_back(std::move(b));
    }
    std::sort(out.begin(), out.end(), newerFirst);
    return out;
}

std::optional<Backup> findBackup(const QStringList& dataFiles, const QString& name) {
    std::map<QString, Backup> all = backupsOf(dataFiles);
    const auto it = all.find(name);
    if (it == all.end())
        return std::nullopt;
    return it->second;
}

void checkWhole(const Backup& backup) {
    if (!backup.problem.isEmpty())
        throw DbError(err::FileNotFound,
                      QStringLiteral("The backup %1 is not whole: %2. Nothing was restored.")
                          .arg(backup.name, backup.problem));
}

std::optional<Backup> newestGoodBackup(const QString& dataFile) {
    for (const Backup& b : listBackups({dataFile})) {
        // A copy that could not be restored (damaged, an Access file, another kind of file):
        // the next one.
        if (copyProblem(b.copies.front().path, b.copies.front().file).isEmpty())
            return b;
    }
    return std::nullopt;
}

RestoreOutcome restoreBackup(const Backup& backup, const QStringList& onlyFiles) {
    QStringList wanted;
    for (const QString& f : onlyFiles)
        wanted << absolute(f);
    std::vector<Copy> chosen;
    for (const Copy& c : backup.copies) {
        if (wanted.isEmpty() || wanted.contains(absolute(c.file)))
            chosen.push_back(c);
    }
    checkWhole(backup);
    if (chosen.empty())
        throw DbError(err::ItemNotFound,
                      QStringLiteral("The backup of %1 holds no copy of the files to restore.")
                          .arg(backup.description()));
    for (const Copy& c : chosen) {
        const QString problem = copyProblem(c.path, c.file);
        if (!problem.isEmpty())
            throw DbError(err::NotADatabase,
                          QStringLiteral("The backup %1 cannot be restored: %2. Nothing was "
                                         "restored.")
                              .arg(backup.name, problem));
    }
    QStringList current;
    for (const Copy& c : chosen)
        current << c.file;
    const BackupOutcome kept = makeBackup(current, Reason::BeforeRestore);
    if (!kept.failures.isEmpty())
        throw DbError(kept.failureNumber,
                      QStringLiteral("The files as they are now could not be kept as a backup "
                                     "first, so nothing was restored: %1")
                          .arg(kept.failures.join(u' ')));
    std::vector<Copy> done;
    for (const Copy& c : chosen) {
        try {
            data::restoreDatabaseFile(c.path, c.file);
            done.push_back(c);
        } catch (const DbError& e) {
            // The files restored so far go back to how they were.
            for (const Copy& d : done) {
                const Copy* k = kept.backup.copyOf(d.file);
                if (!k)
                    continue;
                try {
                    if (data::checkDatabaseFile(k->path).intact)
                        data::restoreDatabaseFile(k->path, d.file);
                    else
                        putBytesBack(k->path, d.file);
                } catch (const DbError&) {
                }
            }
            throw DbError(e.number(),
                          QStringLiteral("%1 could not be restored: %2 The files were left as "
                                         "they were; they are also kept in the backup %3.")
                              .arg(c.file, e.text(), kept.backup.name));
        }
    }
    Backup restored = backup;
    restored.copies = chosen;
    recordRestore(restored, kept.backup);
    return {restored, kept.backup};
}

bool dailyBackupDue(const QString& dataFile, const QDate& day) {
    const QString file = absolute(dataFile);
    for (const Backup& b : listBackups({file})) {
        if (b.reason == Reason::Daily && b.taken.date() == day && b.copyOf(file))
            return false;
    }
    return true;
}

void pruneBackups(const QString& backupFolder, int keepDaily) {
    if (!QFileInfo(backupFolder).isDir())
        return;
    removeLeftovers(backupFolder);
    keepDaily = std::max(keepDaily, 1);
    std::vector<FolderEntry> all = backupsIn(backupFolder);
    std::sort(all.begin(), all.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return newerFirst(a.backup, b.backup);
    });
    int dailies = 0;
    QDateTime oldestKept;
    for (const FolderEntry& e : all) {
        if (e.backup.reason != Reason::Daily)
            continue;
        if (++dailies <= keepDaily)
            oldestKept = e.backup.taken;
        else
            QDir(e.path).removeRecursively();
    }
    if (dailies < keepDaily)
        return;
    for (const FolderEntry& e : all) {
        if (e.backup.reason != Reason::Daily && e.backup.taken < oldestKept)
            QDir(e.path).removeRecursively();
    }
}

Backup backupBeforeMigration(const QStringList& dataFiles) {
    BackupOutcome out = makeBackup(dataFiles, Reason::BeforeMigration);
    if (!out.failures.isEmpty())
        throw DbError(out.failureNumber,
                      QStringLiteral("The files were not migrated, because their backup could "
                                     "not be made: %1")
                          .arg(out.failures.join(u' ')));
    return out.backup;
}

}  // namespace velmora::backup
