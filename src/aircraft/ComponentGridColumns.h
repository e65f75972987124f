#pragma once

#include "screens/common/RecordsetTableModel.h"

#include <vector>

namespace velmora::aircraft {

// The columns of the component grid, by index.
namespace col {
inline constexpr int RegNum = 0, ItemNumber = 1, MeterNumber = 2, Active = 3, Assembly = 4,
                     Description = 5, PartNumber = 6, SerialNumber = 7, DatePurchased = 8,
                     Manufacturer = 9, Inspection = 10, ReplaceCost = 11, ReservePerHour = 12,
                     LifeNumber = 13, LifeBasis = 14, InstallDate = 15, InstallTimeLeft = 16,
                     InstallACHour = 17, Notes = 18, OilAnalysis = 19;
inline constexpr int Count = 20;
}  // namespace col

// The component grid's columns in their index order: caption, column of Parts, the default
// value of a new row, the display format; the registration number is hidden.
std::vector<screens::GridColumn> componentGridColumns();

}  // namespace velmora::aircraft
