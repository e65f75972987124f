#include "FleetGenerator.h"

#include "AverageUse.h"
#include "ComponentLife.h"
#include "FleetWriter.h"
#include "Random.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "reportfiles/MainDataFile.h"
#include "utilisation/PlannedUtilisation.h"

#include <QDir>

#include <algorithm>
#include <array>

namespace velmora::bench {

using demo::AircraftRow;
using demo::ComponentRow;
using demo::OilSampleRow;
using demo::Random;
using demo::roundTo;

namespace {

constexpr std::uint64_t kSeed = 20250615;

const std::array<const char*, 7> kBases = {"RT", "OH", "IN", "MO", "LD", "CY", "RN"};
const std::array<const char*, 8> kAssemblies = {"Main Rotor", "Tail Rotor",     "Drive System",
                                                "Engine",     "Landing Gear",   "Airframe",
                                                "Avionics",   "Flight Controls"};
const std::array<const char*, 12> kNames = {"Bearing", "Actuator", "Servo",    "Gearbox",
                                            "Pump",    "Fitting",  "Coupling", "Damper",
                                            "Magneto", "Valve",    "Blade",    "Link"};
const std::array<const char*, 6> kMakers = {"Orrin Engine Works",    "Vallis Turbine Co.",
                                            "Kerrow Hydraulics",     "Halvard Avionics",
                                            "Ashmoor Wheel & Brake", "Stennet Propeller"};
const std::array<const char*, 5> kInspections = {"50 HR", "100 HR", "300 HR", "ANNUAL", "600 HR"};

double lifeFor(const QString& basis, Random& rng) {
    if (basis == u"RT")
        return 100.0 * rng.between(22, 120);
    if (basis == u"OH")
        return 100.0 * rng.between(10, 35);
    if (basis == u"IN")
        return 50.0 * rng.between(1, 12);
    if (basis == u"MO")
        return 12.0 * rng.between(1, 12);
    if (basis == u"LD")
        return 100.0 * rng.between(4, 240);
    if (basis == u"CY")
        return 1000.0 * rng.between(8, 30);
    return 500.0 * rng.between(3, 44);  // RN
}

AircraftRow aircraftRow(int index, Random& rng) {
    AircraftRow a;
    a.regNum = fleetRegNum(index);
    a.serialNumber = QString::number(rng.between(1000, 99999));
    a.make = QStringLiteral("Maker %1").arg(index % 7 + 1);
    a.model = QStringLiteral("M-%1").arg(index % 23 + 10);
    a.year = QString::number(rng.between(1990, 2020));
    a.engine1Serial = QStringLiteral("E-%1").arg(rng.between(10000, 99999));
    if (index % 3 == 0)
        a.engine2Serial = QStringLiteral("E-%1").arg(rng.between(10000, 99999));
    a.owner = QStringLiteral("Operator %1\nHangar %2").arg(index % 40 + 1).arg(index % 9 + 1);
    a.totalTime = roundTo(rng.uniform(3000, 20000), 1);
    a.totalTime2 = roundTo(a.totalTime * rng.uniform(0.85, 1.0), 1);
    a.currentMeter1 = a.totalTime;
    a.currentMeter2 = a.totalTime2;
    a.lastMeter1 = roundTo(a.totalTime - rng.uniform(5, 40), 1);
    a.lastMeter2 = roundTo(a.totalTime2 - rng.uniform(5, 40), 1);
    a.totalLandings = static_cast<int>(a.totalTime * rng.uniform(1.5, 3.0));
    a.totalCycles = static_cast<int>(a.totalTime * rng.uniform(1.0, 1.6));
    a.totalRin = static_cast<int>(a.totalTime * rng.uniform(2.0, 6.0));
    a.hobbsVsTach = index % 2 == 0;
    a.forecastMeter1 = a.forecastMeter2 = 50;
    a.forecastMonths = 1;
    a.forecastCycles = a.forecastLandings = a.forecastRin = 100;
    return a;
}

ComponentRow componentRow(const AircraftRow& a, const QDate& serviceStart, int k, bool active,
                          const FleetSpec& spec, Random& rng) {
    ComponentRow c;
    c.regNum = a.regNum;
    c.itemNumber = k + 1;
    c.lifeBasis = QString::fromLatin1(kBases[static_cast<size_t>(k) % kBases.size()]);
    c.meterNumber = (k / static_cast<int>(kBases.size())) % 2 + 1;
    c.active = active;
    c.assembly = QString::fromLatin1(kAssemblies[static_cast<size_t>(k) % kAssemblies.size()]);
    c.description = QStringLiteral("%1 %2")
                        .arg(QString::fromLatin1(kNames[static_cast<size_t>(k) % kNames.size()]))
                        .arg(k + 1);
    c.partNumber = QStringLiteral("P%1-%2").arg(rng.between(1000, 9999)).arg(rng.between(1, 9));
    c.serial = QStringLiteral("S%1").arg(rng.between(100000, 999999));
    c.manufacturer = QString::fromLatin1(kMakers[static_cast<size_t>(rng.between(0, 5))]);
    c.inspection = QString::fromLatin1(kInspections[static_cast<size_t>(rng.between(0, 4))]);
    c.replaceCost = roundTo(rng.uniform(100, 90000), 2);
    c.lifeNumber = lifeFor(c.lifeBasis, rng);
    if (c.lifeBasis == u"RT" || c.lifeBasis == u"OH")
        c.reservePerHour = roundTo(c.replaceCost / c.lifeNumber, 2);
    const double p = rng.unit();
    const double remaining = p < 0.06 ? rng.uniform(-0.1, 0) : rng.uniform(0.02, 0.97);
    demo::placeInLife(&c, a, serviceStart, spec.today,
                      {remaining, rng.chance(0.3) ? rng.uniform(0.2, 0.5) : 0.0});
    if (c.installDate.day() > 28)
        c.installDate.setDate(c.installDate.year(), c.installDate.month(), 28);
    c.datePurchased = c.installDate.addDays(-rng.between(7, 180));
    if (rng.chance(0.1))
        c.notes = QStringLiteral("Work order %1 on file.").arg(rng.between(10000, 99999));
    return c;
}

void addOilSamples(const ComponentRow& c, const AircraftRow& a, const FleetSpec& spec, Random& rng,
                   demo::MainFileWriter* writer) {
    const double hoursNow =
        c.installTimeLeft + (demo::aircraftTotal(a, c.lifeBasis, c.meterNumber) - c.installAcHour);
    for (int s = 0; s < spec.samplesPerOilComponent; ++s) {
        const int daysAgo = 30 * (spec.samplesPerOilComponent - s) - rng.between(0, 10);
        OilSampleRow o;
        o.regNum = c.regNum;
        o.component = c.description;
        o.datePerformed = spec.today.addDays(-daysAgo);
        for (double& v : o.ppm)
            v = roundTo(rng.uniform(0, 20), 1);
        o.engineHours = roundTo(std::max(0.0, hoursNow - daysAgo * 1.5), 1);
        writer->add(o);
    }
}

}  // namespace

FleetSpec dueListFleetSpec() {
    FleetSpec spec;
    spec.aircraft = 500;
    spec.installedPerAircraft = 1950;
    spec.notInstalledPerAircraft = 50;
    spec.oilComponentsPerAircraft = 0;
    spec.samplesPerOilComponent = 0;
    spec.plannedUtilisation = true;
    spec.pairedLimits = true;
    return spec;
}

QString fleetRegNum(int index) {
    return QStringLiteral("N%1VB").arg(index + 1, 4, 10, QLatin1Char('0'));
}

GeneratedFleet generateFleet(const QString& folder, const FleetSpec& spec) {
    GeneratedFleet out;
    out.mainFile = QDir(folder).filePath(data::files::kMain);
    reports::createMainDataFile(out.mainFile);
    // The screens open the template library beside the main file; the fleet keeps none.
    data::schema::createTemplateFile(QDir(folder).filePath(data::files::kTemplates));
    auto db = data::Database::open(out.mainFile);
    data::Transaction tx(*db);
    demo::MainFileWriter writer(*db);
    Random rng(kSeed);
    std::vector<utilisation::PlannedEntry> planned;
    const int perAircraft = spec.installedPerAircraft + spec.notInstalledPerAircraft;
    const int stride =
        spec.notInstalledPerAircraft > 0 ? perAircraft / spec.notInstalledPerAircraft : 0;
    for (int i = 0; i < spec.aircraft; ++i) {
        const AircraftRow a = aircraftRow(i, rng);
        writer.add(a);
        const QDate serviceStart(a.year.toInt(), 1, 1);
        if (spec.plannedUtilisation && i % 10 != 9)
            planned.push_back({a.regNum, demo::averageDailyUse(a, serviceStart, spec.today)});
        int notInstalled = 0, oil = 0;
        QString timePart, timeSerial;  // of the last flight-time-to-retire item
        for (int k = 0; k < perAircraft; ++k) {
            const bool off = stride > 0 && notInstalled < spec.notInstalledPerAircraft &&
                             k % stride == stride - 1;
            notInstalled += off;
            ComponentRow c = componentRow(a, serviceStart, k, !off, spec, rng);
            if (spec.pairedLimits && c.lifeBasis == u"RT") {
                timePart = c.partNumber;
                timeSerial = c.serial;
            } else if (spec.pairedLimits && c.lifeBasis == u"MO" && !timePart.isEmpty()) {
                c.partNumber = timePart;
                c.serial = timeSerial;
            }
            if (!off && c.lifeBasis == u"OH" && oil < spec.oilComponentsPerAircraft) {
                c.oilAnalysis = true;
                ++oil;
                addOilSamples(c, a, spec, rng, &writer);
                out.oilSamples += spec.samplesPerOilComponent;
            }
            writer.add(c);
            ++out.components;
        }
        ++out.aircraft;
    }
    writer.finish();
    if (!planned.empty())
        utilisation::savePlannedUtilisation(*db, planned);
    tx.commit();
    return out;
}

}  // namespace velmora::bench
