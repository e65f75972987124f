// The engine's SQLite back end: statements, stored queries, transactions and rows of an open
// file.
#include "SqliteDatabase.h"

#include "JetFunctionCatalog.h"
#include "Recordset.h"
#include "RowSource.h"
#include "RowWriteSql.h"
#include "SqlitePredicate.h"

#include <sqlite3.h>

#include <optional>
#include <utility>

namespace velmora::data {

namespace {

const QString kQueryTable = QStringLiteral("_StoredQueries");

}  // namespace

int SqliteDatabase::execute(const QString& jetSql, const std::vector<Value>& values) {
    const JetTranslation t =
        translateJetStatement(jetSql, SqlDialect::Sqlite, storedQueries(), &dateColumns());
    checkWritable(t);
    if (t.isSelect)
        return run(t.sql.toUtf8(), values, jetSql, &t);
    return journalled(
        t.sql,
        [&] {
            const int changed = run(t.sql.toUtf8(), values, jetSql, &t);
            for (const QString& s : t.followUps)
                run(s.toUtf8(), {}, jetSql);
            if (statementChangesSchema(t.sql))
                schemaMayHaveChanged();
            return changed;
        },
        !t.followUps.isEmpty());
}

int SqliteDatabase::executeBound(const QString& sql, const std::vector<Value>& values) {
    return journalled(sql, [&] {
        const int changed = run(sql.toUtf8(), values, sql);
        if (statementChangesSchema(sql))
            schemaMayHaveChanged();
        return changed;
    });
}

void SqliteDatabase::forEachRow(const QString& sqliteSql, const std::vector<Value>& values,
                                const std::function<void(const std::vector<Value>&)>& visit) {
    const QByteArray sql = sqliteSql.toUtf8();
    Statement st(cache_, sql);
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult(), {sqliteSql, nullptr, sql, true});
    requireWholeStatement(st, sqliteSql);
    for (size_t i = 0; i < values.size(); ++i)
        bindValue(st.get(), static_cast<int>(i + 1), values[i]);
    const int cols = sqlite3_column_count(st.get());
    std::vector<Value> row(static_cast<size_t>(cols));
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        for (int i = 0; i < cols; ++i)
            readColumn(st.get(), i, row[static_cast<size_t>(i)]);
        visit(row);
    }
    if (rc != SQLITE_DONE)
        fail(rc, {sqliteSql, nullptr, sql, false});
}

void SqliteDatabase::keepQueryDef(const QString& n, const QString& jetSql) {
    // The text must be a statement the engine can run before it is kept.
    const JetTranslation t =
        translateJetStatement(jetSql, SqlDialect::Sqlite, storedQueries(), &dateColumns());
    {
        const QByteArray sql = t.sql.toUtf8();
        Statement st(cache_, sql);
        if (st.prepareResult() != SQLITE_OK)
            fail(st.prepareResult(), {jetSql, &t, sql, true});
        requireWholeStatement(st, jetSql);
    }
    ensureQueryTable();
    run(QStringLiteral("INSERT INTO %1 (Name, SqlText) VALUES (?1, ?2)")
            .arg(quoteSqliteName(kQueryTable))
            .toUtf8(),
        {Value(n), Value(jetSql)}, n);
}

int SqliteDatabase::removeQueryDef(const QString& n) {
    int changed = 0;
    if (hasQueryTable()) {
        changed = run(QStringLiteral("DELETE FROM %1 WHERE Name = ?1")
                          .arg(quoteSqliteName(kQueryTable))
                          .toUtf8(),
                      {Value(n)}, n);
    }
    return changed;
}

QStringList SqliteDatabase::queryDefNames() {
    QStringList out;
    if (!hasQueryTable())
        return out;
    for (const auto& row : select(QStringLiteral("SELECT Name FROM %1 ORDER BY Name")
                                      .arg(quoteSqliteName(kQueryTable))
                                      .toUtf8(),
                                  {}))
        out << row[0].toString();
    return out;
}

