#include "ComponentTypes.h"

namespace velmora::components {

std::optional<double> totalFor(due::Basis basis, std::optional<double> meter,
                               const due::AircraftTotals& totals) {
    switch (basis) {
        case due::Basis::RT:
        case due::Basis::OH:
        case due::Basis::IN:
            if (meter == 1.0)
                return totals.time;
            if (meter == 2.0)
                return totals.time2;
            return std::nullopt;
        case due::Basis::LD:
            return totals.landings;
        case due::Basis::CY:
            return totals.cycles;
        case due::Basis::RN:
            return totals.rin;
        case due::Basis::MO:
            return std::nullopt;
    }
    return std::nullopt;
}

int wholeMonths(const QDate& from, const QDate& to) {
    if (!from.isValid() || !to.isValid() || to <= from)
        return 0;
    int months = (to.year() - from.year()) * 12 + (to.month() - from.month());
    // A month is complete on the same day of the month (or the month's last day, when it
    // is shorter), as the retirement date is counted.
    if (from.addMonths(months) > to)
        --months;
    return months;
}

std::optional<double> lifeUsedNow(const Limit& limit, const due::AircraftTotals& totals,
                                  const QDate& day) {
    const auto basis = limit.basis();
    if (!basis)
        return std::nullopt;
    if (*basis == due::Basis::MO) {
        const QDate from = limit.installDate();
        if (!from.isValid())
            return std::nullopt;
        return wholeMonths(from, day);
    }
    const auto total = totalFor(*basis, limit.meter(), totals);
    const auto used = limit.usedAtInstall();
    const auto at = limit.totalAtInstall();
    if (!total || !used || !at)
        return std::nullopt;
    return *used + (*total - *at);
}

}  // namespace velmora::components
