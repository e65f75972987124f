#include "TaskRules.h"

#include "SerialRanges.h"
#include "data/Value.h"

#include <cmath>

namespace velmora::tasks {

namespace {

QString what(const char* figure, Parameter p) {
    return QStringLiteral("The %1 in %2").arg(QLatin1String(figure), parameterUnit(p));
}

void checkFigures(const Figures& figures, const char* name, bool zeroAllowed,
                  QStringList* problems) {
    for (Parameter p : kAllParameters) {
        const auto& v = figures[slot(p)];
        if (!v)
            continue;
        if (!std::isfinite(*v)) {
            *problems << what(name, p) + QStringLiteral(" is not a number.");
        } else if (*v < 0 || (*v == 0 && !zeroAllowed)) {
            *problems << what(name, p) + (zeroAllowed
                                              ? QStringLiteral(" must not be below 0 (it is %1).")
                                              : QStringLiteral(" must be more than 0 (it is %1)."))
                                             .arg(*v);
        } else if (p == Parameter::Months && *v != std::floor(*v)) {
            *problems
                << what(name, p) +
                       QStringLiteral(" must be a whole number of months (it is %1).").arg(*v);
        }
    }
}

std::optional<double> totalOf(const Totals& t, Parameter p, int meter) {
    return figureOf(t, p, meter);
}

}  // namespace

QString totalName(Parameter p, int meter) {
    if (p == Parameter::Hours)
        return QStringLiteral("meter %1 hours").arg(meter);
    return parameterUnit(p);
}

QStringList taskProblems(const Task& task) {
    QStringList problems;
    if (task.number.trimmed().isEmpty())
        problems << QStringLiteral("The task has no number.");
    if (task.thresholdFrom == ThresholdFrom::EffectiveDate && !task.effectiveDate.isValid())
        problems << QStringLiteral(
            "The task has no effective date, which its threshold counts from.");
    if (task.appliesTo == AppliesTo::Model && task.make.trimmed().isEmpty())
        problems << QStringLiteral("The task applies to a make and model but names no make.");
    if (task.appliesTo == AppliesTo::Part && task.partNumber.trimmed().isEmpty())
        problems << QStringLiteral("The task applies to a part but names no part number.");
    QString error;
    if (!SerialRanges::parse(task.serials, &error))
        problems << QStringLiteral("The serial numbers cannot be read: %1.").arg(error);
    if (task.meter != 1 && task.meter != 2)
        problems << QStringLiteral("The meter must be 1 or 2 (it is %1).").arg(task.meter);
    checkFigures(task.interval, "interval", false, &problems);
    checkFigures(task.threshold, "threshold", false, &problems);
    checkFigures(task.tolerance, "tolerance", true, &problems);
    for (Parameter p : kAllParameters) {
        if (task.tolerance[slot(p)] && !task.interval[slot(p)] && !task.threshold[slot(p)])
            problems << QStringLiteral(
                            "The task has a tolerance in %1 but no interval or threshold "
                            "in %1.")
                            .arg(parameterUnit(p));
    }
    return problems;
}

QStringList complianceProblems(const Compliance& c) {
    QStringList problems;
    if (c.status == Status::NotApplicable && c.reason.trimmed().isEmpty())
        problems << QStringLiteral("Say why the task does not apply.");
    if (c.status == Status::Superseded && c.supersededBy.trimmed().isEmpty())
        problems << QStringLiteral("Name the number that supersedes the task.");
    for (Parameter p : kAllParameters) {
        const auto& v = c.start[slot(p)];
        if (v && !std::isfinite(*v))
            problems << QStringLiteral("The start in %1 is not a number.").arg(parameterUnit(p));
    }
    return problems;
}

QStringList accomplishmentProblems(const Task& task, const Compliance& compliance,
                                   const std::vector<Accomplishment>& recorded,
                                   const Accomplishment& added, const Totals& aircraftNow,
                                   const QDate& today) {
    QStringList problems;
    const QString on =
        compliance.isForPart()
            ? QStringLiteral("%1 on %2 (part %3, serial %4)")
                  .arg(task.label(), compliance.regNum.trimmed(), compliance.partNumber.trimmed(),
                       compliance.serialNumber.trimmed())
            : QStringLiteral("%1 on %2").arg(task.label(), compliance.regNum.trimmed());
    switch (compliance.status) {
        case Status::NotApplicable:
            return {QStringLiteral("%1 is marked not applicable: nothing is to be done.").arg(on)};
        case Status::Superseded:
            return {QStringLiteral("%1 is superseded by %2: record the accomplishment there.")
                        .arg(on, compliance.supersededBy.trimmed())};
        default:
            break;
    }
    for (const Accomplishment& r : recorded) {
        if (r.terminating || !task.isRecurring())
            return {QStringLiteral("%1 is complied with (%2): nothing more is due.")
                        .arg(on, r.date.toString(Qt::ISODate))};
    }
    if (!added.date.isValid())
        problems << QStringLiteral("The accomplishment has no date.");
    else if (added.date > today)
        problems << QStringLiteral("The date %1 lies in the future.")
                        .arg(added.date.toString(Qt::ISODate));
    else if (task.effectiveDate.isValid() && added.date < task.effectiveDate)
        problems << QStringLiteral("The date %1 lies before the effective date %2 of %3.")
                        .arg(added.date.toString(Qt::ISODate),
                             task.effectiveDate.toString(Qt::ISODate), task.label());
    for (Parameter p : kAllParameters) {
        if (p == Parameter::Months)
            continue;
        for (int meter : {1, 2}) {
            if (p != Parameter::Hours && meter == 2)
                continue;
            const auto v = totalOf(added.totals, p, meter);
            const QString name = totalName(p, meter);
            if (!v) {
                if (task.interval[slot(p)] && (p != Parameter::Hours || meter == task.meter))
                    problems << QStringLiteral(
                                    "The aircraft's %1 at the accomplishment are needed: %2 "
                                    "recurs by them.")
                                    .arg(name, task.label());
                continue;
            }
            if (!std::isfinite(*v) || *v < 0) {
                problems << QStringLiteral("The %1 total must be a number not below 0.").arg(name);
                continue;
            }
            const auto now = totalOf(aircraftNow, p, meter);
            if (now && *v > *now + 1e-9)
                problems << QStringLiteral(
                                "The %1 total %2 is more than the aircraft has now (%3).")
                                .arg(name, data::formatNumber(*v), data::formatNumber(*now));
            for (const Accomplishment& r : recorded) {
                const auto other = totalOf(r.totals, p, meter);
                if (!other || !r.date.isValid() || !added.date.isValid())
                    continue;
                if (r.date <= added.date && *v < *other)
                    problems << QStringLiteral(
                                    "The %1 total %2 is lower than at the accomplishment of "
                                    "%3 (%4).")
                                    .arg(name, data::formatNumber(*v), r.date.toString(Qt::ISODate),
                                         data::formatNumber(*other));
                else if (r.date > added.date && *v > *other)
                    problems << QStringLiteral(
                                    "The %1 total %2 is higher than at the later accomplishment "
                                    "of %3 (%4).")
                                    .arg(name, data::formatNumber(*v), r.date.toString(Qt::ISODate),
                                         data::formatNumber(*other));
            }
        }
    }
    return problems;
}

}  // namespace velmora::tasks
