#include "OilTrend.h"

#include "OilFindings.h"

#include <cmath>

namespace velmora::oil::limits {

std::optional<double> trendSlope(
    const std::vector<std::pair<std::optional<double>, std::optional<double>>>& points) {
    const size_t first = points.size() > static_cast<size_t>(kTrendSamples)
                             ? points.size() - static_cast<size_t>(kTrendSamples)
                             : 0;
    std::vector<std::pair<double, double>> xy;
    for (size_t i = first; i < points.size(); ++i) {
        const auto& [hours, ppm] = points[i];
        if (hours && ppm && std::isfinite(*hours) && std::isfinite(*ppm))
            xy.emplace_back(*hours, *ppm);
    }
    if (xy.size() < 2)
        return std::nullopt;
    // Centred sums keep the arithmetic exact enough for engine hours in the tens of
    // thousands.
    double mx = 0, my = 0;
    for (const auto& [x, y] : xy) {
        mx += x;
        my += y;
    }
    mx /= static_cast<double>(xy.size());
    my /= static_cast<double>(xy.size());
    double sxx = 0, sxy = 0;
    for (const auto& [x, y] : xy) {
        sxx += (x - mx) * (x - mx);
        sxy += (x - mx) * (y - my);
    }
    if (!(sxx > 0))
        return std::nullopt;
    return sxy / sxx * 100.0;
}

QString trendText(const QString& element, std::optional<double> slope, int samples) {
    if (!slope)
        return element + QStringLiteral(" trend: needs two samples with different engine hours");
    const QString sign =
        *slope > 0 && ppmText(*slope) != QLatin1String("0") ? QStringLiteral("+") : QString();
    return QStringLiteral("%1 trend: %2%3 ppm per 100 h over the last %4 samples")
        .arg(element, sign, ppmText(*slope))
        .arg(samples);
}

}  // namespace velmora::oil::limits
