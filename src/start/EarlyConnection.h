#pragma once

// A connection to a data set's server started with the program, before the program loads its
// libraries. A new session costs the server a process of its own, its start, and the first
// reads of its catalog; loading the program's libraries takes as long, and the two then run
// side by side. Once connected, a thread of its own starts the session as the program will:
// the statement that starts each session, whose row the program takes over with the
// connection (the program sets the settings again, as its own), and, while the program has not
// asked for the connection yet, a comparison of text under the engine's collation, whose first
// use in a session costs the server the most.

#include <libpq-fe.h>
#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velmora::start {

// The one row of the statement that starts a session, as text (none for a Null).
using SessionStartRow = std::vector<std::optional<std::string>>;

// The start a started connection's thread made of its session: for the data set of `schema`,
// with the row of sessionStartSql() (its settings are the thread's, not the program's).
struct StartedSession {
    std::string schema;
    SessionStartRow row;
};

class EarlyConnection {
  public:
    // Starts connecting to the server of a location; `schema`: its data set's (none: the
    // session's start is left to the program).
    EarlyConnection(const std::string& location, const std::string& schema);
    // Closes a connection not taken over, after waiting a moment for its thread.
    ~EarlyConnection();
    EarlyConnection(const EarlyConnection&) = delete;
    EarlyConnection& operator=(const EarlyConnection&) = delete;

    // The connection, once its thread is done: connected, or failed with the reason in its
    // error message. Null when it is to another server, when it comes more than five
    // seconds after the start (the server may have ended a session it waited on), when its
    // own connect_timeout passed, or when it was taken before; the connection is then
    // closed. Null in a process forked from the one that started it. The caller owns what is
    // returned. With `session`, a connection taken comes with the start its thread made of
    // the session, if it made one.
    PGconn* take(const std::string& serverUri, StartedSession* session = nullptr);

  private:
    struct State;
    std::string uri_;
    std::string schema_;
    std::chrono::steady_clock::time_point started_;
    pid_t owner_;                   // the process that started it
    std::shared_ptr<State> state_;  // shared with the thread, which may outlive this
    std::unique_ptr<std::thread> thread_;
};

}  // namespace velmora::start
