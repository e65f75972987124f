#include "WarningLevel.h"

#include <QBrush>

#include <cmath>

namespace velmora::due {

WarningLevel warningLevel(const BasisWarning& warning, std::optional<double> remaining,
                          std::optional<double> life, std::optional<qint64> daysToDue) {
    if (remaining && !std::isfinite(*remaining))
        remaining.reset();
    if (!remaining && !daysToDue)
        return WarningLevel::None;
    if ((remaining && *remaining < 0) || (daysToDue && *daysToDue < 0))
        return WarningLevel::Overdue;
    std::optional<double> threshold = warning.soonAmount;
    if (!threshold && life && std::isfinite(*life) && *life > 0)
        threshold = *life * warning.soonPercent / 100.0;
    if (remaining && threshold && *remaining <= *threshold)
        return WarningLevel::DueSoon;
    if (daysToDue && warning.soonDays && *daysToDue <= *warning.soonDays)
        return WarningLevel::DueSoon;
    return WarningLevel::Fine;
}

double monthsUntil(const QDate& from, const QDate& to) {
    if (!from.isValid() || !to.isValid())
        return 0;
    if (to < from)
        return -monthsUntil(to, from);
    int whole = (to.year() - from.year()) * 12 + (to.month() - from.month());
    while (whole > 0 && from.addMonths(whole) > to)
        --whole;
    const QDate start = from.addMonths(whole);
    const QDate next = from.addMonths(whole + 1);
    const qint64 span = start.daysTo(next);
    return whole +
           (span > 0 ? static_cast<double>(start.daysTo(to)) / static_cast<double>(span) : 0.0);
}

QString warningText(WarningLevel level) {
    switch (level) {
        case WarningLevel::Overdue:
            return QStringLiteral("Overdue");
        case WarningLevel::DueSoon:
            return QStringLiteral("Due soon");
        default:
            return {};
    }
}

QColor warningColour(WarningLevel level) {
    switch (level) {
        case WarningLevel::Overdue:
            return QColor(Qt::red);
        case WarningLevel::DueSoon:
            return QColor(0xb8, 0x6e, 0x00);
        default:
            return {};
    }
}

QVariant warningForeground(WarningLevel level) {
    const QColor c = warningColour(level);
    return c.isValid() ? QVariant(QBrush(c)) : QVariant();
}

}  // namespace velmora::due
