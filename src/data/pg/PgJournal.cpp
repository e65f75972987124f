#include "PgJournal.h"

#include "PgLocation.h"
#include "data/JetSqlTranslator.h"
#include "data/Journal.h"

namespace velmora::data::pg {

const char* journalFunctionsSql() {
    return R"SQL(
-- A value's text as the files write it (SQLite's CAST AS TEXT): whole numbers as they are,
-- other numbers with 15 significant digits and always a decimal point, dates as
-- YYYY-MM-DD (with the time when there is one). Lines written here and in a file then say
-- the same of the same value, and a journal carried between them still matches its rows.
CREATE OR REPLACE FUNCTION velmora_jet.journal_text(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT $1 $$;
CREATE OR REPLACE FUNCTION velmora_jet.journal_text(smallint) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT $1::text $$;
CREATE OR REPLACE FUNCTION velmora_jet.journal_text(integer) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT $1::text $$;
CREATE OR REPLACE FUNCTION velmora_jet.journal_text(bigint) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT $1::text $$;
CREATE OR REPLACE FUNCTION velmora_jet.journal_text(boolean) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN $1 THEN '1' WHEN NOT $1 THEN '0' END $$;
CREATE OR REPLACE FUNCTION velmora_jet.journal_text(timestamp) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_date_text($1) $$;
CREATE OR REPLACE FUNCTION velmora_jet.journal_text(bytea) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT encode($1, 'escape') $$;
CREATE OR REPLACE FUNCTION velmora_jet.journal_text(v double precision) RETURNS text LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  n numeric; t text; whole text; digits text; lead int; e int; sig text;
BEGIN
  IF v IS NULL THEN RETURN NULL; END IF;
  IF v = 'Infinity'::float8 THEN RETURN 'Inf'; END IF;
  IF v = '-Infinity'::float8 THEN RETURN '-Inf'; END IF;
  IF v = 'NaN'::float8 THEN RETURN NULL; END IF;
  IF v = 0 THEN RETURN '0.0'; END IF;
  -- A double becomes a numeric of its 15 significant digits.
  n := abs(v)::numeric;
  t := n::text;
  whole := split_part(t, '.', 1);
  digits := whole || split_part(t, '.', 2);
  lead := length(digits) - length(ltrim(digits, '0'));
  sig := rtrim(ltrim(digits, '0'), '0');
  e := length(whole) - lead - 1;
  IF e < -4 OR e >= 15 THEN
    t := substr(sig, 1, 1) || '.' || coalesce(nullif(substr(sig, 2), ''), '0') || 'e' ||
         CASE WHEN e < 0 THEN '-' ELSE '+' END || lpad(abs(e)::text, 2, '0');
  ELSIF position('.' in t) = 0 THEN
    t := t || '.0';
  END IF;
  RETURN CASE WHEN v < 0 THEN '-' || t ELSE t END;
END $$;
CREATE OR REPLACE FUNCTION velmora_jet.journal_text(real) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT velmora_jet.journal_text($1::double precision) $$;
CREATE OR REPLACE FUNCTION velmora_jet.journal_text(numeric) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT velmora_jet.journal_text($1::double precision) $$;

-- A whole row's values as a JSON object of column name to text, in the columns' order.
CREATE OR REPLACE FUNCTION velmora_jet.journal_json(names text[], vals text[]) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT '{' || coalesce(string_agg(to_json(k)::text || ':' || coalesce(to_json(v)::text, 'null'), ',' ORDER BY i), '') || '}'
  FROM unnest(names, vals) WITH ORDINALITY AS u(k, v, i) $$;

-- The hash of a line, as the program works it out: SHA-256 over the previous line's hash,
-- a record separator, and each field tagged with its kind (N Null, I whole number, T text)
-- and closed by a unit separator; the entry joins them when it has a value.
CREATE OR REPLACE FUNCTION velmora_jet.journal_field(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN $1 IS NULL THEN 'N' ELSE 'T' || $1 END || chr(31) $$;
CREATE OR REPLACE FUNCTION velmora_jet.journal_field(bigint) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN $1 IS NULL THEN 'N' ELSE 'I' || $1::text END || chr(31) $$;
CREATE OR REPLACE FUNCTION velmora_jet.journal_hash(prev text, seq bigint, changedat text, username text, hostname text, program text, screen text, tablename text, regnum text, itemnumber text, rowkey bigint, columnname text, oldvalue text, newvalue text, entry bigint) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT encode(sha256(convert_to(coalesce(prev, '') || chr(30) ||
    velmora_jet.journal_field(seq) || velmora_jet.journal_field(changedat) ||
    velmora_jet.journal_field(username) || velmora_jet.journal_field(hostname) ||
    velmora_jet.journal_field(program) || velmora_jet.journal_field(screen) ||
    velmora_jet.journal_field(tablename) || velmora_jet.journal_field(regnum) ||
    velmora_jet.journal_field(itemnumber) || velmora_jet.journal_field(rowkey) ||
    velmora_jet.journal_field(columnname) || velmora_jet.journal_field(oldvalue) ||
    velmora_jet.journal_field(newvalue) ||
    CASE WHEN entry IS NULL THEN '' ELSE velmora_jet.journal_field(entry) END, 'UTF8')), 'hex') $$;

-- At the commit: the transaction's staged lines are stamped, chained and added to the
-- journal. One seal at a time per data set; the lock goes with the transaction's end.
CREATE OR REPLACE FUNCTION velmora_jet.journal_seal() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
  s text := quote_ident(TG_TABLE_SCHEMA);
  tx bigint := txid_current();
  last bigint; prev text; first bigint; r record; h text;
  who text := session_user::text;
  host text; prog text; scr text; at text;
BEGIN
  IF current_setting('velmora.journal_sealed', true) IS NOT DISTINCT FROM tx::text THEN
    RETURN NULL;
  END IF;
  PERFORM set_config('velmora.journal_sealed', tx::text, true);
  PERFORM pg_advisory_xact_lock(hashtext(TG_TABLE_SCHEMA || '.journal'));
  EXECUTE format('SELECT seq, hash FROM %s.journal ORDER BY seq DESC LIMIT 1', s) INTO last, prev;
  last := coalesce(last, 0);
  first := last + 1;
  host := coalesce(nullif(current_setting('velmora.host', true), ''), host(inet_client_addr()), 'local');
  prog := coalesce(nullif(current_setting('velmora.program', true), ''), nullif(current_setting('application_name', true), ''), 'database client');
  scr := coalesce(nullif(current_setting('velmora.screen', true), ''), prog);
  at := to_char(clock_timestamp() AT TIME ZONE 'UTC', 'YYYY-MM-DD HH24:MI:SS');
  PERFORM set_config('velmora.journal_insert', 'on', true);
  FOR r IN EXECUTE format('SELECT tablename, regnum, itemnumber, rowkey, columnname, oldvalue, newvalue FROM %s._journal_staged WHERE txid = $1 ORDER BY n', s) USING tx LOOP
    last := last + 1;
    h := velmora_jet.journal_hash(prev, last, at, who, host, prog, scr, r.tablename, r.regnum, r.itemnumber, r.rowkey, r.columnname, r.oldvalue, r.newvalue, first);
    EXECUTE format('INSERT INTO %s.journal (seq, changedat, username, hostname, program, screen, tablename, regnum, itemnumber, rowkey, columnname, oldvalue, newvalue, hash, entry) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15)', s)
      USING last, at, who, host, prog, scr, r.tablename, r.regnum, r.itemnumber, r.rowkey, r.columnname, r.oldvalue, r.newvalue, h, first;
    prev := h;
  END LOOP;
  EXECUTE format('DELETE FROM %s._journal_staged WHERE txid = $1', s) USING tx;
  PERFORM set_config('velmora.journal_insert', '', true);
  RETURN NULL;
END $$;

-- Lines are only ever added, and only by the seal; a migration carries them as they are.
CREATE OR REPLACE FUNCTION velmora_jet.journal_guard() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  IF current_setting('velmora.migration', true) = 'on' THEN
    IF TG_LEVEL = 'STATEMENT' THEN RETURN NULL; END IF;
    IF TG_OP = 'DELETE' THEN RETURN OLD; END IF;
    RETURN NEW;
  END IF;
  IF TG_OP = 'INSERT' AND current_setting('velmora.journal_insert', true) = 'on' THEN
    RETURN NEW;
  END IF;
  RAISE EXCEPTION 'The entry journal can only be added to, by the changes it records.'
    USING ERRCODE = 'insufficient_privilege';
END $$;
)SQL"
           "COMMENT ON FUNCTION velmora_jet.journal_seal() IS 'velmora journal 1';\n";
}

namespace {

QString literal(const QString& s) {
    QString q = s;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

QString qualified(const QString& schema, const QString& name) {
    return postgresName(schema) + u'.' + postgresName(name);
}

// The value of a column of a row (NEW, OLD or a table alias) as the journal writes it.
QString text(const QString& row, const QString& column) {
    return QStringLiteral("velmora_jet.journal_text(%1.%2)").arg(row, postgresName(column));
}

// The key columns of a line (registration, item number): Null where the table has none.
QString columnText(const JournalledTable& t, const QString& row, const QString& spelled) {
    for (qsizetype i = 0; i < t.spelledColumns.size(); ++i) {
        if (t.spelledColumns[i].compare(spelled, Qt::CaseInsensitive) == 0)
            return text(row, t.serverColumns[i]);
    }
    return QStringLiteral("NULL");
}

QString rowJson(const JournalledTable& t, const QString& row) {
    QStringList names, values;
    for (qsizetype i = 0; i < t.serverColumns.size(); ++i) {
        names << literal(t.spelledColumns[i]);
        values << text(row, t.serverColumns[i]);
    }
    return QStringLiteral("velmora_jet.journal_json(ARRAY[%1]::text[], ARRAY[%2]::text[])")
        .arg(names.join(u','), values.join(u','));
}

QString stagedTable(const QString& schema) {
    return qualified(schema, QStringLiteral("_journal_staged"));
}

QString rowId(const QString& row) {
    return row + u'.' + QLatin1String(kPgRowIdColumn);
}

}  // namespace

QString journalTablesSql(const QString& schema) {
    const QString journal = qualified(schema, QStringLiteral("journal"));
    const QString staged = stagedTable(schema);
    const QString nocase = QStringLiteral(" COLLATE ") + QLatin1String(kPgJetSort);
    return QStringLiteral(
               "CREATE TABLE IF NOT EXISTS %1 (%3 bigint GENERATED BY DEFAULT AS IDENTITY "
               "UNIQUE, seq bigint PRIMARY KEY, changedat text COLLATE \"C\", username text%4, "
               "hostname text%4, program text%4, screen text%4, tablename text%4, regnum "
               "text%4, itemnumber text%4, rowkey bigint, columnname text%4, oldvalue text, "
               "newvalue text, hash text COLLATE \"C\", entry bigint);\n"
               "CREATE INDEX IF NOT EXISTS journal_regnum ON %1 (regnum, seq);\n"
               "CREATE INDEX IF NOT EXISTS journal_time ON %1 (tablename, changedat);\n"
               "%5"
               "DROP TRIGGER IF EXISTS journal_guard ON %1;\n"
               "CREATE TRIGGER journal_guard BEFORE INSERT OR UPDATE OR DELETE ON %1 FOR EACH "
               "ROW EXECUTE FUNCTION velmora_jet.journal_guard();\n"
               "DROP TRIGGER IF EXISTS journal_guard_truncate ON %1;\n"
               "CREATE TRIGGER journal_guard_truncate BEFORE TRUNCATE ON %1 FOR EACH STATEMENT "
               "EXECUTE FUNCTION velmora_jet.journal_guard();\n"
               "CREATE UNLOGGED TABLE IF NOT EXISTS %2 (n bigserial PRIMARY KEY, txid bigint "
               "NOT NULL DEFAULT txid_current(), tablename text, regnum text, itemnumber text, "
               "rowkey bigint, columnname text, oldvalue text, newvalue text);\n"
               "CREATE INDEX IF NOT EXISTS _journal_staged_txid ON %2 (txid);\n"
               "DROP TRIGGER IF EXISTS journal_seal ON %2;\n"
               "CREATE CONSTRAINT TRIGGER journal_seal AFTER INSERT ON %2 DEFERRABLE INITIALLY "
               "DEFERRED FOR EACH ROW EXECUTE FUNCTION velmora_jet.journal_seal();\n")
        .arg(journal, staged, QLatin1String(kPgRowIdColumn), nocase,
             journalAircraftTimeIndexSql(schema));
}

QString journalAircraftTimeIndexSql(const QString& schema) {
    return QStringLiteral(
               "CREATE INDEX IF NOT EXISTS %1 ON %2 (regnum, changedat) WHERE tablename = "
               "'Aircraft';\n")
        .arg(QLatin1String(kJournalAircraftTimeIndex),
             qualified(schema, QStringLiteral("journal")));
}

QString journalTriggerSql(const QString& schema, const JournalledTable& t) {
    const QString function = qualified(schema, QStringLiteral("journal_") + t.serverName.toLower());
    const QString table = qualified(schema, t.serverName);
    const QString name = literal(t.spelled);
    // The statements name the staging table by the schema the trigger fires in: a data set
    // copied in under a name of its own keeps working under its own name.
    const QString staged = QStringLiteral("%I._journal_staged");
    QStringList pairs;
    for (qsizetype i = 0; i < t.serverColumns.size(); ++i)
        pairs << QStringLiteral("(%1, %2, %3)")
                     .arg(literal(t.spelledColumns[i]),
                          text(QStringLiteral("($1)"), t.serverColumns[i]),
                          text(QStringLiteral("($2)"), t.serverColumns[i]));
    auto key = [&](const QString& row) {
        return QStringLiteral("%1, %2, %3")
            .arg(columnText(t, row, QStringLiteral("RegNum")),
                 columnText(t, row, QStringLiteral("ItemNumber")), rowId(row));
    };
    // A statement run by format(): its own percent signs doubled.
    auto statement = [](QString sql) {
        sql.replace(u'%', QStringLiteral("%%"));
        sql.replace(QStringLiteral("%%I._journal_staged"), QStringLiteral("%I._journal_staged"));
        return QStringLiteral("format($s$%1$s$, TG_TABLE_SCHEMA)").arg(sql);
    };
    const QString added = statement(
        QStringLiteral("INSERT INTO %1 (tablename, regnum, itemnumber, rowkey, columnname, "
                       "newvalue) VALUES (%2, %3, %4, %5)")
            .arg(staged, name, key(QStringLiteral("($1)")), literal(journal::kRowAdded),
                 rowJson(t, QStringLiteral("($1)"))));
    const QString removed = statement(
        QStringLiteral("INSERT INTO %1 (tablename, regnum, itemnumber, rowkey, columnname, "
                       "oldvalue) VALUES (%2, %3, %4, %5)")
            .arg(staged, name, key(QStringLiteral("($1)")), literal(journal::kRowRemoved),
                 rowJson(t, QStringLiteral("($1)"))));
    QString body = QStringLiteral(
                       "CREATE OR REPLACE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql SECURITY "
                       "DEFINER SET search_path = pg_catalog, pg_temp AS $velmora$\n"
                       "BEGIN\n"
                       "  IF current_setting('velmora.migration', true) = 'on' THEN RETURN NULL; "
                       "END IF;\n"
                       "  IF TG_OP = 'INSERT' THEN\n"
                       "    EXECUTE %2 USING NEW;\n"
                       "  ELSIF TG_OP = 'DELETE' THEN\n"
                       "    EXECUTE %3 USING OLD;\n")
                       .arg(function, added, removed);
    if (!pairs.isEmpty())
        body += QStringLiteral("  ELSE\n    EXECUTE %1 USING OLD, NEW;\n")
                    .arg(statement(
                        QStringLiteral("INSERT INTO %1 (tablename, regnum, itemnumber, rowkey, "
                                       "columnname, oldvalue, newvalue) SELECT %2, %3, v.c, v.o, "
                                       "v.n FROM (VALUES %4) AS v(c, o, n) WHERE v.o IS DISTINCT "
                                       "FROM v.n")
                            .arg(staged, name, key(QStringLiteral("($2)")), pairs.join(u','))));
    body += QStringLiteral(
                "  END IF;\n"
                "  RETURN NULL;\n"
                "END $velmora$;\n"
                "DROP TRIGGER IF EXISTS velmora_journal ON %1;\n"
                "CREATE TRIGGER velmora_journal AFTER INSERT OR UPDATE OR DELETE ON %1 FOR EACH "
                "ROW EXECUTE FUNCTION %2();\n")
                .arg(table, function);
    return body;
}

QString journalBaselineSql(const QString& schema, const JournalledTable& t) {
    const QString r = QStringLiteral("r");
    return QStringLiteral(
               "INSERT INTO %1 (tablename, regnum, itemnumber, rowkey, columnname, newvalue) "
               "SELECT %2, %3, %4, %5 FROM %6 AS r ORDER BY %7;\n")
        .arg(stagedTable(schema), literal(t.spelled),
             QStringLiteral("%1, %2, %3")
                 .arg(columnText(t, r, QStringLiteral("RegNum")),
                      columnText(t, r, QStringLiteral("ItemNumber")), rowId(r)),
             literal(journal::kRowPresent), rowJson(t, r), qualified(schema, t.serverName),
             rowId(r));
}

namespace {

bool hasColumn(const JournalInstallSession& s, const QString& table, const QString& column) {
    return !s.rows(QStringLiteral("SELECT 1 FROM pg_attribute a JOIN pg_class c ON c.oid = "
                                  "a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace WHERE "
                                  "n.nspname = $1 AND c.relname = $2 AND a.attname = $3 AND "
                                  "a.attnum > 0 AND NOT a.attisdropped"),
                   {Value(s.schema), Value(table), Value(column)})
                .empty();
}

bool hasTable(const JournalInstallSession& s, const QString& table) {
    return !s.rows(QStringLiteral("SELECT 1 FROM pg_tables WHERE schemaname = $1 AND tablename = "
                                  "$2"),
                   {Value(s.schema), Value(table)})
                .empty();
}

// The journal's columns as the files spell them.
const QStringList& journalSpellings() {
    static const QStringList names = {journal::kTable,
                                      QStringLiteral("Seq"),
                                      QStringLiteral("ChangedAt"),
                                      QStringLiteral("UserName"),
                                      QStringLiteral("HostName"),
                                      QStringLiteral("Program"),
                                      QStringLiteral("Screen"),
                                      QStringLiteral("TableName"),
                                      QStringLiteral("RegNum"),
                                      QStringLiteral("ItemNumber"),
                                      QStringLiteral("RowKey"),
                                      QStringLiteral("ColumnName"),
                                      QStringLiteral("OldValue"),
                                      QStringLiteral("NewValue"),
                                      QStringLiteral("Hash"),
                                      QStringLiteral("Entry")};
    return names;
}

}  // namespace

bool isJournalWorkTable(const QString& serverName) {
    return serverName == u"_journal_staged";
}

void ensureJournal(const JournalInstallSession& s) {
    if (!hasColumn(s, QStringLiteral("aircraft"), QStringLiteral("regnum")) ||
        !hasColumn(s, QStringLiteral("parts"), QStringLiteral("itemnumber")))
        return;
    // A server whose engine schema has no journal functions (installed by an older program
    // and not brought up to date) keeps no journal.
    if (s.rows(QStringLiteral("SELECT to_regprocedure('velmora_jet.journal_seal()') IS NOT "
                              "NULL"),
               {})
            .front()[0]
            .toBool() == false)
        return;
    const bool begun = hasTable(s, QStringLiteral("journal"));
    s.exec(journalTablesSql(s.schema));
    s.keepSpellings(journalSpellings());
    for (const QString& spelledName : journal::journalledTables()) {
        JournalledTable t;
        t.spelled = spelledName;
        t.serverName = spelledName.toLower();
        if (!hasTable(s, t.serverName))
            continue;
        for (const auto& row : s.rows(
                 QStringLiteral("SELECT a.attname FROM pg_attribute a JOIN pg_class c ON c.oid = "
                                "a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace WHERE "
                                "n.nspname = $1 AND c.relname = $2 AND a.attnum > 0 AND NOT "
                                "a.attisdropped AND a.attname <> $3 ORDER BY a.attnum"),
                 {Value(s.schema), Value(t.serverName), Value(QLatin1String(kPgRowIdColumn))})) {
            t.serverColumns << row[0].toString();
            t.spelledColumns << s.spelled(row[0].toString());
        }
        s.exec(journalTriggerSql(s.schema, t));
        // A journal begun on a data set that holds rows starts with them as they are.
        if (!begun)
            s.exec(journalBaselineSql(s.schema, t));
    }
}

}  // namespace velmora::data::pg
