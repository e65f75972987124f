#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace velmora::oil::limits {

// How many of the newest samples the trend is taken over.
inline constexpr int kTrendSamples = 10;

// The least-squares slope of readings against engine hours, in ppm per 100 engine hours,
// over the last kTrendSamples points given (oldest first; each a pair of engine hours and
// ppm, unset where the sample lacks it). Points lacking either figure are left out; nothing
// when fewer than two remain or their hours are all equal.
std::optional<double> trendSlope(
    const std::vector<std::pair<std::optional<double>, std::optional<double>>>& points);

// The text beside the chart: "Iron trend: +2.5 ppm per 100 h over the last 10 samples", or
// why there is none.
QString trendText(const QString& element, std::optional<double> slope, int samples);

}  // namespace velmora::oil::limits
