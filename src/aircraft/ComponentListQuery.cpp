#include "ComponentListQuery.h"

namespace velmora::aircraft {

QString quotedRegNum(const QString& regNum) {
    QString q = regNum;
    q.replace(u'\'', QStringLiteral("''"));
    return q;
}

QString componentListSql(const QString& regNum, ShowRecords show, OrderBy order) {
    QString sql = QStringLiteral(
        "select [RegNum],[ItemNumber],[MeterNumber],[Assembly],[Active],[PartNumber],[Serial#],"
        "[Description],[DatePurchased],[Manufacturer],[Inspection],[ReplaceCost],"
        "[ReservePerHour],[LifeNumber],[LifeBasis],[InstallDate],[InstallTimeLeft],"
        "[InstallACHour],[Notes],[OilAnalysis] from [Parts] where [RegNum]='");
    sql += quotedRegNum(regNum);
    switch (show) {
        case ShowRecords::Installed:
            sql += QStringLiteral("' and  [Active] = Yes");
            break;
        case ShowRecords::NotInstalled:
            sql += QStringLiteral("' and  [Active] = No");
            break;
        case ShowRecords::All:
            sql += QStringLiteral("' ");
            break;
    }
    switch (order) {
        case OrderBy::ItemNumber:
            sql += QStringLiteral(" Order by [ItemNumber]");
            break;
        case OrderBy::Assembly:
            sql += QStringLiteral(" Order by [Assembly]");
            break;
        case OrderBy::Inspection:
            sql += QStringLiteral(" Order by [Inspection]");
            break;
    }
    return sql;
}

}  // namespace velmora::aircraft
