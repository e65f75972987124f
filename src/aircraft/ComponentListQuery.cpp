#include "ComponentListQuery.h"

#include "data/JetSqlTranslator.h"

namespace velmora::aircraft {

QString componentListSql(const QString& regNum, ShowRecords show, OrderBy order) {
    QString sql = QStringLiteral(
        "select [RegNum],[ItemNumber],[MeterNumber],[Assembly],[Active],[PartNumber],[Serial#],"
        "[Description],[DatePurchased],[Manufacturer],[Inspection],[ReplaceCost],"
        "[ReservePerHour],[LifeNumber],[LifeBasis],[InstallDate],[InstallTimeLeft],"
        "[InstallACHour],[Notes],[OilAnalysis] from [Parts] where [RegNum]=");
    sql += data::quoteJetLiteral(regNum);
    switch (show) {
        case ShowRecords::Installed:
            sql += QStringLiteral(" and  [Active] = Yes");
            break;
        case ShowRecords::NotInstalled:
            sql += QStringLiteral(" and  [Active] = No");
            break;
        case ShowRecords::All:
            sql += u' ';
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
