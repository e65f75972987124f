#include "PgTestServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QUrl>
#include <QUrlQuery>

#include <libpq-fe.h>

#include <atomic>

#include <unistd.h>

namespace velmora::testing {

namespace {

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).trimmed();
}

// Runs the test server's script with an action on a state folder.
bool runScript(const QString& action, const QString& state, QString* why) {
    QProcess p;
    p.start(QStringLiteral("bash"), {QStringLiteral(VELMORA_PG_TEST_SCRIPT), action, state});
    if (!p.waitForFinished(180000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *why = QStringLiteral("pg-test-server.sh %1 failed: %2")
                   .arg(action, QString::fromLocal8Bit(p.readAllStandardError()).trimmed());
        return false;
    }
    return true;
}

QString withDatabase(const QString& uri, const QString& database) {
    QUrl url(uri);
    url.setPath(u'/' + database);
    return url.toString();
}

}  // namespace

QString pgTestServerUri(QString* whyNot) {
    QString state = qEnvironmentVariable("VELMORA_PG_TEST_STATE");
    if (state.isEmpty())
        state = QStringLiteral(VELMORA_PG_TEST_STATE);
    const QDir dir(state);
    const QString skipped = readText(dir.filePath(QStringLiteral("skipped")));
    if (!skipped.isEmpty()) {
        *whyNot = skipped;
        return {};
    }
    const QString uri = readText(dir.filePath(QStringLiteral("uri")));
    if (uri.isEmpty())
        *whyNot = QStringLiteral(
                      "No PostgreSQL test server is running (%1 holds no URI): run the tests "
                      "through ctest, which starts one.")
                      .arg(state);
    return uri;
}

bool runOnTestServer(const QString& uri, const QString& sql, QString* error) {
    PGconn* conn = PQconnectdb(uri.toUtf8().constData());
    bool ok = PQstatus(conn) == CONNECTION_OK;
    if (ok) {
        PGresult* r = PQexec(conn, sql.toUtf8().constData());
        ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        PQclear(r);
    }
    if (!ok && error)
        *error = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    PQfinish(conn);
    return ok;
}

QStringList queryTestServer(const QString& uri, const QString& sql) {
    QStringList out;
    PGconn* conn = PQconnectdb(uri.toUtf8().constData());
    if (PQstatus(conn) == CONNECTION_OK) {
        PGresult* r = PQexec(conn, sql.toUtf8().constData());
        if (PQresultStatus(r) == PGRES_TUPLES_OK) {
            for (int row = 0; row < PQntuples(r); ++row)
                out << QString::fromUtf8(PQgetvalue(r, row, 0));
        }
        PQclear(r);
    }
    PQfinish(conn);
    return out;
}

QStringList schemasOf(const QString& uri) {
    return queryTestServer(uri, QStringLiteral("SELECT nspname FROM pg_namespace WHERE nspname "
                                               "NOT LIKE 'pg\\_%' AND nspname <> "
                                               "'information_schema' ORDER BY nspname"));
}

OwnPgServer::OwnPgServer() {
    if (!runScript(QStringLiteral("start"), state_.path(), &whyNot_))
        return;
    const QDir dir(state_.path());
    const QString skipped = readText(dir.filePath(QStringLiteral("skipped")));
    if (!skipped.isEmpty()) {
        whyNot_ = skipped;
        return;
    }
    uri_ = readText(dir.filePath(QStringLiteral("uri")));
}

OwnPgServer::~OwnPgServer() {
    QString ignored;
    runScript(QStringLiteral("stop"), state_.path(), &ignored);
}

bool OwnPgServer::kill(QString* why) {
    return runScript(QStringLiteral("kill"), state_.path(), why);
}

bool OwnPgServer::restart(QString* why) {
    return runScript(QStringLiteral("restart"), state_.path(), why);
}

PgTestDatabase::PgTestDatabase() {
    serverUri_ = pgTestServerUri(&whyNot_);
    if (serverUri_.isEmpty())
        return;
    static std::atomic<int> counter{0};
    name_ = QStringLiteral("velmora_test_%1_%2").arg(getpid()).arg(++counter);
    if (!runOnTestServer(serverUri_, QStringLiteral("CREATE DATABASE %1").arg(name_), &whyNot_))
        return;
    uri_ = withDatabase(serverUri_, name_);
}

PgTestDatabase::~PgTestDatabase() {
    if (!uri_.isEmpty())
        runOnTestServer(serverUri_, QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(name_));
}

QString PgTestDatabase::uriForUser(const QString& user) const {
    QUrl url(uri_);
    QUrlQuery q(url);
    q.removeAllQueryItems(QStringLiteral("user"));
    q.addQueryItem(QStringLiteral("user"), user);
    url.setQuery(q);
    return url.toString();
}

}  // namespace velmora::testing
