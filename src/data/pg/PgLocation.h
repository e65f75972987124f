#pragma once

// Data set locations on a database server, and SQLite text made PostgreSQL's. Internal to
// the PostgreSQL back end.

#include <QString>

namespace velmora::data::pg {

// A location split into its connection URI and the data set's name.
struct Location {
    QString uri;
    QString name;    // as written ("TimeMgr")
    QString schema;  // as the server keeps it ("timemgr")
};

// Throws DbError InvalidPath when the location names no data set or holds a password.
Location parseLocation(const QString& location);

// The server's URI of a location (what comes before '#'), or the URI itself, without blanks
// around it.
QString serverUriOf(const QString& location);

// "?1" markers of SQLite text become PostgreSQL's "$1"; names are kept as PostgreSQL keeps
// them. Literals pass unchanged.
QString postgresFromSqliteText(const QString& sql);

// Throws DbError TooFewParameters unless the markers $1, $2, ... of PostgreSQL text (outside
// its literals) number exactly as many as the values given for them.
void requireMarkersFor(const QString& postgresSql, size_t valueCount, const QString& context);

}  // namespace velmora::data::pg
