#include "TaskDueLines.h"

#include "data/TextKey.h"

#include <QHash>

#include <algorithm>

namespace velmora::tasks {

namespace {

std::string utf8(const QString& text) {
    return text.toStdString();
}

bool isDue(const StatusLine& line) {
    const Status s = line.next.schedule.status;
    return (s == Status::Open || s == Status::Recurring) && !line.next.isClosed();
}

due::DueEntry entryOf(const StatusLine& line, std::int32_t aircraft) {
    due::DueEntry e;
    e.aircraft = aircraft;
    e.taskId = line.task.id;
    e.complianceId = line.compliance.id;
    QString text = line.task.label();
    if (!line.task.title.trimmed().isEmpty())
        text += QStringLiteral(": ") + line.task.title.trimmed();
    e.description = utf8(text);
    e.partNumber = utf8(line.compliance.partNumber);
    e.serialNumber = utf8(line.compliance.serialNumber);
    e.level = line.next.level;
    const JudgedFigure* first = line.next.controllingFigure();
    if (!first)
        return e;  // no figure can be worked out: listed without one
    const due::Basis basis = basisOf(first->figure.parameter);
    e.basis = static_cast<std::int8_t>(due::basisIndex(basis));
    e.lifeBasis = utf8(due::basisCode(basis));
    if (first->figure.parameter == Parameter::Hours) {
        e.hasMeter = true;
        e.meter = static_cast<std::int16_t>(line.task.meter);
    }
    e.life = first->figure.span;
    e.remaining = first->remaining;
    e.projection = first->projection;
    e.dueDay = first->dueDay;
    return e;
}

}  // namespace

void addTaskLines(due::DueList* list, const ComplianceStatus& status) {
    QHash<QString, std::int32_t> aircraftAt;
    for (size_t a = 0; a < list->aircraft.size(); ++a)
        aircraftAt.insert(data::textKey(list->aircraft[a].regNum), static_cast<std::int32_t>(a));
    std::vector<due::DueEntry> lines;
    for (const StatusLine& line : status.lines) {
        if (!isDue(line))
            continue;
        const auto at = aircraftAt.constFind(data::textKey(status.aircraftOf(line).regNum));
        if (at != aircraftAt.constEnd())
            lines.push_back(entryOf(line, *at));
    }
    if (lines.empty())
        return;
    // The limits are by aircraft; the tasks join them there, after each aircraft's limits.
    std::stable_sort(
        lines.begin(), lines.end(),
        [](const due::DueEntry& x, const due::DueEntry& y) { return x.aircraft < y.aircraft; });
    const auto limits = static_cast<std::ptrdiff_t>(list->entries.size());
    list->entries.insert(list->entries.end(), std::make_move_iterator(lines.begin()),
                         std::make_move_iterator(lines.end()));
    std::inplace_merge(
        list->entries.begin(), list->entries.begin() + limits, list->entries.end(),
        [](const due::DueEntry& x, const due::DueEntry& y) { return x.aircraft < y.aircraft; });
}

due::MoreDueLines taskDueLines() {
    return [](data::Database& mainDb, const utilisation::UtilisationSource& use,
              const due::WarningSettings& warnings, due::DueList* list) {
        addTaskLines(list, readComplianceStatus(mainDb, use, warnings, list->today));
    };
}

}  // namespace velmora::tasks
