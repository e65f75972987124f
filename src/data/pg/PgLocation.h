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

// "?1" markers of SQLite text become PostgreSQL's "$1"; names are kept as PostgreSQL keeps
// them. Literals pass unchanged.
QString postgresFromSqliteText(const QString& sql);

}  // namespace velmora::data::pg
