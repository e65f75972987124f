#include "UndoEntry.h"

#include "JournalLines.h"

#include "data/Database.h"
#include "data/Journal.h"

namespace velmora::journal {

namespace {

struct Target {
    QString table;
    std::int64_t rowKey = 0;
    QString column;
    data::Value oldValue;
    data::Value newValue;
    QString why;
};

Target targetOf(data::Database& mainDb, std::int64_t seq) {
    Target t;
    if (!hasJournal(mainDb)) {
        t.why = QStringLiteral("The file has no entry journal.");
        return t;
    }
    bool found = false;
    mainDb.forEachRow(QStringLiteral("SELECT TableName, RowKey, ColumnName, OldValue, NewValue "
                                     "FROM Journal WHERE Seq = ?1"),
                      {data::Value(static_cast<std::int64_t>(seq))},
                      [&](const std::vector<data::Value>& r) {
                          found = true;
                          t.table = r[0].toString();
                          t.rowKey = r[1].toInt();
                          t.column = r[2].toString();
                          t.oldValue = r[3];
                          t.newValue = r[4];
                      });
    if (!found)
        t.why = QStringLiteral("There is no journal line %1.").arg(seq);
    else if (t.table.compare(QStringLiteral("Aircraft"), Qt::CaseInsensitive) != 0 ||
             !isMeterOrTotalColumn(t.column))
        t.why = QStringLiteral("Only a change of a meter reading or a total can be undone.");
    return t;
}

}  // namespace

QString whyNotUndoable(data::Database& mainDb, std::int64_t seq) {
    return targetOf(mainDb, seq).why;
}

void undoEntry(data::Database& mainDb, std::int64_t seq) {
    const Target t = targetOf(mainDb, seq);
    if (!t.why.isEmpty())
        throw data::DbError(data::err::Internal, t.why);
    data::Transaction tx(mainDb);
    // The value must still be the one the line wrote: undoing an older line over a newer
    // change would lose that change.
    std::optional<data::Value> now;
    mainDb.forEachRow(QStringLiteral("SELECT CAST(\"%1\" AS TEXT) FROM Aircraft WHERE rowid = ?1")
                          .arg(QString(t.column).replace(u'"', QStringLiteral("\"\""))),
                      {data::Value(t.rowKey)},
                      [&](const std::vector<data::Value>& r) { now = r[0]; });
    if (!now)
        throw data::DbError(
            data::err::NoCurrentRecord,
            QStringLiteral("The aircraft of journal line %1 is no longer there.").arg(seq));
    if (!(*now == t.newValue))
        throw data::DbError(data::err::Internal,
                            QStringLiteral("%1 was changed again after journal line %2; undo the "
                                           "later change first.")
                                .arg(t.column)
                                .arg(seq));
    mainDb.updateRow(QStringLiteral("Aircraft"), t.rowKey, {t.column}, {t.oldValue});
    tx.commit();
}

}  // namespace velmora::journal
