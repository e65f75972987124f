#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace velmora::tools {

// A value given for a parameter of the statement: its name and the value as typed.
using ParameterText = std::pair<QString, QString>;

// Runs one Jet SQL statement, or opens a stored query or table by name, against a data
// file. Rows come back as CSV; other statements as the number of rows changed. A statement
// or stored query that declares PARAMETERS takes their values from `parameters`, each
// converted to its declared type. Returns the process exit status: 0; 1 with
// "velmora-sql: error NNNN: TEXT" in *err (a value that is none of its parameter's type is
// a type mismatch, 3464); 2 when a declared parameter has no value or a value is given for
// one the statement does not declare.
int runSqlCommand(const QString& file, const QString& sql, const QList<ParameterText>& parameters,
                  QString* out, QString* err);
inline int runSqlCommand(const QString& file, const QString& sql, QString* out, QString* err) {
    return runSqlCommand(file, sql, {}, out, err);
}

}  // namespace velmora::tools
