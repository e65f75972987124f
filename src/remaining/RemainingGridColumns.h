#pragma once

#include "screens/common/RecordsetTableModel.h"

#include <memory>
#include <vector>

namespace velmora::remaining {

class RemainingLevels;

// The 49 columns of the remaining-life grid, by index: item number, the aircraft's columns
// (hidden), the component's columns and the ten computed ones. With levels, each row's own
// remaining figure is written in the colour of its warning level (overdue red, due soon
// amber); without, what has run out is red.
std::vector<screens::GridColumn> remainingGridColumns(
    std::shared_ptr<const RemainingLevels> levels = nullptr);

// Grid columns that the meter view shows or hides, and those the Show boxes switch.
namespace gridcol {
inline constexpr int TTtoRET = 39, TTtoRET2 = 40, LNDtoRET = 41, CYCtoRET = 42, RINtoRET = 43,
                     TTtoOH = 44, TTtoIN = 45, TTtoOH2 = 46, TTtoIN2 = 47, MTHStoRT = 48,
                     Assembly = 23, Description = 24, PurchaseDate = 27, Manufacturer = 28,
                     Inspection = 29, Cost = 30;
}

}  // namespace velmora::remaining
