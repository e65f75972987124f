#include "TaskDueLines.h"

#include "Applicability.h"
#include "data/TextKey.h"
#include "utilisation/UtilisationSource.h"

#include <QHash>

#include <algorithm>

namespace velmora::tasks {

namespace {

std::string utf8(const QString& text) {
    return text.toStdString();
}

bool isDue(const NextDue& next) {
    const Status s = next.schedule.status;
    return (s == Status::Open || s == Status::Recurring) && !next.isClosed();
}

due::DueEntry entryOf(const Task& task, const Compliance& compliance, const NextDue& next,
                      std::int32_t aircraft) {
    due::DueEntry e;
    e.aircraft = aircraft;
    e.taskId = task.id;
    e.complianceId = compliance.id;
    QString text = task.label();
    if (!task.title.trimmed().isEmpty())
        text += QStringLiteral(": ") + task.title.trimmed();
    e.description = utf8(text);
    e.partNumber = utf8(compliance.partNumber);
    e.serialNumber = utf8(compliance.serialNumber);
    e.level = next.level;
    const JudgedFigure* first = next.controllingFigure();
    if (!first)
        return e;  // no figure can be worked out: listed without one
    const due::Basis basis = basisOf(first->figure.parameter);
    e.basis = static_cast<std::int8_t>(due::basisIndex(basis));
    e.lifeBasis = utf8(due::basisCode(basis));
    if (first->figure.parameter == Parameter::Hours) {
        e.hasMeter = true;
        e.meter = static_cast<std::int16_t>(task.meter);
    }
    e.life = first->figure.span;
    e.remaining = first->remaining;
    e.projection = first->projection;
    e.dueDay = first->dueDay;
    return e;
}

// The registration keys of the list's aircraft, to their places in the list.
QHash<QString, std::int32_t> listPlaces(const due::DueList& list) {
    QHash<QString, std::int32_t> at;
    for (size_t a = 0; a < list.aircraft.size(); ++a)
        at.insert(data::textKey(list.aircraft[a].regNum), static_cast<std::int32_t>(a));
    return at;
}

// Puts lines that are by aircraft among the list's entries, after each aircraft's own. The
// entries are moved once each, from the back, into room made at the end of the list.
void mergeByAircraft(due::DueList* list, std::vector<due::DueEntry> lines) {
    if (lines.empty())
        return;
    std::vector<due::DueEntry>& entries = list->entries;
    const size_t limits = entries.size();
    entries.resize(limits + lines.size());
    size_t from = limits, line = lines.size(), to = entries.size();
    while (line > 0) {
        if (from > 0 && entries[from - 1].aircraft > lines[line - 1].aircraft)
            entries[--to] = std::move(entries[--from]);
        else
            entries[--to] = std::move(lines[--line]);
    }
}

// A line due on the list: where it goes, its task (by place in the register) and its
// compliance (by place among the targets).
struct DueLine {
    std::int32_t aircraft;
    std::uint32_t task;
    std::uint32_t target;
};

// The lines of the register due on the list's aircraft, by aircraft then task number,
// revision and target, as the compliance status orders its lines. Only the lines the list
// takes are judged and made into entries.
std::vector<due::DueEntry> dueTaskEntries(const due::DueList& list, const Register& reg,
                                          const Fleet& fleet,
                                          const utilisation::UtilisationSource& use,
                                          const due::WarningSettings& warnings) {
    const QHash<QString, std::int32_t> listAt = listPlaces(list);
    // Each registration of the fleet (its first record): the aircraft whose totals and use
    // count, and its place in the list (-1 when the list does not hold it).
    struct Place {
        size_t aircraft;
        std::int32_t listed;
    };
    QHash<QString, Place> placeOf;
    for (size_t i = 0; i < fleet.aircraft.size(); ++i) {
        const QString key = data::textKey(fleet.aircraft[i].regNum);
        if (!placeOf.contains(key))
            placeOf.insert(key, {i, listAt.value(key, -1)});
    }
    std::vector<std::optional<utilisation::DailyUtilisation>> uses(fleet.aircraft.size());
    // The task number and revision as sorted, once per task.
    std::vector<QString> numberKeys, revisionKeys;
    numberKeys.reserve(reg.tasks.size());
    revisionKeys.reserve(reg.tasks.size());
    for (const Task& t : reg.tasks) {
        numberKeys.push_back(data::textKey(t.number.trimmed()));
        revisionKeys.push_back(data::textKey(t.revision.trimmed()));
    }

    const std::vector<Compliance> targets = statusTargets(reg, fleet);
    std::vector<DueLine> due;
    std::vector<due::DueEntry> entries;
    for (size_t i = 0; i < targets.size(); ++i) {
        const Compliance& c = targets[i];
        const auto place = placeOf.constFind(data::textKey(c.regNum));
        if (place == placeOf.constEnd() || place->listed < 0)
            continue;
        const Task* task = reg.findTask(c.taskId);
        if (!task)
            continue;
        std::optional<utilisation::DailyUtilisation>& daily = uses[place->aircraft];
        if (!daily)
            daily = use.dailyUse(fleet.aircraft[place->aircraft].regNum);
        const NextDue next = judgeSchedule(
            *task,
            scheduleOf(*task, c,
                       c.isStored() ? reg.accomplishmentsOf(c.id) : std::vector<Accomplishment>{}),
            fleet.aircraft[place->aircraft].totals, *daily, warnings, list.today);
        if (!isDue(next))
            continue;
        due.push_back({place->listed, static_cast<std::uint32_t>(task - reg.tasks.data()),
                       static_cast<std::uint32_t>(i)});
        entries.push_back(entryOf(*task, c, next, place->listed));
    }
    std::vector<size_t> order(due.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        const DueLine& a = due[x];
        const DueLine& b = due[y];
        if (a.aircraft != b.aircraft)
            return a.aircraft < b.aircraft;
        if (numberKeys[a.task] != numberKeys[b.task])
            return numberKeys[a.task] < numberKeys[b.task];
        if (revisionKeys[a.task] != revisionKeys[b.task])
            return revisionKeys[a.task] < revisionKeys[b.task];
        // Rare: several targets of one task number on an aircraft (its components).
        return targetKey(targets[a.target]) < targetKey(targets[b.target]);
    });
    std::vector<due::DueEntry> sorted;
    sorted.reserve(order.size());
    for (size_t i : order)
        sorted.push_back(std::move(entries[i]));
    return sorted;
}

}  // namespace

void addTaskLines(due::DueList* list, const ComplianceStatus& status) {
    const QHash<QString, std::int32_t> aircraftAt = listPlaces(*list);
    std::vector<due::DueEntry> lines;
    for (const StatusLine& line : status.lines) {
        if (!isDue(line.next))
            continue;
        const auto at = aircraftAt.constFind(data::textKey(status.aircraftOf(line).regNum));
        if (at != aircraftAt.constEnd())
            lines.push_back(entryOf(line.task, line.compliance, line.next, *at));
    }
    // The limits are by aircraft; the tasks join them there, after each aircraft's limits.
    std::stable_sort(
        lines.begin(), lines.end(),
        [](const due::DueEntry& x, const due::DueEntry& y) { return x.aircraft < y.aircraft; });
    mergeByAircraft(list, std::move(lines));
}

due::MoreDueLines taskDueLines() {
    return [](data::Database& mainDb, const utilisation::UtilisationSource& use,
              const due::WarningSettings& warnings, due::DueList* list) {
        const Register reg = readRegister(mainDb);
        const Fleet fleet = readStatusFleet(mainDb, reg);
        mergeByAircraft(list, dueTaskEntries(*list, reg, fleet, use, warnings));
    };
}

}  // namespace velmora::tasks
