#pragma once

// The statements that write one row of a table, spelled for a back end: names quoted by
// its own rule, values bound to its markers ("?1" on the files, "$1" on a server), the row
// found by its row id column. Internal to the engine.

#include <QString>
#include <QStringList>

#include <functional>

namespace velmora::data {

struct RowWriteSql {
    std::function<QString(const QString&)> quote;
    QString markerPrefix;  // "?" or "$"
    QString rowIdColumn;

    // INSERT of the columns' values bound in order (DEFAULT VALUES for no column).
    QString insert(const QString& table, const QStringList& columns) const;
    // UPDATE of the columns' values bound in order, the row id bound last.
    QString update(const QString& table, const QStringList& columns) const;
    // DELETE of the row whose id is bound first.
    QString remove(const QString& table) const;
};

// The error for a row that was gone when it was to be saved.
[[noreturn]] void throwRowDeletedMeanwhile(const QString& table);

}  // namespace velmora::data
