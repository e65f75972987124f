#pragma once

#include "data/Database.h"

#include <QString>
#include <QStringList>

#include <string>

namespace velmora::demo {

// Adds rows to one table through the engine's bound statements, many rows to a statement.
// The engine prepares each statement it runs, and a table's column checks and triggers
// make that cost more than writing a row, so the rows of a batch travel as one JSON array
// bound to a single marker and are unpacked by SQLite's json_each:
//   INSERT INTO [Parts] ([RegNum], ...) SELECT value ->> 0, ... FROM json_each(?1)
// Each value keeps its kind (text, whole number, number, Null), so the file stores what
// binding the values one by one would store. Values must already be in stored form (Yes/No
// as -1/0, dates as ISO text). Rows still pending are written by finish(), never by the
// destructor, so that a failure cannot go unnoticed.
class RowInserter {
  public:
    RowInserter(data::Database& db, const QString& table, const QStringList& columns);

    void add(const std::vector<data::Value>& row);
    void finish();
    int rowsAdded() const { return added_; }

  private:
    void write();

    data::Database& db_;
    QString statement_;
    int columns_;
    std::string batch_;  // the pending rows as a JSON array, without its closing bracket
    int pendingRows_ = 0;
    int added_ = 0;
};

// A value as a JSON literal: null, a number that reads back as the same double, or a
// string with quotes, backslashes and control characters escaped.
void appendJson(std::string* out, const data::Value& v);

}  // namespace velmora::demo
