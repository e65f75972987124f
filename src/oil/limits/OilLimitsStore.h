#pragma once

#include "OilLimits.h"

#include <QString>

#include <map>

namespace velmora::data {
class Database;
}

namespace velmora::oil::limits {

// The table of the main data file (Timemgr.mdb) that keeps the oil limits: one row per
// scope, key and element with a limit. Files written before it existed lack it and have no
// limits; it is added, in the same transaction, when limits are first saved.
inline const QString kOilLimitsTable = QStringLiteral("OilLimits");

// Which limits a row belongs to. A component's are kept under its aircraft's registration
// and its name; those of a make and model under the make, the model and the component's
// name (an engine and a gearbox of one model have limits of their own); the company's under
// nothing else. Texts compare without regard to letter case.
struct LimitKey {
    LimitScope scope = LimitScope::Company;
    QString regNum;
    QString make;
    QString model;
    QString component;

    static LimitKey forComponent(const QString& regNum, const QString& component);
    static LimitKey forModel(const QString& make, const QString& model, const QString& component);
    static LimitKey company();
};

// The limits kept under a key; none when the file has no such table. Never changes the
// file. Throws data::DbError when the table is there but cannot be read.
LimitSet readLimitSet(data::Database& mainDb, const LimitKey& key);

// Replaces the limits kept under a key (an empty set removes them), creating the table
// when the file lacks it, in one transaction: on failure (a read-only file, a value below
// zero, a caution above the alert) nothing is changed and data::DbError is thrown.
void saveLimitSet(data::Database& mainDb, const LimitKey& key, const LimitSet& limits);

// The make and model of an aircraft as its record keeps them (empty when unknown).
struct AircraftModel {
    QString make;
    QString model;
};
AircraftModel aircraftModel(data::Database& mainDb, const QString& regNum);

// The limits kept at every scope for a component of an aircraft.
LimitLevels readLimitLevels(data::Database& mainDb, const QString& regNum,
                            const QString& component);

// Every limit the file keeps, read at once, for judging many components: the limits of a
// component come from memory. Texts compare as readLimitLevels compares them.
class LimitBook {
  public:
    // Throws data::DbError when the table is there but cannot be read.
    static LimitBook read(data::Database& mainDb);
    bool isEmpty() const { return sets_.empty(); }
    LimitLevels levelsFor(const QString& regNum, const QString& component) const;

  private:
    QString modelKey(const QString& regNum) const;
    std::map<QString, LimitSet> sets_;         // by key text
    std::map<QString, AircraftModel> models_;  // by registration, folded
};

}  // namespace velmora::oil::limits
