#include "BenchFleet.h"

#include "data/DbError.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace velmora::bench {

namespace {

// The two fleets: the remaining-life fleet and the due list's.
struct Slot {
    std::unique_ptr<BenchFleet> fleet;
    QString failure;
};

Slot& slot(int which) {
    static Slot fleets[2];
    return fleets[which];
}

std::unique_ptr<BenchFleet> makeFleet(const FleetSpec& spec) {
    auto f = std::make_unique<BenchFleet>();
    f->spec = spec;
    const QString parent = qEnvironmentVariable("VELMORA_BENCH_DIR");
    f->dir =
        parent.isEmpty()
            ? std::make_unique<QTemporaryDir>()
            : std::make_unique<QTemporaryDir>(parent + QStringLiteral("/velmora-bench-XXXXXX"));
    if (!f->dir->isValid())
        throw data::DbError(data::err::CannotOpen,
                            QStringLiteral("Cannot make a temporary folder for the fleet: %1.")
                                .arg(f->dir->errorString()));
    QElapsedTimer timer;
    timer.start();
    f->fleet = generateFleet(f->dir->path(), f->spec);
    f->secondsToGenerate = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    f->dataPath = f->dir->path() + u'/';
    f->targetRegNum = fleetRegNum(f->spec.aircraft / 2);
    f->db = data::Database::open(f->fleet.mainFile);
    std::fprintf(stderr,
                 "velmora-bench: fleet of %d aircraft, %d components, %d oil samples generated "
                 "in %.2f s in %s\n",
                 f->fleet.aircraft, f->fleet.components, f->fleet.oilSamples, f->secondsToGenerate,
                 qPrintable(f->dir->path()));
    return f;
}

BenchFleet* fleetIn(Slot& s, const FleetSpec& spec, QString* error) {
    if (!s.fleet && s.failure.isEmpty()) {
        try {
            s.fleet = makeFleet(spec);
        } catch (const data::DbError& e) {
            s.failure = QStringLiteral("the benchmark fleet could not be generated: error %1: %2")
                            .arg(e.code())
                            .arg(e.text());
        }
    }
    if (!s.fleet)
        *error = s.failure;
    return s.fleet.get();
}

}  // namespace

BenchFleet* benchFleet(QString* error) {
    return fleetIn(slot(0), FleetSpec{}, error);
}

BenchFleet* benchFleetFor(benchmark::State& state) {
    QString error;
    BenchFleet* fleet = benchFleet(&error);
    if (!fleet)
        state.SkipWithError(qPrintable(error));
    return fleet;
}

BenchFleet* benchFleetForInstalled(benchmark::State& state) {
    BenchFleet* fleet = benchFleetFor(state);
    if (!fleet)
        return nullptr;
    if (state.range(0) != fleet->spec.installedPerAircraft) {
        state.SkipWithError("the fleet is generated for 300 installed components an aircraft");
        return nullptr;
    }
    return fleet;
}

BenchFleet* dueListBenchFleet(QString* error) {
    return fleetIn(slot(1), dueListFleetSpec(), error);
}

void releaseBenchFleet() {
    slot(0).fleet.reset();
    slot(1).fleet.reset();
}

}  // namespace velmora::bench
