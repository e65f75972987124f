#include "JournalHook.h"

#include "DataFiles.h"
#include "Database.h"
#include "JetSqlTranslator.h"
#include "Journal.h"
#include "JournalTriggerText.h"
#include "SqliteAuthorizer.h"
#include "SqliteStatement.h"

#include <QCoreApplication>
#include <QSysInfo>

#include <sqlite3.h>

#include <pwd.h>
#include <unistd.h>
#include <utility>

namespace velmora::data {

namespace journal {
QString currentScreen();
void runBeforeMigration(const QString& file);
void runAfterCommit(const QString& file, std::int64_t seq, const QByteArray& hash);
}  // namespace journal

namespace {

// One statement's rows, read as engine values.
class Query {
  public:
    Query(sqlite3* db, const QByteArray& sql) {
        rc_ = sqlite3_prepare_v2(db, sql.constData(), -1, &st_, nullptr);
    }
    ~Query() { sqlite3_finalize(st_); }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    int prepared() const { return rc_; }
    sqlite3_stmt* get() const { return st_; }
    QString text(int i) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
        return p ? QString::fromUtf8(p, sqlite3_column_bytes(st_, i)) : QString();
    }

  private:
    sqlite3_stmt* st_ = nullptr;
    int rc_ = SQLITE_OK;
};

// Who works here: looked up once per process (the lookup reads the user database).
const QString& osUser() {
    static const QString user = [] {
        if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
            return QString::fromLocal8Bit(pw->pw_name);
        const QString env = qEnvironmentVariable("USER");
        return env.isEmpty() ? QStringLiteral("uid %1").arg(geteuid()) : env;
    }();
    return user;
}

const QString& hostName() {
    static const QString host = QSysInfo::machineHostName();
    return host;
}

QString programName() {
    const QString n = QCoreApplication::applicationName();
    return n.isEmpty() ? QStringLiteral("velmora") : n;
}

}  // namespace

JournalHook::JournalHook(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}

void JournalHook::fail(int rc, const QByteArray& sql) {
    throw sqliteFailure(db_, rc, path_, ReadOnlyReason::None, {QString(), nullptr, sql, false});
}

