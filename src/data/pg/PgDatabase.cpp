// The engine's PostgreSQL back end: one connection per open data set, Jet SQL translated
// into PostgreSQL's dialect on the way in, rows materialised on the way out.
#include "PgDatabase.h"

#include "PgErrors.h"
#include "PgJetFunctions.h"
#include "PgJournal.h"
#include "PgLocation.h"
#include "PgPredicate.h"
#include "PgRolePolicy.h"
#include "PgSessionStart.h"
#include "PgStatementRunner.h"
#include "PgValues.h"
#include "data/JetSqlTranslator.h"
#include "data/Journal.h"
#include "data/Recordset.h"
#include "data/RowSource.h"
#include "data/RowWriteSql.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <QSysInfo>
#include <QUrl>

#include <libpq-fe.h>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace velmora::data {
namespace journal {
QString currentScreen();
}  // namespace journal
}  // namespace velmora::data

namespace velmora::data::pg {

namespace {

// The program named in the journal's lines: the application's name.
QString journalProgram() {
    const QString n = QCoreApplication::applicationName();
    return n.isEmpty() ? QStringLiteral("velmora") : n;
}

const QString kQueryTable = QStringLiteral("_storedqueries");
const QString kNamesTable = QStringLiteral("_velmora_names");

struct ConnDeleter {
    void operator()(PGconn* c) const { PQfinish(c); }
};
using Connection = std::unique_ptr<PGconn, ConnDeleter>;

// What a column of a table is: its name as spelled, and its type.
struct ColumnInfo {
    QString name;
    FieldType type;
};
struct TableInfo {
    QString name;                    // as the server keeps it (lower case)
    QHash<int, ColumnInfo> columns;  // by column number
};

class PgDatabase;

std::map<QString, std::weak_ptr<PgDatabase>>& openSets() {
    static std::map<QString, std::weak_ptr<PgDatabase>> sets;
    return sets;
}

class PgDatabase final : public Database {
  public:
    PgDatabase(Connection conn, Location loc, QString location)
        : conn_(std::move(conn)), loc_(std::move(loc)), location_(std::move(location)) {}

    QString path() const override { return location_; }
    // A login whose roles may change no table of the data set and add none (the read role)
    // uses it for reading only.
    bool isReadOnly() const override { return readOnly_; }
    QString whyReadOnly() const override {
        if (!readOnly_)
            return {};
        return QStringLiteral("the database role '%1' may only read %2")
            .arg(QString::fromUtf8(PQuser(conn_.get())), where());
    }

    // The data set for messages: "TimeMgr on postgresql://host/db".
    QString where() const {
        return QStringLiteral("%1 on %2").arg(loc_.name, shownLocation(loc_.uri));
    }

    // The session's settings, and what opening the data set needs to know, in one round
    // trip (the client encoding is a setting of the connection itself). Who makes the
    // changes, for the lines the server journals: its session user, and the workstation and
    // program the server cannot tell by itself.
    void setUpSession() {
        facts_ = readSessionFacts(
            rows(sessionStartSql(),
                 sessionStartArgs(QStringLiteral("%1, %2").arg(postgresName(loc_.schema),
                                                               QLatin1String(kPgJetSchema)),
                                  QSysInfo::machineHostName(), journalProgram(), loc_.schema,
                                  kQueryTable, kNamesTable)));
        if (facts_.hasQueryTable)
            queryTableKnown_ = true;
        screenSet_.clear();
    }

    // The screen the user works in, for the lines of the next transaction: told to the
    // session when it changes.
    void tellScreen() {
        QString screen = journal::currentScreen();
        if (screen.isEmpty())
            screen = journalProgram();
        if (screen == screenSet_)
            return;
        run(QStringLiteral("SELECT set_config('velmora.screen', $1, false)"), {Value(screen)},
            QString(), false);
        screenSet_ = screen;
    }

    // The journal of a main data set, and the triggers of its journalled tables.
    void ensureJournal() {
        JournalInstallSession s;
        s.schema = loc_.schema;
        s.rows = [this](const QString& sql, const std::vector<Value>& args) {
            return rows(sql, args);
        };
        s.exec = [this](const QString& sql) { simple(sql, QString()); };
        s.spelled = [this](const QString& n) { return spelled(n); };
        s.keepSpellings = [this](const QStringList& names) { keepSpellings(names); };
        markCatalogChanged();
        pg::ensureJournal(s);
    }

    // Whether the data set's schema is there, as the session found it at its start.
    bool schemaExisted() const { return facts_.schemaExists; }

    bool schemaExists() {
        return rows(QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = $1"),
                    {Value(loc_.schema)})
                   .size() > 0;
    }

