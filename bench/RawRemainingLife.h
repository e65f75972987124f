#pragma once

#include "data/Recordset.h"

#include <QByteArray>
#include <QString>

struct sqlite3;

namespace velmora::bench {

// The remaining-life rows of one aircraft (?1: its registration number) written by hand
// for SQLite: the same columns as the engine's query (the aircraft's, the installed
// components', then the ten computed ones) with CASE WHEN for IIf and SQLite's date
// functions for the month addition and the mm/dd/yy text. SQLite rolls a day past the end
// of the target month over into the next month, where the engine keeps the month's last
// day; install dates on days 1 to 28 never meet the difference.
QByteArray rawRemainingLifeSql();

// A plain SQLite connection to a file, read-only and single-threaded, without the engine.
class RawConnection {
  public:
    explicit RawConnection(const QString& file);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    sqlite3* get() const { return db_; }
    const QString& error() const { return error_; }  // empty when the file opened

  private:
    sqlite3* db_ = nullptr;
    QString error_;
};

// Compares the raw query's rows with the engine's record set, value by value; empty when
// they agree, else the first difference.
QString compareWithRecordset(sqlite3* db, const QString& regNum, data::Recordset& rs);

}  // namespace velmora::bench
