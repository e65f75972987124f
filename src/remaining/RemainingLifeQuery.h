#pragma once

#include <QString>

namespace velmora::remaining {

// Which components the remaining-life list shows: those on time meter 1, on meter 2, or all.
enum class MeterView { Meter1, Meter2, Both };

// The remaining-life query for one aircraft: the aircraft's columns, its installed
// components' columns and ten computed columns (TTtoRET, TTtoRET2, LNDtoRET, CYCtoRET,
// RINtoRET, TTtoOH, TTtoIN, MTHStoRT, TTtoOH2, TTtoIN2), by item number. The registration
// number is trimmed of blanks; a quote in it is doubled so that it stays one literal.
QString remainingLifeSql(const QString& regNum, MeterView view);

}  // namespace velmora::remaining