bool SqliteDatabase::hasTable(const QString& name) {
    const QString n = unbracketName(name.trimmed());
    if (n.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) ||
        n.compare(kQueryTable, Qt::CaseInsensitive) == 0)
        return false;
    return !select(
                "SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND "
                "name = ?1 COLLATE NOCASE",
                {Value(n)})
                .empty();
}

QStringList SqliteDatabase::tableNames() {
    QStringList out;
    for (const auto& row :
         select("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                "'sqlite\\_%' ESCAPE '\\' AND name <> ?1 ORDER BY name",
                {Value(kQueryTable)}))
        out << row[0].toString();
    return out;
}

void SqliteDatabase::openLevel(bool scratch) {
    if (scratch && depth_ == 0 && readOnly_ == ReadOnlyReason::None) {
        // Outside any other transaction the undo log can live in memory: the work is
        // always rolled back, and its few pages stay in the cache until then, so the
        // file is never written and a crash meanwhile leaves it as it was.
        // Only a rollback journal on disk is swapped: leaving write-ahead logging
        // would rewrite the file's header.
        const QString mode = singleText("PRAGMA journal_mode").toLower();
        if (mode == u"delete" || mode == u"truncate" || mode == u"persist") {
            journalModeToRestore_ = mode;
            singleText("PRAGMA journal_mode = MEMORY");
        }
    }
    begin(scratch);
}

void SqliteDatabase::releaseLevel() {
    if (depth_ == 1)
        journal_.beforeOutermostCommit();
    exec(QStringLiteral("RELEASE velmora_%1").arg(depth_ - 1).toUtf8());
    --depth_;
    if (depth_ == 0)
        journal_.afterOutermostCommit();
}

void SqliteDatabase::undoLevel(int level) {
    // The rollback may remove the stored-query table created inside it, or other tables:
    // what is known of the tables is forgotten when the level changed the schema, or when
    // that cannot be told. Most levels rolled back (a scratch transaction above all) change
    // rows only, and the date columns cost a scan of every table's columns to learn again.
    const std::optional<int> before = schemaVersionOrNothing();
    auto forgetTablesUnless = [&](std::optional<int> after) {
        if (!before || !after || *before != *after) {
            queryTableKnown_ = false;
            dateColumns_.reset();
        }
    };
    if (level == 0) {
        // The outermost transaction is dropped as a whole. Rolling back to its
        // savepoint and then releasing it would commit the restored pages: the file
        // would be written and synced although nothing in it changed.
        try {
            exec("ROLLBACK");
        } catch (...) {
            forgetTablesUnless(std::nullopt);
            restoreJournalMode();
            throw;
        }
        restoreJournalMode();
        const std::optional<int> after = schemaVersionOrNothing();
        forgetTablesUnless(after);
        journal_.afterOutermostRollback(after);
    } else {
        try {
            exec(QStringLiteral("ROLLBACK TO velmora_%1").arg(level).toUtf8());
            exec(QStringLiteral("RELEASE velmora_%1").arg(level).toUtf8());
        } catch (...) {
            forgetTablesUnless(std::nullopt);
            throw;
        }
        forgetTablesUnless(schemaVersionOrNothing());
    }
}

std::int64_t SqliteDatabase::insertRow(const QString& table, const QStringList& columns,
                                       const std::vector<Value>& values) {
    requireWritable();
    const QString sql = rowWriteSql().insert(table, columns);
    return journalled(sql, [&] {
        run(sql.toUtf8(), values, table);
        return std::int64_t{sqlite3_last_insert_rowid(db_)};
    });
}

void SqliteDatabase::updateRow(const QString& table, std::int64_t rowid, const QStringList& columns,
                               const std::vector<Value>& values) {
    requireWritable();
    std::vector<Value> all = values;
    all.emplace_back(rowid);
    const QString sql = rowWriteSql().update(table, columns);
    if (journalled(sql, [&] { return run(sql.toUtf8(), all, table); }) == 0)
        throwRowDeletedMeanwhile(table);
}

void SqliteDatabase::deleteRow(const QString& table, std::int64_t rowid) {
    requireWritable();
    const QString sql = rowWriteSql().remove(table);
    journalled(sql, [&] { return run(sql.toUtf8(), {Value(rowid)}, table); });
}

