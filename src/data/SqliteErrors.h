#pragma once

// SQLite's result codes turned into the engine's numbered errors. Internal to the engine.

#include "DbError.h"
#include "JetSqlTranslator.h"

#include <QByteArray>
#include <QString>

struct sqlite3;

namespace velmora::data {

// What failed: the statement as its caller wrote it and, for Jet SQL, its translation.
struct FailedStatement {
    QString text;                         // as written; empty for the engine's own SQL
    const JetTranslation* jet = nullptr;  // the translation of a Jet statement
    QByteArray sql;                       // the text given to SQLite
    bool preparing = false;               // failed while being read, not while running
};

// Why a file cannot be changed, for the messages of refused writes.
enum class ReadOnlyReason { None, File, Folder };

// The error for an SQLite result code (extended codes on), worded with the statement's own
// names: an unknown column, table or function is named as the statement names it. The
// numbers follow Jet's: 3075 syntax, 3061 unknown column, 3078 unknown table, 3085 unknown
// function, 3079 ambiguous column, 3360 too complex, 3464 type mismatch, ...
// Reads what it needs of the file's schema through the connection.
DbError sqliteFailure(sqlite3* db, int rc, const QString& file, ReadOnlyReason readOnly,
                      const FailedStatement& what);

// Why a change is refused, for messages: "the database file X is read-only", or its folder.
QString readOnlyReasonText(const QString& file, ReadOnlyReason reason);

}  // namespace velmora::data
