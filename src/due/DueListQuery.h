#pragma once

#include <QString>

namespace velmora::due {

// The installed components (Active = Yes) of one aircraft record, given by the engine's
// row id of its Aircraft row as the statement's value ?1 (one text for the whole fleet, which
// a database server prepares once), joined as the remaining-life list joins them (the registration
// compared as the engine compares text), in no particular order: ItemNumber, Description,
// PartNumber, Serial#, MeterNumber, LifeBasis, LifeNumber, InstallTimeLeft, InstallACHour,
// and for a months component RetireDate, the date LifeNumber months after InstallDate by
// the engine's DateAdd (Null otherwise).
QString dueListSql();

}  // namespace velmora::due
