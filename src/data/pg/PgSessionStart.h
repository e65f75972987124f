#pragma once

// The start of a session with the server, in one round trip: the session's settings (the
// search path of the data set's schema and the engine's, the date style, the program's date
// display for Format's "Short Date", and the workstation and program the journal names) are set by
// the same statement that reads what opening the data set needs to know: whether its schema is
// there, the revision of the engine's functions, whether it keeps a journal, what the login may do
// in it, which of the engine's own tables it has, whether it is a data set that keeps a
// journal (one with the aircraft and their components), whether its journal lacks an index
// the login may add, and the names of the schema's tables.

#include "data/Value.h"
#include "start/EarlyConnection.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmora::data::pg {

struct SessionFacts {
    bool schemaExists = false;
    QString functionsRevision;  // the engine's functions, as the schema of the engine marks them
    QString journalRevision;    // the journal's functions, as the seal marks them
    bool hasJournal = false;
    bool mayUse = false;     // USAGE on the data set's schema
    bool mayChange = false;  // CREATE on it, or a right to change one of its tables
    bool hasQueryTable = false;
    bool hasNamesTable = false;
    bool mayKeepJournal = false;  // it has tables of the aircraft and of the components
    // Its journal lacks an index journals get now, and the login owns the journal to add it.
    bool journalLacksIndex = false;
    QStringList tables;  // the schema's tables and views, as the server names them
};

// The statement and its values: searchPath as SET search_path takes it, the data set's
// schema, and the names of the engine's tables of stored queries and of names.
QString sessionStartSql();
std::vector<Value> sessionStartArgs(const QString& searchPath, const QString& host,
                                    const QString& program, const QString& schema,
                                    const QString& queryTable, const QString& namesTable);
// The session's settings alone, as the statement sets them, for a session whose start was read
// under other settings.
QString sessionSettingsSql();
std::vector<Value> sessionSettingsArgs(const QString& searchPath, const QString& host,
                                       const QString& program);

// The facts of the statement's one row (none when the row is missing).
SessionFacts readSessionFacts(const std::vector<std::vector<Value>>& rows);
// The same of the row as text, as the program's launcher read it.
SessionFacts readSessionFacts(const start::SessionStartRow& row);

}  // namespace velmora::data::pg
