// velmora-bench: the engine's benchmarks, on a fleet file generated at start.
#include "BenchFleet.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    velmora::bench::releaseBenchFleet();
    return 0;
}