    // Whether the data set's schema is there; the engine's functions are brought up to this
    // program's revision on the way. Should that fail (a login that may not create
    // functions), the older ones stay: they give the same results, only more slowly.
    // The facts come from the session's start: no round trip of its own.
    bool openSchema() {
        if (!facts_.schemaExists)
            return false;
        checkAccess();
        if (facts_.functionsRevision != QLatin1String(kJetFunctionsRevision) ||
            facts_.journalRevision != QLatin1String(kJournalFunctionsRevision)) {
            try {
                installFunctions();
            } catch (const DbError&) {
            }
        }
        // A data set made before the server kept a journal gets it (with its rows as they
        // are) from the first session that may make it.
        if (!facts_.hasJournal) {
            try {
                Transaction tx(*this);
                ensureJournal();
                tx.commit();
            } catch (const DbError&) {
            }
        }
        return true;
    }

    // Installs the engine's functions, one installer at a time: two workstations doing it at
    // once would otherwise replace each other's functions halfway.
    void installFunctions() {
        Transaction tx(*this);
        run(QStringLiteral("SELECT pg_advisory_xact_lock(1447840082)"), {}, QString(), false);
        simple(QString::fromUtf8(jetFunctionsSql()), QString());
        simple(QString::fromUtf8(journalFunctionsSql()), QString());
        tx.commit();
    }

    // Whether the login may use the data set at all (else a numbered refusal, not "relation
    // does not exist" later), and whether it may change anything in it.
    // The rights are those the session found at its start.
    void checkAccess() {
        if (!facts_.schemaExists)
            return;
        if (!facts_.mayUse)
            throw noPermission(QString::fromUtf8(PQuser(conn_.get())), where(),
                               QStringLiteral("it may not use the data set %1").arg(loc_.name));
        readOnly_ = !facts_.mayChange;
    }

    // A table the program adds to a data set whose roles are set up gets their grants, and
    // belongs to the administrators' role where this login may give it to them.
    void grantRolesOn(const QString& table) {
        if (!rolesKnown_) {
            const auto found = rows(rolesExistQuery(), {});
            rolesExist_ = !found.empty() && found.front()[0].toBool();
            rolesKnown_ = true;
        }
        if (!rolesExist_)
            return;
        for (const QString& statement : tableGrants(loc_.schema, postgresTableName(table))) {
            try {
                run(statement, {}, QString());
            } catch (const DbError&) {
                // Not the owner, or not one of the administrators: the grants it may give
                // are given.
            }
        }
    }

    static QString postgresTableName(const QString& jetName) {
        QString n = jetName.trimmed();
        if (n.startsWith(u'[') && n.endsWith(u']'))
            n = n.mid(1, n.size() - 2);
        return n.toLower();
    }

    // Whether the schema holds tables beyond the engine's table of names, which alone makes
    // no data set.
    bool schemaHasTables() {
        return !rows(QStringLiteral("SELECT 1 FROM pg_tables WHERE schemaname = $1 AND tablename "
                                    "<> $2 LIMIT 1"),
                     {Value(loc_.schema), Value(kNamesTable)})
                    .empty();
    }

    // Makes the data set's schema, with the engine's functions and the table of names.
    void createSchema() {
        Transaction tx(*this);
        installFunctions();
        run(QStringLiteral("CREATE SCHEMA IF NOT EXISTS %1").arg(postgresName(loc_.schema)), {},
            QString(), false);
        ensureNamesTable();
        tx.commit();
    }

    using Database::execute;
    int execute(const QString& jetSql, const std::vector<Value>& values) override {
        const JetTranslation t = completedFromCatalog(
            translateJetStatement(jetSql, SqlDialect::Postgres, storedQueries()));
        requireMarkersFor(t.sql, values.size(), jetSql);
        noteCatalogChange(t.sql);
        if (t.spelledNames.isEmpty() || t.isSelect)
            return changedRows(run(t.sql, values, jetSql, true, &t).get());
        Transaction tx(*this);
        const int changed = changedRows(run(t.sql, values, jetSql, true, &t).get());
        keepSpellings(t.spelledNames);
        if (!t.createdTable.isEmpty())
            grantRolesOn(t.createdTable);
        // A journalled table made or given a column: its trigger follows its columns.
        if (!t.createdTable.isEmpty() || t.sql.startsWith(QLatin1String("ALTER")))
            ensureJournal();
        tx.commit();
        if (!t.createdTable.isEmpty() || t.sql.startsWith(QLatin1String("ALTER")))
            tables_.clear();
        return changed;
    }

    int executeBound(const QString& sqliteSql, const std::vector<Value>& values) override {
        noteCatalogChange(sqliteSql);
        return changedRows(run(postgresFromSqliteText(sqliteSql), values, sqliteSql).get());
    }

    // The server hands the whole result over at once; the rows are visited from it.
    void forEachRow(const QString& sqliteSql, const std::vector<Value>& values,
                    const std::function<void(const std::vector<Value>&)>& visit) override {
        for (const std::vector<Value>& row : rows(postgresFromSqliteText(sqliteSql), values))
            visit(row);
    }

    using Database::openRecordset;
    std::unique_ptr<Recordset> openRecordset(const QString& source,
                                             const std::vector<Value>& values) override;

