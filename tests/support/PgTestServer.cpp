#include "PgTestServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QUrl>
#include <QUrlQuery>

#include <libpq-fe.h>

#include <atomic>

#include <stdlib.h>
#include <unistd.h>

namespace velmora::testing {

namespace {

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).trimmed();
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

OwnTestServer::OwnTestServer() {
    const QString base = QDir::temp().filePath(QStringLiteral("velmora-own-pg-%1-XXXXXX"));
    QByteArray name = base.arg(getpid()).toUtf8();
    if (!mkdtemp(name.data())) {
        whyNot_ = QStringLiteral("No temporary folder for a test server.");
        return;
    }
    state_ = QString::fromUtf8(name);
    if (!script(QStringLiteral("start"))) {
        whyNot_ = QStringLiteral("The test's own PostgreSQL server did not start.");
        return;
    }
    const QString skipped = readText(QDir(state_).filePath(QStringLiteral("skipped")));
    if (!skipped.isEmpty()) {
        whyNot_ = skipped;
        return;
    }
    uri_ = readText(QDir(state_).filePath(QStringLiteral("uri")));
    if (uri_.isEmpty())
        whyNot_ = QStringLiteral("The test's own PostgreSQL server gave no URI.");
}

OwnTestServer::~OwnTestServer() {
    if (!state_.isEmpty())
        script(QStringLiteral("stop"));
}

bool OwnTestServer::halt() {
    return script(QStringLiteral("halt"));
}

bool OwnTestServer::resume() {
    return script(QStringLiteral("resume"));
}

bool OwnTestServer::script(const QString& action) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(QStringLiteral("bash"), {QStringLiteral(VELMORA_PG_TEST_SCRIPT), action, state_});
    return p.waitForFinished(180000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
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
