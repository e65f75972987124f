#include "UtilisationSettings.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Recordset.h"

namespace velmora::utilisation {

int averageDays(data::Database& companyDb) {
    if (!companyDb.hasTable(kUtilisationSettingsTable))
        return kDefaultAverageDays;
    auto rs = companyDb.openRecordset(kUtilisationSettingsTable);
    if (rs->recordCount() == 0)
        return kDefaultAverageDays;
    const data::Value v = rs->value(QStringLiteral("AverageDays"));
    const auto days = v.isNull() ? kDefaultAverageDays : static_cast<int>(v.toInt());
    return days < kLeastAverageDays || days > kMostAverageDays ? kDefaultAverageDays : days;
}

int averageDaysOf(const QString& companyFile) {
    if (companyFile.isEmpty())
        return kDefaultAverageDays;
    try {
        return averageDays(*data::Database::open(data::resolvePathCaseInsensitive(companyFile)));
    } catch (const data::DbError&) {
        return kDefaultAverageDays;
    }
}

void setAverageDays(data::Database& companyDb, int days) {
    if (days < kLeastAverageDays || days > kMostAverageDays)
        throw data::DbError(data::err::TypeMismatch,
                            QStringLiteral("Use is averaged over %1 to %2 days, not %3.")
                                .arg(kLeastAverageDays)
                                .arg(kMostAverageDays)
                                .arg(days));
    data::Transaction tx(companyDb);
    if (!companyDb.hasTable(kUtilisationSettingsTable))
        companyDb.execute(QStringLiteral("CREATE TABLE UtilisationSettings (AverageDays LONG)"));
    companyDb.execute(QStringLiteral("DELETE FROM UtilisationSettings"));
    companyDb.executeBound(
        QStringLiteral("INSERT INTO UtilisationSettings (AverageDays) VALUES (?1)"),
        {data::Value(days)});
    tx.commit();
}

}  // namespace velmora::utilisation
