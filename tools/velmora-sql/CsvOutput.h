#pragma once

#include "data/Recordset.h"

#include <QString>

namespace velmora::tools {

// One CSV field (RFC 4180): quoted when it holds a comma, quote, or line break.
QString csvField(const QString& text);

// A value as the command-line tools print it: Null as empty, Yes/No as -1/0, dates as
// YYYY-MM-DD, numbers in their shortest form.
QString plainValue(const data::Value& v, const data::FieldType& type);

// Header line of the column names, then one line per row, each ending in CRLF.
QString recordsetToCsv(const data::Recordset& rs);

}  // namespace velmora::tools
