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

// Writes a date with a date picture: yyyy yy mmmm mmm mm m dddd ddd dd d hh h nn n ss s
// AM/PM am/pm A/P; any other character is written as it stands.
QString formatDatePicture(const QDateTime& dt, const QString& picture);

// The engine's Format(value, format): named formats ("Short Date", "Currency", "Yes/No",
// "General Number", ...), date pictures for date values and number pictures for numbers.
// Null stays Null.
Value jetFormat(const Value& value, const QString& format);

// True when the picture addresses parts of a date rather than digits.
bool isDatePicture(const QString& picture);

}  // namespace velmora::data
