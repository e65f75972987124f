#include "DemoAircraft.h"

#include "ComponentCatalog.h"

#include <vector>

namespace velmora::demo {

namespace {

const AircraftModel kModels[] = {
    {"Halden Rotorcraft", "HR-42", "HR42", 2004, kHelicopter | kPiston},
    {"Halden Rotorcraft", "HR-66", "HR66", 2011, kHelicopter | kTurbine},
    {"Corvane Aircraft", "CV-9", "CV9", 1994, kFixedWing | kPiston},
    {"Tarrant Aerospace", "TA-210", "TA210", 2001, kFixedWing | kTurbine | kTwin},
};

AircraftRow baseRow(const char* reg, const char* serial, const AircraftModel& m, int year) {
    AircraftRow r;
    r.regNum = QString::fromLatin1(reg);
    r.serialNumber = QString::fromLatin1(serial);
    r.make = QString::fromLatin1(m.make);
    r.model = QString::fromLatin1(m.model);
    r.year = QString::number(year);
    return r;
}

std::vector<DemoAircraft> makeFleet() {
    std::vector<DemoAircraft> fleet;

    // A piston training helicopter: meter 1 is the Hobbs meter, replaced at 3,000 hours;
    // meter 2 is the engine tachometer.
    {
        AircraftRow r = baseRow("N421HD", "4217", kModels[0], 2009);
        r.engine1Serial = QStringLiteral("L-27341-48E");
        r.owner = QStringLiteral("Northfield Rotor Academy\n1402 Hangar Row\nMarlow Field");
        r.totalTime = 4862.4;
        r.totalTime2 = 4391.7;
        r.currentMeter1 = 1862.4;
        r.lastMeter1 = 1841.1;
        r.currentMeter2 = 4391.7;
        r.lastMeter2 = 4372.5;
        r.totalLandings = 18240;
        r.totalCycles = 9650;
        r.totalRin = 31520;
        r.hobbsVsTach = true;
        r.forecastMeter1 = 40;
        r.forecastMeter2 = 36;
        r.forecastMonths = 1;
        r.forecastCycles = 80;
        r.forecastLandings = 150;
        r.forecastRin = 260;
        r.showPurchase = false;
        r.showManufacturer = false;
        fleet.push_back({&kModels[0], r, 2009, "Main rotor gearbox", 0});  // iron: gear wear
    }
    // A turbine utility helicopter flying external loads, so it tracks RIN.
    {
        AircraftRow r = baseRow("N66HV", "66032", kModels[1], 2015);
        r.engine1Serial = QStringLiteral("VTC-104877");
        r.owner = QStringLiteral("Ridgeback Lift Services\nHangar 7, Coldwater Regional Airport");
        r.totalTime = 7315.8;
        r.totalTime2 = 7102.3;
        r.currentMeter1 = 7315.8;
        r.lastMeter1 = 7289.4;
        r.currentMeter2 = 7102.3;
        r.lastMeter2 = 7077.0;
        r.totalLandings = 21930;
        r.totalCycles = 14310;
        r.totalRin = 88460;
        r.forecastMeter1 = 60;
        r.forecastMeter2 = 58;
        r.forecastMonths = 1;
        r.forecastCycles = 110;
        r.forecastLandings = 180;
        r.forecastRin = 750;
        r.showPurchase = false;
        fleet.push_back({&kModels[1], r, 2015, "Engine", 7});  // silver: bearing cage wear
    }
    // A four-seat piston single that also tows gliders.
    {
        AircraftRow r = baseRow("N905CV", "9-1187", kModels[2], 1998);
        r.engine1Serial = QStringLiteral("L-19562-51A");
        r.owner = QStringLiteral("Bellmont Flying Club\n22 Airport Road\nBellmont");
        r.totalTime = 6120.5;
        r.totalTime2 = 5377.0;
        r.currentMeter1 = 2120.5;
        r.lastMeter1 = 2104.9;
        r.currentMeter2 = 5377.0;
        r.lastMeter2 = 5363.2;
        r.totalLandings = 15874;
        r.totalCycles = 8230;
        r.totalRin = 1240;
        r.hobbsVsTach = true;
        r.forecastMeter1 = 25;
        r.forecastMeter2 = 22;
        r.forecastMonths = 1;
        r.forecastCycles = 45;
        r.forecastLandings = 70;
        r.forecastRin = 20;
        r.showRin = false;
        r.showCost = false;
        fleet.push_back({&kModels[2], r, 1998, "Engine", 5});  // copper: bushing wear
    }
    // A pressurised twin turboprop on regional cargo work.
    {
        AircraftRow r = baseRow("N210TA", "TA210-0158", kModels[3], 2006);
        r.engine1Serial = QStringLiteral("VTC-088210");
        r.engine2Serial = QStringLiteral("VTC-088473");
        r.owner = QStringLiteral("Greyfen Air Cargo Ltd.\nCargo Ramp 3, Kessling International");
        r.totalTime = 11842.7;
        r.totalTime2 = 11610.2;
        r.currentMeter1 = 11842.7;
        r.lastMeter1 = 11803.6;
        r.currentMeter2 = 11610.2;
        r.lastMeter2 = 11571.9;
        r.totalLandings = 14870;
        r.totalCycles = 14655;
        r.totalRin = 7420;
        r.forecastMeter1 = 90;
        r.forecastMeter2 = 90;
        r.forecastMonths = 1;
        r.forecastCycles = 115;
        r.forecastLandings = 115;
        r.forecastRin = 60;
        fleet.push_back({&kModels[3], r, 2006, "Reduction gearbox, No. 2", 0});  // iron: gear wear
    }
    return fleet;
}

}  // namespace

std::span<const AircraftModel> demoModels() {
    return kModels;
}

std::span<const DemoAircraft> demoAircraft() {
    static const std::vector<DemoAircraft> fleet = makeFleet();
    return fleet;
}

}  // namespace velmora::demo
