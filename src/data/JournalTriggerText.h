#pragma once

// The SQLite text of the entry journal's triggers and staging, internal to the SQLite back
// end: what JournalHook puts on a connection, apart from when and why it does.

#include <QString>
#include <QStringList>

namespace velmora::data::journal {

// The temporary table the triggers stage their lines in, and the prefix of their names.
inline constexpr char kStagedTable[] = "velmora_journal_staged";
inline constexpr char kTriggerPrefix[] = "velmora_journal_";

// The journal's table and its index by registration, in a file.
extern const char kJournalTableSql[];
extern const char kJournalIndexSql[];

// The name in columns that is wanted, whatever its letter case; empty when there is none.
QString findColumn(const QStringList& columns, const QString& wanted);

// The three triggers (the number n tells them apart) that stage the lines of a row added
// to, removed from or changed in table, whose columns are given.
QStringList changeTriggers(const QString& table, const QStringList& columns, int n);
// The two triggers that keep the journal's own lines from being changed or removed.
QStringList guardTriggers();
// The statement that stages every row table holds now as present: ?1 is the table's name,
// ?2 the marker of a present row.
QString baselineStatement(const QString& table, const QStringList& columns);

}  // namespace velmora::data::journal
