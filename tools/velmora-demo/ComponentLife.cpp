#include "ComponentLife.h"

#include "Random.h"

#include <algorithm>
#include <cmath>

namespace velmora::demo {

namespace {

constexpr double kDaysPerMonth = 30.4375;

bool countsWholeUnits(const QString& basis) {
    return basis == u"LD" || basis == u"CY" || basis == u"RN";
}

}  // namespace

double aircraftTotal(const AircraftRow& a, const QString& basis, int meter) {
    if (basis == u"LD")
        return a.totalLandings;
    if (basis == u"CY")
        return a.totalCycles;
    if (basis == u"RN")
        return a.totalRin;
    if (basis == u"MO")
        return 0;
    return meter == 2 ? a.totalTime2 : a.totalTime;
}

double remainingLife(const ComponentRow& c, const AircraftRow& a, const QDate& today) {
    if (c.lifeBasis == u"MO")
        return today.daysTo(c.installDate.addMonths(static_cast<int>(std::lround(c.lifeNumber))));
    return c.lifeNumber - c.installTimeLeft -
           (aircraftTotal(a, c.lifeBasis, c.meterNumber) - c.installAcHour);
}

void placeInLife(ComponentRow* c, const AircraftRow& a, const QDate& serviceStart,
                 const QDate& today, const LifeState& state) {
    const double serviceMonths = std::max(1.0, serviceStart.daysTo(today) / kDaysPerMonth);
    const double flightTotal = c->meterNumber == 2 ? a.totalTime2 : a.totalTime;
    if (c->lifeBasis == u"MO") {
        // Calendar items count from the day they were fitted; the meter reading then is
        // noted as well.
        const double used =
            std::min(c->lifeNumber * (1.0 - state.remainingFraction), serviceMonths * 0.95);
        c->installDate = today.addDays(-std::llround(used * kDaysPerMonth));
        c->installTimeLeft = 0;
        c->installAcHour = roundTo(flightTotal * (1.0 - used / serviceMonths), 1);
        return;
    }
    const double total = aircraftTotal(a, c->lifeBasis, c->meterNumber);
    const double used = c->lifeNumber * (1.0 - state.remainingFraction);
    // A used part came with part of its life gone; the rest was used on this aircraft.
    const bool fittedUsed = state.usedBeforeInstall > 0 && c->lifeBasis != u"IN";
    double before = fittedUsed ? used * state.usedBeforeInstall : 0.0;
    double since = used - before;
    if (since > total * 0.95) {
        // The aircraft has not flown that much: a part fitted new has more life left, a
        // used one brought the rest with it.
        since = total * 0.95;
        if (fittedUsed)
            before = used - since;
    }
    const int decimals = countsWholeUnits(c->lifeBasis) ? 0 : 1;
    c->installTimeLeft = roundTo(before, decimals);
    c->installAcHour = roundTo(total - since, decimals);
    const double monthsAgo = total > 0 ? since / total * serviceMonths : 0;
    c->installDate = today.addDays(-std::llround(monthsAgo * kDaysPerMonth));
}

}  // namespace velmora::demo
