#pragma once

#include "LifeBasis.h"

#include <QColor>
#include <QDate>
#include <QString>
#include <QVariant>

#include <array>
#include <optional>

namespace velmora::due {

// How urgent a remaining life is: overdue (run out), due soon (within the warning
// threshold), fine, or none when there is no figure to judge.
enum class WarningLevel { None, Fine, DueSoon, Overdue };

// When a component of one basis counts as due soon.
struct BasisWarning {
    // No more than this amount left (hours, months, landings, cycles or RIN); when unset,
    // no more than soonPercent of the component's service life.
    std::optional<double> soonAmount;
    double soonPercent = 10;
    // Or due (by its retirement or projected date) within this many days; unset: dates do
    // not count.
    std::optional<int> soonDays = 30;

    bool operator==(const BasisWarning&) const = default;
};

// The company's warning thresholds, one per basis; the defaults are 10% of the life or
// 30 days.
struct WarningSettings {
    std::array<BasisWarning, kBasisCount> byBasis{};

    const BasisWarning& of(Basis b) const { return byBasis[static_cast<size_t>(basisIndex(b))]; }
    BasisWarning& of(Basis b) { return byBasis[static_cast<size_t>(basisIndex(b))]; }
    bool operator==(const WarningSettings&) const = default;
};

// The level of one remaining life. remaining is in the basis unit (months for a months
// component), life the component's service life, daysToDue the days until its retirement
// or projected date (negative once past). Overdue: below zero left, or a date in the past.
// Due soon: at or under the threshold amount (or share of the life), or a date within the
// threshold days. None when neither a remaining amount nor a date is known.
WarningLevel warningLevel(const BasisWarning& warning, std::optional<double> remaining,
                          std::optional<double> life, std::optional<qint64> daysToDue);

// The months from one day to another, whole calendar months and the share of the month
// after them (months keep the day of the month, as the engine's month addition does);
// negative when the date lies before the day.
double monthsUntil(const QDate& from, const QDate& to);

// The words and the colour each level is shown in: overdue red, due soon amber; the
// others in the normal text colour (an invalid colour).
QString warningText(WarningLevel level);
QColor warningColour(WarningLevel level);
// A table cell's foreground (Qt::ForegroundRole) for the level: the brush of its colour,
// none for the normal text colour.
QVariant warningForeground(WarningLevel level);

}  // namespace velmora::due
