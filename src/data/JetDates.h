#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace velmora::data {

// Dates and times are wall-clock values without a time zone. They are held as UTC, so that
// no hour of the local clock is skipped or doubled by daylight saving, and no time zone
// has to be looked up for each value.

// Reads a date as the engine stores it (ISO "2005-01-31", optionally with a time) or as
// Jet text writes it in SQL and criteria (month first: "1/31/2005", "1/31/05 14:30").
std::optional<QDateTime> parseJetDateTime(const QString& text);

// The stored form: "2005-01-31", or "2005-01-31 14:30:00" when there is a time of day.
QString storedDateText(const QDateTime& dt);

// DateAdd: adds a number of intervals ("yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s")
// to a date. A fractional number is rounded to the nearest whole one (halves to even).
// Month-based intervals keep the day of the month but never go beyond the target month's
// last day (31 January + 1 month = 28 or 29 February). Empty when the interval is unknown.
std::optional<QDateTime> jetDateAdd(const QString& interval, double number, const QDateTime& dt);

}  // namespace velmora::data
