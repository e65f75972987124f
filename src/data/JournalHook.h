#pragma once

// The engine's side of the entry journal, internal to the SQLite back end. Changes are
// caught by temporary triggers that this connection puts on the journalled tables: they
// live only in the connection, so every write made through the engine passes them whatever
// path it takes (a recordset, Jet SQL, a bound statement), while a program that writes the
// file directly passes none and leaves a difference that the journal check finds. The
// triggers stage their lines in a temporary table; the outermost commit seals them (stamps
// who and when, chains the hashes in order) into the file's Journal table in the same
// transaction. A commit that would carry staged lines unsealed is refused.

#include "SqliteErrors.h"

#include <QString>
#include <QStringList>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace velmora::data {

// Statements that SQLite refuses inside a transaction, or that end or begin one.
bool statementStandsAlone(const QString& sql);
// CREATE, DROP or ALTER: the journalled tables may change.
bool statementChangesSchema(const QString& sql);

class JournalHook {
  public:
    JournalHook(sqlite3* db, QString path);
    ~JournalHook();
    JournalHook(const JournalHook&) = delete;
    JournalHook& operator=(const JournalHook&) = delete;

    // Sets the connection up (functions, hooks, triggers) for a writable file.
    void attach();
    bool active() const { return attached_ && isMainFile_; }

    // Before the outermost transaction begins: a file without the journal is backed up.
    void beforeOutermostBegin();
    // Inside it, first thing: the journal table and its baseline when the file lacks them.
    void afterOutermostBegin();
    // Inside it, last thing before the commit: the staged lines are sealed.
    void beforeOutermostCommit() { sealStaged(); }
    // Inside it, after a change: a long transaction (an import of a whole fleet) seals its
    // lines as it goes, so that only a few thousand wait at any time. A part of the
    // transaction rolled back later takes its sealed lines with it.
    void afterChangeInTransaction() {
        if (staged_ >= kSealEvery)
            sealStaged();
    }
    // After the outermost commit: the anchor hook hears of the newest line it sealed.
    void afterOutermostCommit();
    // After a statement that may have changed the schema, or a rollback.
    void schemaMayHaveChanged();
    // After a rollback, given the file's schema version as it is now (nothing when it could
    // not be read).
    void afterOutermostRollback(std::optional<int> schemaVersionNow);

  private:
    static constexpr long long kSealEvery = 20000;
    void sealStaged();
    void refresh();
    void installTriggers(const QStringList& tables);
    void createJournalTable();
    void createTimeIndex();
    void addEntryColumn();
    void stageBaseline(const QStringList& tables);
    int schemaVersion();
    QStringList tableColumns(const QString& table);
    // A statement kept in slot for every seal, prepared at its first use.
    sqlite3_stmt* kept(sqlite3_stmt*& slot, const char* sql);
    void exec(const QString& sql);
    [[noreturn]] void fail(int rc, const QByteArray& sql);

    static int onCommit(void* self);
    static void onRollback(void* self);
    static void onUpdate(void* self, int op, const char* db, const char* table, long long rowid);

    sqlite3* db_;
    QString path_;
    bool attached_ = false;
    bool isMainFile_ = false;
    bool hasJournal_ = false;
    // Whether the journal has its index of the aircraft totals' lines by time (files made
    // before it have it added with their next change).
    bool hasTimeIndex_ = false;
    // Whether the journal has the column that tells entries apart.
    bool hasEntryColumn_ = false;
    bool sealing_ = false;
    bool altering_ = false;  // the hook itself adds a column to the journal
    bool migrating_ = false;
    int knownSchemaVersion_ = -1;
    long long staged_ = 0;     // lines staged since the last seal
    long long entry_ = 0;      // the transaction's first line, once it has sealed one
    long long sealedSeq_ = 0;  // the newest line the transaction sealed, if it sealed one
    sqlite3_stmt* versionQuery_ = nullptr;
    sqlite3_stmt* stagedQuery_ = nullptr;
    sqlite3_stmt* lastLineQuery_ = nullptr;
    sqlite3_stmt* insertLine_ = nullptr;
    sqlite3_stmt* clearStaged_ = nullptr;
};

}  // namespace velmora::data