const RowWriteSql& SqliteDatabase::rowWriteSql() {
    static const RowWriteSql sql{[](const QString& n) { return quoteSqliteName(n); },
                                 QStringLiteral("?"), QStringLiteral("rowid")};
    return sql;
}

std::vector<Value> SqliteDatabase::readRow(const QString& table, std::int64_t rowid,
                                           const QStringList& columns) {
    QStringList names;
    for (const QString& c : columns)
        names << quoteSqliteName(c);
    auto rows = select(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
                           .arg(names.join(u','), quoteSqliteName(table))
                           .toUtf8(),
                       {Value(rowid)});
    if (rows.empty())
        throwRowNotFound(table);
    return std::move(rows.front());
}

std::vector<std::vector<Value>> SqliteDatabase::select(const QByteArray& sql,
                                                       const std::vector<Value>& args) {
    Statement st(cache_, sql);
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult(), {QString(), nullptr, sql, true});
    for (size_t i = 0; i < args.size(); ++i)
        bindValue(st.get(), static_cast<int>(i + 1), args[i]);
    std::vector<std::vector<Value>> out;
    const int cols = sqlite3_column_count(st.get());
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        std::vector<Value> row;
        row.reserve(static_cast<size_t>(cols));
        for (int i = 0; i < cols; ++i)
            row.push_back(columnValue(st.get(), i));
        out.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        fail(rc, {QString(), nullptr, sql, false});
    return out;
}

void SqliteDatabase::begin(bool scratch) {
    const bool outermost = depth_ == 0 && !scratch;
    if (outermost)
        journal_.beforeOutermostBegin();
    exec(QStringLiteral("SAVEPOINT velmora_%1").arg(depth_).toUtf8());
    ++depth_;
    if (outermost) {
        try {
            journal_.afterOutermostBegin();
        } catch (...) {
            try {
                rollback();
            } catch (...) {
            }
            throw;
        }
    }
}

int SqliteDatabase::run(const QByteArray& sql, const std::vector<Value>& args,
                        const QString& context, const JetTranslation* jet) {
    Statement st(cache_, sql);
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult(), {context, jet, sql, true});
    requireWholeStatement(st, context);
    bindValues(st.get(), args, context, jet != nullptr);
    const sqlite3_int64 changedBefore = sqlite3_total_changes64(db_);
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        fail(rc, {context, jet, sql, false});
    // sqlite3_changes() still holds the count of the last INSERT, UPDATE or DELETE after
    // any other statement (CREATE TABLE, SELECT): only rows this one changed count.
    return sqlite3_total_changes64(db_) != changedBefore ? sqlite3_changes(db_) : 0;
}

void SqliteDatabase::restoreJournalMode() {
    if (journalModeToRestore_.isEmpty())
        return;
    const QString mode = std::exchange(journalModeToRestore_, QString());
    singleText(QStringLiteral("PRAGMA journal_mode = %1").arg(mode).toUtf8());
}

bool SqliteDatabase::hasQueryTable() {
    if (!queryTableKnown_) {
        queryTableKnown_ = !select(
                                "SELECT 1 FROM sqlite_master WHERE type = 'table' AND "
                                "name = ?1",
                                {Value(kQueryTable)})
                                .empty();
    }
    return queryTableKnown_;
}

void SqliteDatabase::ensureQueryTable() {
    if (hasQueryTable())
        return;
    requireWritable();
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Name TEXT COLLATE NOCASE PRIMARY "
                        "KEY, SqlText TEXT NOT NULL)")
             .arg(quoteSqliteName(kQueryTable))
             .toUtf8());
    queryTableKnown_ = true;
}

std::optional<int> SqliteDatabase::schemaVersionOrNothing() {
    try {
        const auto rows = select("PRAGMA main.schema_version", {});
        if (!rows.empty() && !rows.front().empty())
            return static_cast<int>(rows.front()[0].toInt());
    } catch (...) {
        // Not known: the caller takes the schema as changed.
    }
    return std::nullopt;
}

void SqliteDatabase::schemaMayHaveChanged() {
    journal_.schemaMayHaveChanged();
    dateColumns_.reset();
}

