#include "UndoEntry.h"

#include "JournalLines.h"
#include "JournalWords.h"

#include "data/Database.h"
#include "data/Journal.h"
#include "data/Recordset.h"

#include <QStringList>

#include <algorithm>
#include <optional>

namespace velmora::journal {

namespace dj = data::journal;

namespace {

const QString kAircraft = QStringLiteral("Aircraft");

std::vector<JournalLine> select(data::Database& db, const QString& where,
                                const std::vector<data::Value>& values) {
    std::vector<JournalLine> out;
    db.forEachRow(
        QStringLiteral("SELECT %1 FROM Journal WHERE %2 ORDER BY Seq").arg(lineColumns(db), where),
        values, [&](const std::vector<data::Value>& r) { out.push_back(lineFromRow(r)); });
    return out;
}

bool isRowLine(const QString& column) {
    return column == dj::kRowAdded || column == dj::kRowRemoved || column == dj::kRowPresent;
}

QString whenWords(const QDateTime& utc) {
    return utc.toLocalTime().toString(QStringLiteral("d MMM yyyy HH:mm"));
}

// The lines of the same row written together with this one.
std::vector<JournalLine> linesOfEntry(data::Database& db, const JournalLine& line) {
    const std::vector<data::Value> row = {data::Value(line.tableName), data::Value(line.rowKey)};
    if (line.entry > 0) {
        // An entry's lines follow its first line without a gap: only that stretch is read.
        std::vector<data::Value> v = row;
        v.emplace_back(line.entry);
        return select(db,
                      QStringLiteral("Seq >= ?3 AND Entry = ?3 AND TableName = ?1 AND "
                                     "RowKey = ?2"),
                      v);
    }
    // Lines from before entries were told apart: those stamped alike (the same second, user,
    // host, program and screen) in the lines around this one.
    std::vector<data::Value> v = row;
    for (const data::Value& x :
         {data::Value(line.changedAt.toString(dj::kTimeFormat)), data::Value(line.userName),
          data::Value(line.hostName), data::Value(line.program), data::Value(line.screen),
          data::Value(line.seq - 1000), data::Value(line.seq + 1000)})
        v.push_back(x);
    return select(db,
                  QStringLiteral("Seq BETWEEN ?8 AND ?9 AND TableName = ?1 AND RowKey = ?2 AND "
                                 "ChangedAt = ?3 AND UserName = ?4 AND HostName = ?5 AND "
                                 "Program = ?6 AND Screen = ?7 AND Entry IS NULL"),
                  v);
}

// Why the entry cannot be taken back now, with the error's number; an empty text when it can.
struct Refusal {
    data::ErrorNumber number = data::err::Internal;
    QString text;
};

Refusal refusal(data::Database& db, const JournalEntry& e, bool hasRowLine) {
    bool meterOrTotal = false;
    for (const ColumnChange& c : e.changes)
        meterOrTotal = meterOrTotal || isMeterOrTotalColumn(c.column);
    if (e.tableName.compare(kAircraft, Qt::CaseInsensitive) != 0 || !meterOrTotal)
        return {data::err::Internal,
                QStringLiteral(
                    "Only an entry of an aircraft's meter readings or totals can be undone.")};
    if (hasRowLine)
        return {data::err::Internal,
                QStringLiteral("This entry added or deleted the aircraft %1; it cannot be undone.")
                    .arg(e.regNum)};
    // A later change to the same row and columns would be lost.
    for (const JournalLine& later :
         select(db, QStringLiteral("Seq > ?1 AND TableName = ?2 AND RowKey = ?3"),
                {data::Value(e.lastSeq), data::Value(e.tableName), data::Value(e.rowKey)})) {
        if (later.columnName == dj::kRowRemoved)
            return {data::err::NoCurrentRecord,
                    QStringLiteral("The aircraft %1 was deleted on %2 (journal line %3).")
                        .arg(e.regNum, whenWords(later.changedAt))
                        .arg(later.seq)};
        for (const ColumnChange& c : e.changes) {
            if (later.columnName.compare(c.column, Qt::CaseInsensitive) == 0)
                return {data::err::DataChanged,
                        QStringLiteral("%1 of %2 was changed again on %3 by %4 (journal line "
                                       "%5). Undo that entry first.")
                            .arg(columnWords(e.tableName, c.column), e.regNum,
                                 whenWords(later.changedAt), later.userName)
                            .arg(later.seq)};
        }
    }
    // The row as it is must be what the entry left: else it was changed outside Velmora.
    QStringList reads;
    for (const ColumnChange& c : e.changes)
        reads << valueText(db, c.column);
    std::optional<std::vector<data::Value>> now;
    db.forEachRow(QStringLiteral("SELECT %1 FROM Aircraft WHERE rowid = ?1").arg(reads.join(u',')),
                  {data::Value(e.rowKey)}, [&](const std::vector<data::Value>& r) { now = r; });
    if (!now)
        return {data::err::NoCurrentRecord,
                QStringLiteral("The aircraft %1 of this entry is no longer there.").arg(e.regNum)};
    for (size_t i = 0; i < e.changes.size(); ++i) {
        const ColumnChange& c = e.changes[i];
        if (!((*now)[i] == c.after))
            return {data::err::DataChanged,
                    QStringLiteral("%1 of %2 is %3, not %4 as the entry left it: it was changed "
                                   "outside Velmora.")
                        .arg(columnWords(e.tableName, c.column), e.regNum,
                             valueWords(e.tableName, c.column, (*now)[i]),
                             valueWords(e.tableName, c.column, c.after))};
    }
    return {};
}

struct Found {
    JournalEntry entry;
    bool hasRowLine = false;
};

Found find(data::Database& db, std::int64_t seq) {
    if (!hasJournal(db))
        throw data::DbError(data::err::ItemNotFound,
                            QStringLiteral("The file has no entry journal."));
    const std::vector<JournalLine> one =
        select(db, QStringLiteral("Seq = ?1"), {data::Value(static_cast<std::int64_t>(seq))});
    if (one.empty())
        throw data::DbError(data::err::ItemNotFound,
                            QStringLiteral("There is no journal line %1.").arg(seq));
    const JournalLine& line = one.front();
    Found f;
    JournalEntry& e = f.entry;
    e.firstSeq = e.lastSeq = line.seq;
    e.changedAt = line.changedAt;
    e.userName = line.userName;
    e.screen = line.screen;
    e.tableName = line.tableName;
    e.regNum = line.regNum;
    e.rowKey = line.rowKey;
    if (line.tableName == dj::kFileEvent)
        return f;
    for (const JournalLine& l : linesOfEntry(db, line)) {
        e.firstSeq = std::min(e.firstSeq, l.seq);
        e.lastSeq = std::max(e.lastSeq, l.seq);
        if (isRowLine(l.columnName)) {
            f.hasRowLine = true;
            continue;
        }
        // A column written twice in one entry: from its first value to its last.
        auto it = std::find_if(e.changes.begin(), e.changes.end(), [&](const ColumnChange& c) {
            return c.column.compare(l.columnName, Qt::CaseInsensitive) == 0;
        });
        if (it == e.changes.end())
            e.changes.push_back({l.columnName, l.oldValue, l.newValue});
        else
            it->after = l.newValue;
    }
    return f;
}

}  // namespace

QString JournalEntry::changesInWords(bool reversed) const {
    QStringList out;
    for (const ColumnChange& c : changes)
        out << columnChangeWords(tableName, c.column, reversed ? c.after : c.before,
                                 reversed ? c.before : c.after);
    return out.join(u'\n');
}

JournalEntry entryOfLine(data::Database& mainDb, std::int64_t seq) {
    return find(mainDb, seq).entry;
}

QString whyNotUndoable(data::Database& mainDb, std::int64_t seq) {
    const Found f = find(mainDb, seq);
    return refusal(mainDb, f.entry, f.hasRowLine).text;
}

JournalEntry undoEntry(data::Database& mainDb, std::int64_t seq) {
    data::Transaction tx(mainDb);
    // Looked at inside the transaction that writes: nothing can change in between.
    const Found f = find(mainDb, seq);
    const Refusal why = refusal(mainDb, f.entry, f.hasRowLine);
    if (!why.text.isEmpty())
        throw data::DbError(why.number, why.text);
    // The values as the journal has them (text), made the columns' own kinds again.
    auto probe = mainDb.openRecordset(QStringLiteral("SELECT * FROM Aircraft WHERE 1 = 0"));
    QStringList columns;
    std::vector<data::Value> values;
    for (const ColumnChange& c : f.entry.changes) {
        const int at = probe->fieldIndex(c.column);
        columns << (at >= 0 && !probe->field(at).column.isEmpty() ? probe->field(at).column
                                                                  : c.column);
        values.push_back(at >= 0 ? data::convertForField(c.before, probe->field(at).type, c.column)
                                 : c.before);
    }
    mainDb.updateRow(kAircraft, f.entry.rowKey, columns, values);
    tx.commit();
    return f.entry;
}

}  // namespace velmora::journal
