#pragma once

#include "UtilisationSource.h"

#include <QHash>
#include <QString>

#include <vector>

namespace velmora::data {
class Database;
}

namespace velmora::utilisation {

// The table of the main data file that keeps the planned daily use of each aircraft. Files
// written before it existed lack it: they are read as knowing nothing, and the table is
// added when planned figures are first saved.
inline const QString kPlannedUtilisationTable = QStringLiteral("PlannedUtilisation");

// The planned figures of one aircraft.
struct PlannedEntry {
    QString regNum;
    DailyUtilisation use;
};

// Planned daily use read from the main data file (Timemgr.mdb). Reading never changes the
// file: a file without the table gives every figure unknown.
class PlannedUtilisation final : public UtilisationSource {
  public:
    PlannedUtilisation() = default;
    // Reads the table; throws data::DbError when it is there but cannot be read.
    static PlannedUtilisation read(data::Database& mainDb);

    DailyUtilisation dailyUse(const QString& regNum) const override;
    const std::vector<PlannedEntry>& entries() const { return entries_; }

  private:
    std::vector<PlannedEntry> entries_;  // in the order of the table
    QHash<QString, int> byKey_;          // registration as compared, to its first entry
};

// Stores planned figures, each aircraft's replacing what was kept for its registration
// (compared as the engine compares text). The table is created when the file lacks it. All
// of it is one transaction: on failure (a read-only file, a figure below zero or not a
// number) nothing is changed and data::DbError is thrown.
void savePlannedUtilisation(data::Database& mainDb, const std::vector<PlannedEntry>& entries);

}  // namespace velmora::utilisation
