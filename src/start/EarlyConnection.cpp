#include "EarlyConnection.h"

#include "ServerStart.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <utility>

#include <poll.h>
#include <unistd.h>

namespace velmora::start {

namespace {

// A started connection not taken over within this time is closed rather than taken: the
// program's first connection comes within a moment of its start, and a session the server
// has waited on for long may have been ended by it meanwhile.
constexpr std::chrono::seconds kTakeOverWithin{5};
// How long a program that took no connection waits for the thread at its end.
constexpr std::chrono::seconds kWaitAtEnd{1};

// Starts the session as the program will, and returns its one row (none when the statement
// failed). Its settings are set again by the program, which may take the rest of the row as
// its own start's; what stays besides is what the server has read and opened meanwhile.
SessionStartRow startSession(PGconn* conn, const std::string& schema) {
    if (schema.empty())
        return {};
    const char* values[] = {"", "", "", "", schema.c_str(), kStoredQueriesTable, kNamesTable};
    PGresult* r = PQexecParams(conn, sessionStartSql(), 7, nullptr, values, nullptr, nullptr, 0);
    SessionStartRow row;
    if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1)
        for (int c = 0; c < PQnfields(r); ++c)
            row.push_back(PQgetisnull(r, 0, c) ? std::nullopt
                                               : std::optional<std::string>(PQgetvalue(r, 0, c)));
    PQclear(r);
    return row;
}

// The engine's functions are there when their schema carries its revision.
bool hasEngineFunctions(const SessionStartRow& row) {
    return row.size() > 8 && row[8];
}

// The first comparison under the engine's collation opens the collation on the server.
void openEngineCollation(PGconn* conn) {
    PQclear(PQexec(conn, "SELECT velmora_jet.jet_text('a') = velmora_jet.jet_text('b')"));
}

// Waits until the socket of a connection being made is ready for what libpq waits for, until
// the deadline (none: for as long as it takes); false when the deadline passed first.
bool waitForSocket(PGconn* conn, PostgresPollingStatusType next,
                   std::optional<std::chrono::steady_clock::time_point> deadline) {
    pollfd p{};
    p.fd = PQsocket(conn);
    if (p.fd < 0)
        return true;  // libpq has closed it: the next poll says why
    p.events = next == PGRES_POLLING_READING ? POLLIN : POLLOUT;
    for (;;) {
        int wait = -1;
        if (deadline) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                *deadline - std::chrono::steady_clock::now());
            wait = static_cast<int>(
                std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 60000));
        }
        const int r = ::poll(&p, 1, wait);
        if (r > 0)
            return true;
        if (r == 0 && deadline && std::chrono::steady_clock::now() >= *deadline)
            return false;
        if (r < 0 && errno != EINTR)
            return true;  // the next poll reports what is wrong with the socket
    }
}

// The deadline a connection's own connect_timeout sets from now (none without one).
std::optional<std::chrono::steady_clock::time_point> connectDeadline(PGconn* conn) {
    int seconds = 0;
    PQconninfoOption* options = PQconninfo(conn);
    for (PQconninfoOption* o = options; o && o->keyword; ++o)
        if (std::strcmp(o->keyword, "connect_timeout") == 0 && o->val)
            seconds = std::atoi(o->val);
    PQconninfoFree(options);
    if (seconds <= 0)
        return std::nullopt;
    return std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
}

}  // namespace

struct EarlyConnection::State {
    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
    bool asked = false;        // the program waits for the connection
    PGconn* conn = nullptr;    // null once taken or closed
    SessionStartRow startRow;  // the session's start, when the thread made it

    bool askedYet() {
        const std::lock_guard lock(mutex);
        return asked;
    }

    void run(const std::string& schema) {
        PostgresPollingStatusType next = PGRES_POLLING_WRITING;
        const auto deadline = connectDeadline(conn);
        while (next == PGRES_POLLING_READING || next == PGRES_POLLING_WRITING) {
            if (!waitForSocket(conn, next, deadline))
                break;  // past its own time limit: take() gives it up
            next = PQconnectPoll(conn);
        }
        SessionStartRow row;
        if (PQstatus(conn) == CONNECTION_OK) {
            row = startSession(conn, schema);
            // Opening the collation is worth it only while the program is still loading: a
            // program that already waits would pay for it in its own time, and its command
            // may compare no text at all. A command that does opens it on its first use.
            if (hasEngineFunctions(row) && !askedYet())
                openEngineCollation(conn);
        }
        {
            const std::lock_guard lock(mutex);
            startRow = std::move(row);
            done = true;
        }
        doneChanged.notify_all();
    }
};

EarlyConnection::EarlyConnection(const std::string& location, const std::string& schema)
    : uri_(serverUriOf(location)),
      schema_(schema),
      started_(std::chrono::steady_clock::now()),
      owner_(::getpid()),
      state_(std::make_shared<State>()) {
    const ConnectionSettings settings = connectionSettings(uri_.c_str(), nullptr);
    state_->conn = PQconnectStartParams(settings.keywords, settings.values, 1);
    if (!state_->conn || PQstatus(state_->conn) == CONNECTION_BAD) {
        state_->done = true;  // take() hands the failure on, with its reason
        return;
    }
    thread_ = std::make_unique<std::thread>([state = state_, schema] { state->run(schema); });
}

EarlyConnection::~EarlyConnection() {
    if (::getpid() != owner_) {
        // A forked process's copy: the connection is the parent's to close, and the thread
        // is the parent's too.
        static_cast<void>(thread_.release());
        return;
    }
    if (!thread_) {
        PQfinish(state_->conn);
        return;
    }
    std::unique_lock lock(state_->mutex);
    if (state_->doneChanged.wait_for(lock, kWaitAtEnd, [this] { return state_->done; })) {
        PQfinish(std::exchange(state_->conn, nullptr));
        lock.unlock();
        thread_->join();
    } else {
        // A server that does not answer: the thread keeps what it shares, and ends with
        // the program.
        lock.unlock();
        thread_->detach();
    }
}

PGconn* EarlyConnection::take(const std::string& serverUri, StartedSession* session) {
    // A process forked from the one that started it has no thread to wait for, and the
    // connection's socket is the parent's.
    if (::getpid() != owner_)
        return nullptr;
    std::unique_lock lock(state_->mutex);
    state_->asked = true;
    state_->doneChanged.wait(lock, [this] { return state_->done; });
    PGconn* conn = std::exchange(state_->conn, nullptr);
    if (!conn)
        return nullptr;
    const ConnStatusType status = PQstatus(conn);
    if (serverUri != uri_ || std::chrono::steady_clock::now() - started_ > kTakeOverWithin ||
        (status != CONNECTION_OK && status != CONNECTION_BAD)) {
        PQfinish(conn);
        return nullptr;
    }
    if (session && !state_->startRow.empty()) {
        session->schema = schema_;
        session->row = std::move(state_->startRow);
    }
    return conn;
}

}  // namespace velmora::start
