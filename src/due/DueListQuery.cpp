#include "DueListQuery.h"

#include <QStringList>

namespace velmora::due {

QString dueListSql() {
    const QStringList columns = {
        QStringLiteral("Parts.ItemNumber"),
        QStringLiteral("Parts.Description"),
        QStringLiteral("Parts.PartNumber"),
        QStringLiteral("Parts.[Serial#]"),
        QStringLiteral("Parts.MeterNumber"),
        QStringLiteral("Parts.LifeBasis"),
        QStringLiteral("Parts.LifeNumber"),
        QStringLiteral("Parts.InstallTimeLeft"),
        QStringLiteral("Parts.InstallACHour"),
        QStringLiteral("IIf([LifeBasis]='MO',DateAdd('m',[LifeNumber],[InstallDate]),Null) AS "
                       "RetireDate"),
    };
    return QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
           QStringLiteral(
               " FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = Parts.RegNum "
               "WHERE (Parts.Active = Yes) and (Aircraft.rowid = ?1)");
}

}  // namespace velmora::due
