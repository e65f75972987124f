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
// oil samples, planned use, register of tasks, stores and component histories, one line per changed
// column (one per added, removed or already present row, with all of its values), each line chained
// to the one before by a SHA-256 hash. The engine writes the lines itself, in the transaction of
// the change, so that no write made through it goes unrecorded.
namespace velmora::data {
class Database;
}

namespace velmora::data::journal {

inline const QString kTable = QStringLiteral("Journal");

// The tables whose changes are recorded, as the main data file names them.
const QStringList& journalledTables();

// The journal's columns in the order the hash reads them: Seq to NewValue, then Entry when
// it has a value. Entry is the Seq of the first line its transaction wrote, so the lines one
// transaction wrote (a meter entry's reading, last counted reading and total) are known as
// one entry; lines written before files had the column leave it Null, and hash as before.
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
    Entry,
    ColumnCount
};
// The fields that are always hashed: Seq to NewValue.
inline constexpr size_t kHashedFields = Hash;
const QStringList& columnNames();

// What ColumnName holds for a line that records a whole row; its values are then a JSON
// object of column name to value (as text), in NewValue for a row added or found when the
// journal was begun, in OldValue for a row removed.
inline const QString kRowAdded = QStringLiteral("(new row)");
inline const QString kRowRemoved = QStringLiteral("(deleted row)");
inline const QString kRowPresent = QStringLiteral("(existing row)");

// A line about the file as a whole rather than a row: TableName is kFileEvent, ColumnName
// what happened (kRestored: the file was put back from a backup) and NewValue which backup
// or what else tells it apart.
inline const QString kFileEvent = QStringLiteral("(file)");
inline const QString kRestored = QStringLiteral("(restored from backup)");

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
    // The hash of a journal line given as its columns in Column order (at least up to
    // Entry; the Hash slot is not read): Seq to NewValue, and Entry when it is not Null.
    QByteArrayView lineHash(QByteArrayView previousHash, const std::vector<Value>& line);

  private:
    std::string line_;
    char hex_[64];
    std::vector<Value> entryLine_;
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

// Writes a line about the file as a whole, in a transaction of its own (or the caller's),
// stamped and chained like any other. False, with nothing written, when the file keeps no
// journal (it is not a main data file). Throws DbError.
bool recordFileEvent(Database& mainDb, const QString& event, const QString& detail);

// Called after a transaction that wrote journal lines is committed, with the file and the
// number and hash of its newest line: the program keeps them outside the file as the
// chain's anchor. The change is made by then; a failure of the hook is not reported.
using AfterCommitHook =
    std::function<void(const QString& file, std::int64_t seq, const QByteArray& hash)>;
void setAfterCommit(AfterCommitHook hook);

// While one lives, the engine records no lines for the rows it writes and lets lines be added
// to a journal as they are given: a migration carrying a data set's journal to another
// (see carryLines). On a server the session says so too (pg::carryJournal).
class CarryingJournal {
  public:
    CarryingJournal();
    ~CarryingJournal();
    CarryingJournal(const CarryingJournal&) = delete;
    CarryingJournal& operator=(const CarryingJournal&) = delete;
};
bool carryingJournal();

// Adds lines, given as their columns in Column order (Hash and Entry included), to the
// journal of a main data set as they are, making the journal in a file that lacks it. Only
// while a CarryingJournal lives; in the caller's transaction. Throws DbError.
void carryLines(Database& mainDb, const std::vector<std::vector<Value>>& lines);

// The formats lines are stamped with: "2026-01-31 14:05:09", UTC.
inline const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

}  // namespace velmora::data::journal
