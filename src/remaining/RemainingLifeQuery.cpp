#include "RemainingLifeQuery.h"

#include "data/JetSqlTranslator.h"
#include "data/JetText.h"

#include <QStringList>

namespace velmora::remaining {

namespace {

// The ten computed columns, in their order.
const char* const kColumnTerms[] = {
    "IIf(([LifeBasis]='RT' And [MeterNumber]=1),[LifeNumber]-[InstallTimeLeft]-([TotalTime]-"
    "[InstallACHour]), ) AS TTtoRET",
    "IIf(([LifeBasis]='RT' And [MeterNumber]=2),[LifeNumber]-[InstallTimeLeft]-([TotalTime2]-"
    "[InstallACHour]), ) AS TTtoRET2",
    "IIf([LifeBasis]='LD',[LifeNumber]-[InstallTimeLeft]-([TotalLandings]-[InstallACHour]), ) "
    "AS LNDtoRET",
    "IIf([LifeBasis]='CY',[LifeNumber]-[InstallTimeLeft]-([TotalCycles]-[InstallACHour]),0) AS "
    "CYCtoRET",
    "IIf([LifeBasis]='RN',[LifeNumber]-[InstallTimeLeft]-([TotalRIN]-[InstallACHour]), ) AS "
    "RINtoRET",
    "IIf(([LifeBasis]='OH' And [MeterNumber]=1),[LifeNumber]-[InstallTimeLeft]-([TotalTime]-"
    "[InstallACHour]), ) AS TTtoOH",
    "IIf(([LifeBasis]='IN' And [MeterNumber]=1),[LifeNumber]-[InstallTimeLeft]-([TotalTime]-"
    "[InstallACHour]), ) AS TTtoIN",
    "IIf([LifeBasis]='MO',Format(DateAdd('m',[LifeNumber],[InstallDate]),'mm/dd/yy'),' ') AS "
    "MTHStoRT",
    "IIf(([LifeBasis]='OH' And [MeterNumber]=2),[LifeNumber]-[InstallTimeLeft]-([TotalTime2]-"
    "[InstallACHour]), ) AS TTtoOH2",
    "IIf(([LifeBasis]='IN' And [MeterNumber]=2),[LifeNumber]-[InstallTimeLeft]-([TotalTime2]-"
    "[InstallACHour]), ) AS TTtoIN2",
};

}  // namespace

QString remainingLifeSql(const QString& regNum, MeterView view) {
    QStringList terms;
    for (const char* t : kColumnTerms)
        terms << QString::fromLatin1(t);
    const QString reg = data::quoteJetLiteral(data::trimBlanks(regNum));
    QString sql = QStringLiteral("SELECT Aircraft.*, Parts.*, ") +
                  terms.join(QStringLiteral(", ")) +
                  QStringLiteral(
                      " FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = "
                      "Parts.RegNum Where ((Parts.Active = Yes) and ");
    if (view == MeterView::Meter1)
        sql += QStringLiteral("(Parts.MeterNumber=1) and ");
    else if (view == MeterView::Meter2)
        sql += QStringLiteral("(Parts.MeterNumber=2) and ");
    sql += QStringLiteral("(Parts.RegNum=") + reg + QStringLiteral("))");
    sql += QStringLiteral(" Order by [ItemNumber]");
    return sql;
}

}  // namespace velmora::remaining
