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

// How many rows a table holds.
int rowCount(data::Database& db, const QString& table);

}  // namespace velmora::testing
