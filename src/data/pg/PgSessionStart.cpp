#include "PgSessionStart.h"

#include "PgJournal.h"
#include "data/DateDisplay.h"
#include "data/JetSqlTranslator.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace velmora::data::pg {

QString sessionStartSql() {
    // set_config() comes first in the select list and is evaluated before the reads; the
    // reads name every object with its schema, so they do not depend on the search path.
    // A new session has none of the catalog in its caches yet, and every catalog table it
    // plans a read of costs it time before its first statement: the schema is found by its
    // name through to_regnamespace(), and the schema's tables are read in one pass over
    // pg_class that answers every question about them at once, and names them all: a
    // statement that reads a table then needs no round trip to learn that it is one.
    return QStringLiteral(
               "SELECT set_config('search_path', $1, false), set_config('DateStyle', 'ISO, MDY', "
               "false), set_config('velmora.host', $2, false), set_config('velmora.program', $3, "
               "false), set_config('velmora.screen', '', false), "
               "set_config('velmora.date_display', $7, false), "
               "set_config('velmora.migration', '', false), n IS NOT NULL, "
               "(SELECT d.description FROM pg_catalog.pg_description d WHERE d.objoid = "
               "to_regnamespace('%1') AND d.classoid = 'pg_catalog.pg_namespace'::regclass AND "
               "d.objsubid = 0), "
               "(SELECT d.description FROM pg_catalog.pg_description d WHERE d.objoid = "
               "to_regprocedure('%1.journal_seal()') AND d.classoid = "
               "'pg_catalog.pg_proc'::regclass AND d.objsubid = 0), "
               "coalesce(t.has_journal, false), has_schema_privilege(n, 'USAGE'), "
               "has_schema_privilege(n, 'CREATE') OR coalesce(t.may_write, false), "
               "coalesce(t.has_queries, false), coalesce(t.has_names, false), "
               "coalesce(t.has_aircraft AND t.has_parts, false), "
               "coalesce(t.owns_journal AND NOT t.has_index, false), coalesce(t.tables, '[]') "
               "FROM pg_catalog.to_regnamespace(pg_catalog.quote_ident($4)) AS n "
               "LEFT JOIN LATERAL (SELECT "
               "bool_or(c.relname = 'journal' AND c.relkind IN ('r', 'p')) AS has_journal, "
               "bool_or(c.relkind IN ('r', 'p') AND has_table_privilege(c.oid, "
               "'INSERT,UPDATE,DELETE')) AS may_write, "
               "bool_or(c.relname = $5 AND c.relkind IN ('r', 'p')) AS has_queries, "
               "bool_or(c.relname = $6 AND c.relkind IN ('r', 'p')) AS has_names, "
               "bool_or(c.relname = 'aircraft' AND c.relkind IN ('r', 'p') AND EXISTS (SELECT 1 "
               "FROM pg_catalog.pg_attribute a WHERE a.attrelid = c.oid AND a.attname = 'regnum' "
               "AND a.attnum > 0 AND NOT a.attisdropped)) AS has_aircraft, "
               "bool_or(c.relname = 'parts' AND c.relkind IN ('r', 'p') AND EXISTS (SELECT 1 "
               "FROM pg_catalog.pg_attribute a WHERE a.attrelid = c.oid AND a.attname = "
               "'itemnumber' AND a.attnum > 0 AND NOT a.attisdropped)) AS has_parts, "
               "bool_or(c.relname = 'journal' AND c.relkind IN ('r', 'p') AND "
               "pg_catalog.pg_has_role(c.relowner, 'USAGE')) AS owns_journal, "
               "bool_or(c.relname = '%2' AND c.relkind = 'i') AS has_index, "
               "json_agg(c.relname) FILTER (WHERE c.relkind IN ('r', 'v', 'p')) AS tables "
               "FROM pg_catalog.pg_class c WHERE c.relnamespace = n) AS t ON true")
        .arg(QLatin1String(kPgJetSchema), QLatin1String(kJournalAircraftTimeIndex));
}

std::vector<Value> sessionStartArgs(const QString& searchPath, const QString& host,
                                    const QString& program, const QString& schema,
                                    const QString& queryTable, const QString& namesTable) {
    return {Value(searchPath), Value(host), Value(program), Value(schema), Value(queryTable),
            Value(namesTable),
            // Format's "Short Date" and "General Date" on the server show dates as the
            // program does.
            Value(displayDatePicture())};
}

SessionFacts readSessionFacts(const std::vector<std::vector<Value>>& rows) {
    SessionFacts f;
    if (rows.empty() || rows.front().size() < 18)
        return f;
    const std::vector<Value>& r = rows.front();
    f.schemaExists = r[7].toBool();
    f.functionsRevision = r[8].toString();
    f.journalRevision = r[9].toString();
    f.hasJournal = r[10].toBool();
    f.mayUse = r[11].toBool();
    f.mayChange = r[12].toBool();
    f.hasQueryTable = r[13].toBool();
    f.hasNamesTable = r[14].toBool();
    f.mayKeepJournal = r[15].toBool();
    f.journalLacksIndex = r[16].toBool();
    for (const QJsonValue& name : QJsonDocument::fromJson(r[17].toString().toUtf8()).array())
        f.tables << name.toString();
    return f;
}

}  // namespace velmora::data::pg
