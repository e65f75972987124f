#include "ServerCheck.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/pg/PgDatabase.h"
#include "screens/common/Dialogs.h"

#include <QUrl>
#include <QUrlQuery>

namespace velmora::app {

namespace {

// "planner on db.example": who logs in where, as the user named them.
QString loginOf(const QString& uri) {
    const QUrl url(uri);
    QString user = url.userName();
    QString host = url.host();
    const QUrlQuery query(url);
    if (user.isEmpty())
        user = query.queryItemValue(QStringLiteral("user"));
    if (host.isEmpty())
        host = query.queryItemValue(QStringLiteral("host"));
    if (user.isEmpty())
        return host.isEmpty() ? QStringLiteral("the database server") : host;
    return QStringLiteral("%1 on %2")
        .arg(user, host.isEmpty() ? QStringLiteral("this computer") : host);
}

}  // namespace

bool askServerPasswordIfNeeded(QWidget* parent, const QString& dataPath) {
    if (!data::isServerLocation(dataPath) || !data::pg::serverNeedsPassword(dataPath))
        return true;
    screens::PasswordRequest request;
    request.title = QStringLiteral("Database server password");
    request.prompt = QStringLiteral(
                         "Password of %1:\n(kept only until Velmora ends, never "
                         "stored)")
                         .arg(loginOf(dataPath));
    const std::optional<QString> typed = screens::Dialogs::current().askPassword(parent, request);
    if (!typed)
        return false;
    data::pg::setSessionPassword(dataPath, *typed);
    return true;
}

ServerCheck checkServerDataPath(const QString& dataPath) {
    QStringList found;
    for (const QString& name : {data::files::kMain, data::files::kTemplates}) {
        try {
            data::Database::open(data::dataFileName(dataPath, name));
            found << name.section(u'.', 0, 0);
        } catch (const data::DbError& e) {
            return {false, QStringLiteral("%1 (error %2)").arg(e.text()).arg(e.code())};
        }
    }
    return {true, QStringLiteral("Connected: the data sets %1 are on the server.")
                      .arg(found.join(QStringLiteral(" and ")))};
}

}  // namespace velmora::app
