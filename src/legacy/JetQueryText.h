#pragma once

#include <QString>

#include <vector>

namespace velmora::legacy {

// One row of a Jet file's query table (MSysQueries): a stored query is kept as a list of such
// rows, one per part of its statement.
struct QueryDefRow {
    int attribute = 0;   // which part: 1 the kind, 2 a parameter, 3 options, 5 a table, ...
    QString expression;  // an expression: a column, a join's condition, WHERE, ...
    int flag = 0;        // the kind, the options, a join's kind, a parameter's type
    QString name1;       // a table, a column's alias, TOP's number, "D" for descending
    QString name2;       // a table's alias, the right table of a join
};

// The Jet SQL text of a stored query rebuilt from its rows and the flags of its entry in
// the file's list of objects (MSysObjects), which tell its kind: select queries (with
// their joins, grouping, parameters and order) and union queries. Empty, with the reason
// in *problem, for the other kinds (action, crosstab, data-definition and pass-through
// queries) and for rows that do not make a statement.
QString jetQuerySql(const std::vector<QueryDefRow>& rows, int objectFlags, QString* problem);

}  // namespace velmora::legacy
