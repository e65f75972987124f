#pragma once

// The engine's PostgreSQL back end. A data set on a server is named by a libpq connection
// URI and the data file's name as its fragment:
//   postgresql://host:port/dbname?sslmode=require#TimeMgr
// Each data file is a schema of that database ("timemgr"); the engine's functions live in the
// schema "velmora_jet". Passwords come from libpq's own means (~/.pgpass, PGPASSWORD) and are
// never part of what the engine stores or shows.

#include "data/Database.h"
#include "data/SharedUse.h"

#include <QString>

#include <functional>
#include <memory>

namespace velmora::data::pg {

// Whether a server location or data path carries a password (in the URI's user part or as
// its password parameter): such a location is refused, and never stored.
bool holdsPassword(const QString& location);

// Opens (or, with create, makes) the data set at a server location. Throws DbError: 3151
// when the server cannot be reached or refuses the login, 3024 when the data set does not
// exist, 3012 when it exists already and holds tables (create), 3044 when the location is
// not a connection URI with a data set's name.
std::shared_ptr<Database> openServerDatabase(const QString& location, bool create);

// The data set at a server location when a session with it is at hand without connecting:
// one held open, or an idle one taken up again. Null otherwise; throws nothing.
std::shared_ptr<Database> openServerDatabaseAtHand(const QString& location) noexcept;

// Makes the data set at a server location in one transaction: its schema (with the engine's
// functions, when the database lacks them) and what build writes into it. A failure, of
// build or of the server, leaves the database as it was. Throws DbError as
// openServerDatabase does with create.
std::shared_ptr<Database> createServerDataSet(const QString& location,
                                              const std::function<void(Database&)>& build);

// A password for this session only, for a server the user was asked about (neither
// ~/.pgpass nor PGPASSWORD gives one): kept in this process's memory for the connection URI
// (a location's part before '#') and handed to libpq with each connection made to it; never
// stored. An empty password forgets it.
void setSessionPassword(const QString& uri, const QString& password);

// Whether the server of a location (a URI, with or without a data set's name) asks for a
// password that none of those means gives: tries to connect. False when it connects, and
// when it fails for any other reason (which opening the data then reports).
bool serverNeedsPassword(const QString& location);

// Opens a session of its own with the data set at a server location, shared with no one (see
// Database::openForReading). Throws DbError as openServerDatabase does.
std::shared_ptr<Database> openServerReader(const QString& location);

// While carrying is on, the session's writes stage no journal lines and the data set's
// journal takes lines as they are given (the session setting velmora.migration): for a
// migration that carries a journal from one data set to another.
void carryJournal(Database& serverDb, bool on);

// After rows were added with the row ids they had elsewhere: a row added later gets an id
// after the highest one.
void continueRowIds(Database& serverDb, const QString& table);

}  // namespace velmora::data::pg
