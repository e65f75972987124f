#pragma once

#include "DbError.h"
#include "FieldType.h"
#include "Value.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace velmora::data {

class Recordset;

// A test of one row against a find criterion, prepared once for a set of column names.
class RowPredicate {
  public:
    // The values of the row at an index.
    using RowAt = std::function<const std::vector<Value>&(int index)>;

    virtual ~RowPredicate() = default;
    virtual bool matches(const std::vector<Value>& row) = 0;
    // The index of the first of the rows from `from` up to `count` that matches, or -1.
    // Rows are tested in turn; a back end that pays a round trip for each test may test
    // many at once, with the same outcome (a failure included) as testing them in turn.
    virtual int firstMatch(int from, int count, const RowAt& rowAt) {
        for (int i = from; i < count; ++i) {
            if (matches(rowAt(i)))
                return i;
        }
        return -1;
    }
};

// One open database file. Errors are thrown as DbError with a number and a text.
//
// Open files are shared: opening the same file again while it is open gives the same
// connection, so every screen sees the others' writes at once. A connection is used by one
// thread at a time.
class Database : public std::enable_shared_from_this<Database> {
  public:
    virtual ~Database() = default;

    // Opens an existing database file. The name is matched without regard to letter case.
    // Never creates a file: a missing, empty, damaged or foreign file is an error.
    static std::shared_ptr<Database> open(const QString& path);
    // Creates a new, empty database file; an error when the file exists already.
    static std::shared_ptr<Database> create(const QString& path);
    // Opens a connection of its own to an existing database (file or server data set), shared
    // with no one and meant only for reading: for work on another thread while the shared
    // connection stays with the thread that uses it. It sees what others have committed,
    // not the changes of a transaction still open on another connection. Throws DbError as
    // open() does.
    static std::shared_ptr<Database> openForReading(const QString& path);

    virtual QString path() const = 0;
    // Whether the data is kept by a database server that other workstations use at the same
    // time. Each connection to it is a session of its own, which takes round trips to open;
    // a data file is opened by this program itself.
    virtual bool isShared() const = 0;
    // Whether text given to forEachRow() and executeBound() runs as SQLite reads it, with
    // SQLite's own statements (PRAGMA), conversions and planner hints (a unary + on a
    // column). Otherwise the back end rewrites it for its server, which knows the common
    // forms only.
    virtual bool runsSqliteText() const = 0;
    virtual bool isReadOnly() const = 0;
    // Why changes are refused, for messages ("the database file ... is read-only", or the
    // folder that holds it); empty when the file can be changed.
    virtual QString whyReadOnly() const = 0;

    // Runs one Jet statement (data definition or change); returns the number of rows
    // changed. With values, they are bound to the statement's markers ?1, ?2, ...: a value
    // never needs quoting and never changes what the statement means.
    int execute(const QString& jetSql) { return execute(jetSql, {}); }
    virtual int execute(const QString& jetSql, const std::vector<Value>& values) = 0;
    // Runs one statement of SQLite's own text with values bound to ?1, ?2, ...: for the
    // engine's bulk writes (conversion, generated fleets) that use SQLite's functions.
    // Everything else uses execute() in the Jet dialect.
    virtual int executeBound(const QString& sqliteSql, const std::vector<Value>& values) = 0;
    // A record set on a table name, a stored query's name or Jet SQL text, rows in the
    // order the source gives. Updatable when it reads one table. With values, they are
    // bound to the markers ?1, ?2, ... of the text (or of the stored query), and kept for
    // requery().
    std::unique_ptr<Recordset> openRecordset(const QString& source);
    virtual std::unique_ptr<Recordset> openRecordset(const QString& source,
                                                     const std::vector<Value>& values) = 0;
    // Starts reading the record set that openRecordset(source), with no values, is about to
    // be asked for: a database server works on it while the program does other work. A file
    // is read when it is asked, and this does nothing. Failures are left for openRecordset.
    virtual void readAhead(const QString& /*source*/) {}

    // Reads the rows of an SQLite statement one at a time, without keeping them: for long
    // walks (the whole entry journal). Values bound to ?1, ?2, ... in order.
    virtual void forEachRow(const QString& sqliteSql, const std::vector<Value>& values,
                            const std::function<void(const std::vector<Value>&)>& visit) = 0;

    // Stored queries kept in the file. Creating fails with ObjectExists when a query or
    // table of that name exists; deleting an unknown name fails with ItemNotFound.
    virtual void createQueryDef(const QString& name, const QString& jetSql) = 0;
    virtual void deleteQueryDef(const QString& name) = 0;
    virtual bool hasQueryDef(const QString& name) = 0;
    virtual QString queryDefSql(const QString& name) = 0;
    virtual QStringList queryDefNames() = 0;

    virtual bool hasTable(const QString& name) = 0;
    virtual QStringList tableNames() = 0;

    // Transactions nest; the outermost commit makes the changes permanent.
    virtual void beginTransaction() = 0;
    // Whether a transaction (or scratch transaction) is open on this connection: its changes
    // are not yet seen by any other connection.
    virtual bool inTransaction() const = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // A transaction for work that is never kept: it can only be rolled back (commit() is
    // refused). As nothing of it is meant to reach the file, its undo log stays in memory
    // and it costs no disk writes.
    virtual void beginScratchTransaction() = 0;

    // Row access for record sets read from one table.
    virtual std::int64_t insertRow(const QString& table, const QStringList& columns,
                                   const std::vector<Value>& values) = 0;
    virtual void updateRow(const QString& table, std::int64_t rowid, const QStringList& columns,
                           const std::vector<Value>& values) = 0;
    virtual void deleteRow(const QString& table, std::int64_t rowid) = 0;
    virtual std::vector<Value> readRow(const QString& table, std::int64_t rowid,
                                       const QStringList& columns) = 0;
    virtual std::unique_ptr<RowPredicate> prepareCriterion(const QString& jetCriterion,
                                                           const QStringList& columnNames) = 0;
};

// The data set at `path` with the record set of `source` being read ahead (see readAhead),
// when a database server holds it and a session with it is at hand: one held open, or an
// idle one taken up again. Null otherwise, with nothing done: a file is read when it is
// asked, and a session that must first connect is left to the caller's own open, which
// reports a failure once. Hold it until the record set is opened. Throws nothing.
std::shared_ptr<Database> readAheadWhereAtHand(const QString& path, const QString& source);

// Runs a block of changes as one: rolled back unless commit() is reached.
class Transaction {
  public:
    explicit Transaction(Database& db) : db_(db) { db_.beginTransaction(); }
    ~Transaction() {
        if (!done_) {
            try {
                db_.rollback();
            } catch (...) {
            }
        }
    }
    void commit() {
        db_.commit();
        done_ = true;
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

  private:
    Database& db_;
    bool done_ = false;
};

// Runs a block of work that is undone at the end of the block, whatever happens in it.
class ScratchTransaction {
  public:
    explicit ScratchTransaction(Database& db) : db_(db) { db_.beginScratchTransaction(); }
    ~ScratchTransaction() {
        try {
            db_.rollback();
        } catch (...) {
        }
    }
    ScratchTransaction(const ScratchTransaction&) = delete;
    ScratchTransaction& operator=(const ScratchTransaction&) = delete;

  private:
    Database& db_;
};

}  // namespace velmora::data
