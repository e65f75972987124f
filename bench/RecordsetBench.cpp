// Opening a whole table as the aircraft chooser does.
#include "BenchFleet.h"
#include "RowReading.h"

#include <benchmark/benchmark.h>

namespace velmora::bench {

namespace {

void BM_OpenAircraftRecordset(benchmark::State& state) {
    BenchFleet* fleet = benchFleetFor(state);
    if (!fleet)
        return;
    if (state.range(0) != fleet->spec.aircraft) {
        state.SkipWithError("the fleet is generated with 1,000 aircraft");
        return;
    }
    RowTally tally;
    for (auto _ : state) {
        try {
            auto rs = fleet->db->openRecordset(
                QStringLiteral("select * from [Aircraft] Order by [RegNum]"));
            tally = readRecordset(*rs);
            benchmark::DoNotOptimize(tally.checksum);
        } catch (const data::DbError& e) {
            state.SkipWithError(qPrintable(e.text()));
            break;
        }
    }
    state.counters["rows"] = tally.rows;
    state.counters["columns"] = tally.columns;
}
BENCHMARK(BM_OpenAircraftRecordset)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace velmora::bench
