// Checking, copying and restoring whole database files: SQLite's integrity checks and its
// online backup, reached through connections of their own that the rest of the engine never
// shares.
#include "DatabaseCopy.h"

#include "DataFileChecks.h"
#include "DataFiles.h"
#include "DbError.h"
#include "SqliteFunctions.h"
#include "SqliteHardening.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace velmora::data {

namespace {

// How long a copy waits for a file that another connection is writing.
constexpr auto kBusyWait = std::chrono::seconds(10);

// A connection of this unit's own, closed when it goes.
class Connection {
  public:
    Connection(const QString& path, int flags) : path_(path) {
        const int rc =
            sqlite3_open_v2(QFile::encodeName(path).constData(), &db_,
                            flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE, nullptr);
        if (rc != SQLITE_OK) {
            const QString why = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString();
            sqlite3_close_v2(db_);
            db_ = nullptr;
            throw DbError((rc & 0xff) == SQLITE_FULL ? err::DiskFull : err::CannotOpen,
                          QStringLiteral("Cannot open the database file %1: %2.").arg(path, why));
        }
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, 2000);
        // The checks evaluate the file's CHECK constraints: with innocuous functions only.
        // (Not defensive: a copy being made is written without a journal.)
        distrustFileSchema(db_, false);
        // The checks compare text in the indexes the way the files declare it.
        registerJetCollation(db_);
    }
    ~Connection() { close(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void close() {
        if (db_)
            sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    sqlite3* get() const { return db_; }
    QString errorText() const { return QString::fromUtf8(sqlite3_errmsg(db_)); }

    // Runs a statement; the first column of its rows as text. Returns SQLite's result.
    int run(const char* sql, QStringList* rows = nullptr) {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(db_, sql, -1, &st, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(st);
            return rc;
        }
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            if (rows) {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
                *rows << QString::fromUtf8(p ? p : "");
            }
        }
        sqlite3_finalize(st);
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    }

  private:
    QString path_;
    sqlite3* db_ = nullptr;
};

bool isDamage(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// The flags to open an existing file with: for writing where it may be written (so that a
// change a crash left unfinished can be undone), else for reading.
int openFlagsFor(const QString& path) {
    return dataFileWritability(path).readOnly == ReadOnlyReason::None ? SQLITE_OPEN_READWRITE
                                                                      : SQLITE_OPEN_READONLY;
}

// The check on an open connection: empty when the file is intact, else what was found.
QString problemsOf(Connection& c, CheckDepth depth) {
    QStringList rows;
    const int rc =
        c.run(depth == CheckDepth::Quick ? "PRAGMA quick_check(20)" : "PRAGMA integrity_check(20)",
              &rows);
    if (isDamage(rc))
        return c.errorText();
    if (rc != SQLITE_OK) {
        const int primary = rc & 0xff;
        throw DbError(
            primary == SQLITE_BUSY || primary == SQLITE_LOCKED ? err::Locked : err::DiskError,
            QStringLiteral("The database file could not be checked: %1.").arg(c.errorText()));
    }
    if (rows == QStringList{QStringLiteral("ok")})
        return {};
    return rows.isEmpty() ? QStringLiteral("the check gave no answer")
                          : rows.join(QStringLiteral("; "));
}

void syncFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The error for a copy that failed with an SQLite result code.
DbError copyFailure(int rc, const QString& source, const QString& destination,
                    const QString& detail) {
    switch (rc & 0xff) {
        case SQLITE_FULL:
            return DbError(err::DiskFull,
                           QStringLiteral("There is not enough room on the disk for %1, the "
                                          "copy of %2.")
                               .arg(destination, source));
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
            return DbError(err::ReadOnly, QStringLiteral("Cannot write %1, the copy of %2: %3.")
                                              .arg(destination, source, detail));
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return DbError(err::Locked,
                           QStringLiteral("The database file %1 stayed in use by another "
                                          "program; it was not copied. Try again.")
                               .arg(source));
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return DbError(err::NotADatabase,
                           QStringLiteral("The database file %1 is damaged (%2); it was not "
                                          "copied.")
                               .arg(source, detail));
        case SQLITE_IOERR:
            return DbError(err::DiskError, QStringLiteral("A disk error occurred copying %1 to "
                                                          "%2: %3.")
                                               .arg(source, destination, detail));
        default:
            break;
    }
    return DbError(
        err::Internal,
        QStringLiteral("%1 could not be copied to %2: %3.").arg(source, destination, detail));
}

// Copies every page of one open database into another, waiting while a writer holds the
// source. Returns SQLite's result (SQLITE_DONE on success).
int copyPages(Connection& to, Connection& from) {
    sqlite3_backup* b = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!b)
        return sqlite3_extended_errcode(to.get());
    const auto until = std::chrono::steady_clock::now() + kBusyWait;
    int rc;
    for (;;) {
        rc = sqlite3_backup_step(b, -1);
        const int primary = rc & 0xff;
        if ((primary == SQLITE_BUSY || primary == SQLITE_LOCKED) &&
            std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        break;
    }
    const int finished = sqlite3_backup_finish(b);
    if (rc == SQLITE_DONE && finished != SQLITE_OK)
        rc = finished;
    return rc;
}

}  // namespace

FileCheck checkDatabaseFile(const QString& path, CheckDepth depth) {
    const QString file = resolvePathCaseInsensitive(path);
    try {
        checkDataFile(file);
    } catch (const DbError& e) {
        if (e.number() == err::NotADatabase)
            return {false, e.text()};
        throw;
    }
    QString problems;
    {
        Connection c(file, openFlagsFor(file));
        problems = problemsOf(c, depth);
    }
    if (!problems.isEmpty())
        return {false, problems};
    // As the file now stands (the check may have undone an unfinished change).
    const Writability w = dataFileWritability(file);
    if (w.exists)
        markCheckedIntact(w.version);
    return {true, {}};
}

void copyDatabaseFile(const QString& source, const QString& destination) {
    if (QFileInfo::exists(destination))
        throw DbError(
            err::ObjectExists,
            QStringLiteral("Cannot copy to %1: the file exists already.").arg(destination));
    const QString from = resolvePathCaseInsensitive(source);
    checkDataFile(from);
    Connection src(from, openFlagsFor(from));
    auto discard = [&] {
        QFile::remove(destination);
        QFile::remove(destination + QStringLiteral("-journal"));
    };
    try {
        Connection dst(destination, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        // The copy is new and is thrown away if anything fails: it needs no journal, and it
        // is flushed to the disk once, when complete.
        dst.run("PRAGMA journal_mode = OFF");
        dst.run("PRAGMA synchronous = OFF");
        const int rc = copyPages(dst, src);
        if (rc != SQLITE_DONE)
            throw copyFailure(rc, from, destination, dst.errorText());
        const QString problems = problemsOf(dst, CheckDepth::Quick);
        if (!problems.isEmpty())
            throw DbError(err::NotADatabase,
                          QStringLiteral("The database file %1 is damaged (%2); it was not "
                                         "copied.")
                              .arg(from, problems));
        dst.close();
        syncFile(destination);
    } catch (const DbError& e) {
        discard();
        if (e.number() == err::CannotOpen)
            throw DbError(err::ReadOnly,
                          QStringLiteral("Cannot write %1, the copy of %2: its folder cannot be "
                                         "written.")
                              .arg(destination, from));
        throw;
    }
}

void restoreDatabaseFile(const QString& copy, const QString& target) {
    const FileCheck c = checkDatabaseFile(copy);
    if (!c.intact)
        throw DbError(err::NotADatabase,
                      QStringLiteral("The backup copy %1 is damaged (%2); it cannot be restored.")
                          .arg(copy, c.problems));
    const QString file = resolvePathCaseInsensitive(target);
    const Writability w = dataFileWritability(file);
    if (w.exists && w.readOnly != ReadOnlyReason::None)
        throw DbError(err::ReadOnly, QStringLiteral("Cannot restore %1: %2.")
                                         .arg(file, readOnlyReasonText(file, w.readOnly)));
    if (w.exists) {
        // Rewritten in place, through the file's own journal; a file too damaged for that
        // is replaced below.
        try {
            Connection src(copy, SQLITE_OPEN_READONLY);
            Connection dst(file, SQLITE_OPEN_READWRITE);
            dst.run("PRAGMA journal_mode = DELETE");
            dst.run("PRAGMA synchronous = FULL");
            const int rc = copyPages(dst, src);
            if (rc == SQLITE_DONE)
                return;
            if (!isDamage(rc))
                throw copyFailure(rc, copy, file, dst.errorText());
        } catch (const DbError& e) {
            if (e.number() != err::CannotOpen)
                throw;
        }
    }
    // Replaced as a whole: the complete copy is renamed over the file.
    const QFileInfo info(file);
    const QString staging = info.absoluteDir().filePath(
        QStringLiteral(".%1.restoring-%2").arg(info.fileName()).arg(::getpid()));
    QFile::remove(staging);
    copyDatabaseFile(copy, staging);
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(file + QLatin1String(suffix));
    if (::rename(QFile::encodeName(staging).constData(), QFile::encodeName(file).constData()) !=
        0) {
        const int code = errno;
        QFile::remove(staging);
        throw DbError(err::ReadOnly, QStringLiteral("Cannot put the restored file in place of %1: "
                                                    "%2.")
                                         .arg(file, QString::fromLocal8Bit(std::strerror(code))));
    }
    syncFile(info.absolutePath());
}

}  // namespace velmora::data
