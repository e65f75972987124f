// Statements of the PostgreSQL back end: Jet SQL and the engine's own SQLite text run on the
// server, their failures, and a session opened again after the server dropped it.
#include "PgDatabaseImpl.h"

#include "PgErrors.h"
#include "PgValues.h"

#include <QByteArray>

namespace velmora::data::pg {

int PgDatabase::execute(const QString& jetSql, const std::vector<Value>& values) {
    const JetTranslation t = catalog_.completed(
        translateJetStatement(jetSql, SqlDialect::Postgres, catalog_.storedQueries()));
    requireMarkersFor(t.sql, values.size(), jetSql);
    noteCatalogChange(t.sql);
    if (t.spelledNames.isEmpty() || t.isSelect)
        return changedRows(run(t.sql, values, jetSql, true, &t).get());
    Transaction tx(*this);
    const int changed = changedRows(run(t.sql, values, jetSql, true, &t).get());
    catalog_.keepSpellings(t.spelledNames);
    if (!t.createdTable.isEmpty())
        grantRolesOn(t.createdTable);
    // A journalled table made or given a column: its trigger follows its columns.
    if (!t.createdTable.isEmpty() || t.sql.startsWith(QLatin1String("ALTER")))
        ensureJournal();
    tx.commit();
    if (!t.createdTable.isEmpty() || t.sql.startsWith(QLatin1String("ALTER")))
        catalog_.forgetTables();
    return changed;
}

int PgDatabase::executeBound(const QString& sqliteSql, const std::vector<Value>& values) {
    noteCatalogChange(sqliteSql);
    return changedRows(run(postgresFromSqliteText(sqliteSql), values, sqliteSql).get());
}

void PgDatabase::forEachRow(const QString& sqliteSql, const std::vector<Value>& values,
                            const std::function<void(const std::vector<Value>&)>& visit) {
    for (const std::vector<Value>& row : rows(postgresFromSqliteText(sqliteSql), values))
        visit(row);
}

Result PgDatabase::run(const QString& sql, const std::vector<Value>& args, const QString& context,
                       bool ownSavepoint, const JetTranslation* jet) {
    catalog_.forgetLookup();
    const QString what = context.isEmpty() ? sql : context;
    const QByteArray text = sql.toUtf8();
    const ServerParameters params(args);
    const bool opensTransaction = depth_ > 0 && runner_.beginIsDeferred();
    const bool again = opensTransaction || (depth_ == 0 && isQuery(text));
    // Outside a transaction, the query sent ahead when this is it. Anything else sent ahead
    // (and, inside a transaction, even this: it was sent before the transaction began) is
    // dropped by the runner before it uses the connection.
    std::optional<Result> ahead;
    if (depth_ == 0) {
        ahead = runner_.takeAhead(text, params);
        if (!ahead)
            reconnectIfLost();
    }
    Result result = ahead ? std::move(*ahead)
                          : runner_.run(text, params, ownSavepoint && depth_ > 0, depth_ > 0);
    if (again && connectionLost(conn_.get(), result.get())) {
        reconnect(!changing(isQuery(text)));
        if (opensTransaction)
            runner_.deferBegin();
        result = runner_.run(text, params, ownSavepoint && depth_ > 0, depth_ > 0);
    }
    check(result.get(), what, jet, isQuery(text));
    return result;
}

std::vector<std::vector<Value>> PgDatabase::rows(const QString& sql, const std::vector<Value>& args,
                                                 bool guard) {
    const Result r = run(sql, args, QString(), guard);
    return readRows(r.get(), 0);
}

void PgDatabase::check(const PGresult* r, const QString& context, const JetTranslation*,
                       bool query) {
    const ExecStatusType s = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK)
        return;
    if (connectionLost(conn_.get(), r))
        lost_ = true;
    throw serverFailure(conn_.get(), r, context, where(), changing(query));
}

void PgDatabase::noteCatalogChange(const QString& sql) {
    const QString word = sql.trimmed().section(u' ', 0, 0).toUpper();
    if (word != u"SELECT" && word != u"INSERT" && word != u"UPDATE" && word != u"DELETE")
        markCatalogChanged();
}

void PgDatabase::simple(const QString& sql, const QString& context) {
    catalog_.forgetLookup();
    const QByteArray text =
        (runner_.dropDeferredBegin() ? QByteArray("BEGIN; ") : QByteArray()) + sql.toUtf8();
    Result r(PQexec(connection(), text.constData()));
    check(r.get(), context.isEmpty() ? sql : context);
}

void PgDatabase::reconnectIfLost() {
    if (PQstatus(connection()) == CONNECTION_OK && !lost_)
        return;
    reconnect(depth_ == 0 || scratchDepth_ > 0);
}

void PgDatabase::reconnect(bool reading) {
    PQreset(connection());
    if (PQstatus(conn_.get()) != CONNECTION_OK)
        throw serverUnreachable(where(), !reading);
    lost_ = false;
    catalog_.forget(false);
    runner_.forgetPrepared();
    setUpSession();
}

CatalogSession PgDatabase::catalogSession() {
    CatalogSession s;
    s.rows = [this](const QString& sql, const std::vector<Value>& args) { return rows(sql, args); };
    s.exec = [this](const QString& sql) { run(sql, {}, QString()); };
    s.changed = [this] {
        catalogChanged_ = true;
        runner_.forgetPrepared();
    };
    return s;
}

}  // namespace velmora::data::pg
