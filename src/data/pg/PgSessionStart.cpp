#include "PgSessionStart.h"

#include "PgJournal.h"
#include "data/DateDisplay.h"
#include "data/JetSqlTranslator.h"

namespace velmora::data::pg {

QString sessionStartSql() {
    // set_config() comes first in the select list and is evaluated before the reads; the
    // reads name every object with its schema, so they do not depend on the search path.
    // They read the catalog's own tables by the schema's oid, not its views by names: a new
    // session has none of the catalog in its caches yet, and every view, name to look up
    // and function to plan costs it time before its first statement.
    return QStringLiteral(
               "SELECT set_config('search_path', $1, false), set_config('DateStyle', 'ISO, MDY', "
               "false), set_config('velmora.host', $2, false), set_config('velmora.program', $3, "
               "false), set_config('velmora.screen', '', false), "
               "set_config('velmora.date_display', $7, false), "
               "set_config('velmora.migration', '', false), n.oid IS NOT NULL, "
               "(SELECT d.description FROM pg_catalog.pg_description d WHERE d.objoid = "
               "to_regnamespace('%1') AND d.classoid = 'pg_catalog.pg_namespace'::regclass AND "
               "d.objsubid = 0), "
               "(SELECT d.description FROM pg_catalog.pg_description d WHERE d.objoid = "
               "to_regprocedure('%1.journal_seal()') AND d.classoid = "
               "'pg_catalog.pg_proc'::regclass AND d.objsubid = 0), "
               "EXISTS (SELECT 1 FROM pg_catalog.pg_class c WHERE c.relnamespace = n.oid AND "
               "c.relname = 'journal' AND c.relkind IN ('r', 'p')), "
               "has_schema_privilege(n.oid, 'USAGE'), has_schema_privilege(n.oid, 'CREATE') OR "
               "EXISTS (SELECT 1 FROM pg_catalog.pg_class c WHERE c.relnamespace = n.oid AND "
               "c.relkind IN ('r', 'p') AND has_table_privilege(c.oid, 'INSERT,UPDATE,DELETE')), "
               "EXISTS (SELECT 1 FROM pg_catalog.pg_class c WHERE c.relnamespace = n.oid AND "
               "c.relname = $5 AND c.relkind IN ('r', 'p')), "
               "EXISTS (SELECT 1 FROM pg_catalog.pg_class c WHERE c.relnamespace = n.oid AND "
               "c.relname = $6 AND c.relkind IN ('r', 'p')), "
               "(SELECT count(*) = 2 FROM pg_catalog.pg_class c JOIN pg_catalog.pg_attribute a ON "
               "a.attrelid = c.oid WHERE c.relnamespace = n.oid AND c.relkind IN ('r', 'p') AND "
               "((c.relname = 'aircraft' AND a.attname = 'regnum') OR (c.relname = 'parts' AND "
               "a.attname = 'itemnumber')) AND a.attnum > 0 AND NOT a.attisdropped), "
               "EXISTS (SELECT 1 FROM pg_catalog.pg_class c WHERE c.relnamespace = n.oid AND "
               "c.relname = 'journal' AND c.relkind IN ('r', 'p') AND "
               "pg_catalog.pg_has_role(c.relowner, 'USAGE') AND NOT EXISTS (SELECT 1 FROM "
               "pg_catalog.pg_class i WHERE i.relnamespace = n.oid AND i.relname = '%2' AND "
               "i.relkind = 'i')) "
               "FROM (SELECT 1) AS one LEFT JOIN pg_catalog.pg_namespace n ON n.nspname = $4")
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
    if (rows.empty() || rows.front().size() < 17)
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
    return f;
}

}  // namespace velmora::data::pg
