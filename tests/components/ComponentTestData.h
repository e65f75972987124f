#pragma once

#include "data/Database.h"

#include <QString>

#include <map>

namespace velmora::testing {

// What the time remaining list shows for the limits of a component on an aircraft: by life
// basis code and meter ("RT1", "OH2", "LD", "MO"), the computed column of that limit, as
// the remaining-life query yields it.
std::map<QString, data::Value> remainingOnScreen(data::Database& db, const QString& reg,
                                                 const QString& partNumber);

// One limit of the gearbox GB-1/S1 fitted to N1 as item 7 on 1 January 2025 (meter 1), and of
// the engine ENG-2/E9 fitted to N1 as item 9 on 1 February 2025, driven by meter 2.
void addGearboxLimit(data::Database& db, const QString& basis, double life, double left,
                     double acHours);
void addEngineLimit(data::Database& db, const QString& basis, double life, double left,
                    double acHours);

// How many rows a table holds.
int rowCount(data::Database& db, const QString& table);

}  // namespace velmora::testing
