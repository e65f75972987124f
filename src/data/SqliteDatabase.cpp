// The engine's SQLite back end: one connection per open file, Jet SQL translated on the
// way in, rows materialised on the way out.
#include "DataFileChecks.h"
#include "DataFiles.h"
#include "Database.h"
#include "JetFunctionCatalog.h"
#include "JetSqlTranslator.h"
#include "JournalHook.h"
#include "Recordset.h"
#include "RowSource.h"
#include "RowWriteSql.h"
#include "SqliteAuthorizer.h"
#include "SqliteErrors.h"
#include "SqliteFunctions.h"
#include "SqliteHardening.h"
#include "SqlitePredicate.h"
#include "SqliteStatement.h"
#include "pg/PgDatabase.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <map>
#include <utility>

namespace velmora::data {

namespace {

const QString kQueryTable = QStringLiteral("_StoredQueries");

class SqliteDatabase;

// Open files, so that a second open of a file shares its connection.
std::map<QString, std::weak_ptr<SqliteDatabase>>& openFiles() {
    static std::map<QString, std::weak_ptr<SqliteDatabase>> files;
    return files;
}

class SqliteDatabase final : public Database {
  public:
    SqliteDatabase(sqlite3* db, QString path, ReadOnlyReason readOnly, FileIdentity id)
        : db_(db),
          cache_(db),
          path_(std::move(path)),
          readOnly_(readOnly),
          id_(id),
          journal_(db, path_) {}
    ~SqliteDatabase() override {
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

    const FileIdentity& identity() const { return id_; }
    void setIdentity(const FileIdentity& id) { id_ = id; }
    // The file was found intact (or made) when this connection opened it.
    void setVerified() { verified_ = true; }

    QString path() const override { return path_; }
    bool isReadOnly() const override { return readOnly_ != ReadOnlyReason::None; }
    QString whyReadOnly() const override {
        return readOnly_ == ReadOnlyReason::None ? QString() : readOnlyReasonText(path_, readOnly_);
    }
    ReadOnlyReason readOnlyReason() const { return readOnly_; }

    // Throws the engine's error for an SQLite result code.
    [[noreturn]] void fail(int rc, const FailedStatement& what = {}) const {
        throw sqliteFailure(db_, rc, path_, readOnly_, what);
    }

    using Database::execute;
    int execute(const QString& jetSql, const std::vector<Value>& values) override {
        const JetTranslation t = translateJetStatement(jetSql, SqlDialect::Sqlite, storedQueries());
        checkWritable(t);
        if (t.isSelect)
            return run(t.sql.toUtf8(), values, jetSql, &t);
        return journalled(
            t.sql,
            [&] {
                const int changed = run(t.sql.toUtf8(), values, jetSql, &t);
                for (const QString& s : t.followUps)
                    run(s.toUtf8(), {}, jetSql);
                if (statementChangesSchema(t.sql))
                    journal_.schemaMayHaveChanged();
                return changed;
            },
            !t.followUps.isEmpty());
    }

    int executeBound(const QString& sql, const std::vector<Value>& values) override {
        return journalled(sql, [&] {
            const int changed = run(sql.toUtf8(), values, sql);
            if (statementChangesSchema(sql))
                journal_.schemaMayHaveChanged();
            return changed;
        });
    }

    using Database::openRecordset;
    std::unique_ptr<Recordset> openRecordset(const QString& source,
                                             const std::vector<Value>& values) override;

    void forEachRow(const QString& sqliteSql, const std::vector<Value>& values,
                    const std::function<void(const std::vector<Value>&)>& visit) override {
        const QByteArray sql = sqliteSql.toUtf8();
        Statement st(cache_, sql);
        if (st.prepareResult() != SQLITE_OK)
            fail(st.prepareResult(), {sqliteSql, nullptr, sql, true});
        requireWholeStatement(st, sqliteSql);
        for (size_t i = 0; i < values.size(); ++i)
            bindValue(st.get(), static_cast<int>(i + 1), values[i]);
        const int cols = sqlite3_column_count(st.get());
        std::vector<Value> row(static_cast<size_t>(cols));
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            for (int i = 0; i < cols; ++i)
                readColumn(st.get(), i, row[static_cast<size_t>(i)]);
            visit(row);
        }
        if (rc != SQLITE_DONE)
            fail(rc, {sqliteSql, nullptr, sql, false});
    }

