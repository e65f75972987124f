#pragma once

#include <QString>

namespace velmora::due {

// The installed components (Active = Yes) of one aircraft record, given by the engine's
// row id of its Aircraft row, in item number order. Beside the component's own columns
// (ItemNumber, Description, PartNumber, Serial#, MeterNumber, LifeBasis, LifeNumber) each
// row has
//   BasisIndex  0 to 6 for RT, OH, IN, MO, LD, CY, RN (as the engine compares the code),
//               Null for any other code;
//   Remaining   the remaining life on its basis and meter, with the arithmetic and
//               comparisons of the remaining-life list: the limit less the life used before
//               installation less what the aircraft's total has grown since; Null for a
//               months component, for a time component on a meter other than 1 or 2, and
//               where an operand is Null;
//   RetireDate  for a months component the date LifeNumber months after InstallDate,
//               Null otherwise.
QString dueListSql(qint64 aircraftRowId);

}  // namespace velmora::due
