#pragma once

#include "data/Value.h"

#include <QString>

#include <optional>

namespace velmora::aircraft {

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
