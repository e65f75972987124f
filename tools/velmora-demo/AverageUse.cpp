#include "AverageUse.h"

#include "Random.h"

#include <algorithm>

namespace velmora::demo {

utilisation::DailyUtilisation averageDailyUse(const AircraftRow& a, const QDate& serviceStart,
                                              const QDate& today) {
    const double days = static_cast<double>(std::max<qint64>(1, serviceStart.daysTo(today)));
    utilisation::DailyUtilisation u;
    u.meter1Hours = roundTo(a.totalTime / days, 2);
    u.meter2Hours = roundTo(a.totalTime2 / days, 2);
    u.landings = roundTo(a.totalLandings / days, 2);
    u.cycles = roundTo(a.totalCycles / days, 2);
    u.rin = roundTo(a.totalRin / days, 2);
    return u;
}

}  // namespace velmora::demo
