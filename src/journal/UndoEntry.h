#pragma once

#include "data/Value.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <vector>

namespace velmora::data {
class Database;
}

namespace velmora::journal {

// One column an entry changed, from its value before the entry to its value after it.
struct ColumnChange {
    QString column;
    data::Value before;
    data::Value after;
};

// An entry: what one transaction wrote to one row (a meter entry's reading, last counted
// reading and total together), as its journal lines tell it.
struct JournalEntry {
    std::int64_t firstSeq = 0;
    std::int64_t lastSeq = 0;
    QDateTime changedAt;  // UTC
    QString userName;
    QString screen;
    QString tableName;
    QString regNum;
    std::int64_t rowKey = 0;
    std::vector<ColumnChange> changes;  // in the order the lines name them

    // "Current Meter #1: 1234.5 → 1236.5", one column a line, the change as the entry made
    // it (reversed: as undoing it would make it).
    QString changesInWords(bool reversed) const;
};

// The entry of a journal line: the lines its transaction wrote for the same row. Lines
// written before entries were told apart count as one entry when they were written
// together, by the same hand, for the same row. Throws data::DbError when there is no such
// line or the journal cannot be read.
JournalEntry entryOfLine(data::Database& mainDb, std::int64_t seq);

// Whether the entry of a journal line can be undone: a change of an aircraft's meter
// readings or totals, not changed again since. Empty when it can; else why not, for the user.
QString whyNotUndoable(data::Database& mainDb, std::int64_t seq);

// Takes the whole entry of a journal line back: every column it changed gets its value from
// before the entry again, in one transaction that the journal records like any change.
// Refused (data::DbError, nothing changed) when the entry cannot be undone: a later change
// to one of its columns would be overwritten (that change is undone first), or the row is
// gone or was changed outside Velmora. Returns the entry taken back.
JournalEntry undoEntry(data::Database& mainDb, std::int64_t seq);

}  // namespace velmora::journal