    void createQueryDef(const QString& name, const QString& jetSql) override {
        const QString n = name.trimmed();
        if (n.isEmpty() || n.contains(u']'))
            throw DbError(err::SyntaxError,
                          QStringLiteral("'%1' cannot name a stored query.").arg(name));
        if (hasTable(n) || hasQueryDef(n))
            throw DbError(err::ObjectExists,
                          QStringLiteral("Object '%1' already exists in %2.").arg(n, path_));
        // The text must be a statement the engine can run before it is kept.
        const JetTranslation t = translateJetStatement(jetSql, SqlDialect::Sqlite, storedQueries());
        {
            const QByteArray sql = t.sql.toUtf8();
            Statement st(cache_, sql);
            if (st.prepareResult() != SQLITE_OK)
                fail(st.prepareResult(), {jetSql, &t, sql, true});
            requireWholeStatement(st, jetSql);
        }
        ensureQueryTable();
        run(QStringLiteral("INSERT INTO %1 (Name, SqlText) VALUES (?1, ?2)")
                .arg(quoteSqliteName(kQueryTable))
                .toUtf8(),
            {Value(n), Value(jetSql)}, n);
    }

    void deleteQueryDef(const QString& name) override {
        const QString n = unbracketName(name.trimmed());
        int changed = 0;
        if (hasQueryTable()) {
            changed = run(QStringLiteral("DELETE FROM %1 WHERE Name = ?1")
                              .arg(quoteSqliteName(kQueryTable))
                              .toUtf8(),
                          {Value(n)}, n);
        }
        if (changed == 0)
            throw DbError(
                err::ItemNotFound,
                QStringLiteral("There is no stored query named '%1' in %2.").arg(n, path_));
    }

    bool hasQueryDef(const QString& name) override {
        return !queryDefSqlOrNull(unbracketName(name.trimmed())).isNull();
    }

    QString queryDefSql(const QString& name) override {
        const QString n = unbracketName(name.trimmed());
        const QString sql = queryDefSqlOrNull(n);
        if (sql.isNull())
            throw DbError(err::ObjectNotFound,
                          QStringLiteral("Cannot find the query '%1' in %2.").arg(n, path_));
        return sql;
    }

    QStringList queryDefNames() override {
        QStringList out;
        if (!hasQueryTable())
            return out;
        for (const auto& row : select(QStringLiteral("SELECT Name FROM %1 ORDER BY Name")
                                          .arg(quoteSqliteName(kQueryTable))
                                          .toUtf8(),
                                      {}))
            out << row[0].toString();
        return out;
    }

    bool hasTable(const QString& name) override {
        const QString n = unbracketName(name.trimmed());
        if (n.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) ||
            n.compare(kQueryTable, Qt::CaseInsensitive) == 0)
            return false;
        return !select(
                    "SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND "
                    "name = ?1 COLLATE NOCASE",
                    {Value(n)})
                    .empty();
    }

    QStringList tableNames() override {
        QStringList out;
        for (const auto& row :
             select("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                    "'sqlite\\_%' ESCAPE '\\' AND name <> ?1 ORDER BY name",
                    {Value(kQueryTable)}))
            out << row[0].toString();
        return out;
    }

