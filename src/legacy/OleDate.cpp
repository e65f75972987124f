#include "OleDate.h"

#include <cmath>

namespace velmora::legacy {

namespace {

const QDate kEpoch(1899, 12, 30);
const QDate kFirst(100, 1, 1);
const QDate kLast(9999, 12, 31);

}  // namespace

std::optional<QDateTime> oleDateToDateTime(double oleDate) {
    // Beyond these the number cannot be a Jet date at all (and would overflow below).
    if (!std::isfinite(oleDate) || oleDate < -700000.0 || oleDate > 3000000.0)
        return std::nullopt;
    const double whole = std::trunc(oleDate);
    auto days = static_cast<qint64>(whole);
    // The time of day to the nearest second; the stored number is binary and seldom
    // exact (14:30 is 0.6041666...).
    auto seconds = static_cast<qint64>(std::llround(std::fabs(oleDate - whole) * 86400.0));
    if (seconds >= 86400) {
        if (kEpoch.addDays(days) == kLast) {
            seconds = 86399;  // the last second Jet can hold, not a day beyond its range
        } else {
            seconds -= 86400;
            ++days;
        }
    }
    const QDate date = kEpoch.addDays(days);
    if (!date.isValid() || date < kFirst || date > kLast)
        return std::nullopt;
    return QDateTime(date, QTime(0, 0).addSecs(static_cast<int>(seconds)), Qt::UTC);
}

double dateTimeToOleDate(const QDateTime& dt) {
    const auto days = static_cast<double>(kEpoch.daysTo(dt.date()));
    const double fraction = dt.time().msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? days + fraction : days - fraction;
}

}  // namespace velmora::legacy
