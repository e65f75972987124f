#pragma once

#include "FleetGenerator.h"
#include "data/Database.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace benchmark {
class State;
}

namespace velmora::bench {

// The fleet file the benchmarks share: generated once per process in a temporary folder
// (under $VELMORA_BENCH_DIR when set, to measure another file system) and removed at exit.
struct BenchFleet {
    std::unique_ptr<QTemporaryDir> dir;
    FleetSpec spec;
    GeneratedFleet fleet;
    QString dataPath;      // the folder with a trailing separator, as the program keeps it
    QString targetRegNum;  // the aircraft whose remaining life is rebuilt
    // The main data file held open, as the program's screens hold it while the list is
    // rebuilt; a benchmark may drop it to measure opening the file as well.
    std::shared_ptr<data::Database> db;
    double secondsToGenerate = 0;
};

// The process's fleet, generated on first use: 1,000 aircraft of 320 components (300
// installed), two oil-analysed components of 12 samples each per aircraft. Null, with
// the reason in *error, when it cannot be made.
BenchFleet* benchFleet(QString* error);

// The same for a benchmark: null, with the benchmark skipped and the reason given, when
// the fleet cannot be made.
BenchFleet* benchFleetFor(benchmark::State& state);
// The same for a benchmark whose argument is the number of installed components an
// aircraft: also skipped when the fleet is generated for another number.
BenchFleet* benchFleetForInstalled(benchmark::State& state);

// The fleet of the due list, generated on first use (dueListFleetSpec: 500 aircraft of
// 2,000 component rows, one million Parts rows).
BenchFleet* dueListBenchFleet(QString* error);

// Closes the files and removes the temporary folders.
void releaseBenchFleet();

}  // namespace velmora::bench