    void beginTransaction() override { begin(false); }
    bool inTransaction() const override { return depth_ > 0; }
    void beginScratchTransaction() override {
        if (depth_ == 0 && readOnly_ == ReadOnlyReason::None) {
            // Outside any other transaction the undo log can live in memory: the work is
            // always rolled back, and its few pages stay in the cache until then, so the
            // file is never written and a crash meanwhile leaves it as it was.
            // Only a rollback journal on disk is swapped: leaving write-ahead logging
            // would rewrite the file's header.
            const QString mode = singleText("PRAGMA journal_mode").toLower();
            if (mode == u"delete" || mode == u"truncate" || mode == u"persist") {
                journalModeToRestore_ = mode;
                singleText("PRAGMA journal_mode = MEMORY");
            }
        }
        begin(true);
        if (scratchDepth_ == 0)
            scratchDepth_ = depth_;
    }
    void commit() override {
        if (depth_ == 0)
            throw DbError(err::Internal, QStringLiteral("There is no transaction to commit."));
        if (scratchDepth_ != 0 && depth_ == scratchDepth_)
            throw DbError(
                err::Internal,
                QStringLiteral("Work done to be undone cannot be saved in %1.").arg(path_));
        if (depth_ == 1)
            journal_.beforeOutermostCommit();
        exec(QStringLiteral("RELEASE velmora_%1").arg(depth_ - 1).toUtf8());
        --depth_;
        if (depth_ == 0)
            journal_.afterOutermostCommit();
    }
    void rollback() override {
        if (depth_ == 0)
            throw DbError(err::Internal, QStringLiteral("There is no transaction to roll back."));
        --depth_;  // the savepoint is gone even when the engine reports a failure
        // The rollback may remove the stored-query table created inside it.
        queryTableKnown_ = false;
        const bool endsScratch = scratchDepth_ > depth_;
        if (endsScratch)
            scratchDepth_ = 0;
        if (depth_ == 0) {
            // The outermost transaction is dropped as a whole. Rolling back to its
            // savepoint and then releasing it would commit the restored pages: the file
            // would be written and synced although nothing in it changed.
            try {
                exec("ROLLBACK");
            } catch (...) {
                restoreJournalMode();
                throw;
            }
            restoreJournalMode();
            journal_.afterOutermostRollback();
        } else {
            exec(QStringLiteral("ROLLBACK TO velmora_%1").arg(depth_).toUtf8());
            exec(QStringLiteral("RELEASE velmora_%1").arg(depth_).toUtf8());
        }
    }

    std::int64_t insertRow(const QString& table, const QStringList& columns,
                           const std::vector<Value>& values) override {
        requireWritable();
        const QString sql = rowWriteSql().insert(table, columns);
        return journalled(sql, [&] {
            run(sql.toUtf8(), values, table);
            return std::int64_t{sqlite3_last_insert_rowid(db_)};
        });
    }

    void updateRow(const QString& table, std::int64_t rowid, const QStringList& columns,
                   const std::vector<Value>& values) override {
        requireWritable();
        std::vector<Value> all = values;
        all.emplace_back(rowid);
        const QString sql = rowWriteSql().update(table, columns);
        if (journalled(sql, [&] { return run(sql.toUtf8(), all, table); }) == 0)
            throwRowDeletedMeanwhile(table);
    }

    void deleteRow(const QString& table, std::int64_t rowid) override {
        requireWritable();
        const QString sql = rowWriteSql().remove(table);
        journalled(sql, [&] { return run(sql.toUtf8(), {Value(rowid)}, table); });
    }

    static const RowWriteSql& rowWriteSql() {
        static const RowWriteSql sql{[](const QString& n) { return quoteSqliteName(n); },
                                     QStringLiteral("?"), QStringLiteral("rowid")};
        return sql;
    }

    std::vector<Value> readRow(const QString& table, std::int64_t rowid,
                               const QStringList& columns) override {
        QStringList names;
        for (const QString& c : columns)
            names << quoteSqliteName(c);
        auto rows = select(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
                               .arg(names.join(u','), quoteSqliteName(table))
                               .toUtf8(),
                           {Value(rowid)});
        if (rows.empty())
            throw DbError(err::NoCurrentRecord,
                          QStringLiteral("The row was deleted from table '%1'.").arg(table));
        return std::move(rows.front());
    }

    std::unique_ptr<RowPredicate> prepareCriterion(const QString& jetCriterion,
                                                   const QStringList& columnNames) override;

    std::vector<std::vector<Value>> select(const QByteArray& sql, const std::vector<Value>& args) {
        Statement st(cache_, sql);
        if (st.prepareResult() != SQLITE_OK)
            fail(st.prepareResult(), {QString(), nullptr, sql, true});
        for (size_t i = 0; i < args.size(); ++i)
            bindValue(st.get(), static_cast<int>(i + 1), args[i]);
        std::vector<std::vector<Value>> out;
        const int cols = sqlite3_column_count(st.get());
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            std::vector<Value> row;
            row.reserve(static_cast<size_t>(cols));
            for (int i = 0; i < cols; ++i)
                row.push_back(columnValue(st.get(), i));
            out.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE)
            fail(rc, {QString(), nullptr, sql, false});
        return out;
    }

    void exec(const QByteArray& sql) { run(sql, {}, QString::fromUtf8(sql)); }