void JournalHook::exec(const QString& sql) {
    const QByteArray s = sql.toUtf8();
    const int rc = sqlite3_exec(db_, s.constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(rc, s);
}

int JournalHook::schemaVersion() {
    // Asked before every change: the statement is kept.
    if (!versionQuery_) {
        const int prc =
            sqlite3_prepare_v2(db_, "PRAGMA main.schema_version", -1, &versionQuery_, nullptr);
        if (prc != SQLITE_OK)
            fail(prc, "PRAGMA main.schema_version");
    }
    const int rc = sqlite3_step(versionQuery_);
    const int version = sqlite3_column_int(versionQuery_, 0);
    sqlite3_reset(versionQuery_);
    if (rc != SQLITE_ROW)
        fail(rc, "PRAGMA main.schema_version");
    return version;
}

QStringList JournalHook::tableColumns(const QString& table) {
    QStringList cols;
    Query q(db_, QStringLiteral("PRAGMA main.table_info(%1)").arg(quoteSqliteName(table)).toUtf8());
    while (sqlite3_step(q.get()) == SQLITE_ROW)
        cols << q.text(1);
    return cols;
}

JournalHook::~JournalHook() {
    for (sqlite3_stmt* st :
         {versionQuery_, stagedQuery_, lastLineQuery_, insertLine_, clearStaged_})
        sqlite3_finalize(st);
}

sqlite3_stmt* JournalHook::kept(sqlite3_stmt*& slot, const char* sql) {
    if (!slot) {
        const int rc = sqlite3_prepare_v2(db_, sql, -1, &slot, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(slot);
            slot = nullptr;
            fail(rc, sql);
        }
    }
    return slot;
}

void JournalHook::attach() {
    sqlite3_commit_hook(db_, &JournalHook::onCommit, this);
    sqlite3_rollback_hook(db_, &JournalHook::onRollback, this);
    sqlite3_update_hook(db_, &JournalHook::onUpdate, this);
    sqlite3_set_authorizer(
        db_,
        [](void* self, int action, const char* a, const char* b, const char* dbName,
           const char* triggerOrView) {
            // What the file's triggers and views may call (the connection's authorizer is
            // this one).
            if (authorizeSchemaFunction(static_cast<JournalHook*>(self)->db_, action, b,
                                        triggerOrView) != SQLITE_OK)
                return SQLITE_DENY;
            // The journal is only ever added to, and only by the seal: the engine refuses to
            // drop or alter it, and any other statement that would add to it.
            const bool onJournal =
                a && QString::fromUtf8(a).compare(journal::kTable, Qt::CaseInsensitive) == 0;
            const bool inMain = !dbName || qstrcmp(dbName, "main") == 0;
            const auto* hook = static_cast<JournalHook*>(self);
            if (onJournal && inMain &&
                (action == SQLITE_DROP_TABLE ||
                 (action == SQLITE_ALTER_TABLE && !hook->altering_) ||
                 (action == SQLITE_INSERT && !hook->sealing_ && !journal::carryingJournal())))
                return SQLITE_DENY;
            return SQLITE_OK;
        },
        this);
    // Room for the lines of one seal (kSealEvery of them) in the temporary table's cache,
    // so that they never go out to a temporary file and back.
    exec(QStringLiteral("PRAGMA temp.cache_size = -32768"));
    exec(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS %1 (TableName TEXT, RegNum TEXT, "
                        "ItemNumber TEXT, RowKey INTEGER, ColumnName TEXT, OldValue TEXT, "
                        "NewValue TEXT)")
             .arg(QLatin1String(journal::kStagedTable)));
    attached_ = true;
    refresh();
}

void JournalHook::refresh() {
    QStringList present;
    hasJournal_ = false;
    hasTimeIndex_ = false;
    {
        Query q(db_, "SELECT name, type FROM main.sqlite_master WHERE type IN ('table', 'index')");
        while (sqlite3_step(q.get()) == SQLITE_ROW) {
            const QString t = q.text(0);
            if (q.text(1) == u"index") {
                if (t.compare(QLatin1String("JournalAircraftTime"), Qt::CaseInsensitive) == 0)
                    hasTimeIndex_ = true;
                continue;
            }
            if (t.compare(journal::kTable, Qt::CaseInsensitive) == 0)
                hasJournal_ = true;
            for (const QString& j : journal::journalledTables()) {
                if (t.compare(j, Qt::CaseInsensitive) == 0)
                    present << t;
            }
        }
    }
    // The main data file is the one with aircraft (by registration) and their components
    // (by item number); the template library has an Aircraft table too, of makes.
    auto columnsOf = [this](const QString& table) { return tableColumns(table); };
    hasEntryColumn_ = hasJournal_ && !journal::findColumn(columnsOf(journal::kTable),
                                                          journal::columnNames()[journal::Entry])
                                          .isEmpty();
    const QString aircraft = journal::findColumn(present, QStringLiteral("Aircraft"));
    const QString parts = journal::findColumn(present, QStringLiteral("Parts"));
    isMainFile_ = !aircraft.isEmpty() && !parts.isEmpty() &&
                  !journal::findColumn(columnsOf(aircraft), QStringLiteral("RegNum")).isEmpty() &&
                  !journal::findColumn(columnsOf(parts), QStringLiteral("ItemNumber")).isEmpty();
    installTriggers(isMainFile_ ? present : QStringList());
    knownSchemaVersion_ = schemaVersion();
}

void JournalHook::installTriggers(const QStringList& tables) {
    QStringList old;
    {
        Query q(db_, QStringLiteral("SELECT name FROM temp.sqlite_master WHERE type = 'trigger' "
                                    "AND name LIKE '%1%'")
                         .arg(QLatin1String(journal::kTriggerPrefix))
                         .toUtf8());
        while (sqlite3_step(q.get()) == SQLITE_ROW)
            old << q.text(0);
    }
    for (const QString& t : old)
        exec(QStringLiteral("DROP TRIGGER temp.%1").arg(quoteSqliteName(t)));

    int n = 0;
    for (const QString& table : tables) {
        for (const QString& trigger : journal::changeTriggers(table, tableColumns(table), ++n))
            exec(trigger);
    }
    if (!tables.isEmpty() && hasJournal_) {
        for (const QString& guard : journal::guardTriggers())
            exec(guard);
    }
}

void JournalHook::createJournalTable() {
    exec(QString::fromLatin1(journal::kJournalTableSql));
    hasEntryColumn_ = true;
    exec(QString::fromLatin1(journal::kJournalIndexSql));
    createTimeIndex();
}

// The aircraft totals' lines by time: what the daily utilisation reads, without walking
// the lines of every other table (an import journals a line for each component).
void JournalHook::createTimeIndex() {
    exec(
        QStringLiteral("CREATE INDEX IF NOT EXISTS JournalAircraftTime ON Journal (ChangedAt, "
                       "RegNum) WHERE TableName = 'Aircraft'"));
}

// Files whose journal was begun before entries were told apart get the column with their
// next change; their earlier lines keep it Null.
void JournalHook::addEntryColumn() {
    altering_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{altering_};
    exec(QStringLiteral("ALTER TABLE main.%1 ADD COLUMN Entry INTEGER")
             .arg(quoteSqliteName(journal::kTable)));
    hasEntryColumn_ = true;
}

void JournalHook::stageBaseline(const QStringList& tables) {
    for (const QString& table : tables) {
        const QByteArray sql = journal::baselineStatement(table, tableColumns(table)).toUtf8();
        Query q(db_, sql);
        if (q.prepared() != SQLITE_OK)
            fail(q.prepared(), sql);
        bindValue(q.get(), 1, Value(table));
        bindValue(q.get(), 2, Value(journal::kRowPresent));
        const int rc = sqlite3_step(q.get());
        if (rc != SQLITE_DONE)
            fail(rc, sql);
    }
}

void JournalHook::beforeOutermostBegin() {
    if (!attached_)
        return;
    if (schemaVersion() != knownSchemaVersion_)
        refresh();  // another program changed the schema
    if (isMainFile_ && !hasJournal_ && !migrating_) {
        // The backup may read the file through this very connection.
        migrating_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{migrating_};
        journal::runBeforeMigration(path_);
    }
}

void JournalHook::afterOutermostBegin() {
    if (!active() || hasJournal_)
        return;
    createJournalTable();
    QStringList present;
    {
        Query q(db_, "SELECT name FROM main.sqlite_master WHERE type = 'table' ORDER BY name");
        while (sqlite3_step(q.get()) == SQLITE_ROW) {
            for (const QString& j : journal::journalledTables()) {
                if (q.text(0).compare(j, Qt::CaseInsensitive) == 0)
                    present << q.text(0);
            }
        }
    }
    stageBaseline(present);
    refresh();
}

namespace {

// Puts a kept statement back to its start when a use of it ends, however it ends.
struct StatementUse {
    sqlite3_stmt* st;
    ~StatementUse() {
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
    }
};

}  // namespace

void JournalHook::sealStaged() {
    if (!attached_)
        return;
    // Prepared once for the connection: a meter entry is one short transaction, and
    // preparing these for each of them cost about as much as running them.
    static const QByteArray stagedSql =
        QStringLiteral(
            "SELECT TableName, RegNum, ItemNumber, RowKey, ColumnName, OldValue, "
            "NewValue FROM temp.%1 ORDER BY rowid")
            .arg(QLatin1String(journal::kStagedTable))
            .toUtf8();
    if (journal::carryingJournal()) {
        // A migration carries the journal's lines as they are: the rows it writes are in them.
        static const QByteArray dropSql = QStringLiteral("DELETE FROM temp.%1")
                                              .arg(QLatin1String(journal::kStagedTable))
                                              .toUtf8();
        sqlite3_stmt* drop = kept(clearStaged_, dropSql.constData());
        const StatementUse dropUse{drop};
        const int drc = sqlite3_step(drop);
        if (drc != SQLITE_DONE)
            fail(drc, dropSql);
        staged_ = 0;
        return;
    }
    sqlite3_stmt* staged = kept(stagedQuery_, stagedSql.constData());
    const StatementUse stagedUse{staged};
    if (active() && !hasJournal_) {
        // The file became a main data file in this transaction (it was made now): its
        // rows, if any, are all new and staged as such.
        createJournalTable();
        refresh();
    }
    int rc = sqlite3_step(staged);
    if (rc == SQLITE_DONE) {
        staged_ = 0;  // lines staged in a part rolled back since are gone with it
        return;
    }
    if (!hasTimeIndex_)
        createTimeIndex();  // a file from before the index: it comes with this change
    if (!hasEntryColumn_)
        addEntryColumn();  // a file from before entries were told apart: the same
    if (rc != SQLITE_ROW)
        fail(rc, "SELECT staged journal lines");
    qint64 seq = 0;
    QByteArray previous;
    {
        sqlite3_stmt* last =
            kept(lastLineQuery_, "SELECT Seq, Hash FROM main.Journal ORDER BY Seq DESC LIMIT 1");
        const StatementUse lastUse{last};
        if (sqlite3_step(last) == SQLITE_ROW) {
            seq = sqlite3_column_int64(last, 0);
            const auto* hash = reinterpret_cast<const char*>(sqlite3_column_text(last, 1));
            previous = QByteArray(hash ? hash : "", sqlite3_column_bytes(last, 1));
        }
    }
    const QString screen = journal::currentScreen();
    const QString program = programName();
    std::vector<Value> fields(journal::ColumnCount);
    fields[journal::ChangedAt] = Value(journal::now().toString(journal::kTimeFormat));
    fields[journal::UserName] = Value(osUser());
    fields[journal::HostName] = Value(hostName());
    fields[journal::Program] = Value(program);
    fields[journal::Screen] = Value(screen.isEmpty() ? program : screen);

    static const char insertSql[] =
        "INSERT INTO main.Journal (Seq, ChangedAt, UserName, HostName, Program, Screen, "
        "TableName, RegNum, ItemNumber, RowKey, ColumnName, OldValue, NewValue, Hash, Entry) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)";
    // Only the seal may add lines: the engine's authoriser refuses any other statement that
    // would, when it is prepared (a check per statement, not per line).
    sealing_ = true;
    struct Unseal {
        bool& flag;
        ~Unseal() { flag = false; }
    } unseal{sealing_};
    sqlite3_stmt* insert = kept(insertLine_, insertSql);
    const StatementUse insertUse{insert};
    // Who and when are the same for every line of the seal: bound once.
    for (int i = journal::ChangedAt; i <= journal::Screen; ++i)
        bindValue(insert, i + 1, fields[static_cast<size_t>(i)]);
    // The lines of one transaction are one entry, named after its first line, also when a
    // long transaction seals them in several goes.
    if (entry_ == 0)
        entry_ = seq + 1;
    fields[journal::Entry] = Value(static_cast<std::int64_t>(entry_));
    sqlite3_bind_int64(insert, journal::Entry + 1, entry_);
    journal::LineHasher hasher;
    // The hasher reads the previous hash before it writes the next one over it, so the
    // chain goes on from its own result without a copy.
    QByteArrayView chained = previous;
    for (; rc == SQLITE_ROW; rc = sqlite3_step(staged)) {
        fields[journal::Seq] = Value(static_cast<std::int64_t>(++seq));
        for (int i = 0; i < 7; ++i)
            readColumn(staged, i, fields[static_cast<size_t>(journal::TableName + i)]);
        chained = hasher.lineHash(chained, fields);
        sqlite3_reset(insert);
        sqlite3_bind_int64(insert, journal::Seq + 1, seq);
        for (int i = 0; i < 7; ++i)
            sqlite3_bind_value(insert, journal::TableName + i + 1, sqlite3_column_value(staged, i));
        sqlite3_bind_text(insert, journal::Hash + 1, chained.data(),
                          static_cast<int>(chained.size()), SQLITE_TRANSIENT);
        const int irc = sqlite3_step(insert);
        if (irc != SQLITE_DONE)
            fail(irc, insertSql);
    }
    if (rc != SQLITE_DONE)
        fail(rc, "SELECT staged journal lines");
    sealedSeq_ = seq;
    static const QByteArray clearSql =
        QStringLiteral("DELETE FROM temp.%1").arg(QLatin1String(journal::kStagedTable)).toUtf8();
    sqlite3_stmt* clear = kept(clearStaged_, clearSql.constData());
    const StatementUse clearUse{clear};
    const int crc = sqlite3_step(clear);
    if (crc != SQLITE_DONE)
        fail(crc, clearSql);
    staged_ = 0;
}

void JournalHook::schemaMayHaveChanged() {
    if (attached_ && schemaVersion() != knownSchemaVersion_)
        refresh();
}

void JournalHook::afterOutermostCommit() {
    if (std::exchange(sealedSeq_, 0) == 0)
        return;
    // The newest line as committed: a part of the transaction rolled back after a seal took
    // the lines sealed in it along. The change is made: nothing here may fail the commit.
    long long seq = 0;
    QByteArray hash;
    try {
        sqlite3_stmt* last =
            kept(lastLineQuery_, "SELECT Seq, Hash FROM main.Journal ORDER BY Seq DESC LIMIT 1");
        const StatementUse lastUse{last};
        if (sqlite3_step(last) != SQLITE_ROW)
            return;
        seq = sqlite3_column_int64(last, 0);
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(last, 1));
        hash = QByteArray(text ? text : "", sqlite3_column_bytes(last, 1));
    } catch (const DbError&) {
        return;
    }
    journal::runAfterCommit(path_, seq, hash);
}

