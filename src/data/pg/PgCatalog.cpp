#include "PgCatalog.h"

#include "PgJournal.h"
#include "PgValues.h"

#include <algorithm>
#include <utility>

namespace velmora::data::pg {

namespace {

// The engine's own tables, which are no tables of the data set (a name in lower case).
bool isOwnTable(const QString& key) {
    return key.startsWith(u'_') &&
           (key == kQueryTable || key == kNamesTable || isJournalWorkTable(key));
}

}  // namespace

void PgCatalog::sessionStarted(bool hasQueryTable, bool hasNamesTable, const QStringList& tables) {
    if (hasQueryTable)
        queryTableKnown_ = true;
    namesTableSeen_ = hasNamesTable;
    // A name is looked up in lower case: a table the server keeps in another case is not
    // one by any name a statement gives, and is left to be asked as before.
    for (const QString& t : tables)
        if (t == t.toLower() && !isOwnTable(t))
            knownTables_.insert(t);
}

QStringList PgCatalog::tableNames() {
    QStringList out;
    for (const auto& row :
         session_.rows(QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = $1 AND "
                                      "tablename NOT IN ($2, $3)"),
                       {Value(schema_), Value(kQueryTable), Value(kNamesTable)}))
        if (!isJournalWorkTable(row[0].toString()))
            out << spelled(row[0].toString());
    std::sort(out.begin(), out.end());
    return out;
}

void PgCatalog::readTables(const std::vector<Oid>& oids) {
    QHash<Oid, TableInfo> read;  // kept only when the statement succeeds
    QStringList numbers;
    for (const Oid oid : oids)
        if (oid != InvalidOid && !tables_.contains(oid) && !read.contains(oid)) {
            read.insert(oid, TableInfo());
            numbers << QString::number(oid);
        }
    if (read.isEmpty())
        return;
    // One table, the usual case, is asked by its number alone: the server then keeps one plan
    // for the statement, where a list of numbers has it planned afresh at each run.
    const bool one = numbers.size() == 1;
    for (const auto& row : session_.rows(
             QStringLiteral("SELECT a.attrelid, c.relname, a.attnum, a.attname, "
                            "format_type(a.atttypid, a.atttypmod), c.relkind IN ('r', 'p') "
                            "FROM pg_attribute a "
                            "JOIN pg_class c ON c.oid = a.attrelid WHERE a.attrelid = "
                            "%1 AND a.attnum > 0 AND NOT a.attisdropped")
                 .arg(one ? QStringLiteral("$1::oid") : QStringLiteral("ANY($1::oid[])")),
             {Value(one ? numbers.front() : u'{' + numbers.join(u',') + u'}')})) {
        TableInfo& info = read[static_cast<Oid>(row[0].toInt())];
        info.name = row[1].toString();
        info.ofRows = row[5].toBool();
        info.columns.insert(static_cast<int>(row[2].toInt()),
                            {row[3].toString(), fieldTypeOfServerType(row[4].toString())});
    }
    tables_.insert(read);
}

const TableInfo* PgCatalog::tableInfo(Oid oid) {
    if (oid == InvalidOid)
        return nullptr;
    auto known = tables_.constFind(oid);
    if (known != tables_.constEnd())
        return &*known;
    readTables({oid});
    return &*tables_.constFind(oid);
}

QStringList PgCatalog::columnsOf(const QString& table) {
    QStringList columns;
    for (const auto& row :
         session_.rows(QStringLiteral("SELECT attname FROM pg_attribute WHERE attrelid = "
                                      "to_regclass($1) AND attnum > 0 AND NOT attisdropped AND "
                                      "attname <> $2 ORDER BY attnum"),
                       {Value(postgresName(table)), Value(QLatin1String(kPgRowIdColumn))}))
        columns << postgresName(row[0].toString());
    return columns;
}

