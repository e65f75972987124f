#pragma once

#include "Value.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

// The entry journal kept in the main data file: every change to its aircraft, components,
// oil samples, planned use and register of tasks, one line per changed column (one per added,
// removed or already present row, with all of its values), each line chained to the one before by a
// SHA-256 hash. The engine writes the lines itself, in the transaction of the change, so
// that no write made through it goes unrecorded.
namespace velmora::data::journal {

inline const QString kTable = QStringLiteral("Journal");

// The tables whose changes are recorded, as the main data file names them.
const QStringList& journalledTables();

// The journal's columns in the order the hash reads them.
enum Column {
    Seq,
    ChangedAt,
    UserName,
    HostName,
    Program,
    Screen,
    TableName,
    RegNum,
    ItemNumber,
    RowKey,
    ColumnName,
    OldValue,
    NewValue,
    Hash,
    ColumnCount
};
const QStringList& columnNames();

// What ColumnName holds for a line that records a whole row; its values are then a JSON
// object of column name to value (as text), in NewValue for a row added or found when the
// journal was begun, in OldValue for a row removed.
inline const QString kRowAdded = QStringLiteral("(new row)");
inline const QString kRowRemoved = QStringLiteral("(deleted row)");
inline const QString kRowPresent = QStringLiteral("(existing row)");

// The hash of a line: SHA-256, as lower-case hex, over the previous line's hash (empty for
// the first line) and the line's fields Seq to NewValue (ColumnCount - 1 values).
QByteArray lineHash(const QByteArray& previousHash, const std::vector<Value>& fields);

// The same, for walks over many lines: one hash state reused, the result (lower-case hex)
// valid until the next call (which may take it as its previous hash).
class LineHasher {
  public:
    LineHasher();
    QByteArrayView hash(QByteArrayView previousHash, const std::vector<Value>& fields,
                        size_t fieldCount);

  private:
    std::string line_;
    char hex_[64];
};

// Who and what makes the changes. The program is the application's name; the screen is
// asked of the provider when the lines are written (the window the user works in), else the
// program's name stands for it (a tool).
void setScreenProvider(std::function<QString()> provider);
// The clock the lines are stamped with (UTC); the system clock when none is set. Tests
// set one to build a journal over many days.
void setClock(std::function<QDateTime()> clock);
QDateTime now();
// Called with the file's path before a file that lacks the journal gets it (the first
// write to a file made before the journal): a backup is taken there. Throwing refuses the
// write.
void setBeforeMigration(std::function<void(const QString& file)> hook);

// The formats lines are stamped with: "2026-01-31 14:05:09", UTC.
inline const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

}  // namespace velmora::data::journal
