#pragma once

#include "data/Value.h"

#include <QString>

#include <optional>

namespace velmora::aircraft {

// Columns of the component grid, by index.
namespace col {
inline constexpr int RegNum = 0, ItemNumber = 1, MeterNumber = 2, Active = 3, Assembly = 4,
                     Description = 5, PartNumber = 6, SerialNumber = 7, DatePurchased = 8,
                     Manufacturer = 9, Inspection = 10, ReplaceCost = 11, ReservePerHour = 12,
                     LifeNumber = 13, LifeBasis = 14, InstallDate = 15, InstallTimeLeft = 16,
                     InstallACHour = 17, Notes = 18, OilAnalysis = 19;
}

// A Yes/No cell after editing: Yes only for "Yes" exactly, "Y" or "y".
bool yesNoFromText(const QString& text);

// Whether a life basis code is one the program knows (RT, OH, IN, MO, LD, CY, RN), letter
// case counting.
bool isLifeBasisCode(const QString& text);

// The reserve per hour: the replacement cost spread over the service life to retirement.
// Empty when it does not apply (not RT, cost not a number, life not above zero).
std::optional<double> reservePerHour(const QString& costText, const QString& lifeText,
                                     const QString& basis);

// The number a text starts with, 0 when none ("2000 h" reads 2000).
double leadingNumber(const QString& text);

}  // namespace velmora::aircraft
