#include "PgConnectionStart.h"

#include "PgLocation.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <mutex>

#include <poll.h>

namespace velmora::data::pg {

namespace {

// A started connection not taken over within this time is closed rather than taken: the
// program's first connection comes within a moment of its start, and a session the server
// has waited on for long may have been ended by it meanwhile.
constexpr qint64 kTakeOverWithinMs = 5000;

struct StartedConnection {
    QString uri;
    Connection conn;
    QDeadlineTimer takeOverBy;
    PostgresPollingStatusType next = PGRES_POLLING_WRITING;  // what the socket must be ready for
};

std::mutex& startedMutex() {
    static std::mutex m;
    return m;
}

StartedConnection& started() {
    static StartedConnection s;
    return s;
}

// A connection made by libpq's connect (blocking or not) with the settings every connection
// of the program has. The password comes after the URI, which is expanded in its place: it
// adds to it. The client encoding is set by the connection's start, with no statement of its
// own.
template <typename Connect>
Connection withSettings(const QString& uri, const QByteArray& password, Connect connect) {
    const QByteArray dbname = uri.toUtf8();
    const char* keywords[] = {"dbname", "client_encoding",
                              password.isEmpty() ? nullptr : "password", nullptr};
    const char* values[] = {dbname.constData(), "UTF8", password.constData(), nullptr};
    return Connection(connect(keywords, values));
}

// Whether the socket is ready for what libpq waits for, within the time left (forever when
// the deadline never comes).
bool socketReady(PGconn* conn, PostgresPollingStatusType next, const QDeadlineTimer& deadline) {
    pollfd p{};
    p.fd = PQsocket(conn);
    if (p.fd < 0)
        return true;  // libpq has closed it: the next poll says why
    p.events = next == PGRES_POLLING_READING ? POLLIN : POLLOUT;
    for (;;) {
        const qint64 left = deadline.remainingTime();
        const int r = ::poll(&p, 1, left < 0 ? -1 : static_cast<int>(qMin<qint64>(left, 60000)));
        if (r > 0)
            return true;
        if (r == 0 && deadline.hasExpired())
            return false;
        if (r < 0 && errno != EINTR)
            return true;  // the next poll reports what is wrong with the socket
    }
}

// The connection's own connect_timeout, in seconds (0: none).
int connectTimeoutOf(PGconn* conn) {
    int seconds = 0;
    PQconninfoOption* options = PQconninfo(conn);
    for (PQconninfoOption* o = options; o && o->keyword; ++o)
        if (qstrcmp(o->keyword, "connect_timeout") == 0 && o->val)
            seconds = QByteArray(o->val).toInt();
    PQconninfoFree(options);
    return seconds;
}

}  // namespace

void startConnecting(const QString& location) {
    const QString uri = serverUriOf(location);
    Connection conn =
        withSettings(uri, {}, [](const char* const* keywords, const char* const* values) {
            return PQconnectStartParams(keywords, values, 1);
        });
    if (conn && PQstatus(conn.get()) == CONNECTION_BAD)
        conn.reset();
    StartedConnection s{uri, std::move(conn), QDeadlineTimer(kTakeOverWithinMs),
                        PGRES_POLLING_WRITING};
    // Send the start of the session at once when the socket is ready (a local socket is):
    // the server then starts it while the program goes on.
    if (s.conn && socketReady(s.conn.get(), s.next, QDeadlineTimer(0)))
        s.next = PQconnectPoll(s.conn.get());
    std::lock_guard lock(startedMutex());
    started() = std::move(s);
}

Connection takeStartedConnection(const QString& location, bool withPassword) {
    StartedConnection s;
    {
        std::lock_guard lock(startedMutex());
        s = std::move(started());
        started() = StartedConnection{};
    }
    if (!s.conn || withPassword || s.uri != serverUriOf(location) || s.takeOverBy.hasExpired())
        return {};
    const int timeout = connectTimeoutOf(s.conn.get());
    const QDeadlineTimer deadline(timeout > 0 ? qint64(timeout) * 1000 : -1);
    while (s.next == PGRES_POLLING_READING || s.next == PGRES_POLLING_WRITING) {
        // Past its own time limit the connection is given up; a new one reports the server.
        if (!socketReady(s.conn.get(), s.next, deadline))
            return {};
        s.next = PQconnectPoll(s.conn.get());
    }
    return std::move(s.conn);
}

Connection connectNow(const QString& uri, const QByteArray& password) {
    if (Connection begun = takeStartedConnection(uri, !password.isEmpty()))
        return begun;
    return withSettings(uri.trimmed(), password,
                        [](const char* const* keywords, const char* const* values) {
                            return PQconnectdbParams(keywords, values, 1);
                        });
}

}  // namespace velmora::data::pg
