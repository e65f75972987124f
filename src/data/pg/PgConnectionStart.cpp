#include "PgConnectionStart.h"

#include "PgLocation.h"
#include "start/ServerStart.h"

#include <dlfcn.h>

namespace velmora::data::pg {

StartedConnection takeStartedConnection(const QString& location, bool withPassword) {
    // The launcher offers its connection under this name; a program started otherwise (the
    // main program, a test) has none.
    using Take = PGconn* (*)(const char* serverUri, start::StartedSession* session);
    static const auto take =
        reinterpret_cast<Take>(dlsym(RTLD_DEFAULT, "velmora_take_early_connection"));
    if (!take)
        return {};
    StartedConnection started;
    started.conn.reset(take(serverUriOf(location).toUtf8().constData(), &started.session));
    if (withPassword)
        return {};
    return started;
}

StartedConnection connectNow(const QString& uri, const QByteArray& password) {
    if (StartedConnection begun = takeStartedConnection(uri, !password.isEmpty()); begun.conn)
        return begun;
    const QByteArray dbname = uri.trimmed().toUtf8();
    const start::ConnectionSettings settings =
        start::connectionSettings(dbname.constData(), password.constData());
    return {Connection(PQconnectdbParams(settings.keywords, settings.values, 1)), {}};
}

}  // namespace velmora::data::pg
