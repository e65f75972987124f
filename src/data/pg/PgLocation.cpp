#include "PgLocation.h"

#include "PgDatabase.h"
#include "PgErrors.h"
#include "data/DataFiles.h"
#include "data/DbError.h"
#include "data/JetSqlTranslator.h"
#include "start/ServerStart.h"

#include <QUrl>
#include <QUrlQuery>

#include <algorithm>

namespace velmora::data::pg {

bool holdsPassword(const QString& location) {
    if (!isServerLocation(location))
        return false;
    const QUrl url(location.trimmed());
    if (!url.password().isEmpty())
        return true;
    // libpq takes any of its connection keywords as a query parameter, "password" too.
    const QUrlQuery query(url);
    for (const auto& item : query.queryItems())
        if (item.first.trimmed().compare(QLatin1String("password"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

Location parseLocation(const QString& location) {
    const qsizetype hash = location.lastIndexOf(u'#');
    Location loc;
    if (hash > 0) {
        loc.uri = location.left(hash);
        loc.name = location.mid(hash + 1).trimmed();
        // "TimeMgr.mdb" names the same data set as "TimeMgr".
        if (loc.name.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive))
            loc.name.chop(4);
    }
    if (loc.uri.isEmpty() || loc.name.isEmpty() || loc.name.contains(u'"'))
        throw DbError(err::InvalidPath,
                      QStringLiteral("'%1' does not name a data set on a database server: it "
                                     "must be a connection URI (postgresql://host/database) "
                                     "followed by '#' and the data file's name.")
                          .arg(shownLocation(location)));
    if (holdsPassword(loc.uri))
        throw DbError(err::InvalidPath,
                      QStringLiteral("The location %1 holds a password. Passwords are not kept "
                                     "with the data path: give it in ~/.pgpass or PGPASSWORD.")
                          .arg(shownLocation(loc.uri)));
    loc.schema = loc.name.toLower();
    return loc;
}

QString serverUriOf(const QString& location) {
    // As the launcher of the command-line programs finds it, so that its connection is
    // taken over.
    return QString::fromStdString(start::serverUriOf(location.toStdString()));
}

QString postgresFromSqliteText(const QString& sql) {
    QString named = postgresNamesIn(sql);
    QString out;
    out.reserve(named.size());
    bool inLiteral = false;
    for (qsizetype i = 0; i < named.size(); ++i) {
        const QChar c = named[i];
        if (c == u'\'')
            inLiteral = !inLiteral;
        out += (!inLiteral && c == u'?') ? QChar(u'$') : c;
    }
    return out;
}

void requireMarkersFor(const QString& postgresSql, size_t valueCount, const QString& context) {
    size_t highest = 0;
    bool inLiteral = false;
    for (qsizetype i = 0; i < postgresSql.size(); ++i) {
        const QChar c = postgresSql[i];
        if (c == u'\'')
            inLiteral = !inLiteral;
        if (inLiteral || c != u'$')
            continue;
        qsizetype end = i + 1;
        while (end < postgresSql.size() && postgresSql[end].isDigit())
            ++end;
        if (end > i + 1)
            highest = std::max<size_t>(highest, postgresSql.mid(i + 1, end - i - 1).toULongLong());
    }
    if (highest != valueCount)
        throw DbError(err::TooFewParameters,
                      QStringLiteral("\"%1\" has %2 value markers but %3 values were given.")
                          .arg(context)
                          .arg(highest)
                          .arg(valueCount));
}

}  // namespace velmora::data::pg
