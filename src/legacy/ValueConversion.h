#pragma once

#include "SourceValue.h"
#include "data/FieldType.h"
#include "data/Value.h"

#include <QString>

namespace velmora::legacy {

// A value read from a Jet file in the form a Velmora column stores it.
struct StoredValue {
    data::Value value;  // Null when it could not be converted
    QString problem;    // why not, or how it had to be changed to be stored; empty when exact
};

// Converts a value for a column of the given type by the engine's own rules (Yes/No as
// -1/0, dates as ISO text, money to four decimals, text no longer than the column takes).
// Dates outside 100-01-01 to 9999-12-31, binary data for a column that does not take it,
// text too long and the like are not converted: Null with the reason. A number that can
// only be stored rounded (more than fifteen digits, a fraction in a whole-number column) is
// stored rounded, with a note saying so. Binary data comes back as its bytes, for a column
// that keeps bytes.
StoredValue toStoredValue(const SourceValue& v, const data::FieldType& type, const QString& column);

}  // namespace velmora::legacy
