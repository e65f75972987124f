#pragma once

#include "screens/common/ScriptedDialogs.h"

#include <benchmark/benchmark.h>

namespace velmora::bench {

// The dialogs service of the benchmarks: no box ever waits for an answer. Every box
// shown is kept, so that a benchmark that met one reports it instead of timing it.
screens::ScriptedDialogs& benchDialogs();

// False, with the benchmark marked failed and the box's text as the reason, when a
// message box was shown since the last call.
bool noMessageShown(benchmark::State& state);

}  // namespace velmora::bench