    sqlite3* handle() const { return db_; }
    StatementCache& statementCache() { return cache_; }

    JournalHook& journal() { return journal_; }

  private:
    void begin(bool scratch) {
        const bool outermost = depth_ == 0 && !scratch;
        if (outermost)
            journal_.beforeOutermostBegin();
        exec(QStringLiteral("SAVEPOINT velmora_%1").arg(depth_).toUtf8());
        ++depth_;
        if (outermost) {
            try {
                journal_.afterOutermostBegin();
            } catch (...) {
                try {
                    rollback();
                } catch (...) {
                }
                throw;
            }
        }
    }

    // Runs a change; outside any transaction on a journalled file, in one of its own, so
    // that its journal lines are sealed with it.
    template <typename Change>
    auto journalled(const QString& sql, Change change, bool alwaysInTransaction = false)
        -> decltype(change()) {
        if (depth_ > 0) {
            auto result = change();
            journal_.afterChangeInTransaction();
            return result;
        }
        if (statementStandsAlone(sql) || (!journal_.active() && !alwaysInTransaction))
            return change();
        Transaction tx(*this);
        auto result = change();
        tx.commit();
        return result;
    }

    void requireWritable() const {
        if (readOnly_ != ReadOnlyReason::None)
            throw DbError(err::ReadOnly, QStringLiteral("Cannot save: %1.").arg(whyReadOnly()));
    }

    void checkWritable(const JetTranslation& t) const {
        if (!t.isSelect)
            requireWritable();
    }

    int run(const QByteArray& sql, const std::vector<Value>& args, const QString& context,
            const JetTranslation* jet = nullptr) {
        Statement st(cache_, sql);
        if (st.prepareResult() != SQLITE_OK)
            fail(st.prepareResult(), {context, jet, sql, true});
        requireWholeStatement(st, context);
        bindValues(st.get(), args, context, jet != nullptr);
        const sqlite3_int64 changedBefore = sqlite3_total_changes64(db_);
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            fail(rc, {context, jet, sql, false});
        // sqlite3_changes() still holds the count of the last INSERT, UPDATE or DELETE after
        // any other statement (CREATE TABLE, SELECT): only rows this one changed count.
        return sqlite3_total_changes64(db_) != changedBefore ? sqlite3_changes(db_) : 0;
    }

    // The first column of the first row a statement gives, as text.
    QString singleText(const QByteArray& sql) {
        const auto rows = select(sql, {});
        return rows.empty() || rows.front().empty() ? QString() : rows.front()[0].toString();
    }

    void restoreJournalMode() {
        if (journalModeToRestore_.isEmpty())
            return;
        const QString mode = std::exchange(journalModeToRestore_, QString());
        singleText(QStringLiteral("PRAGMA journal_mode = %1").arg(mode).toUtf8());
    }

    bool hasQueryTable() {
        if (!queryTableKnown_) {
            queryTableKnown_ = !select(
                                    "SELECT 1 FROM sqlite_master WHERE type = 'table' AND "
                                    "name = ?1",
                                    {Value(kQueryTable)})
                                    .empty();
        }
        return queryTableKnown_;
    }

    void ensureQueryTable() {
        if (hasQueryTable())
            return;
        requireWritable();
        exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Name TEXT COLLATE NOCASE PRIMARY "
                            "KEY, SqlText TEXT NOT NULL)")
                 .arg(quoteSqliteName(kQueryTable))
                 .toUtf8());
        queryTableKnown_ = true;
    }

    // The stored queries among names a statement reads (a table of that name goes first).
    StoredQueryTexts storedQueries() {
        return [this](const QStringList& names) {
            QHash<QString, QString> out;
            if (!hasQueryTable())
                return out;
            for (const QString& name : names) {
                const QString sql = queryDefSqlOrNull(name);
                if (!sql.isNull() && !hasTable(name))
                    out.insert(name.toLower(), sql);
            }
            return out;
        };
    }

    QString queryDefSqlOrNull(const QString& name) {
        if (!hasQueryTable())
            return {};
        auto rows = select(QStringLiteral("SELECT SqlText FROM %1 WHERE Name = ?1")
                               .arg(quoteSqliteName(kQueryTable))
                               .toUtf8(),
                           {Value(name)});
        if (rows.empty())
            return {};
        QString s = rows.front()[0].toString();
        if (s.isNull())
            s = QStringLiteral("");
        return s;
    }

    std::unique_ptr<Recordset> materialise(const JetTranslation& t, const QString& source,
                                           const std::vector<Value>& values);

    sqlite3* db_;
    StatementCache cache_;
    QString path_;
    ReadOnlyReason readOnly_;
    FileIdentity id_;
    int depth_ = 0;
    int scratchDepth_ = 0;  // the depth of the scratch transaction open, 0 when none
    QString journalModeToRestore_;
    bool queryTableKnown_ = false;
    bool verified_ = false;
    JournalHook journal_;
};

