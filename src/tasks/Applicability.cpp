#include "Applicability.h"

#include "SerialRanges.h"
#include "data/TextKey.h"

#include <QHash>

namespace velmora::tasks {

namespace {

// A task's make and model as compared with each aircraft's, worked out once per task.
struct ModelKey {
    QString make, model;  // model empty: every model of the make

    explicit ModelKey(const Task& task)
        : make(data::textKey(task.make.trimmed())),
          model(task.model.trimmed().isEmpty() ? QString() : data::textKey(task.model.trimmed())) {}
    bool matches(const Fleet& fleet, size_t i) const {
        if (fleet.makeKey(i) != make)
            return false;
        return model.isEmpty() || fleet.modelKey(i) == model;
    }
};

// 1 January of the year of manufacture, when the record's year reads as one.
QDate newDate(const FleetAircraft& a) {
    bool ok = false;
    const int year = a.year.trimmed().toInt(&ok);
    if (!ok || year < 1900 || year > 9999)
        return {};
    return QDate(year, 1, 1);
}

Compliance startingCompliance(const Task& task, const FleetAircraft& a) {
    Compliance c;
    c.taskId = task.id;
    c.regNum = a.regNum;
    c.status = Status::Open;
    if (task.thresholdFrom == ThresholdFrom::EffectiveDate) {
        c.startDate = task.effectiveDate;
        for (Parameter p : kAllParameters)
            c.start[slot(p)] = figureOf(a.totals, p, task.meter);
    } else {
        c.startDate = newDate(a);
        for (Parameter p : kAllParameters) {
            if (p != Parameter::Months)
                c.start[slot(p)] = 0.0;
        }
    }
    return c;
}

bool basisCounts(const FleetPart& part, Parameter p, int meter) {
    if (!part.basis)
        return false;
    switch (p) {
        case Parameter::Hours:
            // Only a limit to retire counts from new; one to overhaul or inspect from its last
            // overhaul or inspection.
            return *part.basis == due::Basis::RT && part.meter == meter;
        case Parameter::Landings:
            return *part.basis == due::Basis::LD;
        case Parameter::Cycles:
            return *part.basis == due::Basis::CY;
        case Parameter::Rin:
            return *part.basis == due::Basis::RN;
        case Parameter::Months:
            break;
    }
    return false;
}

}  // namespace

QString targetKey(std::int64_t taskId, const QString& regNum, const QString& partNumber,
                  const QString& serialNumber) {
    return QString::number(taskId) + QChar(0x1f) + data::textKey(regNum.trimmed()) + QChar(0x1f) +
           data::textKey(partNumber.trimmed()) + QChar(0x1f) +
           data::textKey(serialNumber.trimmed());
}

bool sameTarget(const Compliance& a, const Compliance& b) {
    return targetKey(0, a.regNum, a.partNumber, a.serialNumber) ==
           targetKey(0, b.regNum, b.partNumber, b.serialNumber);
}

std::vector<Compliance> applicableTargets(const Task& task, const Fleet& fleet) {
    std::vector<Compliance> out;
    QString error;
    const auto ranges = SerialRanges::parse(task.serials, &error);
    if (!ranges)
        return out;  // a task that cannot be read applies to nothing (it is never stored)
    if (task.appliesTo == AppliesTo::Model) {
        const ModelKey key(task);
        for (size_t i = 0; i < fleet.aircraft.size(); ++i) {
            const FleetAircraft& a = fleet.aircraft[i];
            if (key.matches(fleet, i) && ranges->contains(a.serialNumber))
                out.push_back(startingCompliance(task, a));
        }
        return out;
    }
    QHash<QString, size_t> byTarget;  // one compliance per component and aircraft
    for (size_t at : fleet.partsNumbered(task.partNumber)) {
        const FleetPart& part = fleet.parts[at];
        if (!ranges->contains(part.serialNumber))
            continue;
        const FleetAircraft* a = fleet.find(part.regNum);
        if (!a)
            continue;
        const QString key = targetKey(task.id, a->regNum, part.partNumber, part.serialNumber);
        auto it = byTarget.find(key);
        if (it == byTarget.end()) {
            Compliance c = startingCompliance(task, *a);
            c.partNumber = part.partNumber.trimmed();
            c.serialNumber = part.serialNumber.trimmed();
            if (task.thresholdFrom == ThresholdFrom::New) {
                c.startDate = QDate();
                c.start = Figures{};
            }
            it = byTarget.insert(key, out.size());
            out.push_back(std::move(c));
        }
        Compliance& c = out[*it];
        if (task.thresholdFrom != ThresholdFrom::New)
            continue;
        // The aircraft total at which the component had no life yet, in each basis its
        // limits to retire count.
        for (Parameter p : kAllParameters) {
            if (!c.start[slot(p)] && basisCounts(part, p, task.meter) && part.usedAtInstall &&
                part.totalAtInstall)
                c.start[slot(p)] = *part.totalAtInstall - *part.usedAtInstall;
        }
    }
    return out;
}

QString unknownApplicability(const Task& task, const Fleet& fleet) {
    if (task.appliesTo == AppliesTo::Model) {
        const ModelKey key(task);
        for (size_t i = 0; i < fleet.aircraft.size(); ++i) {
            if (key.matches(fleet, i))
                return {};
        }
        return task.model.trimmed().isEmpty()
                   ? QStringLiteral("no aircraft of the make %1 is on file")
                         .arg(task.make.trimmed())
                   : QStringLiteral("no aircraft of the make %1 and model %2 is on file")
                         .arg(task.make.trimmed(), task.model.trimmed());
    }
    if (!fleet.partsNumbered(task.partNumber).empty())
        return {};
    return QStringLiteral("no installed component has the part number %1")
        .arg(task.partNumber.trimmed());
}

}  // namespace velmora::tasks
