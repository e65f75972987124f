#pragma once

// What each of the shared database's group roles may do with a table of a data set (see
// PgRoles.h). Internal to the PostgreSQL back end: used when the roles are set up, and when
// the program adds a table to a data set whose roles are set up.

#include <QString>
#include <QStringList>

namespace velmora::data::pg {

// The statements that give a table of a data set (schema and table as the server keeps them)
// to the administrators' role and grant the others what they need of it: every table may be
// read; the entry role changes the rows of the aircraft, their components, oil samples and
// planned use, and only adds lines to the journal.
QStringList tableGrants(const QString& schema, const QString& table);

// A query whose one value is 't' when the three roles exist on the server.
QString rolesExistQuery();

}  // namespace velmora::data::pg
