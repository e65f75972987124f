#pragma once

#include "FleetRows.h"
#include "utilisation/DailyUtilisation.h"

#include <QDate>

namespace velmora::demo {

// The use an aircraft has had on an average day since it entered service: its totals over
// the days flown, to two decimals. Given as its planned daily use, so that the due list
// projects dates for a generated fleet.
utilisation::DailyUtilisation averageDailyUse(const AircraftRow& aircraft,
                                              const QDate& serviceStart, const QDate& today);

}  // namespace velmora::demo
