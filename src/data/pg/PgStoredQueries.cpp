// The stored queries of a data set on the server, kept in a table of its own.
#include "PgDatabaseImpl.h"

#include "PgValues.h"

namespace velmora::data::pg {

void PgDatabase::keepQueryDef(const QString& n, const QString& jetSql) {
    // A table of that name known earlier is gone (its making rolled back).
    catalog_.forgetTable(n);
    // The text must be a statement the server can run before it is kept.
    const JetTranslation t = catalog_.completed(
        translateJetStatement(jetSql, SqlDialect::Postgres, catalog_.storedQueries()));
    const QByteArray text = t.sql.toUtf8();
    const QString keep = QStringLiteral("INSERT INTO %1 (name, sqltext) VALUES ($1, $2)")
                             .arg(postgresName(kQueryTable));
    if (depth_ > 0) {
        // Checked and kept under one savepoint, in one round trip.
        catalog_.ensureQueryTable();
        catalog_.forgetLookup();
        const ServerParameters values({Value(n), Value(jetSql)});
        check(runner_.checkThenRun(text, keep.toUtf8(), values).get(), jetSql);
        return;
    }
    Result r(PQprepare(connection(), "", text.constData(), 0, nullptr));
    check(r.get(), jetSql);
    catalog_.ensureQueryTable();
    run(keep, {Value(n), Value(jetSql)}, n);
}

int PgDatabase::removeQueryDef(const QString& n) {
    int changed = 0;
    if (catalog_.hasQueryTable()) {
        changed = changedRows(run(QStringLiteral("DELETE FROM %1 WHERE lower(name) = lower($1)")
                                      .arg(postgresName(kQueryTable)),
                                  {Value(n)}, n)
                                  .get());
    }
    return changed;
}

QStringList PgDatabase::queryDefNames() {
    QStringList out;
    if (!catalog_.hasQueryTable())
        return out;
    for (const auto& row : rows(QStringLiteral("SELECT name FROM %1 ORDER BY lower(name)")
                                    .arg(postgresName(kQueryTable)),
                                {}))
        out << row[0].toString();
    return out;
}

}  // namespace velmora::data::pg
