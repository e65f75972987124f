#pragma once

// What a record set is opened on: a SELECT statement, a table or a stored query. Resolved
// the same way on every back end; only the text that reads a whole table differs. Internal
// to the engine.

#include "JetSqlTranslator.h"

#include <QString>

#include <functional>

namespace velmora::data {

struct RowSource {
    // The SELECT to run. For a table its sql is left empty for the back end to write, and
    // updatableTable names the table.
    JetTranslation select;
    // The text the record set keeps: the source as given, or a stored query's SELECT (so
    // that the set stays usable after the query is deleted).
    QString text;
    bool isTable() const { return select.sql.isEmpty(); }
};

// Throws DbError ObjectNotFound when the source names nothing (where: the data set, for the
// message) and SyntaxError when it is a statement or stored query that gives no rows.
// storedQuery gives a stored query's text, or a null string when there is none;
// storedQueries those that a statement reads; dateColumns, on the files, the columns of dates.
RowSource resolveRowSource(const QString& source, SqlDialect dialect, const QString& where,
                           const std::function<bool(const QString& name)>& hasTable,
                           const std::function<QString(const QString& name)>& storedQuery,
                           const StoredQueryTexts& storedQueries,
                           const DateColumns* dateColumns = nullptr);

// A name without the brackets Jet allows around it.
QString unbracketName(const QString& name);

}  // namespace velmora::data
