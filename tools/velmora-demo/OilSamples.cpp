#include "OilSamples.h"

#include "ComponentLife.h"

#include <algorithm>

namespace velmora::demo {

namespace {

using Levels = std::array<double, kOilElementCount>;

// Usual readings in parts per million. Piston engines burn leaded fuel, so their oil
// carries a lot of lead; gear oils carry phosphorus and zinc from their additives.
constexpr Levels kPistonEngine = {22, 2, 1.5, 5, 3800, 6, 1, 0.3, 0, 5, 0.5,
                                  2,  1, 0.5, 8, 2,    3, 0, 1,   0, 0};
constexpr Levels kTurbineEngine = {2.5, 0.3, 0.2, 0.6, 0,   0.8, 0.2, 0.2, 0.1, 1.5, 0,
                                   1,   0.3, 0.2, 2,   0.5, 0.5, 0,   0.3, 0,   0};
constexpr Levels kGearbox = {14,  0.8, 0.5, 2.5, 0.5, 4, 0.6, 0.3, 0.2, 3, 0.3,
                             1.5, 0.5, 0.4, 350, 10,  6, 0,   1,   0,   0};

const Levels& usualLevels(OilKind kind) {
    switch (kind) {
        case OilKind::PistonEngine:
            return kPistonEngine;
        case OilKind::TurbineEngine:
            return kTurbineEngine;
        case OilKind::Gearbox:
        case OilKind::None:
            break;
    }
    return kGearbox;
}

double reading(double v) {
    return v >= 100 ? roundTo(v, 0) : roundTo(v, 1);
}

}  // namespace

std::vector<OilSampleRow> oilSeries(const ComponentRow& c, const AircraftRow& a,
                                    const OilSeriesPlan& plan, Random& rng) {
    const Levels& usual = usualLevels(plan.kind);
    const double hoursNow =
        c.installTimeLeft + (aircraftTotal(a, c.lifeBasis, c.meterNumber) - c.installAcHour);
    const int trendStart = plan.count * 11 / 20;
    std::vector<OilSampleRow> out;
    out.reserve(static_cast<size_t>(plan.count));
    for (int i = 0; i < plan.count; ++i) {
        const int daysAgo = plan.latestDaysAgo + (plan.count - 1 - i) * plan.spacingDays;
        OilSampleRow s;
        s.regNum = c.regNum;
        s.component = c.description;
        s.datePerformed = plan.today.addDays(-daysAgo);
        s.engineHours = roundTo(std::max(0.0, hoursNow - plan.hoursPerDay * daysAgo), 1);
        for (int e = 0; e < kOilElementCount; ++e) {
            double level = usual[static_cast<size_t>(e)] * rng.uniform(0.85, 1.15);
            if (e == plan.trendElement && i > trendStart)
                level *= 1.0 + 2.5 * (i - trendStart) / (plan.count - 1 - trendStart);
            s.ppm[static_cast<size_t>(e)] = reading(level);
        }
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace velmora::demo
