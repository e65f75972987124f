#pragma once

// A connection to a data set's server started with the program, before the program loads its
// libraries. A new session costs the server a process of its own, its start, and the first
// reads of its catalog; loading the program's libraries takes as long, and the two then run
// side by side. Once connected, a thread of its own starts the session as the program will:
// the statement that starts each session (its settings are set again when the program takes
// the connection over) and a comparison of text under the engine's collation, whose first use
// in a session costs the server the most.

#include <libpq-fe.h>
#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace velmora::start {

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
    // returned.
    PGconn* take(const std::string& serverUri);

  private:
    struct State;
    std::string uri_;
    std::chrono::steady_clock::time_point started_;
    pid_t owner_;                   // the process that started it
    std::shared_ptr<State> state_;  // shared with the thread, which may outlive this
    std::unique_ptr<std::thread> thread_;
};

}  // namespace velmora::start
