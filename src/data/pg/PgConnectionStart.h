#pragma once

// A connection to the server started before it is needed. A new session costs the server a
// process of its own and its start, which take longer than anything else in a short command;
// started as the program starts, they run on the server while the program sets itself up.
// The first connection the program then makes to the same server takes the started one over.

#include "PgDatabaseImpl.h"

#include <QString>

namespace velmora::data::pg {

// Starts connecting to the server of the URI (a data set's location or its server's URI),
// without waiting. A connection started before and not taken over is closed. Nothing is
// reported here: a server that cannot be reached is reported by the connection that takes
// this one over.
void startConnecting(const QString& uri);

// The connection started for the URI, finished (connected, or failed with the reason in its
// error message); none when none was started for it, or when the session gives a password of
// its own, which the started connection did not know. Any other started connection is closed.
Connection takeStartedConnection(const QString& uri, bool withPassword);

// A connection to the server of the URI, waited for: the started one when it may be taken
// over, else a new one, with the password when it is not empty. It may have failed: its
// status and error message tell.
Connection connectNow(const QString& uri, const QByteArray& password);

}  // namespace velmora::data::pg
