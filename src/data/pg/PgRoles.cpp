// Setting up the group roles of a shared fleet database: each role's privileges on the data
// sets' tables and the engine's functions, and the data sets given to the administrators'
// role.
#include "PgRoles.h"

#include "PgDatabase.h"
#include "PgErrors.h"
#include "PgLocation.h"
#include "PgRolePolicy.h"
#include "data/DataFiles.h"
#include "data/DbError.h"
#include "data/JetSqlTranslator.h"

#include <libpq-fe.h>

#include <memory>

namespace velmora::data::pg {

namespace {

struct ConnDeleter {
    void operator()(PGconn* c) const { PQfinish(c); }
};
struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Rows = std::unique_ptr<PGresult, ResultDeleter>;

// The data sets Velmora keeps on a server, and the engine's own schema.
const char* const kDataSets[] = {"timemgr", "helipart"};

class Setup {
  public:
    Setup(PGconn* conn, QString where) : conn_(conn), where_(std::move(where)) {}

    Rows query(const QString& sql, const QStringList& args = {}) {
        std::vector<QByteArray> values;
        std::vector<const char*> pointers;
        for (const QString& a : args)
            values.push_back(a.toUtf8());
        for (const QByteArray& v : values)
            pointers.push_back(v.constData());
        Rows r(PQexecParams(conn_, sql.toUtf8().constData(), static_cast<int>(pointers.size()),
                            nullptr, pointers.data(), nullptr, nullptr, 0));
        const ExecStatusType s = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
        if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
            throw serverFailure(conn_, r.get(), sql, where_, true);
        return r;
    }
    void run(const QStringList& statements) {
        for (const QString& s : statements)
            query(s);
    }
    QString value(const QString& sql, const QStringList& args = {}) {
        const Rows r = query(sql, args);
        return PQntuples(r.get()) > 0 ? QString::fromUtf8(PQgetvalue(r.get(), 0, 0)) : QString();
    }

    // Makes a role unless it exists; says which.
    QString ensureRole(const char* role) {
        if (value(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = $1"),
                  {QLatin1String(role)}) == u"1")
            return QStringLiteral("%1: kept").arg(QLatin1String(role));
        // Another setup (of another database of the server) may make it at the same time.
        query(QStringLiteral("DO $$ BEGIN CREATE ROLE %1 NOLOGIN; EXCEPTION WHEN "
                             "duplicate_object OR unique_violation THEN NULL; END $$")
                  .arg(QLatin1String(role)));
        return QStringLiteral("%1: created").arg(QLatin1String(role));
    }

    // The engine's functions, collation and domains belong to the administrators (who bring
    // them up to a newer program's) and may be used by everyone.
    void engineSchema() {
        run({QStringLiteral("ALTER SCHEMA velmora_jet OWNER TO %1").arg(QLatin1String(kAdminRole)),
             QStringLiteral("GRANT USAGE ON SCHEMA velmora_jet TO %1")
                 .arg(QLatin1String(kReadRole))});
        const Rows objects = query(QStringLiteral(
            "SELECT 'ROUTINE velmora_jet.' || quote_ident(proname) || '(' || "
            "pg_get_function_identity_arguments(p.oid) || ')' FROM pg_proc p JOIN pg_namespace "
            "n ON n.oid = p.pronamespace WHERE nspname = 'velmora_jet' AND prokind IN ('f', "
            "'p') UNION ALL SELECT 'DOMAIN velmora_jet.' || quote_ident(typname) FROM pg_type t "
            "JOIN pg_namespace n ON n.oid = t.typnamespace WHERE nspname = 'velmora_jet' AND "
            "typtype = 'd' UNION ALL SELECT 'COLLATION velmora_jet.' || quote_ident(collname) "
            "FROM pg_collation c JOIN pg_namespace n ON n.oid = c.collnamespace WHERE nspname = "
            "'velmora_jet'"));
        for (int i = 0; i < PQntuples(objects.get()); ++i)
            query(QStringLiteral("ALTER %1 OWNER TO %2")
                      .arg(QString::fromUtf8(PQgetvalue(objects.get(), i, 0)),
                           QLatin1String(kAdminRole)));
    }

