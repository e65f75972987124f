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

// DateSerial: the date of a year, month and day, months and days beyond their range carried
// over (month 13 is January of the next year, day 0 the last day of the month before).
// Years 0 to 29 are 2000 to 2029, 30 to 99 are 1930 to 1999. Each argument must be a whole
// number (rounded) from -32768 to 32767, and the date must fall in the years 100 to 9999;
// empty otherwise.
std::optional<QDate> jetDateSerial(double year, double month, double day);

// DateDiff: how many interval boundaries ("yyyy", "q", "m", "y", "d", "w", "ww", "h", "n",
// "s") lie between two dates, negative when the second is earlier. "w" counts whole weeks,
// "ww" the Sundays crossed. Empty when the interval is unknown.
std::optional<qint64> jetDateDiff(const QString& interval, const QDateTime& from,
                                  const QDateTime& to);

// Whether a date lies in the years the engine keeps (100 to 9999).
bool isJetDateInRange(const QDate& d);

// Whether the text names an interval of DateAdd and DateDiff ("yyyy", "q", "m", "y", "d",
// "w", "ww", "h", "n", "s"; letter case and surrounding blanks ignored).
bool isJetDateInterval(const QString& interval);

}  // namespace velmora::data
