#pragma once

#include "TableSource.h"
#include "data/Database.h"
#include "data/Recordset.h"

#include <QString>

#include <vector>

namespace velmora::legacy {

// The Jet type a column copied as it is gets in the new file ("TEXT(40)", "CURRENCY",
// "LONGBINARY", ...); empty for a type that cannot be kept (attachments, multi-valued
// fields), with the reason in *why.
QString keptColumnType(const SourceColumn& column, QString* why);

// Whether the column holds bytes rather than values (binary and OLE objects).
bool holdsBytes(const SourceColumn& column);

// Creates a table with these columns, each of the type keptColumnType() gives.
void createKeptTable(data::Database& db, const QString& table,
                     const std::vector<SourceColumn>& columns);

// Adds a column, of the type keptColumnType() gives, to a table of the new file, with the
// same rules (letter case, lengths, kinds of values) as a column made with the table.
// Returns the new column.
data::Field addKeptColumn(data::Database& db, const QString& table, const SourceColumn& column);

// The columns of a table of the new file, with their types.
std::vector<data::Field> columnsOf(data::Database& db, const QString& table);

}  // namespace velmora::legacy