std::unique_ptr<RowPredicate> SqliteDatabase::prepareCriterion(const QString& jetCriterion,
                                                               const QStringList& columnNames) {
    const QString sql = criterionStatement(translateJetExpression(jetCriterion), columnNames);
    return std::make_unique<SqlitePredicate>(shared_from_this(), cache_, readOnly_, sql.toUtf8(),
                                             static_cast<int>(columnNames.size()), jetCriterion);
}

std::unique_ptr<Recordset> SqliteDatabase::openRecordset(const QString& source,
                                                         const std::vector<Value>& values) {
    RowSource r = resolveRowSource(
        source, SqlDialect::Sqlite, path_, [this](const QString& n) { return hasTable(n); },
        [this](const QString& n) { return queryDefSqlOrNull(n); }, storedQueries());
    if (r.isTable())
        r.select.sql =
            QStringLiteral("SELECT rowid AS %1, * FROM %2")
                .arg(QLatin1String(kRowIdColumn), quoteSqliteName(r.select.updatableTable));
    return materialise(r.select, r.text, values);
}

std::unique_ptr<Recordset> SqliteDatabase::materialise(const JetTranslation& t,
                                                       const QString& source,
                                                       const std::vector<Value>& values) {
    const QByteArray sql = t.sql.toUtf8();
    Statement st(cache_, sql);
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult(), {source, &t, sql, true});
    requireWholeStatement(st, source);
    sqlite3_stmt* s = st.get();
    bindValues(s, values, source, true);
    const int cols = sqlite3_column_count(s);
    const int first = t.updatableTable.isEmpty() ? 0 : 1;
    std::vector<Field> fields = statementFields(s, first, t.updatableTable);
    std::vector<Recordset::Row> rows;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        Recordset::Row row;
        if (first)
            row.rowid = sqlite3_column_int64(s, 0);
        // Each value is read into its place: no value is made and then moved.
        row.values.resize(static_cast<size_t>(cols - first));
        for (int i = first; i < cols; ++i)
            readColumn(s, i, row.values[static_cast<size_t>(i - first)]);
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        fail(rc, {source, &t, sql, false});
    QString table = t.updatableTable;
    if (!table.isEmpty()) {
        // The name as the file spells it, for the writes.
        for (const Field& f : fields) {
            if (f.writable) {
                table = f.table;
                break;
            }
        }
    }
    return std::make_unique<Recordset>(shared_from_this(), source, table, std::move(fields),
                                       std::move(rows), values);
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

std::unique_ptr<Recordset> Database::openRecordset(const QString& source) {
    return openRecordset(source, {});
}

std::shared_ptr<Database> Database::open(const QString& path) {
    if (pg::isServerLocation(path))
        return pg::openServerDatabase(path, false);
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

std::shared_ptr<Database> Database::openForReading(const QString& path) {
    if (pg::isServerLocation(path))
        return pg::openServerReader(path);
    const QString resolved = resolvePathCaseInsensitive(path);
    checkDataFile(resolved);
    return connect(resolved, Opening::Reader);
}

std::shared_ptr<Database> Database::create(const QString& path) {
    if (pg::isServerLocation(path))
        return pg::openServerDatabase(path, true);
    if (QFileInfo::exists(path) || QFileInfo::exists(resolvePathCaseInsensitive(path)))
        throw DbError(err::ObjectExists,
                      QStringLiteral("Cannot create %1: the file exists already.").arg(path));
    auto db = connect(path, Opening::New);
    const QString key = QFileInfo(path).absoluteFilePath();
    openFiles()[key] = db;
    return db;
}

}  // namespace velmora::data
