#pragma once

// The PostgreSQL back end's connection to one data set: its session, statements, savepoints,
// stored queries, what it knows of the server's catalog, and its rows. Each job is defined
// in a source file of its own (PgDatabase.cpp: the session; PgStatements.cpp,
// PgTransactions.cpp, PgStoredQueries.cpp, PgCatalog.cpp, PgRows.cpp).

#include "PgCatalog.h"
#include "PgErrors.h"
#include "PgKeptSets.h"
#include "PgLocation.h"
#include "PgSessionStart.h"
#include "PgStatementRunner.h"
#include "data/DatabaseCore.h"
#include "data/JetSqlTranslator.h"
#include "data/RowSource.h"

#include <QString>

#include <libpq-fe.h>

#include <memory>
#include <optional>

namespace velmora::data {
struct RowWriteSql;
}  // namespace velmora::data

namespace velmora::data::pg {

struct ConnDeleter {
    void operator()(PGconn* c) const { PQfinish(c); }
};
using Connection = std::unique_ptr<PGconn, ConnDeleter>;

class PgDatabase final : public DatabaseCore {
  public:
    PgDatabase(Connection conn, Location loc, QString location)
        : conn_(std::move(conn)),
          loc_(std::move(loc)),
          location_(std::move(location)),
          catalog_(loc_.schema, catalogSession()) {}

    QString path() const override { return location_; }
    bool isShared() const override { return true; }
    bool runsSqliteText() const override { return false; }
    // A login whose roles may change no table of the data set and add none (the read role)
    // uses it for reading only.
    bool isReadOnly() const override { return readOnly_; }
    QString whyReadOnly() const override;

    // The data set for messages: "TimeMgr on postgresql://host/db".
    QString where() const {
        return QStringLiteral("%1 on %2").arg(loc_.name, shownLocation(loc_.uri));
    }

    // The session's settings, and what opening the data set needs to know, in one round
    // trip (the client encoding is a setting of the connection itself). Who makes the
    // changes, for the lines the server journals: its session user, and the workstation and
    // program the server cannot tell by itself. With the start the program's launcher made of
    // the session for the same data set, only the settings: the rest is that start's.
    void setUpSession(const start::StartedSession* started = nullptr);

    // Whether the session can serve a later open of the data set: connected, and in no
    // transaction.
    bool idle();
    // A session that no one held any more, taken up by a new open: what it knew of the
    // data set and of the login's rights is read afresh, as a new session reads it, and its
    // settings are set again. What it prepared stays (the server prepares it again should
    // the tables have changed).
    void resumeSession();

    // The screen the user works in, for the lines of the next transaction: told to the
    // session when it changes.
    void tellScreen();

    // The journal of a main data set, and the triggers of its journalled tables.
    void ensureJournal();

    // Whether the data set's schema is there, as the session found it at its start.
    bool schemaExisted() const { return facts_.schemaExists; }

    bool schemaExists();

    // Whether the data set's schema is there; the engine's functions are brought up to this
    // program's revision on the way. Should that fail (a login that may not create
    // functions), the older ones stay: they give the same results, only more slowly.
    // The facts come from the session's start: no round trip of its own.
    bool openSchema();

    // Installs the engine's functions, one installer at a time: two workstations doing it at
    // once would otherwise replace each other's functions halfway.
    void installFunctions();

    // Whether the login may use the data set at all (else a numbered refusal, not "relation
    // does not exist" later), and whether it may change anything in it.
    // The rights are those the session found at its start.
    void checkAccess();

    // A table the program adds to a data set whose roles are set up gets their grants, and
    // belongs to the administrators' role where this login may give it to them.
    void grantRolesOn(const QString& table);

    static QString postgresTableName(const QString& jetName);

    // Whether the schema holds tables beyond the engine's table of names, which alone makes
    // no data set.
    bool schemaHasTables();

    // Makes the data set's schema, with the engine's functions and the table of names.
    void createSchema();

    using Database::execute;
    int execute(const QString& jetSql, const std::vector<Value>& values) override;

    int executeBound(const QString& sqliteSql, const std::vector<Value>& values) override;

    // The server hands the whole result over at once; the rows are visited from it.
    void forEachRow(const QString& sqliteSql, const std::vector<Value>& values,
                    const std::function<void(const std::vector<Value>&)>& visit) override;

    using Database::openRecordset;
    std::unique_ptr<Recordset> openRecordset(const QString& source,
                                             const std::vector<Value>& values) override;

    // Outside a transaction, the query of the source goes to the server at once; its answer
    // is read on a thread of its own until openRecordset asks for the same source. Any other
    // use of the connection first drops it, so what openRecordset is given is what the query
    // gave with nothing run on this session in between.
    void readAhead(const QString& source) override;

    QStringList queryDefNames() override;

    bool hasTable(const QString& name) override {
        return catalog_.isTable(unbracketName(name.trimmed()));
    }

    QStringList tableNames() override { return catalog_.tableNames(); }

    std::int64_t insertRow(const QString& table, const QStringList& columns,
                           const std::vector<Value>& values) override;

    void updateRow(const QString& table, std::int64_t rowid, const QStringList& columns,
                   const std::vector<Value>& values) override;

    static const RowWriteSql& rowWriteSql();

