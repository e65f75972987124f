// velmora-bench: the engine's benchmarks, on a fleet file generated at start.
#include "BenchDialogs.h"
#include "BenchFleet.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    // The screens are measured offscreen: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A screen that shows a message box is reported, never left waiting for a click.
    velmora::screens::Dialogs::install(&velmora::bench::benchDialogs());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    velmora::bench::releaseBenchFleet();
    return 0;
}
