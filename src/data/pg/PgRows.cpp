// Rows of the PostgreSQL back end: record sets read from the server, and the rows a record
// set writes, reads back or tests against a criterion.
#include "PgDatabaseImpl.h"

#include "PgPredicate.h"
#include "PgValues.h"
#include "data/Recordset.h"
#include "data/RowWriteSql.h"

#include <utility>

namespace velmora::data::pg {

std::int64_t PgDatabase::insertRow(const QString& table, const QStringList& columns,
                                   const std::vector<Value>& values) {
    QString sql = rowWriteSql().insert(table, columns);
    sql += QStringLiteral(" RETURNING ") + QLatin1String(kPgRowIdColumn);
    const Result r = run(sql, values, table);
    return QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
}

void PgDatabase::updateRow(const QString& table, std::int64_t rowid, const QStringList& columns,
                           const std::vector<Value>& values) {
    std::vector<Value> all = values;
    all.emplace_back(rowid);
    const Result r = run(rowWriteSql().update(table, columns), all, table);
    if (changedRows(r.get()) == 0)
        throwRowDeletedMeanwhile(table);
}

const RowWriteSql& PgDatabase::rowWriteSql() {
    static const RowWriteSql sql{[](const QString& n) { return postgresName(n); },
                                 QStringLiteral("$"), QLatin1String(kPgRowIdColumn)};
    return sql;
}

void PgDatabase::deleteRow(const QString& table, std::int64_t rowid) {
    run(rowWriteSql().remove(table), {Value(rowid)}, table);
}

std::vector<Value> PgDatabase::readRow(const QString& table, std::int64_t rowid,
                                       const QStringList& columns) {
    QStringList names;
    for (const QString& c : columns)
        names << postgresName(c);
    // Inside a transaction the row is locked as it is read: a save that checks it first
    // sees it unchanged until it is written.
    auto found = rows(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = $1%4")
                          .arg(names.join(u','), postgresName(table), QLatin1String(kPgRowIdColumn),
                               depth_ > 0 ? QStringLiteral(" FOR UPDATE") : QString()),
                      {Value(rowid)});
    if (found.empty())
        throwRowNotFound(table);
    return std::move(found.front());
}

std::unique_ptr<RowPredicate> PgDatabase::prepareCriterion(const QString& jetCriterion,
                                                           const QStringList& columnNames) {
    return std::make_unique<PgPredicate>(
        shared_from_this(),
        [this](const QString& sql, const std::vector<Value>& args) {
            return rows(sql, args, true);
        },
        translateJetExpression(jetCriterion, SqlDialect::Postgres), columnNames, jetCriterion);
}

JetTranslation PgDatabase::selectOf(const QString& source, QString* text) {
    // What a name stood for when it was last asked may have changed since on another
    // workstation: opening a source asks afresh.
    catalog_.forgetLookup();
    RowSource r = resolveRowSource(
        source, SqlDialect::Postgres, where(), [this](const QString& n) { return hasTable(n); },
        [this](const QString& n) { return queryDefSqlOrNull(n); }, catalog_.storedQueries());
    if (r.isTable())
        // Rows in the order they were added, as a file gives them.
        r.select.sql = QStringLiteral("SELECT %1 AS %2, * FROM %3 ORDER BY %1")
                           .arg(QLatin1String(kPgRowIdColumn), QLatin1String(kRowIdColumn),
                                postgresName(r.select.updatableTable));
    *text = r.text;
    return catalog_.completed(r.select);
}

std::unique_ptr<Recordset> PgDatabase::openRecordset(const QString& source,
                                                     const std::vector<Value>& values) {
    // Sent ahead with nothing run since: the select is the one the server is answering.
    if (ahead_ && ahead_->source == source && values.empty() && runner_.holdsAhead()) {
        const SentAhead sent = *std::exchange(ahead_, std::nullopt);
        if (sent.snapshotQuery.isEmpty() || depth_ > 0) {
            const std::optional<QByteArray> before =
                sent.snapshotBefore ? runner_.valueBeforeAhead() : std::nullopt;
            return materialise(sent.select, sent.text, values, before ? &*before : nullptr);
        }
        // The rows read last are the table's while no transaction has ended since.
        const std::optional<QByteArray> snapshot = serverSnapshot(sent.snapshotQuery);
        if (snapshot) {
            if (const KeptSets::Set* kept = kept_.find(sent.text, *snapshot))
                return std::make_unique<Recordset>(shared_from_this(), sent.text, kept->table,
                                                   kept->fields, kept->rows, values);
        }
        return materialise(sent.select, sent.text, values, snapshot ? &*snapshot : nullptr);
    }
    ahead_.reset();
    QString text;
    const JetTranslation t = selectOf(source, &text);
    return materialise(t, text, values);
}

QByteArray PgDatabase::snapshotQuery() {
    return PQserverVersion(connection()) >= 130000 ? "SELECT pg_current_snapshot()::text"
                                                   : "SELECT txid_current_snapshot()::text";
}

std::optional<QByteArray> PgDatabase::serverSnapshot(const QByteArray& query) {
    try {
        const Result r = run(QString::fromLatin1(query), {}, QString(), false);
        if (PQntuples(r.get()) == 1 && !PQgetisnull(r.get(), 0, 0))
            return QByteArray(PQgetvalue(r.get(), 0, 0));
    } catch (const DbError&) {
        // The query itself runs next, and reports what fails.
    }
    return std::nullopt;
}

void PgDatabase::readAhead(const QString& source) {
    ahead_.reset();
    if (depth_ > 0 || !idle())
        return;
    try {
        SentAhead sent{source, QString(), {}, {}};
        sent.select = selectOf(source, &sent.text);
        if (!isQuery(sent.select.sql.toUtf8()))
            return;
        requireMarkersFor(sent.select.sql, 0, source);  // a query with no values to wait for
        const QString read = nameReadPlainly(sent.text);
        QByteArray before;
        if (!read.isEmpty() && read.compare(sent.select.updatableTable, Qt::CaseInsensitive) == 0) {
            // With rows kept, the snapshot alone may tell that they still hold. Without, the
            // rows are read, and kept under the snapshot asked just before.
            if (kept_.holds(sent.text))
                sent.snapshotQuery = snapshotQuery();
            else
                before = snapshotQuery();
        }
        sent.snapshotBefore = !before.isEmpty();
        runner_.sendAhead(
            sent.snapshotQuery.isEmpty() ? sent.select.sql.toUtf8() : sent.snapshotQuery, before);
        if (runner_.holdsAhead())
            ahead_ = std::move(sent);
    } catch (const DbError&) {
        // Left for openRecordset, which meets the same failure and reports it.
    }
}

std::unique_ptr<Recordset> PgDatabase::materialise(const JetTranslation& t, const QString& source,
                                                   const std::vector<Value>& values,
                                                   const QByteArray* keepUnder) {
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
    bool tableRowsOnly = first == 1;  // each field a column of the table, a table of rows
    QHash<QString, int> nameCount;
    std::vector<Oid> sourceTables;
    for (int i = first; i < cols; ++i)
        sourceTables.push_back(PQftable(res, i));
    catalog_.readTables(sourceTables);
    for (int i = first; i < cols; ++i) {
        const QString serverName = QString::fromUtf8(PQfname(res, i));
        const TableInfo* table = catalog_.tableInfo(PQftable(res, i));
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
        f.name = aliases.value(serverName, catalog_.spelled(serverName));
        if (column) {
            f.table = catalog_.spelled(table->name);
            f.column = catalog_.spelled(column->name);
            f.type = column->type;
        }
        f.writable = !updatable.isEmpty() && column && table->name == updatable;
        tableRowsOnly = tableRowsOnly && f.writable && table->ofRows;
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
        table = catalog_.spelled(t.updatableTable);
    if (keepUnder && tableRowsOnly && depth_ == 0) {
        // One copy for the session, the rows read go to the set handed out.
        if (KeptSets::fits(rowsOut.size()))
            kept_.keep(source, *keepUnder, {fields, rowsOut, table});
        else
            kept_.forget(source);
    }
    return std::make_unique<Recordset>(shared_from_this(), source, table, std::move(fields),
                                       std::move(rowsOut), values);
}

}  // namespace velmora::data::pg
