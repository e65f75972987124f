#include "NextDue.h"

#include <algorithm>
#include <cmath>

namespace velmora::tasks {

namespace {

QString dayText(const QDate& d) {
    return d.toString(Qt::ISODate);
}

// The schedule of the first action, counted from the compliance's start.
void scheduleFirst(const Task& task, const Compliance& c, Schedule* s) {
    const bool thresholds = anySet(task.threshold);
    for (Parameter p : kAllParameters) {
        std::optional<double> step = thresholds ? task.threshold[slot(p)] : task.interval[slot(p)];
        // A one-time task without a threshold is due on its start date.
        if (!thresholds && !task.isRecurring() && p == Parameter::Months)
            step = 0;
        if (!step)
            continue;
        ScheduledFigure f;
        f.parameter = p;
        f.span = *step;
        f.tolerance = task.tolerance[slot(p)];
        if (p == Parameter::Months) {
            if (c.startDate.isValid())
                f.dueDate = c.startDate.addMonths(static_cast<int>(std::lround(*step)));
            else
                s->problems << QStringLiteral("the date the threshold counts from is not known");
        } else if (const auto start = c.start[slot(p)]) {
            f.dueAt = *start + *step;
        } else {
            s->problems << QStringLiteral("the %1 the threshold counts from are not known")
                               .arg(p == Parameter::Rin ? QStringLiteral("RIN") : parameterUnit(p));
        }
        s->figures.push_back(f);
    }
}

const ScheduledFigure* figureFor(const std::vector<ScheduledFigure>& figures, Parameter p) {
    for (const ScheduledFigure& f : figures) {
        if (f.parameter == p)
            return &f;
    }
    return nullptr;
}

// The next action after an accomplishment, in each parameter of the interval.
std::vector<ScheduledFigure> scheduleAfter(const Task& task, const Accomplishment& a,
                                           const std::vector<ScheduledFigure>& before,
                                           QStringList* problems) {
    std::vector<ScheduledFigure> next;
    for (Parameter p : kAllParameters) {
        const std::optional<double> interval = task.interval[slot(p)];
        if (!interval)
            continue;
        ScheduledFigure f;
        f.parameter = p;
        f.span = *interval;
        f.tolerance = task.tolerance[slot(p)];
        const ScheduledFigure* was = figureFor(before, p);
        if (p == Parameter::Months) {
            QDate base = a.date;
            if (was && was->dueDate.isValid() && f.tolerance && a.date > was->dueDate &&
                a.date <= was->dueDate.addMonths(static_cast<int>(std::lround(*f.tolerance))))
                base = was->dueDate;
            if (base.isValid())
                f.dueDate = base.addMonths(static_cast<int>(std::lround(*interval)));
            else
                *problems << QStringLiteral("an accomplishment has no date");
        } else if (const auto done = figureOf(a.totals, p, task.meter)) {
            double base = *done;
            if (was && was->dueAt && f.tolerance && *done > *was->dueAt &&
                *done <= *was->dueAt + *f.tolerance)
                base = *was->dueAt;
            f.dueAt = base + *interval;
        } else {
            *problems << QStringLiteral("the accomplishment of %1 holds no %2 total")
                             .arg(dayText(a.date),
                                  p == Parameter::Hours
                                      ? QStringLiteral("meter %1 hours").arg(task.meter)
                                      : parameterUnit(p));
        }
        next.push_back(f);
    }
    return next;
}

int tierOf(const JudgedFigure& f) {
    switch (f.projection) {
        case due::Projection::Dated:
            return 1;
        case due::Projection::BeyondReach:
            return f.dueDay < 0 ? 0 : 2;
        case due::Projection::NoUseRecorded:
            return f.level == due::WarningLevel::Overdue ? 0 : 3;
        case due::Projection::NoFigure:
            break;
    }
    return 4;
}

}  // namespace

Schedule scheduleOf(const Task& task, const Compliance& compliance,
                    std::vector<Accomplishment> accomplishments) {
    Schedule s;
    if (compliance.status == Status::NotApplicable || compliance.status == Status::Superseded) {
        s.status = compliance.status;
        return s;
    }
    std::stable_sort(accomplishments.begin(), accomplishments.end(),
                     [&task](const Accomplishment& a, const Accomplishment& b) {
                         if (a.date != b.date)
                             return a.date < b.date;
                         const auto ha = figureOf(a.totals, Parameter::Hours, task.meter);
                         const auto hb = figureOf(b.totals, Parameter::Hours, task.meter);
                         return ha && hb && *ha < *hb;
                     });
    scheduleFirst(task, compliance, &s);
    s.status = Status::Open;
    for (const Accomplishment& a : accomplishments) {
        s.last = a;
        s.fromThreshold = false;
        if (a.terminating || !task.isRecurring()) {
            s.status = Status::Complied;
            s.figures.clear();
            s.problems.clear();
            return s;
        }
        s.status = Status::Recurring;
        QStringList problems;
        s.figures = scheduleAfter(task, a, s.figures, &problems);
        s.problems = problems;
    }
    return s;
}

NextDue judgeSchedule(const Task& task, Schedule schedule, const Totals& now,
                      const utilisation::DailyUtilisation& use,
                      const due::WarningSettings& warnings, const QDate& today) {
    NextDue out;
    for (const ScheduledFigure& f : schedule.figures) {
        JudgedFigure j;
        j.figure = f;
        const due::Basis basis = basisOf(f.parameter);
        due::LimitJudgement judged;
        if (f.parameter == Parameter::Months) {
            judged = due::judgeLimit(warnings, basis, std::nullopt, f.dueDate, f.span, std::nullopt,
                                     today);
        } else {
            std::optional<double> remaining;
            const auto current = figureOf(now, f.parameter, task.meter);
            if (f.dueAt && current)
                remaining = *f.dueAt - *current;
            judged = due::judgeLimit(warnings, basis, remaining, QDate(), f.span,
                                     due::rateFor(use, basis, task.meter), today);
        }
        j.remaining = judged.remaining;
        j.projection = judged.projection;
        j.dueDay = judged.dueDay;
        j.level = judged.level;
        if (j.level == due::WarningLevel::Overdue && f.tolerance) {
            if (f.parameter == Parameter::Months) {
                j.withinTolerance =
                    f.dueDate.isValid() &&
                    today <= f.dueDate.addMonths(static_cast<int>(std::lround(*f.tolerance)));
            } else {
                j.withinTolerance = j.remaining && *j.remaining >= -*f.tolerance;
            }
            if (j.withinTolerance)
                j.level = due::WarningLevel::DueSoon;
        }
        out.figures.push_back(j);
    }
    for (size_t i = 0; i < out.figures.size(); ++i) {
        if (out.controlling < 0 ||
            comesFirst(out.figures[i], out.figures[static_cast<size_t>(out.controlling)]))
            out.controlling = static_cast<int>(i);
        out.level = std::max(out.level, out.figures[i].level);
    }
    out.schedule = std::move(schedule);
    return out;
}

bool comesFirst(const JudgedFigure& a, const JudgedFigure& b) {
    const int ta = tierOf(a), tb = tierOf(b);
    if (ta != tb)
        return ta < tb;
    if (ta == 1 && a.dueDay != b.dueDay)
        return a.dueDay < b.dueDay;
    // Of two without a date, the one with less of its span left comes first.
    if (a.remaining && b.remaining && a.figure.span > 0 && b.figure.span > 0)
        return *a.remaining / a.figure.span < *b.remaining / b.figure.span;
    return false;
}

}  // namespace velmora::tasks
