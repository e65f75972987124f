#pragma once

// Prepared SQLite statements, kept for reuse, and the binding and reading of values.
// Internal to the engine.

#include "DbError.h"
#include "Recordset.h"
#include "Value.h"

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <map>
#include <vector>

namespace velmora::data {

// Prepared statements kept for reuse: the screens run the same few statements over and
// over (the remaining-life query is prepared once when it is stored and again when it is
// opened), and preparing a long statement costs more than running it.
class StatementCache {
  public:
    struct Entry {
        sqlite3_stmt* stmt = nullptr;
        bool hasTail = false;  // more than one statement in the text
        bool busy = false;
    };
    explicit StatementCache(sqlite3* db) : db_(db) {}
    ~StatementCache() { clear(); }
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    sqlite3* db() const { return db_; }
    Entry* find(const QByteArray& sql) {
        auto it = entries_.find(sql);
        return it == entries_.end() ? nullptr : &it->second;
    }
    Entry* add(const QByteArray& sql, sqlite3_stmt* stmt, bool hasTail) {
        if (entries_.size() >= 64)
            dropIdle();
        Entry& e = entries_[sql];
        e.stmt = stmt;
        e.hasTail = hasTail;
        return &e;
    }
    void clear() {
        for (auto& [sql, e] : entries_)
            sqlite3_finalize(e.stmt);
        entries_.clear();
    }

  private:
    void dropIdle() {
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (!it->second.busy) {
                sqlite3_finalize(it->second.stmt);
                it = entries_.erase(it);
            } else {
                ++it;
            }
        }
    }
    sqlite3* db_;
    std::map<QByteArray, Entry> entries_;
};

// A prepared statement for one use: taken from the cache when it is there and idle, else
// prepared (and kept for the next use). Reset when the use ends.
class Statement {
  public:
    Statement(StatementCache& cache, const QByteArray& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int prepareResult() const { return rc_; }
    bool hasTail() const { return hasTail_; }
    sqlite3_stmt* get() const { return stmt_; }

  private:
    StatementCache::Entry* entry_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    bool hasTail_ = false;
    int rc_ = SQLITE_OK;
};

// Refuses a statement that is empty or followed by another one.
void requireWholeStatement(const Statement& st, const QString& context);

// Binds one value to the marker ?index.
void bindValue(sqlite3_stmt* st, int index, const Value& v);

// Binds values to the markers ?1, ?2, ... of a statement. A statement of the Jet dialect
// (checked) must have exactly as many markers as values: a marker left without a value
// would silently read Null.
void bindValues(sqlite3_stmt* st, const std::vector<Value>& values, const QString& context,
                bool checked);

// The value of a column of the current row.
Value columnValue(sqlite3_stmt* st, int i);
// The same into a value that is reused row after row.
void readColumn(sqlite3_stmt* st, int i, Value& into);

// The columns of a prepared statement from column first on, as record set fields: writable
// when they come from updatableTable (empty: none is). Columns that share a name are told
// apart by their table: "Aircraft.RegNum".
std::vector<Field> statementFields(sqlite3_stmt* st, int first, const QString& updatableTable);

}  // namespace velmora::data