const DateColumns& SqliteDatabase::dateColumns() {
    if (!dateColumns_) {
        // A name counts where every table that has a column of that name keeps dates in it.
        const auto rows = select(
            "SELECT lower(c.name) AS n FROM sqlite_master AS t, pragma_table_info(t.name) AS c "
            "WHERE t.type = 'table' GROUP BY n "
            "HAVING min(upper(c.type) IN ('DATETIME', 'DATE', 'TIME', 'TIMESTAMP')) = 1 "
            "ORDER BY n",
            {});
        DateColumns d;
        for (const auto& row : rows) {
            const QString name = row[0].toString();
            d.names.insert(name);
            d.key += name + u'\n';
        }
        dateColumns_ = std::move(d);
    }
    return *dateColumns_;
}

StoredQueryTexts SqliteDatabase::storedQueries() {
    return [this](const QStringList& names) {
        QHash<QString, QString> out;
        if (!hasQueryTable())
            return out;
        for (const QString& name : names) {
            const QString sql = queryDefSqlOrNull(name);
            if (!sql.isNull() && !hasTable(name))
                out.insert(name.toLower(), sql);
        }
        return out;
    };
}

QString SqliteDatabase::queryDefSqlOrNull(const QString& name) {
    if (!hasQueryTable())
        return {};
    auto rows = select(QStringLiteral("SELECT SqlText FROM %1 WHERE Name = ?1")
                           .arg(quoteSqliteName(kQueryTable))
                           .toUtf8(),
                       {Value(name)});
    if (rows.empty())
        return {};
    QString s = rows.front()[0].toString();
    if (s.isNull())
        s = QStringLiteral("");
    return s;
}

std::unique_ptr<RowPredicate> SqliteDatabase::prepareCriterion(const QString& jetCriterion,
                                                               const QStringList& columnNames) {
    const QString sql = criterionStatement(translateJetExpression(jetCriterion), columnNames);
    return std::make_unique<SqlitePredicate>(shared_from_this(), cache_, readOnly_, sql.toUtf8(),
                                             static_cast<int>(columnNames.size()), jetCriterion);
}

std::unique_ptr<Recordset> SqliteDatabase::openRecordset(const QString& source,
                                                         const std::vector<Value>& values) {
    RowSource r = resolveRowSource(
        source, SqlDialect::Sqlite, path_, [this](const QString& n) { return hasTable(n); },
        [this](const QString& n) { return queryDefSqlOrNull(n); }, storedQueries(), &dateColumns());
    if (r.isTable())
        r.select.sql =
            QStringLiteral("SELECT rowid AS %1, * FROM %2")
                .arg(QLatin1String(kRowIdColumn), quoteSqliteName(r.select.updatableTable));
    return materialise(r.select, r.text, values);
}

std::unique_ptr<Recordset> SqliteDatabase::materialise(const JetTranslation& t,
                                                       const QString& source,
                                                       const std::vector<Value>& values) {
    const QByteArray sql = t.sql.toUtf8();
    Statement st(cache_, sql);
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult(), {source, &t, sql, true});
    requireWholeStatement(st, source);
    sqlite3_stmt* s = st.get();
    bindValues(s, values, source, true);
    const int cols = sqlite3_column_count(s);
    const int first = t.updatableTable.isEmpty() ? 0 : 1;
    std::vector<Field> fields = statementFields(s, first, t.updatableTable);
    std::vector<Recordset::Row> rows;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        Recordset::Row row;
        if (first)
            row.rowid = sqlite3_column_int64(s, 0);
        // Each value is read into its place: no value is made and then moved.
        row.values.resize(static_cast<size_t>(cols - first));
        for (int i = first; i < cols; ++i)
            readColumn(s, i, row.values[static_cast<size_t>(i - first)]);
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        fail(rc, {source, &t, sql, false});
    QString table = t.updatableTable;
    if (!table.isEmpty()) {
        // The name as the file spells it, for the writes.
        for (const Field& f : fields) {
            if (f.writable) {
                table = f.table;
                break;
            }
        }
    }
    return std::make_unique<Recordset>(shared_from_this(), source, table, std::move(fields),
                                       std::move(rows), values);
}

}  // namespace velmora::data
