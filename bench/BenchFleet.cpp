#include "BenchFleet.h"

#include "data/DbError.h"

#include <QElapsedTimer>

#include <cstdio>

namespace velmora::bench {

namespace {

std::unique_ptr<BenchFleet>& instance() {
    static std::unique_ptr<BenchFleet> fleet;
    return fleet;
}

QString& failure() {
    static QString text;
    return text;
}

std::unique_ptr<BenchFleet> makeFleet() {
    auto f = std::make_unique<BenchFleet>();
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

}  // namespace

BenchFleet* benchFleet(QString* error) {
    if (!instance() && failure().isEmpty()) {
        try {
            instance() = makeFleet();
        } catch (const data::DbError& e) {
            failure() = QStringLiteral("the benchmark fleet could not be generated: error %1: %2")
                            .arg(e.number())
                            .arg(e.text());
        }
    }
    if (!instance())
        *error = failure();
    return instance().get();
}

void releaseBenchFleet() {
    instance().reset();
}

}  // namespace velmora::bench