JetTranslation PgCatalog::completed(JetTranslation t) {
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

void PgCatalog::markChanged() {
    knownTables_.clear();
    session_.changed();
}

void PgCatalog::ensureNamesTable() {
    markChanged();
    session_.exec(
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (name text PRIMARY KEY, spelled text "
                       "NOT NULL)")
            .arg(postgresName(kNamesTable)));
}

void PgCatalog::loadNames() {
    if (namesLoaded_)
        return;
    namesLoaded_ = true;
    // The session's start found the table: the first load asks no more.
    const bool seenAtStart = std::exchange(namesTableSeen_, false);
    if (!seenAtStart &&
        session_
            .rows(QStringLiteral("SELECT 1 FROM pg_tables WHERE schemaname = $1 AND tablename = "
                                 "$2"),
                  {Value(schema_), Value(kNamesTable)})
            .empty())
        return;
    for (const auto& row : session_.rows(
             QStringLiteral("SELECT name, spelled FROM %1").arg(postgresName(kNamesTable)), {}))
        names_.insert(row[0].toString(), row[1].toString());
}

void PgCatalog::keepSpellings(const QStringList& spellings) {
    ensureNamesTable();  // marks the catalog changed: the spellings kept go with it
    for (const QString& s : spellings) {
        session_.rows(QStringLiteral("INSERT INTO %1 (name, spelled) VALUES ($1, $2) ON CONFLICT "
                                     "(name) DO NOTHING")
                          .arg(postgresName(kNamesTable)),
                      {Value(s.toLower()), Value(s)});
        if (!names_.contains(s.toLower()))
            names_.insert(s.toLower(), s);
    }
}

const PgCatalog::NameLookup& PgCatalog::lookUp(const QString& name) {
    const QString key = name.toLower();
    if (lastLookup_ && lastLookup_->key == key)
        return *lastLookup_;
    QString sql = QStringLiteral(
        "SELECT EXISTS (SELECT 1 FROM pg_class c JOIN pg_namespace s ON s.oid = "
        "c.relnamespace WHERE s.nspname = $1 AND c.relname = $2 AND c.relkind IN ('r', "
        "'v', 'p'))");
    std::vector<Value> args{Value(schema_), Value(key)};
    // A data set without stored queries is asked whether it has come to have them in the
    // same round trip; only when it has is it asked again, for the query's text.
    std::vector<std::vector<Value>> found;
    if (!queryTableKnown_) {
        found = session_.rows(
            sql + QStringLiteral(", EXISTS (SELECT 1 FROM pg_class c JOIN pg_namespace s ON "
                                 "s.oid = c.relnamespace WHERE s.nspname = $1 AND c.relname "
                                 "= $3 AND c.relkind IN ('r', 'p'))"),
            {Value(schema_), Value(key), Value(kQueryTable)});
        queryTableKnown_ = !found.empty() && found.front()[1].toBool();
    }
    const bool queries = queryTableKnown_;
    if (queries) {
        sql += QStringLiteral(", (SELECT sqltext FROM %1 WHERE lower(name) = lower($3))")
                   .arg(postgresName(kQueryTable));
        args.emplace_back(name);
        found = session_.rows(sql, args);
    }
    NameLookup out;
    out.key = key;
    out.isTable = !isOwnTable(key) && !found.empty() && found.front()[0].toBool();
    if (queries && !found.empty() && !found.front()[1].isNull()) {
        out.querySql = found.front()[1].toString();
        if (out.querySql.isNull())
            out.querySql = QStringLiteral("");
    }
    lastLookup_ = std::move(out);
    return *lastLookup_;
}

bool PgCatalog::hasQueryTable() {
    if (!queryTableKnown_)
        queryTableKnown_ = !session_
                                .rows(QStringLiteral("SELECT 1 FROM pg_tables WHERE schemaname = "
                                                     "$1 AND tablename = $2"),
                                      {Value(schema_), Value(kQueryTable)})
                                .empty();
    return queryTableKnown_;
}

void PgCatalog::ensureQueryTable() {
    if (hasQueryTable())
        return;
    markChanged();
    session_.exec(
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (name text NOT NULL, sqltext text NOT "
                       "NULL)")
            .arg(postgresName(kQueryTable)));
    session_.exec(
        QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS %1 ON %2 (lower(name))")
            .arg(postgresName(kQueryTable + QStringLiteral("_name")), postgresName(kQueryTable)));
    queryTableKnown_ = true;
}

bool PgCatalog::isTable(const QString& name) {
    const QString key = name.toLower();
    if (knownTables_.contains(key))
        return true;
    if (!lookUp(name).isTable)
        return false;
    knownTables_.insert(key);
    return true;
}

StoredQueryTexts PgCatalog::storedQueries() {
    return [this](const QStringList& names) {
        QHash<QString, QString> out;
        for (const QString& name : names) {
            if (isTable(name))
                continue;
            const NameLookup& found = lookUp(name);
            if (!found.querySql.isNull())
                out.insert(name.toLower(), found.querySql);
        }
        return out;
    };
}

void PgCatalog::forget(bool namesFoundToBeTables) {
    queryTableKnown_ = false;
    tables_.clear();
    if (namesFoundToBeTables)
        knownTables_.clear();
    names_.clear();
    namesLoaded_ = false;
}

}  // namespace velmora::data::pg