void JournalHook::afterOutermostRollback(std::optional<int> schemaVersionNow) {
    staged_ = 0;
    entry_ = 0;
    sealedSeq_ = 0;
    // Staged lines went with the transaction, and so did triggers made inside it: they are
    // made again when the schema they were made for is gone too.
    if (attached_ && (!schemaVersionNow || *schemaVersionNow != knownSchemaVersion_))
        refresh();
}

int JournalHook::onCommit(void* self) {
    // A change whose lines were not sealed would land without them: refused (rolled back).
    auto* hook = static_cast<JournalHook*>(self);
    if (hook->staged_ > 0)
        return 1;
    hook->entry_ = 0;  // the next transaction is the next entry
    return 0;
}

void JournalHook::onRollback(void* self) {
    auto* hook = static_cast<JournalHook*>(self);
    hook->staged_ = 0;
    hook->entry_ = 0;
    hook->sealedSeq_ = 0;
}

void JournalHook::onUpdate(void* self, int op, const char* db, const char* table, long long) {
    if (op == SQLITE_INSERT && qstrcmp(db, "temp") == 0 &&
        qstrcmp(table, journal::kStagedTable) == 0)
        ++static_cast<JournalHook*>(self)->staged_;
}

bool journal::recordFileEvent(Database& mainDb, const QString& event, const QString& detail) {
    Transaction tx(mainDb);  // a main data file made before the journal gets it here
    if (!mainDb.hasTable(kTable))
        return false;
    // Staged like the lines of the triggers, and sealed with the transaction.
    mainDb.executeBound(QStringLiteral("INSERT INTO temp.%1 (TableName, ColumnName, NewValue) "
                                       "VALUES (?1, ?2, ?3)")
                            .arg(QLatin1String(journal::kStagedTable)),
                        {Value(kFileEvent), Value(event), Value(detail)});
    tx.commit();
    return true;
}

