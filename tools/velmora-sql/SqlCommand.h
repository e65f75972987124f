#pragma once

#include <QString>

namespace velmora::tools {

// Runs one Jet SQL statement, or opens a stored query or table by name, against a data
// file. Rows come back as CSV; other statements as the number of rows changed. Returns
// the process exit status: 0, or 1 with "velmora-sql: error NNNN: TEXT" in *err.
int runSqlCommand(const QString& file, const QString& sql, QString* out, QString* err);

// Writes the output and messages to stdout and stderr as bytes (a NUL inside a text does not
// end them); returns the exit status, 1 when the output could not be written in full.
int writeCommandOutput(const QString& out, const QString& err, int status);

}  // namespace velmora::tools
