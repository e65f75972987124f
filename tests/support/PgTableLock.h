#pragma once

// A session on a test server that holds one of its tables locked (in the mode given, as
// LOCK TABLE takes it) until it is released or goes: another workstation's work in progress,
// as a session that needs the table meets it.

#include <QString>

#include <libpq-fe.h>

namespace velmora::testing {

class PgTableLock {
  public:
    PgTableLock(const QString& uri, const QString& table, const char* mode)
        : conn_(PQconnectdb(uri.toUtf8().constData())) {
        const QByteArray sql =
            "BEGIN; LOCK TABLE " + table.toUtf8() + " IN " + QByteArray(mode) + " MODE";
        PQclear(PQexec(conn_, sql.constData()));
    }
    ~PgTableLock() { PQfinish(conn_); }
    PgTableLock(const PgTableLock&) = delete;
    PgTableLock& operator=(const PgTableLock&) = delete;
    void release() { PQclear(PQexec(conn_, "COMMIT")); }

  private:
    PGconn* conn_;
};

}  // namespace velmora::testing
