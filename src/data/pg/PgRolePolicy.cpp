#include "PgRolePolicy.h"

#include "PgRoles.h"

#include "data/JetSqlTranslator.h"

namespace velmora::data::pg {

namespace {

// The tables of the main data set whose rows the daily entry changes.
const char* const kEntryTables[] = {"aircraft", "parts", "oil", "plannedutilisation"};
// The journal: lines are added, never changed or deleted.
const char kJournalTable[] = "journal";

}  // namespace

QStringList tableGrants(const QString& schema, const QString& table) {
    const QString t = quoteSqliteName(schema) + u'.' + quoteSqliteName(table);
    const QString read = QLatin1String(kReadRole);
    const QString entry = QLatin1String(kEntryRole);
    const QString admin = QLatin1String(kAdminRole);
    QStringList out{
        QStringLiteral("ALTER TABLE %1 OWNER TO %2").arg(t, admin),
        // What a role held before (an earlier setup, a hand-made grant) gives way to the rule.
        QStringLiteral("REVOKE ALL ON %1 FROM PUBLIC, %2, %3").arg(t, read, entry),
        QStringLiteral("GRANT SELECT ON %1 TO %2").arg(t, read),
    };
    if (schema == u"timemgr") {
        for (const char* name : kEntryTables) {
            if (table == QLatin1String(name))
                out << QStringLiteral("GRANT INSERT, UPDATE, DELETE ON %1 TO %2").arg(t, entry);
        }
        if (table == QLatin1String(kJournalTable))
            out << QStringLiteral("GRANT INSERT ON %1 TO %2").arg(t, entry);
    }
    return out;
}

QString rolesExistQuery() {
    return QStringLiteral("SELECT count(*) = 3 FROM pg_roles WHERE rolname IN ('%1', '%2', '%3')")
        .arg(QLatin1String(kReadRole), QLatin1String(kEntryRole), QLatin1String(kAdminRole));
}

}  // namespace velmora::data::pg
