#pragma once

// The engine's SQLite back end: one connection per open data file, Jet SQL translated on the
// way in, rows materialised on the way out. Opening a file is SqliteOpen.cpp's job; the
// rest is SqliteDatabase.cpp's.

#include "DataFileChecks.h"
#include "DatabaseCore.h"
#include "JetSqlTranslator.h"
#include "JournalHook.h"
#include "RowWriteSql.h"
#include "SqliteErrors.h"
#include "SqliteStatement.h"

#include <QString>

#include <memory>
#include <optional>

struct sqlite3;

namespace velmora::data {

class SqliteDatabase final : public DatabaseCore {
  public:
    SqliteDatabase(sqlite3* db, QString path, ReadOnlyReason readOnly, FileIdentity id)
        : db_(db),
          cache_(db),
          path_(std::move(path)),
          readOnly_(readOnly),
          id_(id),
          journal_(db, path_) {}
    ~SqliteDatabase() override;

    const FileIdentity& identity() const { return id_; }
    void setIdentity(const FileIdentity& id) { id_ = id; }
    // The file was found intact (or made) when this connection opened it.
    void setVerified() { verified_ = true; }

    QString path() const override { return path_; }
    bool isShared() const override { return false; }
    bool runsSqliteText() const override { return true; }
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
    int execute(const QString& jetSql, const std::vector<Value>& values) override;

    int executeBound(const QString& sql, const std::vector<Value>& values) override;

    using Database::openRecordset;
    std::unique_ptr<Recordset> openRecordset(const QString& source,
                                             const std::vector<Value>& values) override;

    void forEachRow(const QString& sqliteSql, const std::vector<Value>& values,
                    const std::function<void(const std::vector<Value>&)>& visit) override;

    QStringList queryDefNames() override;

    bool hasTable(const QString& name) override;

    QStringList tableNames() override;

    std::int64_t insertRow(const QString& table, const QStringList& columns,
                           const std::vector<Value>& values) override;

    void updateRow(const QString& table, std::int64_t rowid, const QStringList& columns,
                   const std::vector<Value>& values) override;

    void deleteRow(const QString& table, std::int64_t rowid) override;

    static const RowWriteSql& rowWriteSql();

    std::vector<Value> readRow(const QString& table, std::int64_t rowid,
                               const QStringList& columns) override;

    std::unique_ptr<RowPredicate> prepareCriterion(const QString& jetCriterion,
                                                   const QStringList& columnNames) override;

    std::vector<std::vector<Value>> select(const QByteArray& sql, const std::vector<Value>& args);

    void exec(const QByteArray& sql) { run(sql, {}, QString::fromUtf8(sql)); }

    sqlite3* handle() const { return db_; }
    StatementCache& statementCache() { return cache_; }

    JournalHook& journal() { return journal_; }

  private:
    QString shownName() const override { return path_; }

    // A scratch transaction outside any other keeps its undo log in memory.
    void openLevel(bool scratch) override;
    void releaseLevel() override;
    void undoLevel(int level) override;
    void begin(bool scratch);

    void keepQueryDef(const QString& n, const QString& jetSql) override;
    int removeQueryDef(const QString& n) override;

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
            const JetTranslation* jet = nullptr);

    // The first column of the first row a statement gives, as text.
    QString singleText(const QByteArray& sql) {
        const auto rows = select(sql, {});
        return rows.empty() || rows.front().empty() ? QString() : rows.front()[0].toString();
    }

    void restoreJournalMode();

    bool hasQueryTable();

    void ensureQueryTable();

    // The stored queries among names a statement reads (a table of that name goes first).
    StoredQueryTexts storedQueries();
    // The columns of the file's tables that hold dates, read again after a change of the
    // file's tables made through this connection.
    const DateColumns& dateColumns();
    void schemaMayHaveChanged();
    // The file's schema version, or nothing when it cannot be read.
    std::optional<int> schemaVersionOrNothing();

    QString queryDefSqlOrNull(const QString& name) override;

    std::unique_ptr<Recordset> materialise(const JetTranslation& t, const QString& source,
                                           const std::vector<Value>& values);

    sqlite3* db_;
    StatementCache cache_;
    QString path_;
    ReadOnlyReason readOnly_;
    FileIdentity id_;
    QString journalModeToRestore_;
    bool queryTableKnown_ = false;
    bool verified_ = false;
    JournalHook journal_;
    std::optional<DateColumns> dateColumns_;
};

// Opens an existing data file (the name matched without regard to letter case); a file open
// already shares its connection. See Database::open.
std::shared_ptr<Database> openDataFile(const QString& path);
// A connection of its own to an existing data file, for reading only. See
// Database::openForReading.
std::shared_ptr<Database> openDataFileForReading(const QString& path);
// Makes a new, empty data file; an error when it exists already. See Database::create.
std::shared_ptr<Database> createDataFile(const QString& path);

}  // namespace velmora::data
