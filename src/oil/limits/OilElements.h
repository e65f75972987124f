#pragma once

#include <QString>

#include <array>

namespace velmora::oil::limits {

// The twenty-one elements a laboratory measures in an oil sample, in the order of the Oil
// table's columns (Iron to Vanadium). Their names are the table's column names.
inline constexpr int kElementCount = 21;
extern const std::array<const char*, kElementCount> kElementNames;

// The element of a column name (letter case ignored); -1 when it names none.
int elementIndex(const QString& name);
QString elementName(int element);

}  // namespace velmora::oil::limits
