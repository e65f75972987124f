#pragma once

// Jet's Currency conversion (CCur) on the engine's values. Internal to the engine; the
// server has the same rule as an SQL function.

#include "Value.h"

namespace velmora::data {

// The value as Currency: a number kept to four decimals, a half of the fifth rounded to the
// even neighbour (as Jet converts to Currency: 2.00005 gives 2, 2.00015 gives 2.0002),
// within Currency's range (about ±922 337 203 685 477; beyond it an overflow). Text that
// reads as a number converts; other text is a type mismatch. Null stays Null.
Value jetCurrency(const Value& v);

}  // namespace velmora::data
