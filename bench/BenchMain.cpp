// velmora-bench: the engine's benchmarks, on a fleet file generated at start.
#include "BenchFleet.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    // The screens are measured offscreen: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    velmora::bench::releaseBenchFleet();
    return 0;
}
