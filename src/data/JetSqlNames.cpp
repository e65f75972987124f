#include "JetSqlNames.h"

#include "DbError.h"

namespace velmora::data {

bool isEngineCatalogName(const QString& name) {
    const QString n = name.trimmed();
    for (const char* prefix : {"sqlite_", "pragma_", "pg_"}) {
        if (n.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
            return true;
    }
    for (const char* exact : {"dbstat", "json_each", "json_tree", "information_schema"}) {
        if (n.compare(QLatin1String(exact), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void requireDataSetName(const QString& name) {
    if (isEngineCatalogName(name))
        throw DbError(err::ObjectNotFound,
                      QStringLiteral("Cannot find the table or query '%1'.").arg(name));
}

}  // namespace velmora::data
