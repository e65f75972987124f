#pragma once

#include "TaskTypes.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace velmora::data {
class Database;
}

namespace velmora::tasks {

// An aircraft as the register's applicability and next-due figures read it.
struct FleetAircraft {
    QString regNum;
    QString serialNumber;
    QString make;
    QString model;
    QString year;
    Totals totals;
};

// One installed component row (a Parts row with Installed = Yes): its part and serial
// number, and what the row tells of the component's life in its basis.
struct FleetPart {
    QString regNum;
    QString partNumber;
    QString serialNumber;
    std::optional<due::Basis> basis;
    int meter = 0;
    std::optional<double> usedAtInstall;   // InstallTimeLeft
    std::optional<double> totalAtInstall;  // InstallACHour
};

struct Fleet {
    std::vector<FleetAircraft> aircraft;
    std::vector<FleetPart> parts;

    // Builds the lookups below; again after the vectors were changed.
    void index();
    // The aircraft of a registration (compared as the engine compares text); null if none.
    const FleetAircraft* find(const QString& regNum) const;
    // The installed component rows of a part number (compared as the engine compares text).
    const std::vector<size_t>& partsNumbered(const QString& partNumber) const;
    // The make and model of aircraft i as the engine compares text (trimmed), worked out
    // once by index() since every task of a make and model is compared with every aircraft.
    QString makeKey(size_t i) const;
    QString modelKey(size_t i) const;

  private:
    QHash<QString, size_t> aircraftAt_;
    std::vector<QString> makeKeys_, modelKeys_;  // by aircraft, once indexed
    QHash<QString, std::vector<size_t>> partsAt_;
};

// Reads the aircraft of the main data file, or the one of this registration, with their
// installed components. Throws data::DbError when the file cannot be read.
Fleet readFleet(data::Database& mainDb, const std::optional<QString>& regNum = std::nullopt);

// Reads the aircraft only (no components).
std::vector<FleetAircraft> readAircraft(data::Database& mainDb,
                                        const std::optional<QString>& regNum = std::nullopt);

}  // namespace velmora::tasks
