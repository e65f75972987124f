#pragma once

#include "FleetRows.h"

#include <QDate>

namespace velmora::demo {

// The aircraft counter a life basis is measured on: flight time on meter 1 or 2 (RT, OH,
// IN), landings (LD), cycles (CY) or RIN (RN). Months (MO) have none: 0.
double aircraftTotal(const AircraftRow& aircraft, const QString& basis, int meter);

// What is left of a component's life, the way the remaining-life list computes it:
// LifeNumber - InstallTimeLeft - (aircraft total now - InstallACHour) in the basis's units;
// for MO, the days from today to InstallDate + LifeNumber months. Below zero: overdue.
double remainingLife(const ComponentRow& c, const AircraftRow& aircraft, const QDate& today);

// How far a component has come through its life when the fleet is shown.
struct LifeState {
    double remainingFraction;  // of LifeNumber; below zero when overdue
    // The share of the used life the part already had when it was fitted: 0 when it was
    // fitted new or overhauled. Inspections and calendar items always start at 0.
    double usedBeforeInstall;
};

// Sets InstallDate, InstallTimeLeft and InstallACHour of a component (its LifeNumber,
// LifeBasis and MeterNumber set) so that it stands where the state says. The aircraft
// has flown its totals evenly since serviceStart.
void placeInLife(ComponentRow* c, const AircraftRow& aircraft, const QDate& serviceStart,
                 const QDate& today, const LifeState& state);

}  // namespace velmora::demo
