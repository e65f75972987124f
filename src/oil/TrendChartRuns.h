#pragma once

#include "ChartBuilder.h"

#include <utility>
#include <vector>

// The charted points of a trend chart's series as the drawing needs them.
namespace velmora::oil {

// A run of charted points without a gap: (row, value) pairs, rows counted from 0.
using Run = std::vector<std::pair<double, double>>;

// The runs of a series: its samples split where a row has no value.
std::vector<Run> runsOf(const ChartData& d, int series);

// A run as a staircase: each sample holds its value across its whole column.
Run stepsOf(const Run& run);

// A run that an area can be drawn from: a lone sample gets a narrow column of its own.
Run widened(const Run& run);

// The combination types draw the odd-numbered series (1, 3, ...) as bars and the others as
// lines; a single series is drawn both ways.
bool drawnAsBars(int series, int seriesCount);
bool drawnAsLine(int series, int seriesCount);

}  // namespace velmora::oil
