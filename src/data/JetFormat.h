#pragma once

#include "Value.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace velmora::data {

// Writes a number with a format picture of up to four sections separated by ";":
// positive; negative; zero; Null. "0" is a digit always written, "#" a digit written only
// when significant, "." the decimal point, "," (between digits) digit grouping, "%" a
// percentage; "\x" and "text in quotes" are written as they stand, as is any other
// character. An empty (or missing) section uses the first one; a negative number then gets
// a leading "-". A Null value (no number) uses the fourth section, or gives empty text.
QString formatNumberPicture(std::optional<double> value, const QString& picture);

// Writes a date with a date picture: yyyy yy y (day of the year) q (quarter) mmmm mmm mm m
// dddd ddd dd d ww (week of the year, the one holding 1 January first) w (weekday, Sunday 1)
// hh h nn n ss s AM/PM am/pm A/P; any other character is written as it stands.
QString formatDatePicture(const QDateTime& dt, const QString& picture);

// The engine's Format(value, format): named formats ("Short Date" and "General Date" as the
// program shows dates, "Currency", "Scientific", "Yes/No", "General Number", ...), date
// pictures for dates (and numbers, as serial numbers) and number pictures for numbers, the
// number taken to 15 significant digits and rounded half away from zero. Null stays Null.
// The server's jet_format writes the same.
Value jetFormat(const Value& value, const QString& format);

// True when the picture addresses parts of a date rather than digits.
bool isDatePicture(const QString& picture);

}  // namespace velmora::data
