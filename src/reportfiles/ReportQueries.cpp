#include "ReportQueries.h"

#include "ReportDefinition.h"
#include "data/Database.h"

#include <QStringList>

namespace velmora::reports {

namespace {

// The aircraft total a component's flight time counts against: the total of its own meter.
const QString kMeterTotal = QStringLiteral(
    "IIf([Parts].[MeterNumber]=1,[Aircraft].[TotalTime],IIf([Parts].[MeterNumber]=2,"
    "[Aircraft].[TotalTime2],Null))");

// The forecast increase of the component's meter.
const QString kMeterIncrease = QStringLiteral(
    "IIf([Parts].[MeterNumber]=1,Nz([Aircraft].[ForecastMeter1],0),IIf([Parts].[MeterNumber]=2,"
    "Nz([Aircraft].[ForecastMeter2],0),0))");

const QString kRetireDate =
    QStringLiteral("DateAdd('m',[Parts].[LifeNumber],[Parts].[InstallDate])");

bool isTimeBasis(const QString& basis) {
    return basis == u"RT" || basis == u"OH" || basis == u"IN";
}

// Life left on a counted basis: the limit less the life used before installation less
// what the aircraft has added since; with a forecast, less the increase as well.
QString remainingTerm(const QString& basis, bool forecast) {
    QString total, increase;
    if (isTimeBasis(basis)) {
        total = kMeterTotal;
        increase = kMeterIncrease;
    } else if (basis == u"LD") {
        total = QStringLiteral("[Aircraft].[TotalLandings]");
        increase = QStringLiteral("Nz([Aircraft].[ForecastLandings],0)");
    } else if (basis == u"CY") {
        total = QStringLiteral("[Aircraft].[TotalCycles]");
        increase = QStringLiteral("Nz([Aircraft].[ForecastCycles],0)");
    } else {
        total = QStringLiteral("[Aircraft].[TotalRIN]");
        increase = QStringLiteral("Nz([Aircraft].[ForecastRIN],0)");
    }
    QString term = QStringLiteral("[Parts].[LifeNumber]-[Parts].[InstallTimeLeft]-(") + total +
                   QStringLiteral("-[Parts].[InstallACHour])");
    if (forecast)
        term += u'-' + increase;
    return QStringLiteral("(") + term + u')';
}

QString onBasis(const QString& basis, const QString& value) {
    return QStringLiteral("IIf([Parts].[LifeBasis]='%1',%2,Null)").arg(basis, value);
}

// The remaining value on whichever counted basis the component has; Null for months.
QString anyBasisTerm(bool forecast) {
    QString t = QStringLiteral("Null");
    for (const char* b : {"RN", "CY", "LD", "IN", "OH", "RT"}) {
        const QString basis = QString::fromLatin1(b);
        t = QStringLiteral("IIf([Parts].[LifeBasis]='%1',%2,%3)")
                .arg(basis, remainingTerm(basis, forecast), t);
    }
    return t;
}

// Whether a months component retires before the day the given number of months from
// today (0: before today).
QString retireDueTerm(const QString& monthsAhead) {
    return QStringLiteral(
               "IIf([Parts].[LifeBasis]='MO',IIf(DateDiff('d',DateAdd('m',%1,Date()),"
               "%2)<0,-1,0),0)")
        .arg(monthsAhead, kRetireDate);
}

// Whether the component is due: its remaining value below zero, or its retirement date
// before that day.
QString dueTerm(bool forecast, const QString& monthsAhead) {
    return QStringLiteral("IIf(%1<0,-1,IIf(%2<>0,-1,0))")
        .arg(anyBasisTerm(forecast), retireDueTerm(monthsAhead));
}

QString reportSql(bool forecast, const QString& extraCondition = QString()) {
    QStringList cols = {
        QStringLiteral("Aircraft.RegNum"),     QStringLiteral("Parts.RegNum"),
        QStringLiteral("Aircraft.Make"),       QStringLiteral("Aircraft.Model"),
        QStringLiteral("Parts.ItemNumber"),    QStringLiteral("Parts.MeterNumber"),
        QStringLiteral("Parts.Assembly"),      QStringLiteral("Parts.Description"),
        QStringLiteral("Parts.PartNumber"),    QStringLiteral("Parts.[Serial#]"),
        QStringLiteral("Parts.Manufacturer"),  QStringLiteral("Parts.Inspection"),
        QStringLiteral("Parts.LifeNumber"),    QStringLiteral("Parts.LifeBasis"),
        QStringLiteral("Parts.InstallDate"),   QStringLiteral("Parts.InstallTimeLeft"),
        QStringLiteral("Parts.InstallACHour"),
    };
    const struct {
        const char* basis;
        const char* name;
    } counted[] = {{"RT", "TTtoRET"},  {"OH", "TTtoOH"},   {"IN", "TTtoIN"},
                   {"LD", "LNDtoRET"}, {"CY", "CYCtoRET"}, {"RN", "RINtoRET"}};
    for (const auto& c : counted) {
        const QString basis = QString::fromLatin1(c.basis);
        cols << onBasis(basis, remainingTerm(basis, forecast)) + QStringLiteral(" AS ") +
                    QString::fromLatin1(c.name);
    }
    cols << onBasis(QStringLiteral("MO"), kRetireDate) + QStringLiteral(" AS RetireDate");
    cols << anyBasisTerm(forecast) + QStringLiteral(" AS Remaining");
    const QString now = dueTerm(false, QStringLiteral("0"));
    if (!forecast) {
        cols << retireDueTerm(QStringLiteral("0")) + QStringLiteral(" AS RetireDue");
        cols << now + QStringLiteral(" AS Overdue");
        cols << QStringLiteral("IIf(%1<>0,'OVERDUE','') AS Status").arg(now);
    } else {
        const QString months = QStringLiteral("Nz([Aircraft].[ForecastMonths],0)");
        const QString due = dueTerm(true, months);
        cols << retireDueTerm(months) + QStringLiteral(" AS RetireDue");
        cols << QStringLiteral("IIf(%1<>0,-1,%2) AS Due").arg(now, due);
        cols << QStringLiteral("IIf(%1<>0,'OVERDUE',IIf(%2<>0,'DUE','')) AS Status").arg(now, due);
    }
    return QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) +
           QStringLiteral(
               " FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = Parts.RegNum "
               "WHERE Parts.Active = Yes") +
           extraCondition + QStringLiteral(" ORDER BY Aircraft.RegNum, Parts.ItemNumber");
}

}  // namespace

QString remainingReportSql() {
    return reportSql(false);
}

QString forecastReportSql() {
    return reportSql(true);
}

QString reportSqlForAircraftRow(const QString& source, qint64 aircraftRowId) {
    const QString only = QStringLiteral(" AND Aircraft.rowid = ") + QString::number(aircraftRowId);
    if (source.compare(kRemainingSource, Qt::CaseInsensitive) == 0)
        return reportSql(false, only);
    if (source.compare(kForecastSource, Qt::CaseInsensitive) == 0)
        return reportSql(true, only);
    return {};
}

void ensureReportQueries(data::Database& db) {
    const bool needRemaining = !db.hasQueryDef(kRemainingSource);
    const bool needForecast = !db.hasQueryDef(kForecastSource);
    if (!needRemaining && !needForecast)
        return;
    data::Transaction tx(db);
    if (needRemaining)
        db.createQueryDef(kRemainingSource, remainingReportSql());
    if (needForecast)
        db.createQueryDef(kForecastSource, forecastReportSql());
    tx.commit();
}

}  // namespace velmora::reports