    void createQueryDef(const QString& name, const QString& jetSql) override {
        const QString n = name.trimmed();
        if (n.isEmpty() || n.contains(u']'))
            throw DbError(err::SyntaxError,
                          QStringLiteral("'%1' cannot name a stored query.").arg(name));
        if (hasTable(n) || hasQueryDef(n))
            throw DbError(err::ObjectExists,
                          QStringLiteral("Object '%1' already exists in %2.").arg(n, where()));
        // A table of that name known earlier is gone (its making rolled back).
        knownTables_.remove(n.toLower());
        // The text must be a statement the server can run before it is kept.
        const JetTranslation t = completedFromCatalog(
            translateJetStatement(jetSql, SqlDialect::Postgres, storedQueries()));
        const QByteArray text = t.sql.toUtf8();
        const QString keep = QStringLiteral("INSERT INTO %1 (name, sqltext) VALUES ($1, $2)")
                                 .arg(postgresName(kQueryTable));
        if (depth_ > 0) {
            // Checked and kept under one savepoint, in one round trip.
            ensureQueryTable();
            lastLookup_.reset();
            const ServerParameters values({Value(n), Value(jetSql)});
            check(runner_.checkThenRun(text, keep.toUtf8(), values).get(), jetSql);
            return;
        }
        Result r(PQprepare(conn_.get(), "", text.constData(), 0, nullptr));
        check(r.get(), jetSql);
        ensureQueryTable();
        run(keep, {Value(n), Value(jetSql)}, n);
    }

    void deleteQueryDef(const QString& name) override {
        const QString n = unbracketName(name.trimmed());
        int changed = 0;
        if (hasQueryTable()) {
            changed = changedRows(run(QStringLiteral("DELETE FROM %1 WHERE lower(name) = lower($1)")
                                          .arg(postgresName(kQueryTable)),
                                      {Value(n)}, n)
                                      .get());
        }
        if (changed == 0)
            throw DbError(
                err::ItemNotFound,
                QStringLiteral("There is no stored query named '%1' in %2.").arg(n, where()));
    }

    bool hasQueryDef(const QString& name) override {
        return !queryDefSqlOrNull(unbracketName(name.trimmed())).isNull();
    }

    QString queryDefSql(const QString& name) override {
        const QString n = unbracketName(name.trimmed());
        const QString sql = queryDefSqlOrNull(n);
        if (sql.isNull())
            throw DbError(err::ObjectNotFound,
                          QStringLiteral("Cannot find the query '%1' in %2.").arg(n, where()));
        return sql;
    }

    QStringList queryDefNames() override {
        QStringList out;
        if (!hasQueryTable())
            return out;
        for (const auto& row : rows(QStringLiteral("SELECT name FROM %1 ORDER BY lower(name)")
                                        .arg(postgresName(kQueryTable)),
                                    {}))
            out << row[0].toString();
        return out;
    }

    bool hasTable(const QString& name) override {
        return lookUpName(unbracketName(name.trimmed())).isTable;
    }

    QStringList tableNames() override {
        QStringList out;
        for (const auto& row :
             rows(QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = $1 AND "
                                 "tablename NOT IN ($2, $3)"),
                  {Value(loc_.schema), Value(kQueryTable), Value(kNamesTable)}))
            if (!isJournalWorkTable(row[0].toString()))
                out << spelled(row[0].toString());
        std::sort(out.begin(), out.end());
        return out;
    }

    void beginTransaction() override {
        if (depth_ == 0) {
            reconnectIfLost();
            tellScreen();
            catalogChanged_ = false;
            // BEGIN goes to the server with the transaction's first statement, in the same
            // round trip; it changes no name, so what was just looked up still holds.
            runner_.deferBegin();
        } else {
            run(QStringLiteral("SAVEPOINT velmora_%1").arg(depth_), {}, QString(), false);
        }
        ++depth_;
    }
    bool inTransaction() const override { return depth_ > 0; }
    void beginScratchTransaction() override {
        beginTransaction();
        if (scratchDepth_ == 0)
            scratchDepth_ = depth_;
    }
    void commit() override {
        if (depth_ == 0)
            throw DbError(err::Internal, QStringLiteral("There is no transaction to commit."));
        if (scratchDepth_ != 0 && depth_ == scratchDepth_)
            throw DbError(
                err::Internal,
                QStringLiteral("Work done to be undone cannot be saved in %1.").arg(where()));
        const int level = --depth_;  // a failed COMMIT ends the transaction too
        if (level == 0 && runner_.dropDeferredBegin())
            return;  // nothing was sent: there is nothing to commit
        run(level == 0 ? QStringLiteral("COMMIT")
                       : QStringLiteral("RELEASE SAVEPOINT velmora_%1").arg(level),
            {}, QString(), false);
    }
    void rollback() override {
        if (depth_ == 0)
            throw DbError(err::Internal, QStringLiteral("There is no transaction to roll back."));
        const int level = --depth_;
        if (scratchDepth_ > depth_)
            scratchDepth_ = 0;
        // What is known of tables and names may have been undone with the transaction; when
        // it changed none of them, it all still holds (a rebuild's working query, say).
        if (catalogChanged_) {
            runner_.forgetPrepared();
            queryTableKnown_ = false;
            tables_.clear();
            knownTables_.clear();
            names_.clear();
            namesLoaded_ = false;
            catalogChanged_ = level > 0;
        }
        if (level == 0) {
            if (!runner_.dropDeferredBegin())
                run(QStringLiteral("ROLLBACK"), {}, QString(), false);
        } else {
            run(QStringLiteral("ROLLBACK TO SAVEPOINT velmora_%1").arg(level), {}, QString(),
                false);
            run(QStringLiteral("RELEASE SAVEPOINT velmora_%1").arg(level), {}, QString(), false);
        }
    }

