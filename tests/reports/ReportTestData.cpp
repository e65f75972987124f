// The test fleet of the report tests, with its remaining life worked out by hand.
//
// Aircraft N1: TotalTime 1500, TotalTime2 800, landings 4100, cycles 2500, RIN 300.
// Forecast increases: meter 1 +100, meter 2 +50, landings +200, cycles +100, RIN Null
// (counts as 0), months 6.
//
// item basis meter life  at install used/ac  remaining                  forecast
//  1   RT   1     3000  500 / 1000           3000-500-(1500-1000)=2000   1900
//  2   OH   2     1200    0 / 300            1200-0-(800-300)=700         650
//  3   IN   1      100    0 / 1450           100-0-(1500-1450)=50         -50 (due)
//  4   LD   1     5000 1000 / 1000           5000-1000-(4100-1000)=900    700
//  5   CY   1     3000  600 / 500            3000-600-(2500-500)=400      300
//  6   RN   1      520    0 / 100            520-0-(300-100)=320          320
//  7   RT   1     1000 412.5 / 900           1000-412.5-(1500-900)=-12.5  -112.5 (overdue)
//  8   MO   1       12 installed 13 months ago: retired a month ago       (overdue)
//  9   MO   1       24 installed 20 months ago: retires in 4 months        due within 6
// 10   RT   2     2000  100 / 0              2000-100-(800-0)=1100        1050
// 11   RT   1     9999 inactive: not listed
// Aircraft N2 has one component (item 1, RT, 5000, remaining 4321) that N1's report must
// not show; aircraft O'K1 (a quote in its registration) one RT component remaining 777.
#include "ReportTestData.h"

#include "data/Database.h"
#include "data/Recordset.h"
#include "reportfiles/ReportDefinition.h"
#include "reportfiles/ReportQueries.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace velmora::testing {

namespace {

void setAircraft(data::Database& db, const QString& reg, const QStringList& cols,
                 const std::vector<data::Value>& values) {
    auto rs = db.openRecordset(QStringLiteral("Aircraft"));
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        if (rs->value(QStringLiteral("RegNum")).toString() == reg) {
            rs->edit();
            for (int i = 0; i < cols.size(); ++i)
                rs->setValue(cols[i], values[static_cast<size_t>(i)]);
            rs->update();
            return;
        }
    }
}

void addNamedPart(data::Database& db, PartSpec p, const QString& partNumber) {
    addPart(db, p);
    auto rs = db.openRecordset(QStringLiteral("Parts"));
    rs->moveLast();
    rs->edit();
    rs->setValue(QStringLiteral("PartNumber"), partNumber);
    rs->setValue(QStringLiteral("Serial#"), QStringLiteral("SN-") + QString::number(p.item));
    rs->update();
}

}  // namespace

QString isoMonthsFromToday(int months) {
    return QDate::currentDate().addMonths(months).toString(Qt::ISODate);
}

ReportFolder::ReportFolder() {
    main = folder.createMainFile();
    db = data::Database::open(main);
    reports::ensureReportQueries(*db);
    reports::writeDefaultReportDefinitions(folder.path());

    addAircraft(*db, QStringLiteral("N1"), 1500, 800, 4100, 2500, 300);
    setAircraft(
        *db, QStringLiteral("N1"),
        {QStringLiteral("Make"), QStringLiteral("Model"), QStringLiteral("Serial Number"),
         QStringLiteral("ForecastMeter1"), QStringLiteral("ForecastMeter2"),
         QStringLiteral("ForecastLandings"), QStringLiteral("ForecastCycles"),
         QStringLiteral("ForecastMonths")},
        {data::Value("Bell"), data::Value("206B"), data::Value("SN4471"), data::Value(100.0),
         data::Value(50.0), data::Value(200.0), data::Value(100.0), data::Value(6.0)});
    const QString n1 = QStringLiteral("N1");
    addNamedPart(*db, part(n1, 1).withLife(3000, 500, 1000).describedAs("Main rotor blade"),
                 "MRB-1");
    addNamedPart(
        *db, part(n1, 2).withBasis("OH").withMeter(2).withLife(1200, 0, 300).describedAs("Engine"),
        "ENG-2");
    addNamedPart(*db, part(n1, 3).withBasis("IN").withLife(100, 0, 1450).describedAs("Gearbox"),
                 "GBX-3");
    addNamedPart(*db,
                 part(n1, 4).withBasis("LD").withLife(5000, 1000, 1000).describedAs("Skid tube"),
                 "SKD-4");
    addNamedPart(*db, part(n1, 5).withBasis("CY").withLife(3000, 600, 500).describedAs("Turbine"),
                 "TRB-5");
    addNamedPart(*db, part(n1, 6).withBasis("RN").withLife(520, 0, 100).describedAs("Hoist"),
                 "HST-6");
    addNamedPart(*db, part(n1, 7).withLife(1000, 412.5, 900).describedAs("Tail rotor hub"),
                 "TRH-7");
    addNamedPart(*db,
                 part(n1, 8)
                     .withBasis("MO")
                     .withLife(12, 0, 0)
                     .installedOn(isoMonthsFromToday(-13))
                     .describedAs("Fire bottle"),
                 "FB-8");
    addNamedPart(*db,
                 part(n1, 9)
                     .withBasis("MO")
                     .withLife(24, 0, 0)
                     .installedOn(isoMonthsFromToday(-20))
                     .describedAs("Life raft"),
                 "LR-9");
    addNamedPart(*db, part(n1, 10).withMeter(2).withLife(2000, 100, 0).describedAs("Starter"),
                 "STR-10");
    addNamedPart(*db, part(n1, 11).withLife(9999, 0, 0).inactive().describedAs("Removed pump"),
                 "RP-11");

    addAircraft(*db, QStringLiteral("N2"), 679, 0, 0, 0, 0);
    addNamedPart(*db, part("N2", 1).withLife(5000, 0, 0).describedAs("Other aircraft part"),
                 "OTH-1");
    addAircraft(*db, QStringLiteral("O'K1"), 23, 0, 0, 0, 0);
    addNamedPart(*db, part("O'K1", 1).withLife(800, 0, 0).describedAs("Quoted aircraft part"),
                 "QAP-1");
}

void ReportFolder::addManyParts(const QString& reg, int n) {
    data::Transaction tx(*db);
    for (int i = 0; i < n; ++i)
        addNamedPart(*db,
                     part(reg, 100 + i)
                         .withLife(5000 + i, 0, 0)
                         .describedAs(QStringLiteral("Long list component %1").arg(i)),
                     QStringLiteral("LL-%1").arg(i));
    tx.commit();
}

bool havePdfToText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QString pdfText(const QString& pdf, QString* why, int firstPage, int lastPage) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) {
        *why = QStringLiteral("pdftotext is not installed");
        return {};
    }
    QStringList args{QStringLiteral("-layout")};
    if (firstPage > 0)
        args << QStringLiteral("-f") << QString::number(firstPage);
    if (lastPage > 0)
        args << QStringLiteral("-l") << QString::number(lastPage);
    args << pdf << QStringLiteral("-");
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        *why =
            QStringLiteral("pdftotext failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList words(const QString& text) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.split(blanks, Qt::SkipEmptyParts);
}

}  // namespace velmora::testing