    // A data set's schema and each of its tables; a line for the report.
    QString dataSet(const QString& schema) {
        if (value(QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = $1"), {schema}) !=
            u"1")
            return QStringLiteral("%1: no such data set here (skipped)").arg(schema);
        const QString s = quoteSqliteName(schema);
        run({QStringLiteral("ALTER SCHEMA %1 OWNER TO %2").arg(s, QLatin1String(kAdminRole)),
             QStringLiteral("REVOKE ALL ON SCHEMA %1 FROM PUBLIC").arg(s),
             QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(s, QLatin1String(kReadRole)),
             QStringLiteral("GRANT ALL ON SCHEMA %1 TO %2").arg(s, QLatin1String(kAdminRole))});
        const Rows tables =
            query(QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = $1 "
                                 "ORDER BY tablename"),
                  {schema});
        const int count = PQntuples(tables.get());
        for (int i = 0; i < count; ++i)
            run(tableGrants(schema, QString::fromUtf8(PQgetvalue(tables.get(), i, 0))));
        return QStringLiteral("%1: %2 tables, owned by %3")
            .arg(schema)
            .arg(count)
            .arg(QLatin1String(kAdminRole));
    }

  private:
    PGconn* conn_;
    QString where_;
};

}  // namespace

QStringList setUpServerRoles(const QString& given) {
    const QString uri = serverUriOf(given);
    if (!isServerLocation(uri))
        throw DbError(err::InvalidPath,
                      QStringLiteral("'%1' names no database server: it must be a connection "
                                     "URI (postgresql://host/database).")
                          .arg(given));
    if (holdsPassword(uri))
        throw DbError(err::InvalidPath,
                      QStringLiteral("The location %1 holds a password. Passwords are not taken "
                                     "from it: give it in ~/.pgpass or PGPASSWORD.")
                          .arg(shownLocation(uri)));
    const QString where = shownLocation(uri);
    std::unique_ptr<PGconn, ConnDeleter> conn(PQconnectdb(uri.toUtf8().constData()));
    if (!conn || PQstatus(conn.get()) != CONNECTION_OK)
        throw DbError(err::ServerConnection,
                      QStringLiteral("Cannot connect to the database server at %1: %2")
                          .arg(where, conn ? QString::fromUtf8(PQerrorMessage(conn.get())).trimmed()
                                           : QStringLiteral("out of memory")));
    PQsetNoticeProcessor(
        conn.get(), [](void*, const char*) {}, nullptr);
    Setup setup(conn.get(), where);
    QStringList report;
    setup.query(QStringLiteral("BEGIN"));
    // Two setups at once would grant over each other halfway.
    setup.query(QStringLiteral("SELECT pg_advisory_xact_lock(1447840083)"));
    for (const char* role : {kReadRole, kEntryRole, kAdminRole})
        report << setup.ensureRole(role);
    const QString database = setup.value(QStringLiteral("SELECT quote_ident(current_database())"));
    setup.run(
        {QStringLiteral("GRANT %1 TO %2").arg(QLatin1String(kReadRole), QLatin1String(kEntryRole)),
         QStringLiteral("GRANT %1 TO %2").arg(QLatin1String(kEntryRole), QLatin1String(kAdminRole)),
         QStringLiteral("GRANT CONNECT ON DATABASE %1 TO %2")
             .arg(database, QLatin1String(kReadRole)),
         // Migrations make the data sets' schemas.
         QStringLiteral("GRANT CREATE ON DATABASE %1 TO %2")
             .arg(database, QLatin1String(kAdminRole))});
    if (setup.value(QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = 'velmora_jet'")) ==
        u"1")
        setup.engineSchema();
    for (const char* schema : kDataSets)
        report << setup.dataSet(QLatin1String(schema));
    setup.query(QStringLiteral("COMMIT"));
    return report;
}

}  // namespace velmora::data::pg
