#pragma once

#include "data/Recordset.h"

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace velmora::bench {

// What reading a result gave: its size and a sum over every value, so that no read can be
// left out by the optimiser.
struct RowTally {
    int rows = 0;
    int columns = 0;
    double checksum = 0;
};

// Reads every column of every row of a record set as the screens do: moving row by row
// and taking each column's value.
RowTally readRecordset(data::Recordset& rs);

// Steps a prepared statement to its end, reading every column by its type.
// False when a step fails.
bool readStatement(sqlite3_stmt* st, RowTally* tally);

// Prepares SQL on a connection, binds text to its first marker when bound is given, and
// reads every row into *tally. The connection's error text when a step fails, else empty.
QString tallyStatement(sqlite3* db, const QByteArray& sql, const QByteArray* bound,
                       RowTally* tally);

}  // namespace velmora::bench
