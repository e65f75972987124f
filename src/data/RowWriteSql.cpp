#include "RowWriteSql.h"

#include "DbError.h"

namespace velmora::data {

QString RowWriteSql::insert(const QString& table, const QStringList& columns) const {
    if (columns.isEmpty())
        return QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quote(table));
    QStringList names, marks;
    for (int i = 0; i < columns.size(); ++i) {
        names << quote(columns[i]);
        marks << markerPrefix + QString::number(i + 1);
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(quote(table), names.join(u','), marks.join(u','));
}

QString RowWriteSql::update(const QString& table, const QStringList& columns) const {
    QStringList sets;
    for (int i = 0; i < columns.size(); ++i)
        sets << quote(columns[i]) + QStringLiteral(" = ") + markerPrefix + QString::number(i + 1);
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3 = %4")
        .arg(quote(table), sets.join(u", "), rowIdColumn,
             markerPrefix + QString::number(columns.size() + 1));
}

QString RowWriteSql::remove(const QString& table) const {
    return QStringLiteral("DELETE FROM %1 WHERE %2 = %3")
        .arg(quote(table), rowIdColumn, markerPrefix + QStringLiteral("1"));
}

void throwRowDeletedMeanwhile(const QString& table) {
    throw DbError(
        err::NoCurrentRecord,
        QStringLiteral("The row being saved was deleted from table '%1' meanwhile.").arg(table));
}

}  // namespace velmora::data
