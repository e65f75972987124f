#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace velmora::testing {

// The connection URI of the PostgreSQL server that the test run started (see
// pg-test-server.sh); empty when there is none, with the reason in *whyNot.
QString pgTestServerUri(QString* whyNot);

// A database of its own on the test server, for one test: created empty, dropped (with any
// connection still open to it) at the end.
class PgTestDatabase {
  public:
    PgTestDatabase();
    ~PgTestDatabase();
    PgTestDatabase(const PgTestDatabase&) = delete;
    PgTestDatabase& operator=(const PgTestDatabase&) = delete;

    bool isAvailable() const { return !uri_.isEmpty(); }
    const QString& whyNot() const { return whyNot_; }
    // postgresql:///NAME?host=...&user=... of the new database.
    const QString& uri() const { return uri_; }
    const QString& name() const { return name_; }
    // The same database for another role (the role's password comes from libpq's means).
    QString uriForUser(const QString& user) const;

  private:
    QString serverUri_;
    QString name_;
    QString uri_;
    QString whyNot_;
};

// Runs one statement on the test server as its superuser, in the database of the URI;
// false (with the server's message in *error) when it fails.
bool runOnTestServer(const QString& uri, const QString& sql, QString* error = nullptr);

// The first column of a query's rows, as text; none when it fails.
QStringList queryTestServer(const QString& uri, const QString& sql);

// The schemas of a database beyond the server's own ("public" among them), sorted.
QStringList schemasOf(const QString& uri);

// A PostgreSQL server of one test's own, which the test may stop as a crash would and start
// again (see pg-test-server.sh); stopped and removed at the end.
class OwnPgServer {
  public:
    OwnPgServer();
    ~OwnPgServer();
    OwnPgServer(const OwnPgServer&) = delete;
    OwnPgServer& operator=(const OwnPgServer&) = delete;

    bool isAvailable() const { return !uri_.isEmpty(); }
    const QString& whyNot() const { return whyNot_; }
    // postgresql:///postgres?host=...&user=... of its first database.
    const QString& uri() const { return uri_; }
    // pg_ctl stop -m immediate; false with the reason when it fails.
    bool kill(QString* why);
    bool restart(QString* why);

  private:
    QTemporaryDir state_;
    QString uri_;
    QString whyNot_;
};

}  // namespace velmora::testing
