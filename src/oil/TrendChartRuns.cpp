#include "TrendChartRuns.h"

namespace velmora::oil {

std::vector<Run> runsOf(const ChartData& d, int series) {
    std::vector<Run> runs;
    Run current;
    for (int r = 0; r < d.rowCount(); ++r) {
        const auto v = d.valueAt(r, series);
        if (v) {
            current.emplace_back(r, *v);
        } else if (!current.empty()) {
            runs.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty())
        runs.push_back(std::move(current));
    return runs;
}

Run stepsOf(const Run& run) {
    Run steps;
    for (const auto& [x, v] : run) {
        steps.emplace_back(x - 0.5, v);
        steps.emplace_back(x + 0.5, v);
    }
    return steps;
}

Run widened(const Run& run) {
    if (run.size() != 1)
        return run;
    return {{run[0].first - 0.3, run[0].second}, {run[0].first + 0.3, run[0].second}};
}

bool drawnAsBars(int series, int seriesCount) {
    return seriesCount == 1 || series % 2 == 0;
}
bool drawnAsLine(int series, int seriesCount) {
    return seriesCount == 1 || series % 2 == 1;
}

}  // namespace velmora::oil
