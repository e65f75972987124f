#pragma once

// A connection to the server started before it is needed. A new session costs the server a
// process of its own and its start, which take longer than anything else in a short command;
// the launcher of the command-line programs starts one before it loads the program, and the
// program's first connection to the same server takes it over.

#include "PgDatabaseImpl.h"
#include "start/EarlyConnection.h"

#include <QString>

namespace velmora::data::pg {

// A connection, and when the launcher started it, the start its launcher made of the session
// (an empty schema when none).
struct StartedConnection {
    Connection conn;
    start::StartedSession session;
};

// The connection the program's launcher started for the location's server, finished
// (connected, or failed with the reason in its error message); none when no launcher started
// one for it, or when the session gives a password of its own, which the started connection
// did not know (it is then closed).
StartedConnection takeStartedConnection(const QString& location, bool withPassword);

// A connection to the server of the URI, waited for: the started one when it may be taken
// over, else a new one, with the password when it is not empty. It may have failed: its
// status and error message tell.
StartedConnection connectNow(const QString& uri, const QByteArray& password);

}  // namespace velmora::data::pg