    std::int64_t insertRow(const QString& table, const QStringList& columns,
                           const std::vector<Value>& values) override {
        QString sql = rowWriteSql().insert(table, columns);
        sql += QStringLiteral(" RETURNING ") + QLatin1String(kPgRowIdColumn);
        const Result r = run(sql, values, table);
        return QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
    }

    void updateRow(const QString& table, std::int64_t rowid, const QStringList& columns,
                   const std::vector<Value>& values) override {
        std::vector<Value> all = values;
        all.emplace_back(rowid);
        const Result r = run(rowWriteSql().update(table, columns), all, table);
        if (changedRows(r.get()) == 0)
            throwRowDeletedMeanwhile(table);
    }

    static const RowWriteSql& rowWriteSql() {
        static const RowWriteSql sql{[](const QString& n) { return postgresName(n); },
                                     QStringLiteral("$"), QLatin1String(kPgRowIdColumn)};
        return sql;
    }

    void deleteRow(const QString& table, std::int64_t rowid) override {
        run(rowWriteSql().remove(table), {Value(rowid)}, table);
    }

    std::vector<Value> readRow(const QString& table, std::int64_t rowid,
                               const QStringList& columns) override {
        QStringList names;
        for (const QString& c : columns)
            names << postgresName(c);
        // Inside a transaction the row is locked as it is read: a save that checks it first
        // sees it unchanged until it is written.
        auto found =
            rows(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = $1%4")
                     .arg(names.join(u','), postgresName(table), QLatin1String(kPgRowIdColumn),
                          depth_ > 0 ? QStringLiteral(" FOR UPDATE") : QString()),
                 {Value(rowid)});
        if (found.empty())
            throw DbError(err::NoCurrentRecord,
                          QStringLiteral("The row was deleted from table '%1'.").arg(table));
        return std::move(found.front());
    }

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
               bool ownSavepoint = true, const JetTranslation* jet = nullptr) {
        if (depth_ == 0)
            reconnectIfLost();
        lastLookup_.reset();
        const QString what = context.isEmpty() ? sql : context;
        const QByteArray text = sql.toUtf8();
        const ServerParameters params(args);
        const bool opensTransaction = depth_ > 0 && runner_.beginIsDeferred();
        const bool again = opensTransaction || (depth_ == 0 && isQuery(text));
        Result result = runner_.run(text, params, ownSavepoint && depth_ > 0, depth_ > 0);
        if (again && connectionLost(conn_.get(), result.get())) {
            reconnect(!changing(isQuery(text)));
            if (opensTransaction)
                runner_.deferBegin();
            result = runner_.run(text, params, ownSavepoint && depth_ > 0, depth_ > 0);
        }
        check(result.get(), what, jet, isQuery(text));
        return result;
    }

    static bool isQuery(const QByteArray& text) { return text.startsWith("SELECT "); }

    // The rows of one of the engine's own reads (of the catalog, its own tables, a row by
    // its id). These run without a savepoint of their own: each costs a round trip to the
    // server, and they do not fail for reasons of the statement. SQL the user wrote runs
    // under its own savepoint.
    std::vector<std::vector<Value>> rows(const QString& sql, const std::vector<Value>& args,
                                         bool guard = false) {
        const Result r = run(sql, args, QString(), guard);
        return readRows(r.get(), 0);
    }

    PGconn* handle() const { return conn_.get(); }
    const Location& location() const { return loc_; }

    // Throws the engine's error for a failed result. A broken connection is opened again
    // before the next statement outside a transaction.
    void check(const PGresult* r, const QString& context, const JetTranslation* = nullptr,
               bool query = false) {
        const ExecStatusType s = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
        if (s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK)
            return;
        if (connectionLost(conn_.get(), r))
            lost_ = true;
        throw serverFailure(conn_.get(), r, context, where(), changing(query));
    }

    // Whether a failure now loses a change: one of a transaction that is to be kept, or a
    // statement outside one that is no query.
    bool changing(bool query) const {
        if (scratchDepth_ > 0)
            return false;
        return depth_ > 0 || !query;
    }

    std::unique_ptr<Recordset> materialise(const JetTranslation& t, const QString& source,
                                           const std::vector<Value>& values);

    // The spelling of a name kept in lower case by the server.
    QString spelled(const QString& name) {
        loadNames();
        return names_.value(name.toLower(), name);
    }

