// Opening the data files: the connection's settings, the checks of a file, and the one
// connection that a file open already shares.
#include "DataFiles.h"
#include "SqliteAuthorizer.h"
#include "SqliteDatabase.h"
#include "SqliteFunctions.h"
#include "SqliteHardening.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <map>

namespace velmora::data {

namespace {

// Open files, so that a second open of a file shares its connection.
std::map<QString, std::weak_ptr<SqliteDatabase>>& openFiles() {
    static std::map<QString, std::weak_ptr<SqliteDatabase>> files;
    return files;
}

[[noreturn]] void openError(ErrorNumber number, const QString& text) {
    throw DbError(number, text);
}

// Every change goes through a rollback journal beside the file, and a commit returns only
// once the file and its journal are on the disk (synchronous FULL): a power cut or a killed
// process loses at most the change being made, never one reported as saved, and leaves the
// file as it was before that change. Write-ahead logging is not used: it needs shared
// memory that a network file system cannot give, and the files may sit on a share. A file
// that comes with a write-ahead log is turned back to a rollback journal.
void useRollbackJournal(SqliteDatabase& conn) {
    conn.select("PRAGMA journal_mode = DELETE", {});
    conn.exec("PRAGMA synchronous = FULL");
}

// How a connection is opened: to an existing file, to a new one, or only to read an existing
// file beside the connection that writes it.
enum class Opening { Existing, New, Reader };

std::shared_ptr<SqliteDatabase> connect(const QString& path, Opening opening) {
    const bool create = opening == Opening::New;
    Writability w;
    if (!create)
        w = dataFileWritability(path);
    // A reader never writes: it leaves the journal, the checks and the mode of the file to
    // the connection that writes it.
    const bool writable = w.readOnly == ReadOnlyReason::None && opening != Opening::Reader;
    const int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
                      (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX |
                      SQLITE_OPEN_EXRESCODE;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close_v2(db);
        openError(err::CannotOpen,
                  QStringLiteral("Cannot open the database file %1: %2.").arg(path, msg));
    }
    auto conn = std::make_shared<SqliteDatabase>(db, path, w.readOnly, w.identity);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 2000);
    // A data file may come from anywhere (a backup, a colleague, a conversion): what its
    // schema holds runs with innocuous functions only, its triggers and views with the plain
    // ones of a short list.
    rc = distrustFileSchema(db, true);
    if (rc == SQLITE_OK)
        rc = restrictSchemaFunctions(db);
    if (rc != SQLITE_OK)
        conn->fail(rc);
    rc = registerJetFunctions(db);
    if (rc != SQLITE_OK)
        conn->fail(rc);
    // Text comparisons carry an explicit collation, which SQLite's automatic indexes do not
    // honour when a column is declared with another one (files made before the engine's own
    // collation): a join through such an index finds no rows. Joins use the files' indexes.
    rc = sqlite3_exec(db, "PRAGMA automatic_index = OFF", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        conn->fail(rc);
    // Reading the schema now finds a damaged file at once, not on the first screen.
    conn->select("SELECT count(*) FROM sqlite_master", {});
    if (writable || create) {
        useRollbackJournal(*conn);
        conn->journal().attach();
    }
    if (create) {
        conn->exec("PRAGMA application_id = 1447840082");  // 'VLMR'
        conn->setIdentity(dataFileWritability(path).identity);
    } else if (writable && !wasCheckedIntact(w.version)) {
        const auto problems = conn->select("PRAGMA quick_check(3)", {});
        if (problems.empty() || problems.front().empty() ||
            problems.front()[0].toString() != u"ok") {
            QStringList found;
            for (const auto& row : problems)
                found << (row.empty() ? QString() : row[0].toString());
            openError(err::NotADatabase,
                      QStringLiteral("The database file %1 is damaged (%2). It was left "
                                     "unchanged; restore it from a backup.")
                          .arg(path, found.join(QStringLiteral("; "))));
        }
        markCheckedIntact(w.version);
    }
    // A reader checked nothing, so it vouches for nothing when it closes.
    if (opening != Opening::Reader)
        conn->setVerified();
    return conn;
}

}  // namespace

SqliteDatabase::~SqliteDatabase() {
    cache_.clear();
    sqlite3_close_v2(db_);
    // The file as this connection leaves it was checked when it was opened (or made
    // here): its own changes call for no new check when it is opened again. A
    // connection that never got that far (the file failed its check) vouches for
    // nothing.
    if (readOnly_ == ReadOnlyReason::None && verified_) {
        const Writability w = dataFileWritability(path_);
        if (w.exists && w.identity == id_)
            markCheckedIntact(w.version);
    }
}

std::shared_ptr<Database> openDataFile(const QString& path) {
    const QString resolved = resolvePathCaseInsensitive(path);
    checkDataFile(resolved);
    const QString key = QFileInfo(resolved).absoluteFilePath();
    const Writability w = dataFileWritability(resolved);
    auto& files = openFiles();
    if (auto it = files.find(key); it != files.end()) {
        if (auto db = it->second.lock()) {
            if (db->identity() == w.identity && db->readOnlyReason() == w.readOnly)
                return db;
        }
    }
    auto db = connect(resolved, Opening::Existing);
    files[key] = db;
    return db;
}

std::shared_ptr<Database> openDataFileForReading(const QString& path) {
    const QString resolved = resolvePathCaseInsensitive(path);
    checkDataFile(resolved);
    return connect(resolved, Opening::Reader);
}

std::shared_ptr<Database> createDataFile(const QString& path) {
    if (QFileInfo::exists(path) || QFileInfo::exists(resolvePathCaseInsensitive(path)))
        throw DbError(err::ObjectExists,
                      QStringLiteral("Cannot create %1: the file exists already.").arg(path));
    auto db = connect(path, Opening::New);
    const QString key = QFileInfo(path).absoluteFilePath();
    openFiles()[key] = db;
    return db;
}

}  // namespace velmora::data
