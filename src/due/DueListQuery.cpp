#include "DueListQuery.h"

#include <QStringList>

namespace velmora::due {

namespace {

// Each counted basis and meter with the aircraft total it counts against, in the order of
// the remaining-life list's columns.
struct Counted {
    const char* condition;
    const char* total;
};

const Counted kCounted[] = {
    {"([LifeBasis]='RT' And [MeterNumber]=1)", "[TotalTime]"},
    {"([LifeBasis]='RT' And [MeterNumber]=2)", "[TotalTime2]"},
    {"[LifeBasis]='LD'", "[TotalLandings]"},
    {"[LifeBasis]='CY'", "[TotalCycles]"},
    {"[LifeBasis]='RN'", "[TotalRIN]"},
    {"([LifeBasis]='OH' And [MeterNumber]=1)", "[TotalTime]"},
    {"([LifeBasis]='IN' And [MeterNumber]=1)", "[TotalTime]"},
    {"([LifeBasis]='OH' And [MeterNumber]=2)", "[TotalTime2]"},
    {"([LifeBasis]='IN' And [MeterNumber]=2)", "[TotalTime2]"},
};

const char* const kCodes[] = {"RT", "OH", "IN", "MO", "LD", "CY", "RN"};

QString remainingTerm() {
    QString term = QStringLiteral("Null");
    for (int i = static_cast<int>(std::size(kCounted)) - 1; i >= 0; --i) {
        const Counted& c = kCounted[i];
        term = QStringLiteral("IIf(%1,[LifeNumber]-[InstallTimeLeft]-(%2-[InstallACHour]),%3)")
                   .arg(QLatin1String(c.condition), QLatin1String(c.total), term);
    }
    return term + QStringLiteral(" AS Remaining");
}

QString basisTerm() {
    QString term = QStringLiteral("Null");
    for (int i = static_cast<int>(std::size(kCodes)) - 1; i >= 0; --i)
        term = QStringLiteral("IIf([LifeBasis]='%1',%2,%3)")
                   .arg(QLatin1String(kCodes[i]))
                   .arg(i)
                   .arg(term);
    return term + QStringLiteral(" AS BasisIndex");
}

}  // namespace

QString dueListSql(qint64 aircraftRowId) {
    const QStringList columns = {
        QStringLiteral("Parts.ItemNumber"),
        QStringLiteral("Parts.Description"),
        QStringLiteral("Parts.PartNumber"),
        QStringLiteral("Parts.[Serial#]"),
        QStringLiteral("Parts.MeterNumber"),
        QStringLiteral("Parts.LifeBasis"),
        QStringLiteral("Parts.LifeNumber"),
        basisTerm(),
        remainingTerm(),
        QStringLiteral("IIf([LifeBasis]='MO',DateAdd('m',[LifeNumber],[InstallDate]),Null) AS "
                       "RetireDate"),
    };
    return QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
           QStringLiteral(
               " FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = Parts.RegNum "
               "WHERE (Parts.Active = Yes) and (Aircraft.rowid = %1) Order by Parts.ItemNumber")
               .arg(aircraftRowId);
}

}  // namespace velmora::due
