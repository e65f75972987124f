#include "FleetWriter.h"

#include "data/JetSqlTranslator.h"
#include "data/Schema.h"

#include <cmath>

namespace velmora::demo {

using data::Value;

namespace {

const QStringList kAircraftColumns = {
    QStringLiteral("RegNum"),
    QStringLiteral("Serial Number"),
    QStringLiteral("Make"),
    QStringLiteral("Model"),
    QStringLiteral("Year"),
    QStringLiteral("Engine1Serial"),
    QStringLiteral("Engine2Serial"),
    QStringLiteral("Owner"),
    QStringLiteral("CurrentMeter1"),
    QStringLiteral("CurrentMeter2"),
    QStringLiteral("LastMeter1"),
    QStringLiteral("LastMeter2"),
    QStringLiteral("TotalTime"),
    QStringLiteral("TotalTime2"),
    QStringLiteral("TotalLandings"),
    QStringLiteral("TotalCycles"),
    QStringLiteral("TotalRIN"),
    QStringLiteral("TrackLandings"),
    QStringLiteral("TrackCycles"),
    QStringLiteral("TrackRIN"),
    QStringLiteral("HobbsVSTach"),
    QStringLiteral("ForecastMeter1"),
    QStringLiteral("ForecastMeter2"),
    QStringLiteral("ForecastMonths"),
    QStringLiteral("ForecastCycles"),
    QStringLiteral("ForecastLandings"),
    QStringLiteral("ForecastRIN"),
    QStringLiteral("ShowPurchase"),
    QStringLiteral("ShowInspection"),
    QStringLiteral("ShowAssembly"),
    QStringLiteral("ShowManufacturer"),
    QStringLiteral("ShowCost"),
    QStringLiteral("ShowRIN"),
    QStringLiteral("ShowCycles"),
    QStringLiteral("ShowLandings"),
};

const QStringList kPartsColumns = {
    QStringLiteral("RegNum"),          QStringLiteral("ItemNumber"),
    QStringLiteral("MeterNumber"),     QStringLiteral("Active"),
    QStringLiteral("Assembly"),        QStringLiteral("Description"),
    QStringLiteral("PartNumber"),      QStringLiteral("Serial#"),
    QStringLiteral("DatePurchased"),   QStringLiteral("Manufacturer"),
    QStringLiteral("Inspection"),      QStringLiteral("ReplaceCost"),
    QStringLiteral("ReservePerHour"),  QStringLiteral("LifeNumber"),
    QStringLiteral("LifeBasis"),       QStringLiteral("InstallDate"),
    QStringLiteral("InstallTimeLeft"), QStringLiteral("InstallACHour"),
    QStringLiteral("Notes"),           QStringLiteral("OilAnalysis"),
};

QStringList oilColumns() {
    QStringList c = {QStringLiteral("RegNum"), QStringLiteral("Component"),
                     QStringLiteral("DatePerformed")};
    for (const char* e : kOilElements)
        c << QString::fromLatin1(e);
    c << QStringLiteral("EngineHrs");
    return c;
}

// Null for text that was never set, so that an absent value reads as Null, not as "".
Value text(const QString& s) {
    return s.isNull() ? Value() : Value(s);
}
Value money(double v) {
    return Value(std::round(v * 10000.0) / 10000.0);
}

}  // namespace

MainFileWriter::MainFileWriter(data::Database& db)
    : aircraft_(db, QStringLiteral("Aircraft"), kAircraftColumns),
      parts_(db, QStringLiteral("Parts"), kPartsColumns),
      oil_(db, QStringLiteral("Oil"), oilColumns()) {}

void MainFileWriter::add(const AircraftRow& a) {
    aircraft_.add({text(a.regNum),   text(a.serialNumber),  text(a.make),          text(a.model),
                   text(a.year),     text(a.engine1Serial), text(a.engine2Serial), text(a.owner),
                   a.currentMeter1,  a.currentMeter2,       a.lastMeter1,          a.lastMeter2,
                   a.totalTime,      a.totalTime2,          a.totalLandings,       a.totalCycles,
                   a.totalRin,       a.trackLandings,       a.trackCycles,         a.trackRin,
                   a.hobbsVsTach,    a.forecastMeter1,      a.forecastMeter2,      a.forecastMonths,
                   a.forecastCycles, a.forecastLandings,    a.forecastRin,         a.showPurchase,
                   a.showInspection, a.showAssembly,        a.showManufacturer,    a.showCost,
                   a.showRin,        a.showCycles,          a.showLandings});
}

void MainFileWriter::add(const ComponentRow& c) {
    parts_.add(
        {text(c.regNum),          c.itemNumber,         c.meterNumber,      c.active,
         text(c.assembly),        text(c.description),  text(c.partNumber), text(c.serial),
         Value(c.datePurchased),  text(c.manufacturer), text(c.inspection), money(c.replaceCost),
         money(c.reservePerHour), c.lifeNumber,         text(c.lifeBasis),  Value(c.installDate),
         c.installTimeLeft,       c.installAcHour,      text(c.notes),      c.oilAnalysis});
}

void MainFileWriter::add(const OilSampleRow& s) {
    std::vector<Value> row;
    row.reserve(kOilElementCount + 4);
    row.emplace_back(text(s.regNum));
    row.emplace_back(text(s.component));
    row.emplace_back(s.datePerformed);
    for (double v : s.ppm)
        row.emplace_back(v);
    row.emplace_back(s.engineHours);
    oil_.add(std::move(row));
}

void MainFileWriter::finish() {
    aircraft_.finish();
    parts_.finish();
    oil_.finish();
}

TemplateFileWriter::TemplateFileWriter(data::Database& db) : db_(db) {}

void TemplateFileWriter::addMake(const QString& make) {
    db_.execute(data::schema::templateTableStatement(make));
}

void TemplateFileWriter::addModel(const QString& make, const QString& model) {
    db_.executeBound(QStringLiteral("INSERT INTO [Aircraft] ([Make], [Model]) VALUES (?1, ?2)"),
                     {Value(make), Value(model)});
}

void TemplateFileWriter::add(const QString& make, const TemplateRow& r) {
    db_.executeBound(
        QStringLiteral("INSERT INTO %1 ([ItemNumber], [Model], [Year], "
                       "[Manufacturer], [Description], [PartNum], [Assembly], "
                       "[TBO], [Basis], [Cost]) VALUES (?1, ?2, ?3, ?4, ?5, ?6, "
                       "?7, ?8, ?9, ?10)")
            .arg(data::quoteJetName(make)),
        {r.itemNumber, text(r.model), r.year, text(r.manufacturer), text(r.description),
         text(r.partNum), text(r.assembly), r.tbo, text(r.basis), money(r.cost)});
}

}  // namespace velmora::demo
