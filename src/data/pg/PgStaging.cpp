#include "PgStaging.h"

#include "PgErrors.h"
#include "PgLocation.h"
#include "data/DataFiles.h"
#include "data/DbError.h"
#include "data/JetSqlTranslator.h"

#include <libpq-fe.h>

#include <vector>

namespace velmora::data::pg {

namespace {

const QString kPrefix = QStringLiteral("velmora_copy_");
const QString kNamesTable = QStringLiteral("_velmora_names");

struct Result {
    explicit Result(PGresult* r) : r(r) {}
    ~Result() { PQclear(r); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    bool ok() const {
        const ExecStatusType s = PQresultStatus(r);
        return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
    }
    PGresult* r;
};

QString quoted(PGconn* conn, const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    char* q = PQescapeIdentifier(conn, utf8.constData(), static_cast<size_t>(utf8.size()));
    const QString out = q ? QString::fromUtf8(q) : QString();
    PQfreemem(q);
    return out;
}

// Runs one statement with text values; throws the engine's error when it fails.
std::vector<QStringList> run(PGconn* conn, const QString& sql, const QStringList& values,
                             const QString& where) {
    std::vector<QByteArray> bytes;
    std::vector<const char*> params;
    for (const QString& v : values)
        bytes.push_back(v.toUtf8());
    for (const QByteArray& b : bytes)
        params.push_back(b.constData());
    const Result r(PQexecParams(conn, sql.toUtf8().constData(), int(params.size()), nullptr,
                                params.data(), nullptr, nullptr, 0));
    if (!r.ok())
        throw serverFailure(conn, r.r, sql, where);
    std::vector<QStringList> rows;
    for (int row = 0; row < PQntuples(r.r); ++row) {
        QStringList fields;
        for (int f = 0; f < PQnfields(r.r); ++f)
            fields << QString::fromUtf8(PQgetvalue(r.r, row, f));
        rows.push_back(fields);
    }
    return rows;
}

bool schemaExists(PGconn* conn, const QString& schema, const QString& where) {
    return !run(conn, QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = $1"), {schema},
                where)
                .empty();
}

// Whether the database holds a table outside the server's own schemas and the engine's
// functions: a data set, or anything else that may use the functions.
bool holdsTables(PGconn* conn, const QString& where) {
    return !run(conn,
                QStringLiteral("SELECT 1 FROM pg_class c JOIN pg_namespace n ON n.oid = "
                               "c.relnamespace WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') AND "
                               "n.nspname NOT LIKE 'pg\\_%' AND n.nspname NOT IN "
                               "('information_schema', $1) LIMIT 1"),
                {QString::fromLatin1(kPgJetSchema)}, where)
                .empty();
}

}  // namespace

Staging::Staging(const QString& dataPath)
    : dataPath_(dataPath),
      uri_(parseLocation(dataFileName(dataPath, files::kMain)).uri),
      conn_(PQconnectdb(uri_.toUtf8().constData()), PQfinish) {
    PGconn* conn = conn_.get();
    if (!conn || PQstatus(conn) != CONNECTION_OK)
        throw DbError(
            err::ServerConnection,
            QStringLiteral("Cannot connect to the database server at %1: %2")
                .arg(shownLocation(uri_), conn ? QString::fromUtf8(PQerrorMessage(conn)).trimmed()
                                               : QStringLiteral("out of memory")));
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    // What a copy that failed left behind goes first, in one transaction: its data sets under
    // their names of their own, and the engine's functions it made.
    const QString where = shownLocation(uri_);
    run(conn, QStringLiteral("BEGIN"), {}, where);
    const auto leftovers =
        run(conn, QStringLiteral("SELECT nspname FROM pg_namespace WHERE starts_with(nspname, $1)"),
            {kPrefix}, where);
    for (const QStringList& row : leftovers)
        run(conn, QStringLiteral("DROP SCHEMA %1 CASCADE").arg(quoted(conn, row[0])), {}, where);
    const QString functions = QString::fromLatin1(kPgJetSchema);
    if (!leftovers.empty() && schemaExists(conn, functions, where) && !holdsTables(conn, where))
        run(conn, QStringLiteral("DROP SCHEMA %1 CASCADE").arg(quoted(conn, functions)), {}, where);
    functionsExisted_ = schemaExists(conn, functions, where);
    run(conn, QStringLiteral("COMMIT"), {}, where);
}

Staging::~Staging() = default;

QString Staging::location(const QString& fileName) const {
    const Location real = parseLocation(dataFileName(dataPath_, fileName));
    return real.uri + u'#' + kPrefix + real.name;
}

QString Staging::ownNames(const QString& text) {
    QString out = text;
    out.remove(kPrefix, Qt::CaseInsensitive);
    return out;
}

void Staging::publish(const QStringList& fileNames) {
    PGconn* conn = conn_.get();
    const QString where = shownLocation(uri_);
    run(conn, QStringLiteral("BEGIN"), {}, where);
    try {
        for (const QString& file : fileNames) {
            const Location real = parseLocation(dataFileName(dataPath_, file));
            const Location staged = parseLocation(location(file));
            // A schema of the name with nothing but the engine's table of names in it is an
            // empty data set (left by an earlier program's copy that failed): it gives way.
            const bool holdsData =
                !run(conn,
                     QStringLiteral("SELECT 1 FROM pg_class c JOIN pg_namespace n ON "
                                    "n.oid = c.relnamespace WHERE n.nspname = $1 AND "
                                    "c.relkind IN ('r', 'p', 'v', 'm', 'f', 'S') AND "
                                    "c.relname <> $2 LIMIT 1"),
                     {real.schema, kNamesTable}, where)
                     .empty();
            if (holdsData)
                throw DbError(err::ObjectExists,
                              QStringLiteral("%1 on %2 holds data already; the data set is copied "
                                             "only to an empty place.")
                                  .arg(real.name, where));
            run(conn,
                QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(quoted(conn, real.schema)),
                {}, where);
            run(conn,
                QStringLiteral("ALTER SCHEMA %1 RENAME TO %2")
                    .arg(quoted(conn, staged.schema), quoted(conn, real.schema)),
                {}, where);
        }
        run(conn, QStringLiteral("COMMIT"), {}, where);
    } catch (...) {
        Result(PQexec(conn, "ROLLBACK"));
        throw;
    }
}

void Staging::abandon() noexcept {
    try {
        PGconn* conn = conn_.get();
        if (PQstatus(conn) != CONNECTION_OK || PQtransactionStatus(conn) != PQTRANS_IDLE)
            PQreset(conn);
        if (PQstatus(conn) != CONNECTION_OK)
            return;
        const QString where = shownLocation(uri_);
        run(conn, QStringLiteral("BEGIN"), {}, where);
        for (const QStringList& row :
             run(conn,
                 QStringLiteral("SELECT nspname FROM pg_namespace WHERE starts_with(nspname, $1)"),
                 {kPrefix}, where))
            run(conn, QStringLiteral("DROP SCHEMA %1 CASCADE").arg(quoted(conn, row[0])), {},
                where);
        const QString functions = QString::fromLatin1(kPgJetSchema);
        if (!functionsExisted_ && schemaExists(conn, functions, where) && !holdsTables(conn, where))
            run(conn, QStringLiteral("DROP SCHEMA %1 CASCADE").arg(quoted(conn, functions)), {},
                where);
        run(conn, QStringLiteral("COMMIT"), {}, where);
    } catch (...) {
        // The next copy into the database removes what is left.
    }
}

}  // namespace velmora::data::pg
