#pragma once

// The entry journal on a database server: the same lines and the same SHA-256 chain as in
// the files, kept in the data set's own schema (table "journal") and written by the server
// itself in the transaction of the change.
//
// - Each journalled table (Aircraft, Parts, Oil, PlannedUtilisation) carries the trigger
//   "velmora_journal", AFTER INSERT, UPDATE or DELETE FOR EACH ROW, whose function (one per
//   table, "journal_<table>" in the data set's schema) stages the change's lines in the
//   table "_journal_staged": one per changed column, one with all values for a row added or
//   deleted. Values are written as the files write them (velmora_jet.journal_text).
// - At the commit, the deferred constraint trigger "journal_seal" on "_journal_staged" seals
//   the transaction's staged lines: it takes an advisory lock of the data set's chain (held
//   only until the commit ends), stamps them with the time (UTC), the session user, the
//   workstation's host and the program and screen the program names in the session
//   settings velmora.host, velmora.program and velmora.screen, chains their hashes on from
//   the newest line, and adds them to "journal". The staging and sealing functions run
//   with their owner's rights: a role needs no rights on "_journal_staged".
// - The trigger "journal_guard" of "journal" refuses UPDATE, DELETE and TRUNCATE, and an
//   INSERT that is not the seal's, unless the session sets velmora.migration to "on" (as
//   velmora-migrate does while it carries a journal between data sets, when the staging
//   triggers also stand still).

#include "data/Value.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace velmora::data::pg {

// The journal's functions in the engine's schema: the text of a value as the files write
// it, the hash of a line, the seal and the guard. They can run again on a database that has
// them; they end by marking the seal with kJournalFunctionsRevision.
const char* journalFunctionsSql();
inline constexpr char kJournalFunctionsRevision[] = "velmora journal 1";

// The journal's tables of a data set's schema (the journal, its staging table) with their
// triggers; nothing for those that are there.
QString journalTablesSql(const QString& schema);
// One aircraft's lines of its totals by time, which the use per day of an aircraft reads:
// without it the server reads every aircraft's lines of the period. Journals begun before it
// get it at the next open by a login that owns the journal.
inline constexpr char kJournalAircraftTimeIndex[] = "journal_aircraft_time";
QString journalAircraftTimeIndexSql(const QString& schema);

// A journalled table of a data set: its name as the files spell it, and its columns as the
// server keeps them (lower case) and as spelled.
struct JournalledTable {
    QString spelled;
    QString serverName;
    QStringList serverColumns;
    QStringList spelledColumns;
};

// The staging function and trigger of one journalled table, made again from its columns.
QString journalTriggerSql(const QString& schema, const JournalledTable& table);

// Stages a line "(existing row)" for every row a table holds: the baseline of a journal
// begun on a data set that has rows.
QString journalBaselineSql(const QString& schema, const JournalledTable& table);

// What installing the journal needs of a data set's session.
struct JournalInstallSession {
    QString schema;
    // The rows of a query of the server's catalog.
    std::function<std::vector<std::vector<Value>>(const QString& sql, const std::vector<Value>&)>
        rows;
    // Runs statements (several, separated by semicolons).
    std::function<void(const QString& sql)> exec;
    // A name as the files spell it, from the server's lower case.
    std::function<QString(const QString& serverName)> spelled;
    std::function<void(const QStringList& spellings)> keepSpellings;
};

// Gives a main data set (aircraft by registration, components by item number) its journal
// when it lacks it, with a baseline of the rows it holds, and each journalled table its
// staging trigger, made again from its columns. Nothing happens for a data set that is not a
// main one, or when the server lacks the journal's functions. Runs in the caller's
// transaction; throws DbError when the server refuses.
void ensureJournal(const JournalInstallSession& session);

// The engine's own tables of a data set that are no tables of the data set.
bool isJournalWorkTable(const QString& serverName);

}  // namespace velmora::data::pg
