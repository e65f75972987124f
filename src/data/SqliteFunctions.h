#pragma once

#include "DbError.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct sqlite3;

namespace velmora::data {

// Registers the engine's functions (IIf, DateAdd, Format, Nz, Val, ...) on a connection,
// under their Jet names and under the "jet_" names that translated SQL calls, the
// functions behind Jet's operators, and the collation of text (registerJetCollation).
// Returns an SQLite result code.
int registerJetFunctions(sqlite3* db);

// Registers the collation under which text compares as Jet compares it (letter case and
// trailing blanks ignored), which the text columns of the engine's files are declared
// with. A connection to such a file that lacks it cannot compare their text.
int registerJetCollation(sqlite3* db);

// Jet's aggregates that SQLite lacks, First and Last, as jet_first and jet_last
// (SqliteGroupFunctions.cpp); registerJetFunctions registers them too.
int registerJetGroupFunctions(sqlite3* db);

// A runtime error of one of the engine's functions (Overflow, Division by zero, ...) as the
// message the function fails with inside SQLite, and the engine's error again from such a
// message, worded with the statement that met it; none for any other message.
QByteArray functionErrorMessage(const DbError& e);
std::optional<DbError> functionError(const QString& sqliteMessage, const QString& statement);

}  // namespace velmora::data
