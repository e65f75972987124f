#include "PgConnectionStart.h"

#include "PgLocation.h"
#include "start/ServerStart.h"

#include <dlfcn.h>

namespace velmora::data::pg {

Connection takeStartedConnection(const QString& location, bool withPassword) {
    // The launcher offers its connection under this name; a program started otherwise (the
    // main program, a test) has none.
    using Take = PGconn* (*)(const char* serverUri);
    static const auto take =
        reinterpret_cast<Take>(dlsym(RTLD_DEFAULT, "velmora_take_early_connection"));
    if (!take)
        return {};
    Connection conn(take(serverUriOf(location).toUtf8().constData()));
    if (withPassword)
        conn.reset();
    return conn;
}

Connection connectNow(const QString& uri, const QByteArray& password) {
    if (Connection begun = takeStartedConnection(uri, !password.isEmpty()))
        return begun;
    const QByteArray dbname = uri.trimmed().toUtf8();
    const start::ConnectionSettings settings =
        start::connectionSettings(dbname.constData(), password.constData());
    return Connection(PQconnectdbParams(settings.keywords, settings.values, 1));
}

}  // namespace velmora::data::pg
