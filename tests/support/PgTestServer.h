#pragma once

#include <QString>

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

// A PostgreSQL server of its own for one test, started as the shared one is (see
// pg-test-server.sh) and stopped with its data at the end: a test may halt it and resume it,
// as a server that goes away in the middle of a session and comes back.
class OwnTestServer {
  public:
    OwnTestServer();
    ~OwnTestServer();
    OwnTestServer(const OwnTestServer&) = delete;
    OwnTestServer& operator=(const OwnTestServer&) = delete;

    bool isAvailable() const { return !uri_.isEmpty(); }
    const QString& whyNot() const { return whyNot_; }
    // postgresql:///postgres?host=...&user=velmora
    const QString& uri() const { return uri_; }
    // Stops the server at once (as a crash does), keeping its data; false when it failed.
    bool halt();
    // Starts it again on the same data.
    bool resume();

  private:
    bool script(const QString& action);

    QString state_;
    QString uri_;
    QString whyNot_;
};

// Runs one statement on the test server as its superuser, in the database of the URI;
// false (with the server's message in *error) when it fails.
bool runOnTestServer(const QString& uri, const QString& sql, QString* error = nullptr);

}  // namespace velmora::testing
