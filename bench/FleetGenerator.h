#pragma once

#include <QDate>
#include <QString>

namespace velmora::bench {

// The size and shape of a generated fleet. Every aircraft gets the same number of
// components, cycling through the seven life bases and both meters; the units not
// installed are spread among them, and the first installed overhaul items are
// oil-analysed.
struct FleetSpec {
    int aircraft = 1000;
    int installedPerAircraft = 300;
    int notInstalledPerAircraft = 20;
    int oilComponentsPerAircraft = 2;
    int samplesPerOilComponent = 12;
    QDate today = QDate(2025, 6, 15);  // the day the fleet is shown on
    // Each aircraft's planned daily use, as it has flown since it entered service; every
    // tenth aircraft has none.
    bool plannedUtilisation = false;
    // Each months item is the same unit (part and serial number) as the flight-time item
    // three places before it: one component with an hour and a calendar limit.
    bool pairedLimits = false;
};

// The fleet the due list is measured on: 500 aircraft of 2,000 component rows each (one
// million Parts rows, 1,950 installed per aircraft), with planned use and paired limits.
FleetSpec dueListFleetSpec();

// What was written.
struct GeneratedFleet {
    QString mainFile;
    int aircraft = 0;
    int components = 0;
    int oilSamples = 0;
};

// The registration number of the fleet's aircraft number index (from 0): "N0001VB".
QString fleetRegNum(int index);

// Creates the main data file (Timemgr.mdb) and an empty template library (HeliPart.mdb)
// in an existing folder and fills the main file with the fleet in one transaction, through the
// engine's bound statements. The same spec gives the same rows on every run. Install dates fall on
// days 1 to 28, so adding months never needs the end-of-month rule. Throws DbError.
GeneratedFleet generateFleet(const QString& folder, const FleetSpec& spec);

}  // namespace velmora::bench
