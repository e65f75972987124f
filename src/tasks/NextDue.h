#pragma once

#include "TaskTypes.h"
#include "due/DueList.h"
#include "due/WarningLevel.h"
#include "utilisation/DailyUtilisation.h"

#include <QDate>
#include <QStringList>

#include <optional>
#include <vector>

namespace velmora::tasks {

// When a task is next due in one parameter: at an aircraft total (hours on the task's meter,
// landings, cycles, RIN) or, for months, on a date.
struct ScheduledFigure {
    Parameter parameter = Parameter::Hours;
    std::optional<double> dueAt;  // counted parameters; unknown when a figure it needs is
    QDate dueDate;                // months; invalid when unknown
    double span = 0;              // the threshold or interval it was counted with
    std::optional<double> tolerance;
};

// A task's schedule on one aircraft or component, from its compliance and accomplishments.
struct Schedule {
    Status status = Status::Open;          // as the accomplishments leave it
    bool fromThreshold = true;             // no accomplishment yet: the first action is due
    std::vector<ScheduledFigure> figures;  // empty when nothing more is due
    QStringList problems;                  // why a figure is unknown
    std::optional<Accomplishment> last;    // the latest accomplishment
};

// Works out what is due next, in every parameter the task counts in, whichever comes first:
//
// - Not applicable and superseded tasks are closed: nothing is due.
// - Before the first accomplishment, the first action is due at the start (the
//   compliance's start date and totals) plus the threshold in each parameter that has
//   one; a task without a threshold counts its interval from the start, and a one-time
//   task without either is due on the start date.
// - After an accomplishment, a recurring task is next due at that accomplishment's date and
//   totals plus the interval, in each parameter of the interval. An accomplishment done
//   after it was due but within the tolerance counts from where it was due (the time over
//   counts towards the next interval); done early, or later than the tolerance, it counts
//   from itself. A one-time task, or any task whose accomplishment was a terminating
//   action, is then complied with and closed.
//
// Accomplishments are taken in the order of their dates (and totals on a day).
Schedule scheduleOf(const Task& task, const Compliance& compliance,
                    std::vector<Accomplishment> accomplishments);

// One figure judged as of a day: what remains, when it is projected to come due (from the
// aircraft's daily use, as the due list projects a component limit), and its warning level.
// An action past due but within its tolerance is due soon, not overdue.
struct JudgedFigure {
    ScheduledFigure figure;
    std::optional<double> remaining;  // in the parameter's unit; months for months
    due::Projection projection = due::Projection::NoFigure;
    qint64 dueDay = 0;  // Julian day, when Dated or BeyondReach
    due::WarningLevel level = due::WarningLevel::None;
    bool withinTolerance = false;

    QDate dueDate() const {
        return projection == due::Projection::Dated ? QDate::fromJulianDay(dueDay) : QDate();
    }
};

struct NextDue {
    Schedule schedule;
    std::vector<JudgedFigure> figures;
    int controlling = -1;                               // the figure that comes first; -1 when none
    due::WarningLevel level = due::WarningLevel::None;  // the most urgent of the figures

    bool isClosed() const { return schedule.figures.empty() && schedule.problems.isEmpty(); }
    const JudgedFigure* controllingFigure() const {
        return controlling < 0 ? nullptr : &figures[static_cast<size_t>(controlling)];
    }
};

// Judges a schedule with the aircraft's totals now and its daily use.
NextDue judgeSchedule(const Task& task, Schedule schedule, const Totals& now,
                      const utilisation::DailyUtilisation& use,
                      const due::WarningSettings& warnings, const QDate& today);

// Orders two judged figures by when they come due, as the due list orders its lines:
// overdue ones without a date first, then by date, then those a century or more away,
// then those without a date.
bool comesFirst(const JudgedFigure& a, const JudgedFigure& b);

}  // namespace velmora::tasks
