#pragma once

// What a name in Jet SQL may stand for. Internal to the engine.

#include <QString>

namespace velmora::data {

// Whether a table name belongs to a database engine's own catalog rather than to a data set:
// SQLite's schema and statistics tables and its table-valued functions (sqlite_master,
// pragma_table_info, dbstat, json_each, ...) and the server's catalog (pg_user,
// pg_stat_activity, information_schema). Letter case is ignored. No table of a data set
// has such a name, and a statement never reaches one.
bool isEngineCatalogName(const QString& name);

// Throws DbError ObjectNotFound (3078) for a catalog name, as for any table the data set
// does not have.
void requireDataSetName(const QString& name);

}  // namespace velmora::data