    const TableInfo* tableInfo(Oid oid) {
        if (oid == InvalidOid)
            return nullptr;
        auto it = tables_.find(oid);
        if (it == tables_.end()) {
            TableInfo info;
            for (const auto& row :
                 rows(QStringLiteral("SELECT c.relname, a.attnum, a.attname, "
                                     "format_type(a.atttypid, a.atttypmod) FROM pg_attribute a "
                                     "JOIN pg_class c ON c.oid = a.attrelid WHERE a.attrelid = "
                                     "$1 AND a.attnum > 0 AND NOT a.attisdropped"),
                      {Value(static_cast<std::int64_t>(oid))})) {
                info.name = row[0].toString();
                info.columns.insert(static_cast<int>(row[1].toInt()),
                                    {row[2].toString(), fieldTypeOfServerType(row[3].toString())});
            }
            it = tables_.insert(oid, info);
        }
        return &*it;
    }

  private:
    // A table's columns in their order, without the row id; none for a name the server does
    // not know as a table. Asked each time: another workstation may change a table.
    QStringList columnsOf(const QString& table) {
        QStringList columns;
        for (const auto& row :
             rows(QStringLiteral("SELECT attname FROM pg_attribute WHERE attrelid = "
                                 "to_regclass($1) AND attnum > 0 AND NOT attisdropped AND "
                                 "attname <> $2 ORDER BY attnum"),
                  {Value(postgresName(table)), Value(QLatin1String(kPgRowIdColumn))}))
            columns << postgresName(row[0].toString());
        return columns;
    }

    // A translation made whole with what only the server's catalog knows: each * marker
    // replaced by the columns of its table, qualified as written, and an INSERT without a
    // column list given the table's columns. A table the server does not know is left to the
    // statement's own error.
    JetTranslation completedFromCatalog(JetTranslation t) {
        for (const JetTranslation::StarColumns& star : t.starColumns) {
            const QStringList columns = columnsOf(star.table);
            QStringList qualified;
            for (const QString& c : columns)
                qualified << star.qualifier + u'.' + c;
            replaceOutsideQuotes(&t.sql, star.marker,
                                 qualified.isEmpty() ? star.qualifier + QStringLiteral(".*")
                                                     : qualified.join(QStringLiteral(", ")));
        }
        t.starColumns.clear();
        if (t.insertsEveryColumn) {
            // "INSERT INTO <table> <source>": the columns named, the row id first, and the
            // row id the source gives replaced by the table's own.
            const QString head = QStringLiteral("INSERT INTO ") + postgresName(t.changedTable);
            const QStringList columns = columnsOf(t.changedTable);
            if (t.sql.startsWith(head) && !columns.isEmpty())
                t.sql = head + QStringLiteral(" (") + postgresName(QLatin1String(kPgRowIdColumn)) +
                        QStringLiteral(", ") + columns.join(QStringLiteral(", ")) +
                        QStringLiteral(") OVERRIDING USER VALUE") + t.sql.mid(head.size());
            t.insertsEveryColumn = false;
        }
        return t;
    }

    // Notes a statement that may change tables or columns (anything but a query or a change
    // of rows).
    void noteCatalogChange(const QString& sql) {
        const QString word = sql.trimmed().section(u' ', 0, 0).toUpper();
        if (word != u"SELECT" && word != u"INSERT" && word != u"UPDATE" && word != u"DELETE")
            markCatalogChanged();
    }

    // Tables or spellings change: what is prepared against the tables is prepared afresh,
    // and a rollback forgets what is known of them.
    void markCatalogChanged() {
        catalogChanged_ = true;
        knownTables_.clear();
        runner_.forgetPrepared();
    }

    static int changedRows(const PGresult* r) {
        return QByteArray(PQcmdTuples(const_cast<PGresult*>(r))).toInt();
    }

    void simple(const QString& sql, const QString& context) {
        lastLookup_.reset();
        const QByteArray text =
            (runner_.dropDeferredBegin() ? QByteArray("BEGIN; ") : QByteArray()) + sql.toUtf8();
        Result r(PQexec(conn_.get(), text.constData()));
        check(r.get(), context.isEmpty() ? sql : context);
    }

    // Outside a transaction, a connection the server dropped (a restart, a network outage)
    // is opened again before the next statement; inside one, the loss is reported.
    void reconnectIfLost() {
        if (PQstatus(conn_.get()) == CONNECTION_OK && !lost_)
            return;
        reconnect(depth_ == 0 || scratchDepth_ > 0);
    }

    // A new session in place of the broken one; throws ServerConnection when the server
    // cannot be reached. `reading`: what was under way only read.
    void reconnect(bool reading) {
        PQreset(conn_.get());
        if (PQstatus(conn_.get()) != CONNECTION_OK)
            throw serverUnreachable(where(), !reading);
        lost_ = false;
        tables_.clear();
        names_.clear();
        namesLoaded_ = false;
        queryTableKnown_ = false;
        runner_.forgetPrepared();
        setUpSession();
    }

