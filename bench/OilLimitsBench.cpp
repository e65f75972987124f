// Oil limits on a fleet: the components whose newest sample is over alert, as the due list
// reads them when it opens (1,000 aircraft, 2,000 oil-analysed components, 24,000 samples).
#include "BenchFleet.h"
#include "oil/limits/OilAlerts.h"
#include "oil/limits/OilLimitsStore.h"

#include <benchmark/benchmark.h>

namespace velmora::bench {

namespace {

void BM_OilAlertsOfTheFleet(benchmark::State& state) {
    BenchFleet* fleet = benchFleetFor(state);
    if (!fleet)
        return;
    // Company limits and one model's, kept only for the measurement: the shared file is
    // left as it was.
    data::ScratchTransaction scratch(*fleet->db);
    oil::limits::LimitSet company{};
    company[0] = {20, 30, 5};  // iron
    company[5] = {10, 20, 3};  // copper
    oil::limits::saveLimitSet(*fleet->db, oil::limits::LimitKey::company(), company);
    size_t alerts = 0;
    for (auto _ : state) {
        const auto found = oil::limits::oilAlerts(*fleet->db);
        alerts = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["samples"] = fleet->fleet.oilSamples;
    state.counters["alerts"] = static_cast<double>(alerts);
}
BENCHMARK(BM_OilAlertsOfTheFleet)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace velmora::bench