void journal::carryLines(Database& mainDb, const std::vector<std::vector<Value>>& lines) {
    if (!carryingJournal())
        throw DbError(err::Internal,
                      QStringLiteral("Journal lines are only carried by a migration."));
    if (!isServerLocation(mainDb.path())) {
        mainDb.executeBound(QString::fromLatin1(kJournalTableSql), {});
        mainDb.executeBound(QString::fromLatin1(kJournalIndexSql), {});
    }
    // In batches, well within the number of values a statement may carry on either back end.
    const QString head =
        QStringLiteral("INSERT INTO Journal (%1) VALUES ").arg(columnNames().join(u','));
    constexpr size_t kPerStatement = 100;
    for (size_t from = 0; from < lines.size(); from += kPerStatement) {
        const size_t to = std::min(lines.size(), from + kPerStatement);
        QStringList tuples;
        std::vector<Value> values;
        for (size_t r = from; r < to; ++r) {
            QStringList marks;
            for (int c = 0; c < ColumnCount; ++c) {
                values.push_back(lines[r].at(static_cast<size_t>(c)));
                marks << QStringLiteral("?%1").arg(values.size());
            }
            tuples << u'(' + marks.join(u',') + u')';
        }
        mainDb.executeBound(head + tuples.join(u','), values);
    }
}

bool statementStandsAlone(const QString& sql) {
    static const QStringList words = {QStringLiteral("VACUUM"),    QStringLiteral("PRAGMA"),
                                      QStringLiteral("ATTACH"),    QStringLiteral("DETACH"),
                                      QStringLiteral("BEGIN"),     QStringLiteral("COMMIT"),
                                      QStringLiteral("END"),       QStringLiteral("ROLLBACK"),
                                      QStringLiteral("SAVEPOINT"), QStringLiteral("RELEASE")};
    return words.contains(sql.trimmed().section(u' ', 0, 0).toUpper());
}

bool statementChangesSchema(const QString& sql) {
    const QString head = sql.trimmed().section(u' ', 0, 0).toUpper();
    return head == u"CREATE" || head == u"DROP" || head == u"ALTER";
}

}  // namespace velmora::data