    void ensureNamesTable() {
        markCatalogChanged();
        run(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (name text PRIMARY KEY, spelled text "
                           "NOT NULL)")
                .arg(postgresName(kNamesTable)),
            {}, QString());
    }

    void loadNames() {
        if (namesLoaded_)
            return;
        namesLoaded_ = true;
        // The session's start found the table: the first load asks no more.
        const bool seenAtStart = std::exchange(facts_.hasNamesTable, false);
        if (!seenAtStart &&
            rows(QStringLiteral("SELECT 1 FROM pg_tables WHERE schemaname = $1 AND tablename = "
                                "$2"),
                 {Value(loc_.schema), Value(kNamesTable)})
                .empty())
            return;
        for (const auto& row : rows(
                 QStringLiteral("SELECT name, spelled FROM %1").arg(postgresName(kNamesTable)), {}))
            names_.insert(row[0].toString(), row[1].toString());
    }

    void keepSpellings(const QStringList& spellings) {
        ensureNamesTable();  // marks the catalog changed: the spellings kept go with it
        for (const QString& s : spellings) {
            run(QStringLiteral("INSERT INTO %1 (name, spelled) VALUES ($1, $2) ON CONFLICT (name) "
                               "DO NOTHING")
                    .arg(postgresName(kNamesTable)),
                {Value(s.toLower()), Value(s)}, QString(), false);
            if (!names_.contains(s.toLower()))
                names_.insert(s.toLower(), s);
        }
    }

    bool hasQueryTable() {
        if (!queryTableKnown_)
            queryTableKnown_ = !rows(QStringLiteral("SELECT 1 FROM pg_tables WHERE schemaname = "
                                                    "$1 AND tablename = $2"),
                                     {Value(loc_.schema), Value(kQueryTable)})
                                    .empty();
        return queryTableKnown_;
    }

    void ensureQueryTable() {
        if (hasQueryTable())
            return;
        markCatalogChanged();
        run(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (name text NOT NULL, sqltext text NOT "
                           "NULL)")
                .arg(postgresName(kQueryTable)),
            {}, QString());
        run(QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS %1 ON %2 (lower(name))")
                .arg(postgresName(kQueryTable + QStringLiteral("_name")),
                     postgresName(kQueryTable)),
            {}, QString());
        queryTableKnown_ = true;
    }

    QString queryDefSqlOrNull(const QString& name) { return lookUpName(name).querySql; }

    // The stored queries among names a statement reads (a table of that name goes first).
    // A name once found to be a table is not asked again until the tables change.
    StoredQueryTexts storedQueries() {
        return [this](const QStringList& names) {
            QHash<QString, QString> out;
            for (const QString& name : names) {
                const QString key = name.toLower();
                if (knownTables_.contains(key))
                    continue;
                const NameLookup& found = lookUpName(name);
                if (found.isTable)
                    knownTables_.insert(key);
                else if (!found.querySql.isNull())
                    out.insert(key, found.querySql);
            }
            return out;
        };
    }

    // What a name (without brackets) stands for: a table, a stored query (its text; null
    // when there is none), or neither. Both are asked in one round trip, and the answer is
    // kept until the next statement: opening a source or storing a query asks both in turn.
    struct NameLookup {
        QString key;  // the name in lower case
        bool isTable = false;
        QString querySql;
    };
    const NameLookup& lookUpName(const QString& name) {
        const QString key = name.toLower();
        if (lastLookup_ && lastLookup_->key == key)
            return *lastLookup_;
        const bool queries = hasQueryTable();
        QString sql = QStringLiteral(
            "SELECT EXISTS (SELECT 1 FROM pg_class c JOIN pg_namespace s ON s.oid = "
            "c.relnamespace WHERE s.nspname = $1 AND c.relname = $2 AND c.relkind IN ('r', "
            "'v', 'p'))");
        std::vector<Value> args{Value(loc_.schema), Value(key)};
        if (queries) {
            sql += QStringLiteral(", (SELECT sqltext FROM %1 WHERE lower(name) = lower($3))")
                       .arg(postgresName(kQueryTable));
            args.emplace_back(name);
        }
        const auto found = rows(sql, args);
        NameLookup out;
        out.key = key;
        // The engine's own tables are no tables of the data set.
        const bool own = key.startsWith(u'_') &&
                         (key == kQueryTable || key == kNamesTable || isJournalWorkTable(key));
        out.isTable = !own && !found.empty() && found.front()[0].toBool();
        if (queries && !found.empty() && !found.front()[1].isNull()) {
            out.querySql = found.front()[1].toString();
            if (out.querySql.isNull())
                out.querySql = QStringLiteral("");
        }
        lastLookup_ = std::move(out);
        return *lastLookup_;
    }

