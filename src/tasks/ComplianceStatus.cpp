#include "ComplianceStatus.h"

#include "Applicability.h"
#include "data/TextKey.h"
#include "utilisation/UtilisationSource.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace velmora::tasks {

std::vector<Compliance> statusTargets(const Register& reg, const Fleet& fleet) {
    QSet<QString> aircraft;
    for (const FleetAircraft& a : fleet.aircraft)
        aircraft.insert(data::textKey(a.regNum));
    // The components installed, by aircraft, part and serial number.
    QSet<QString> fitted;
    for (const FleetPart& p : fleet.parts)
        fitted.insert(targetKey(0, p.regNum, p.partNumber, p.serialNumber));

    // The stored records' target keys, worked out once for both uses below.
    std::vector<QString> recordKeys;
    recordKeys.reserve(reg.compliance.size());
    QHash<QString, size_t> recorded;  // target key to the stored record
    for (size_t i = 0; i < reg.compliance.size(); ++i) {
        recordKeys.push_back(targetKey(reg.compliance[i]));
        recorded.insert(recordKeys.back(), i);
    }

    std::vector<Compliance> chosen;
    QSet<QString> taken;
    for (const Task& task : reg.tasks) {
        for (Compliance& c : applicableTargets(task, fleet)) {
            const QString key = targetKey(c);
            taken.insert(key);
            const auto it = recorded.constFind(key);
            if (it == recorded.constEnd())
                chosen.push_back(std::move(c));
            else
                chosen.push_back(reg.compliance[*it]);
        }
    }
    for (size_t i = 0; i < reg.compliance.size(); ++i) {
        const Compliance& c = reg.compliance[i];
        if (taken.contains(recordKeys[i]) || !reg.findTask(c.taskId))
            continue;
        if (!aircraft.contains(data::textKey(c.regNum)))
            continue;
        if (c.isForPart() && !fitted.contains(targetKey(0, c.regNum, c.partNumber, c.serialNumber)))
            continue;
        chosen.push_back(c);
    }
    return chosen;
}

ComplianceStatus complianceStatus(const Register& reg, const Fleet& fleet,
                                  const utilisation::UtilisationSource& use,
                                  const due::WarningSettings& warnings, const QDate& today) {
    ComplianceStatus out;
    out.today = today;
    out.aircraft = fleet.aircraft;
    QHash<QString, size_t> aircraftAt;
    for (size_t i = 0; i < out.aircraft.size(); ++i) {
        const QString key = data::textKey(out.aircraft[i].regNum);
        if (!aircraftAt.contains(key))
            aircraftAt.insert(key, i);
    }
    std::vector<Compliance> chosen = statusTargets(reg, fleet);

    std::vector<utilisation::DailyUtilisation> uses;
    uses.reserve(out.aircraft.size());
    for (const FleetAircraft& a : out.aircraft)
        uses.push_back(use.dailyUse(a.regNum));
    out.lines.reserve(chosen.size());
    for (Compliance& c : chosen) {
        const auto at = aircraftAt.constFind(data::textKey(c.regNum));
        if (at == aircraftAt.constEnd())
            continue;
        const Task* task = reg.findTask(c.taskId);
        StatusLine line;
        line.aircraft = *at;
        line.task = *task;
        line.accomplishments =
            c.isStored() ? reg.accomplishmentsOf(c.id) : std::vector<Accomplishment>{};
        line.next = judgeSchedule(*task, scheduleOf(*task, c, line.accomplishments),
                                  out.aircraft[*at].totals, uses[*at], warnings, today);
        line.compliance = std::move(c);
        out.lines.push_back(std::move(line));
    }
    // By aircraft, task number, revision and target; the keys worked out once per line.
    struct SortKey {
        size_t aircraft;
        QString number, revision, target;
        size_t line;
    };
    std::vector<SortKey> keys;
    keys.reserve(out.lines.size());
    for (size_t i = 0; i < out.lines.size(); ++i) {
        const StatusLine& l = out.lines[i];
        keys.push_back({l.aircraft, data::textKey(l.task.number.trimmed()),
                        data::textKey(l.task.revision.trimmed()), targetKey(l.compliance), i});
    }
    std::stable_sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
        if (a.aircraft != b.aircraft)
            return a.aircraft < b.aircraft;
        if (a.number != b.number)
            return a.number < b.number;
        if (a.revision != b.revision)
            return a.revision < b.revision;
        return a.target < b.target;
    });
    std::vector<StatusLine> sorted;
    sorted.reserve(out.lines.size());
    for (const SortKey& k : keys)
        sorted.push_back(std::move(out.lines[k.line]));
    out.lines = std::move(sorted);
    return out;
}

Fleet readStatusFleet(data::Database& mainDb, const Register& reg,
                      const std::optional<QString>& regNum) {
    // The installed components matter only to tasks of a part number and to the records of
    // components: a register of makes and models alone is worked out without reading them.
    const bool partsMatter =
        std::any_of(reg.tasks.begin(), reg.tasks.end(),
                    [](const Task& t) { return t.appliesTo == AppliesTo::Part; }) ||
        std::any_of(reg.compliance.begin(), reg.compliance.end(),
                    [](const Compliance& c) { return c.isForPart(); });
    Fleet fleet;
    if (partsMatter)
        fleet = readFleet(mainDb, regNum);
    else
        fleet.aircraft = readAircraft(mainDb, regNum);
    fleet.index();
    return fleet;
}

ComplianceStatus readComplianceStatus(data::Database& mainDb,
                                      const utilisation::UtilisationSource& use,
                                      const due::WarningSettings& warnings, const QDate& today,
                                      const std::optional<QString>& regNum) {
    const Register reg = readRegister(mainDb, regNum);
    return complianceStatus(reg, readStatusFleet(mainDb, reg, regNum), use, warnings, today);
}

}  // namespace velmora::tasks
