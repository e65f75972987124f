#include "Fleet.h"

#include "data/Database.h"
#include "data/Recordset.h"
#include "data/TextKey.h"
#include "data/ValueNumber.h"

namespace velmora::tasks {

namespace {

using data::Value;

QString textOf(const Value& v) {
    return v.isNull() ? QString() : v.toString();
}

// The registration asked for, as the value bound to ?1; none for the whole fleet.
std::vector<Value> regValues(const std::optional<QString>& regNum) {
    return regNum ? std::vector<Value>{Value(*regNum)} : std::vector<Value>{};
}

}  // namespace

void Fleet::index() {
    aircraftAt_.clear();
    partsAt_.clear();
    makeKeys_.clear();
    modelKeys_.clear();
    makeKeys_.reserve(aircraft.size());
    modelKeys_.reserve(aircraft.size());
    for (size_t i = 0; i < aircraft.size(); ++i) {
        const QString key = data::textKey(aircraft[i].regNum);
        if (!aircraftAt_.contains(key))
            aircraftAt_.insert(key, i);  // the first record of a registration counts
        makeKeys_.push_back(data::textKey(aircraft[i].make.trimmed()));
        modelKeys_.push_back(data::textKey(aircraft[i].model.trimmed()));
    }
    for (size_t i = 0; i < parts.size(); ++i)
        partsAt_[data::textKey(parts[i].partNumber.trimmed())].push_back(i);
}

const FleetAircraft* Fleet::find(const QString& regNum) const {
    const auto it = aircraftAt_.constFind(data::textKey(regNum));
    return it == aircraftAt_.constEnd() ? nullptr : &aircraft[*it];
}

const std::vector<size_t>& Fleet::partsNumbered(const QString& partNumber) const {
    static const std::vector<size_t> none;
    const auto it = partsAt_.constFind(data::textKey(partNumber.trimmed()));
    return it == partsAt_.constEnd() ? none : *it;
}

QString Fleet::makeKey(size_t i) const {
    return i < makeKeys_.size() ? makeKeys_[i] : data::textKey(aircraft[i].make.trimmed());
}

QString Fleet::modelKey(size_t i) const {
    return i < modelKeys_.size() ? modelKeys_[i] : data::textKey(aircraft[i].model.trimmed());
}

std::vector<FleetAircraft> readAircraft(data::Database& mainDb,
                                        const std::optional<QString>& regNum) {
    std::vector<FleetAircraft> out;
    auto rs = mainDb.openRecordset(
        QStringLiteral("select [RegNum],[Serial Number],[Make],[Model],[Year],[TotalTime],"
                       "[TotalTime2],[TotalLandings],[TotalCycles],[TotalRIN] from [Aircraft]") +
            (regNum ? QStringLiteral(" where [RegNum]=?1") : QString()) +
            QStringLiteral(" order by [RegNum]"),
        regValues(regNum));
    for (const auto& row : rs->rows()) {
        const auto& v = row.values;
        if (v[0].isNull())
            continue;  // nothing can be told of an aircraft without a registration
        FleetAircraft a;
        a.regNum = v[0].toString();
        a.serialNumber = textOf(v[1]);
        a.make = textOf(v[2]);
        a.model = textOf(v[3]);
        a.year = textOf(v[4]);
        a.totals = {data::numberIn(v[5]), data::numberIn(v[6]), data::numberIn(v[7]),
                    data::numberIn(v[8]), data::numberIn(v[9])};
        out.push_back(std::move(a));
    }
    return out;
}

Fleet readFleet(data::Database& mainDb, const std::optional<QString>& regNum) {
    Fleet fleet;
    fleet.aircraft = readAircraft(mainDb, regNum);
    QString where = QStringLiteral(" where ([Active] = Yes)");
    if (regNum)
        where += QStringLiteral(" and ([RegNum]=?1)");
    auto rs = mainDb.openRecordset(
        QStringLiteral("select [RegNum],[PartNumber],[Serial#],[LifeBasis],[MeterNumber],"
                       "[InstallTimeLeft],[InstallACHour] from [Parts]") +
            where,
        regValues(regNum));
    fleet.parts.reserve(rs->rows().size());
    for (const auto& row : rs->rows()) {
        const auto& v = row.values;
        if (v[0].isNull() || textOf(v[1]).trimmed().isEmpty())
            continue;  // only a part number can make a task apply to a component
        FleetPart p;
        p.regNum = v[0].toString();
        p.partNumber = v[1].toString();
        p.serialNumber = textOf(v[2]);
        if (!v[3].isNull())
            p.basis = due::basisFromCode(v[3].toString());
        if (const auto m = data::numberIn(v[4]))
            p.meter = static_cast<int>(*m);
        p.usedAtInstall = data::numberIn(v[5]);
        p.totalAtInstall = data::numberIn(v[6]);
        fleet.parts.push_back(std::move(p));
    }
    fleet.index();
    return fleet;
}

}  // namespace velmora::tasks