    Connection conn_;
    Location loc_;
    QString location_;
    int depth_ = 0;
    int scratchDepth_ = 0;
    bool queryTableKnown_ = false;
    // Whether the open transaction made, altered or dropped a table or kept a spelling, so
    // that rolling it back must forget what is known of them.
    bool catalogChanged_ = false;
    // The connection broke in a way libpq may not have noticed itself: it is opened again
    // before the next statement outside a transaction.
    bool lost_ = false;
    bool readOnly_ = false;
    bool rolesKnown_ = false;
    bool rolesExist_ = false;
    bool namesLoaded_ = false;
    QHash<QString, QString> names_;  // lower case -> as spelled
    QHash<Oid, TableInfo> tables_;
    std::optional<NameLookup> lastLookup_;
    QSet<QString> knownTables_;  // names (in lower case) found to be tables
    QString screenSet_;          // the screen the session was last told of
    SessionFacts facts_;         // what the session found at its start
    StatementRunner runner_{conn_.get()};
};

std::unique_ptr<RowPredicate> PgDatabase::prepareCriterion(const QString& jetCriterion,
                                                           const QStringList& columnNames) {
    return std::make_unique<PgPredicate>(
        shared_from_this(),
        [this](const QString& sql, const std::vector<Value>& args) {
            return rows(sql, args, true);
        },
        translateJetExpression(jetCriterion, SqlDialect::Postgres), columnNames, jetCriterion);
}

std::unique_ptr<Recordset> PgDatabase::openRecordset(const QString& source,
                                                     const std::vector<Value>& values) {
    RowSource r = resolveRowSource(
        source, SqlDialect::Postgres, where(), [this](const QString& n) { return hasTable(n); },
        [this](const QString& n) { return queryDefSqlOrNull(n); }, storedQueries());
    if (r.isTable())
        // Rows in the order they were added, as a file gives them.
        r.select.sql = QStringLiteral("SELECT %1 AS %2, * FROM %3 ORDER BY %1")
                           .arg(QLatin1String(kPgRowIdColumn), QLatin1String(kRowIdColumn),
                                postgresName(r.select.updatableTable));
    return materialise(r.select, r.text, values);
}

std::unique_ptr<Recordset> PgDatabase::materialise(const JetTranslation& translated,
                                                   const QString& source,
                                                   const std::vector<Value>& values) {
    const JetTranslation t = completedFromCatalog(translated);
    requireMarkersFor(t.sql, values.size(), source);
    const Result r = run(t.sql, values, source, true, &t);
    PGresult* res = r.get();
    const int cols = PQnfields(res);
    const int first = t.updatableTable.isEmpty() ? 0 : 1;
    const QString updatable = t.updatableTable.toLower();
    QHash<QString, QString> aliases;
    for (const QString& a : t.spelledNames)
        aliases.insert(a.toLower(), a);
    std::vector<Field> fields;
    std::vector<int> kept;  // the result's columns that become fields
    std::vector<bool> computed;
    QHash<QString, int> nameCount;
    for (int i = first; i < cols; ++i) {
        const QString serverName = QString::fromUtf8(PQfname(res, i));
        const TableInfo* table = tableInfo(PQftable(res, i));
        const ColumnInfo* column = nullptr;
        if (table) {
            auto it = table->columns.constFind(PQftablecol(res, i));
            if (it != table->columns.constEnd())
                column = &*it;
        }
        // The row id the engine gives each table is no column of the rows.
        if (column && column->name == QLatin1String(kPgRowIdColumn) &&
            serverName == QLatin1String(kPgRowIdColumn))
            continue;
        Field f;
        f.name = aliases.value(serverName, spelled(serverName));
        if (column) {
            f.table = spelled(table->name);
            f.column = spelled(column->name);
            f.type = column->type;
        }
        f.writable = !updatable.isEmpty() && column && table->name == updatable;
        nameCount[f.name.toCaseFolded()]++;
        fields.push_back(std::move(f));
        kept.push_back(i);
        computed.push_back(column == nullptr);
    }
    for (Field& f : fields) {
        if (nameCount.value(f.name.toCaseFolded()) > 1 && !f.table.isEmpty())
            f.name = f.table + u'.' + (f.column.isEmpty() ? f.name : f.column);
    }
    std::vector<Recordset::Row> rowsOut;
    const int n = PQntuples(res);
    rowsOut.reserve(static_cast<size_t>(n));
    for (int row = 0; row < n; ++row) {
        Recordset::Row out;
        if (first)
            out.rowid = QByteArray(PQgetvalue(res, row, 0)).toLongLong();
        out.values.reserve(kept.size());
        for (size_t k = 0; k < kept.size(); ++k)
            out.values.push_back(serverValue(res, row, kept[k], computed[k]));
        rowsOut.push_back(std::move(out));
    }
    QString table;
    if (!t.updatableTable.isEmpty())
        table = spelled(t.updatableTable);
    return std::make_unique<Recordset>(shared_from_this(), source, table, std::move(fields),
                                       std::move(rowsOut), values);
}

}  // namespace

