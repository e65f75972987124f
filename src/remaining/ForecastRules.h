#pragma once

#include <QString>

namespace velmora::remaining {

// The largest forecast increase taken: a larger one breaks the report's columns, and no
// aircraft adds that much in a forecast period.
inline constexpr double kLargestForecast = 100000;

// Why the text of a forecast field cannot be stored, or empty when it can: no text at all
// (no forecast) or a number from 0 to 100,000. A negative increase would add life to every
// component without anybody noticing.
QString forecastProblem(const QString& text);

}  // namespace velmora::remaining
