#pragma once

#include <QString>

namespace velmora::tools {

// Runs one Jet SQL statement, or opens a stored query or table by name, against a data
// file. Rows come back as CSV; other statements as the number of rows changed. Returns
// the process exit status: 0, or 1 with "velmora-sql: error NNNN: TEXT" in *err.
int runSqlCommand(const QString& file, const QString& sql, QString* out, QString* err);

}  // namespace velmora::tools