bool isServerLocation(const QString& location) {
    const QString s = location.trimmed();
    return s.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           s.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

namespace {

QHash<QString, QString>& sessionPasswords() {
    static QHash<QString, QString> passwords;
    return passwords;
}

// A connection to the server of a URI, with the session's password for it if there is one.
Connection connectToServer(const QString& uri) {
    const QByteArray dbname = uri.trimmed().toUtf8();
    const QByteArray password = sessionPasswords().value(uri.trimmed()).toUtf8();
    // The password comes after the URI, which is expanded in its place: it adds to it.
    // The client encoding is set by the connection's start, with no statement of its own.
    const char* keywords[] = {"dbname", "client_encoding",
                              password.isEmpty() ? nullptr : "password", nullptr};
    const char* values[] = {dbname.constData(), "UTF8", password.constData(), nullptr};
    return Connection(PQconnectdbParams(keywords, values, 1));
}

// A new session with the server, of its own, for the data set at the location.
std::shared_ptr<PgDatabase> connectTo(const Location& loc, const QString& location) {
    Connection conn = connectToServer(loc.uri);
    if (!conn || PQstatus(conn.get()) != CONNECTION_OK) {
        const QString why = conn ? QString::fromUtf8(PQerrorMessage(conn.get())).trimmed()
                                 : QStringLiteral("out of memory");
        throw DbError(err::ServerConnection,
                      QStringLiteral("Cannot connect to the database server at %1: %2")
                          .arg(shownLocation(loc.uri), why));
    }
    // The server's notices ("already exists, skipping") are no news for the user.
    PQsetNoticeProcessor(
        conn.get(), [](void*, const char*) {}, nullptr);
    auto db = std::make_shared<PgDatabase>(std::move(conn), loc, location.trimmed());
    db->setUpSession();
    return db;
}

[[noreturn]] void throwNoDataSet(const Location& loc) {
    throw DbError(err::FileNotFound, QStringLiteral("There is no data set %1 in the database %2.")
                                         .arg(loc.name, shownLocation(loc.uri)));
}

}  // namespace

std::shared_ptr<Database> openServerDatabase(const QString& location, bool create) {
    const Location loc = parseLocation(location.trimmed());
    const QString key = loc.uri + u'#' + loc.schema;
    auto& sets = openSets();
    if (!create) {
        if (auto it = sets.find(key); it != sets.end()) {
            if (auto db = it->second.lock())
                return db;
        }
    }
    if (create)
        return createServerDataSet(location, {});
    auto db = connectTo(loc, location);
    if (!db->openSchema())
        throwNoDataSet(loc);
    sets[key] = db;
    return db;
}

std::shared_ptr<Database> createServerDataSet(const QString& location,
                                              const std::function<void(Database&)>& build) {
    const Location loc = parseLocation(location.trimmed());
    auto db = connectTo(loc, location);
    if (db->schemaExists() && db->schemaHasTables())
        throw DbError(err::ObjectExists,
                      QStringLiteral("Cannot create %1: it exists already.").arg(db->where()));
    {
        Transaction tx(*db);
        db->createSchema();
        if (build)
            build(*db);
        tx.commit();
    }
    openSets()[loc.uri + u'#' + loc.schema] = db;
    return db;
}

void setSessionPassword(const QString& uri, const QString& password) {
    QString key = uri.trimmed();
    if (const qsizetype hash = key.indexOf(u'#'); hash >= 0)
        key.truncate(hash);
    if (password.isEmpty())
        sessionPasswords().remove(key);
    else
        sessionPasswords().insert(key, password);
}

bool serverNeedsPassword(const QString& location) {
    QString uri = location.trimmed();
    if (const qsizetype hash = uri.indexOf(u'#'); hash >= 0)
        uri.truncate(hash);
    if (!isServerLocation(uri) || holdsPassword(uri))
        return false;
    const Connection conn = connectToServer(uri);
    return conn && PQstatus(conn.get()) != CONNECTION_OK && PQconnectionNeedsPassword(conn.get());
}

std::shared_ptr<Database> openServerReader(const QString& location) {
    const Location loc = parseLocation(location.trimmed());
    auto db = connectTo(loc, location);
    if (!db->schemaExisted())
        throwNoDataSet(loc);
    db->checkAccess();
    return db;
}

void carryJournal(Database& serverDb, bool on) {
    auto* db = dynamic_cast<PgDatabase*>(&serverDb);
    if (!db)
        return;
    db->rows(QStringLiteral("SELECT set_config('velmora.migration', $1, false)"),
             {Value(on ? QStringLiteral("on") : QString())});
}

void continueRowIds(Database& serverDb, const QString& table) {
    auto* db = dynamic_cast<PgDatabase*>(&serverDb);
    if (!db)
        return;
    const QString name = postgresName(table);
    db->rows(QStringLiteral("SELECT setval(pg_get_serial_sequence($1, $2), coalesce((SELECT "
                            "max(%1) FROM %2), 0) + 1, false)")
                 .arg(QLatin1String(kPgRowIdColumn), name),
             {Value(name), Value(QLatin1String(kPgRowIdColumn))});
}

}  // namespace velmora::data::pg
