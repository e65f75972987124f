#pragma once

// The database server's failures turned into the engine's numbered errors. Internal to the
// engine.

#include "data/DbError.h"

#include <QString>

struct pg_result;
struct pg_conn;

namespace velmora::data::pg {

// The error for a failed statement, from its SQLSTATE: 42P01 unknown table (3078), 42703
// unknown column (3061), 42601 syntax (3075), 42883 unknown function (3085), 23505 duplicate
// key (3022), 23502 Null in a required column (3314), 22001 text too long (3163), 22003
// overflow (3349), 22P02/42804/22007/22008 type mismatch (3464), 42P07 table exists (3010),
// 40001/40P01/55P03 locked (3218), 25006 read-only (3027), 42501 no permission (3033); a lost
// connection is 3151.
// `what` is the statement as its caller wrote it, `where` the data set, `changing` whether a
// change was under way (a lost connection then says the change was not saved).
DbError serverFailure(pg_conn* conn, const pg_result* result, const QString& what,
                      const QString& where, bool changing);

// Whether a statement failed because the connection to the server broke (a restart, the
// network): the server's own "connection" and "shutdown" states, a connection libpq found
// broken, or a failure libpq reported itself without any state from the server.
bool connectionLost(pg_conn* conn, const pg_result* result);

// The error for a login (`role`) refused what it asked of the data set: `why` says what.
DbError noPermission(const QString& role, const QString& where, const QString& why);

// The error for a server that cannot be reached (to connect again), in the user's words.
DbError serverUnreachable(const QString& where, bool changing);

// A connection URI as it may be shown: without a password written into it.
QString shownLocation(const QString& uri);

}  // namespace velmora::data::pg
