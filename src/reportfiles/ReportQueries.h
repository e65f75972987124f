#pragma once

#include <QString>

namespace velmora::data {
class Database;
}

namespace velmora::reports {

// The stored queries the reports read, as Jet SQL.
//
// Remaining: one row per installed component (Parts.Active = Yes) of every aircraft, with
// the aircraft's Aircraft.RegNum, Make and Model, the component's columns, and its
// remaining life on its own basis: TTtoRET, TTtoOH, TTtoIN (flight time against the total
// of the component's own meter), LNDtoRET, CYCtoRET, RINtoRET, the retirement date
// RetireDate of a months component, and Remaining (the remaining count on its basis,
// whatever it is). The others are Null. Overdue is Yes when the remaining value is below
// zero or the retirement date is before today (RetireDue says the latter); Status reads
// "OVERDUE" then.
//
// Forecast: the same rows and columns, each remaining value less the aircraft's forecast
// increase on its basis and meter (ForecastMeter1 or ForecastMeter2, ForecastLandings,
// ForecastCycles, ForecastRIN; Null counts as 0). RetireDue is Yes when the retirement date
// is before the day ForecastMonths months from today. Due is Yes when a value falls below
// zero or RetireDue; Status reads "OVERDUE" for what is overdue now, "DUE" for what
// becomes due within the forecast.
QString remainingReportSql();
QString forecastReportSql();

// The text of a data source restricted to the rows of one aircraft record, given by the
// engine's row id of its Aircraft row (a number the engine hands out, never text that was
// typed). Empty for a name that is neither Remaining nor Forecast.
QString reportSqlForAircraftRow(const QString& source, qint64 aircraftRowId);

// Adds the stored queries Remaining and Forecast to the main data file where they are
// missing, both in one transaction. Queries that exist are left as they are. Throws
// data::DbError when the file cannot take them (read-only, a table of that name).
void ensureReportQueries(data::Database& db);

}  // namespace velmora::reports
