#include "ForecastRules.h"

#include "data/Value.h"

namespace velmora::remaining {

QString forecastProblem(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    double v = 0;
    if (!data::Value::parseNumber(t, &v))
        return QStringLiteral("Enter the forecast increase as a number from 0 to 100,000.");
    if (v < 0)
        return QStringLiteral("A forecast is an increase: it cannot be negative.");
    if (v > kLargestForecast)
        return QStringLiteral("A forecast increase cannot be more than 100,000.");
    return {};
}

}  // namespace velmora::remaining
