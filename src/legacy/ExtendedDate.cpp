#include "ExtendedDate.h"

namespace velmora::legacy {

namespace {

constexpr int kDigits = 19;
constexpr qsizetype kTextSize = 2 * kDigits + 3;  // two numbers, two colons, the decimals
const QDate kDayOne(1, 1, 1);
const QDate kLastDay(9999, 12, 31);
// The first day a Velmora date column takes.
const QDate kFirstStored(100, 1, 1);

std::optional<std::int64_t> digits(const char* p) {
    std::int64_t n = 0;
    for (int i = 0; i < kDigits; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return std::nullopt;
        // Nineteen digits may exceed 64 bits: no valid value comes near that.
        if (n > (INT64_MAX - 9) / 10)
            return std::nullopt;
        n = n * 10 + (p[i] - '0');
    }
    return n;
}

}  // namespace

std::optional<std::int64_t> parseExtendedDate(const char* bytes, qsizetype size) {
    if (size < kTextSize || bytes[kDigits] != ':' || bytes[2 * kDigits + 1] != ':')
        return std::nullopt;
    const char decimals = bytes[2 * kDigits + 2];
    if (decimals < '0' || decimals > '7')
        return std::nullopt;
    const auto days = digits(bytes);
    const auto ticks = digits(bytes + kDigits + 1);
    if (!days || !ticks || *days > kDayOne.daysTo(kLastDay) || *ticks >= kTicksPerDay)
        return std::nullopt;
    return *days * kTicksPerDay + *ticks;
}

QString extendedDateText(std::int64_t ticks) {
    const QDate day = kDayOne.addDays(ticks / kTicksPerDay);
    const std::int64_t ofDay = ticks % kTicksPerDay;
    const auto seconds = static_cast<int>(ofDay / kTicksPerSecond);
    return QStringLiteral("%1-%2-%3 %4:%5:%6.%7")
        .arg(day.year(), 4, 10, QLatin1Char('0'))
        .arg(day.month(), 2, 10, QLatin1Char('0'))
        .arg(day.day(), 2, 10, QLatin1Char('0'))
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(ofDay % kTicksPerSecond, 7, 10, QLatin1Char('0'));
}

QString extendedDateMisfit(std::int64_t ticks) {
    if (kDayOne.addDays(ticks / kTicksPerDay) < kFirstStored)
        return QStringLiteral("a date before the year 100");
    if (ticks % kTicksPerSecond != 0)
        return QStringLiteral("a fraction of a second");
    return {};
}

std::optional<QDateTime> extendedDateAsDateTime(std::int64_t ticks) {
    if (!extendedDateMisfit(ticks).isEmpty())
        return std::nullopt;
    const QDate day = kDayOne.addDays(ticks / kTicksPerDay);
    const auto seconds = static_cast<int>(ticks % kTicksPerDay / kTicksPerSecond);
    return QDateTime(day, QTime(0, 0).addSecs(seconds), Qt::UTC);
}

}  // namespace velmora::legacy
