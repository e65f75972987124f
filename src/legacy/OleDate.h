#pragma once

#include <QDateTime>

#include <optional>

namespace velmora::legacy {

// Jet keeps a date and time as an OLE date: a number of days since 1899-12-30 whose
// fraction is the time of day. Before that day the whole part counts back while the
// fraction still counts forward from midnight (-1.25 is 1899-12-29 06:00).

// The wall-clock date and time (as UTC, to the second) an OLE date stands for; empty when
// it is not a number or lies outside 100-01-01 00:00:00 to 9999-12-31 23:59:59, the range
// Jet accepts.
std::optional<QDateTime> oleDateToDateTime(double oleDate);

// The OLE date of a date and time (whole seconds).
double dateTimeToOleDate(const QDateTime& dt);

}  // namespace velmora::legacy
