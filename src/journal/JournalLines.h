#pragma once

#include "data/Value.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace velmora::data {
class Database;
}

namespace velmora::journal {

// One line of the entry journal as it is read back.
struct JournalLine {
    std::int64_t seq = 0;
    QDateTime changedAt;  // UTC
    QString userName;
    QString hostName;
    QString program;
    QString screen;
    QString tableName;
    QString regNum;
    QString itemNumber;
    std::int64_t rowKey = 0;
    QString columnName;
    data::Value oldValue;
    data::Value newValue;
    QString hash;
    // The Seq of the first line of the transaction that wrote this line; 0 for lines written
    // before entries were told apart.
    std::int64_t entry = 0;
};

// Which lines to read. Empty or invalid members do not narrow the choice.
struct LineFilter {
    QString regNum;      // compared as the engine compares text
    QDate since;         // from this day (UTC) on
    QDate until;         // up to and including this day
    QString columnName;  // one column's lines
    bool newestFirst = false;
};

// Whether the main data file has a journal yet (it gets one at its first change).
bool hasJournal(data::Database& mainDb);

// The journal's columns for a SELECT, in data::journal::Column order; a journal begun
// before entries were told apart reads Null as its Entry.
QString lineColumns(data::Database& mainDb);

// One line as a row read with lineColumns gives it.
JournalLine lineFromRow(const std::vector<data::Value>& r);

// The columns of a table as its rows have them, in their order; with `numeric`, also which
// of them hold numbers (whole, real or currency).
QStringList columnsOf(data::Database& db, const QString& table,
                      std::vector<bool>* numeric = nullptr);

// SQL (as forEachRow takes it) for a column's value as text, as the journal writes values:
// in a file SQLite's own text of it, on a server the engine's function that writes it alike.
QString valueText(data::Database& db, const QString& column);

// The lines that pass the filter, in the order of their sequence numbers (or the reverse).
// A file without a journal has none. Throws data::DbError.
std::vector<JournalLine> readLines(data::Database& mainDb, const LineFilter& filter);

// The columns that hold the meter readings and airframe totals.
bool isMeterOrTotalColumn(const QString& column);

}  // namespace velmora::journal
