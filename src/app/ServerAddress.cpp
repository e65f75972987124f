#include "ServerAddress.h"

#include <QUrl>
#include <QUrlQuery>

namespace velmora::app {

namespace {

bool isSocketFolder(const QString& host) {
    return host.startsWith(u'/');
}

}  // namespace

QStringList sslModes() {
    return {QStringLiteral("disable"), QStringLiteral("allow"),     QStringLiteral("prefer"),
            QStringLiteral("require"), QStringLiteral("verify-ca"), QStringLiteral("verify-full")};
}

QString ServerAddress::toUri() const {
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    QUrlQuery query;
    const QString h = host.trimmed();
    const QString u = user.trimmed();
    if (isSocketFolder(h)) {
        // A folder cannot stand where a host name does: it goes as a parameter.
        url.setHost(QString());
        query.addQueryItem(QStringLiteral("host"), h);
        if (port > 0)
            query.addQueryItem(QStringLiteral("port"), QString::number(port));
        if (!u.isEmpty())
            query.addQueryItem(QStringLiteral("user"), u);
    } else {
        url.setHost(h);
        if (port > 0)
            url.setPort(port);
        if (!u.isEmpty())
            url.setUserName(u);
    }
    url.setPath(u'/' + database.trimmed());
    if (!sslMode.isEmpty())
        query.addQueryItem(QStringLiteral("sslmode"), sslMode);
    if (!query.isEmpty())
        url.setQuery(query);
    QString text = url.toString(QUrl::FullyEncoded);
    // An empty authority is written as "postgresql:" + "/db"; libpq wants "postgresql:///db".
    if (text.startsWith(QLatin1String("postgresql:/")) &&
        !text.startsWith(QLatin1String("postgresql://")))
        text.insert(QStringLiteral("postgresql:").size(), QStringLiteral("//"));
    return text;
}

std::optional<ServerAddress> ServerAddress::fromUri(const QString& text) {
    const QString t = text.trimmed();
    if (!t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) &&
        !t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive))
        return std::nullopt;
    const QUrl url(t);
    if (!url.isValid() || !url.password().isEmpty() || !url.fragment().isEmpty())
        return std::nullopt;
    ServerAddress a;
    a.host = url.host();
    a.port = url.port(0);
    a.user = url.userName();
    a.database = url.path().mid(1);
    const QUrlQuery query(url);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == u"host")
            a.host = value;
        else if (key == u"port")
            a.port = value.toInt();
        else if (key == u"user")
            a.user = value;
        else if (key == u"sslmode" && sslModes().contains(value))
            a.sslMode = value;
        else
            return std::nullopt;
    }
    return a;
}

QString ServerAddress::missing() const {
    if (host.trimmed().isEmpty())
        return QStringLiteral("the server (its name or address)");
    if (database.trimmed().isEmpty())
        return QStringLiteral("the database");
    return {};
}

}  // namespace velmora::app