    void deleteRow(const QString& table, std::int64_t rowid) override;

    std::vector<Value> readRow(const QString& table, std::int64_t rowid,
                               const QStringList& columns) override;

    std::unique_ptr<RowPredicate> prepareCriterion(const QString& jetCriterion,
                                                   const QStringList& columnNames) override;

    // Runs one statement. Inside a transaction it runs under a savepoint of its own, so that
    // a failed statement leaves the transaction usable, as on the files.
    //
    // When the connection turns out to be broken (the server restarted since the last
    // statement), a query outside a transaction, or the first statement of one (which took
    // its BEGIN along, so nothing of the transaction reached the server), runs once more on
    // a new connection. Anything else fails: what it changed is not known to be saved.
    Result run(const QString& sql, const std::vector<Value>& args, const QString& context,
               bool ownSavepoint = true, const JetTranslation* jet = nullptr);

    static bool isQuery(const QByteArray& text) { return text.startsWith("SELECT "); }

    // The rows of one of the engine's own reads (of the catalog, its own tables, a row by
    // its id). These run without a savepoint of their own: each costs a round trip to the
    // server, and they do not fail for reasons of the statement. SQL the user wrote runs
    // under its own savepoint.
    std::vector<std::vector<Value>> rows(const QString& sql, const std::vector<Value>& args,
                                         bool guard = false);

    // The connection, free for a statement: a query sent ahead and not taken is dropped.
    PGconn* connection() {
        runner_.settle();
        return conn_.get();
    }
    const Location& location() const { return loc_; }

    // Throws the engine's error for a failed result. A broken connection is opened again
    // before the next statement outside a transaction.
    void check(const PGresult* r, const QString& context, const JetTranslation* = nullptr,
               bool query = false);

    // Whether a failure now loses a change: one of a transaction that is to be kept, or a
    // statement outside one that is no query.
    bool changing(bool query) const {
        if (scratchDepth_ > 0)
            return false;
        return depth_ > 0 || !query;
    }

    // The record set of a select. With a snapshot taken before it ran, a set of a table's
    // own rows is kept under it (see KeptSets).
    std::unique_ptr<Recordset> materialise(const JetTranslation& t, const QString& source,
                                           const std::vector<Value>& values,
                                           const QByteArray* keepUnder = nullptr);
    // The query that asks the server for its snapshot, and the snapshot it gives; none when
    // it cannot be asked.
    QByteArray snapshotQuery();
    std::optional<QByteArray> serverSnapshot(const QByteArray& query);

    // The select of a source (a table, a stored query, Jet SQL), its table names completed.
    JetTranslation selectOf(const QString& source, QString* text);

  private:
    QString shownName() const override { return where(); }
    // A transaction's BEGIN waits for its first statement; a savepoint inside one is set at
    // once. A scratch transaction is like any other on the server.
    void openLevel(bool scratch) override;
    // A failed COMMIT ends the transaction too: the level is counted off first.
    void releaseLevel() override;
    void undoLevel(int level) override;
    void keepQueryDef(const QString& name, const QString& jetSql) override;
    int removeQueryDef(const QString& name) override;

    // Notes a statement that may change tables or columns (anything but a query or a change
    // of rows).
    void noteCatalogChange(const QString& sql);

    // Tables or spellings change: what is prepared against the tables is prepared afresh,
    // and a rollback forgets what is known of them.
    void markCatalogChanged() { catalog_.markChanged(); }
    // What the catalog asks of this session.
    CatalogSession catalogSession();

    static int changedRows(const PGresult* r) {
        return QByteArray(PQcmdTuples(const_cast<PGresult*>(r))).toInt();
    }

    void simple(const QString& sql, const QString& context);

    // Outside a transaction, a connection the server dropped (a restart, a network outage)
    // is opened again before the next statement; inside one, the loss is reported.
    void reconnectIfLost();

    // A new session in place of the broken one; throws ServerConnection when the server
    // cannot be reached. `reading`: what was under way only read.
    void reconnect(bool reading);

    QString queryDefSqlOrNull(const QString& name) override {
        return catalog_.lookUp(name).querySql;
    }

    Connection conn_;
    Location loc_;
    QString location_;
    // Whether the open transaction made, altered or dropped a table or kept a spelling, so
    // that rolling it back must forget what is known of them.
    bool catalogChanged_ = false;
    // The connection broke in a way libpq may not have noticed itself: it is opened again
    // before the next statement outside a transaction.
    bool lost_ = false;
    bool readOnly_ = false;
    bool rolesKnown_ = false;
    bool rolesExist_ = false;
    PgCatalog catalog_;
    // The source whose query was sent ahead, and its select. For a source that reads a
    // table's own rows, what was sent ahead is the question for the server's snapshot: the
    // rows it read last may still be the table's.
    struct SentAhead {
        QString source;
        QString text;
        JetTranslation select;
        QByteArray snapshotQuery;     // sent in place of the select when not empty
        bool snapshotBefore = false;  // the select sent, and the snapshot asked before it
    };
    std::optional<SentAhead> ahead_;
    KeptSets kept_;
    QString screenSet_;   // the screen the session was last told of
    SessionFacts facts_;  // what the session found at its start
    StatementRunner runner_{conn_.get()};
};

}  // namespace velmora::data::pg
