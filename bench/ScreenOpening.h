#pragma once

#include <QString>

#include <benchmark/benchmark.h>

namespace velmora::bench {

// Opens the aircraft set-up screen on a data path and draws its first aircraft's components,
// as the user sees them; false (the benchmark skipped) when a message was shown or no
// component was drawn.
bool openAircraftScreen(benchmark::State& state, const QString& dataPath);

// Opens the aircraft set-up screen on a data path and, at each iteration, chooses the
// fleet's 2nd and 501st aircraft in turn and draws its components: the search for the
// aircraft among the screen's rows, and the reading of its components.
void chooseAircraftInTurn(benchmark::State& state, const QString& dataPath);

// Opens the time remaining screen on a data path as the menu does (the fleet read, the first
// aircraft chosen and its remaining-life list rebuilt) and draws the list; false (the
// benchmark skipped) when a message was shown or no component was drawn.
bool openRemainingScreen(benchmark::State& state, const QString& dataPath);

}  // namespace velmora::bench
