// What a task of the register is next due at, worked out by hand: recurring intervals in
// two parameters each controlling in turn, thresholds from the effective date and from
// new, tolerances (the time over counts towards the next interval), one-time tasks,
// terminating actions, and tasks that do not apply.
#include "tasks/NextDue.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::tasks;
using due::Projection;
using due::WarningLevel;

namespace {

const QDate kEffective(2025, 1, 1);

Task hundredHourAndAnnual() {
    Task t;
    t.id = 1;
    t.kind = TaskKind::Inspection;
    t.number = QStringLiteral("100H/ANNUAL");
    t.effectiveDate = kEffective;
    t.interval[slot(Parameter::Hours)] = 100;
    t.interval[slot(Parameter::Months)] = 12;
    t.tolerance[slot(Parameter::Hours)] = 10;
    return t;
}

Compliance startingAt(double hours, const QDate& day = kEffective) {
    Compliance c;
    c.id = 7;
    c.taskId = 1;
    c.regNum = QStringLiteral("N1");
    c.startDate = day;
    c.start[slot(Parameter::Hours)] = hours;
    c.start[slot(Parameter::Landings)] = 0;
    return c;
}

Totals hoursNow(double hours) {
    Totals t;
    t.time = hours;
    return t;
}

utilisation::DailyUtilisation hoursADay(double h) {
    utilisation::DailyUtilisation u;
    u.meter1Hours = h;
    return u;
}

Accomplishment doneAt(const QDate& day, double hours) {
    Accomplishment a;
    a.date = day;
    a.totals.time = hours;
    return a;
}

const ScheduledFigure* figure(const Schedule& s, Parameter p) {
    for (const ScheduledFigure& f : s.figures) {
        if (f.parameter == p)
            return &f;
    }
    return nullptr;
}

TEST(NextDue, IntervalInTwoParametersEachControllingInTurn) {
    const Task task = hundredHourAndAnnual();
    const Schedule s = scheduleOf(task, startingAt(1000), {});
    EXPECT_EQ(s.status, Status::Open);
    ASSERT_EQ(s.figures.size(), 2u);
    // Without a threshold the interval counts from the start: 1000 + 100 hours, or
    // 1 January 2025 + 12 months.
    EXPECT_EQ(figure(s, Parameter::Hours)->dueAt, 1100.0);
    EXPECT_EQ(figure(s, Parameter::Months)->dueDate, QDate(2026, 1, 1));

    // On 1 June 2025 at 1050 hours, flying 1 hour a day: 50 hours left last 50 days, to
    // 21 July 2025, before the months' 1 January 2026. Hours control.
    const QDate today(2025, 6, 1);
    NextDue busy = judgeSchedule(task, s, hoursNow(1050), hoursADay(1), {}, today);
    ASSERT_NE(busy.controllingFigure(), nullptr);
    EXPECT_EQ(busy.controllingFigure()->figure.parameter, Parameter::Hours);
    EXPECT_EQ(busy.controllingFigure()->remaining, 50.0);
    EXPECT_EQ(busy.controllingFigure()->dueDate(), QDate(2025, 7, 21));
    EXPECT_EQ(busy.level, WarningLevel::Fine);

    // Flying 0.1 hour a day the 50 hours last 500 days, to 13 October 2026: the months now
    // come first, on 1 January 2026 (7 months away).
    NextDue idle = judgeSchedule(task, s, hoursNow(1050), hoursADay(0.1), {}, today);
    ASSERT_NE(idle.controllingFigure(), nullptr);
    EXPECT_EQ(idle.controllingFigure()->figure.parameter, Parameter::Months);
    EXPECT_EQ(idle.controllingFigure()->dueDate(), QDate(2026, 1, 1));
    EXPECT_EQ(idle.figures[0].dueDate(), QDate(2026, 10, 14));
    EXPECT_NEAR(*idle.controllingFigure()->remaining, 7.0, 1e-9);
}

TEST(NextDue, AfterAnAccomplishmentEveryParameterCountsFromIt) {
    const Task task = hundredHourAndAnnual();
    // Done early, at 1090 hours on 10 June 2025: next at 1190 hours or 10 June 2026.
    const Schedule s = scheduleOf(task, startingAt(1000), {doneAt(QDate(2025, 6, 10), 1090)});
    EXPECT_EQ(s.status, Status::Recurring);
    EXPECT_FALSE(s.fromThreshold);
    EXPECT_EQ(figure(s, Parameter::Hours)->dueAt, 1190.0);
    EXPECT_EQ(figure(s, Parameter::Months)->dueDate, QDate(2026, 6, 10));
    // Two accomplishments are taken in the order of their dates, whatever order they
    // come in: the second counts.
    const Schedule two =
        scheduleOf(task, startingAt(1000),
                   {doneAt(QDate(2025, 12, 1), 1185), doneAt(QDate(2025, 6, 10), 1090)});
    EXPECT_EQ(figure(two, Parameter::Hours)->dueAt, 1285.0);
    EXPECT_EQ(figure(two, Parameter::Months)->dueDate, QDate(2026, 12, 1));
}

TEST(NextDue, TimeOverWithinTheToleranceCountsTowardsTheNextInterval) {
    const Task task = hundredHourAndAnnual();
    // Due at 1100; done at 1106, within the 10 hours' tolerance: the next counts from
    // 1100, at 1200. The months count from the day it was done (it was not late by them).
    const Schedule late = scheduleOf(task, startingAt(1000), {doneAt(QDate(2025, 7, 1), 1106)});
    EXPECT_EQ(figure(late, Parameter::Hours)->dueAt, 1200.0);
    EXPECT_EQ(figure(late, Parameter::Months)->dueDate, QDate(2026, 7, 1));
    // Done at 1115, beyond the tolerance: it counts from itself, at 1215.
    const Schedule over = scheduleOf(task, startingAt(1000), {doneAt(QDate(2025, 7, 1), 1115)});
    EXPECT_EQ(figure(over, Parameter::Hours)->dueAt, 1215.0);
}

TEST(NextDue, PastDueWithinTheToleranceIsDueSoonNotOverdue) {
    const Task task = hundredHourAndAnnual();
    const Schedule s = scheduleOf(task, startingAt(1000), {});
    const QDate today(2025, 6, 1);
    const NextDue within = judgeSchedule(task, s, hoursNow(1108), hoursADay(1), {}, today);
    EXPECT_EQ(within.figures[0].remaining, -8.0);
    EXPECT_TRUE(within.figures[0].withinTolerance);
    EXPECT_EQ(within.figures[0].level, WarningLevel::DueSoon);
    EXPECT_EQ(within.level, WarningLevel::DueSoon);
    const NextDue beyond = judgeSchedule(task, s, hoursNow(1110.5), hoursADay(1), {}, today);
    EXPECT_FALSE(beyond.figures[0].withinTolerance);
    EXPECT_EQ(beyond.level, WarningLevel::Overdue);

    // A tolerance in months: due 1 January 2026, one month's tolerance to 1 February.
    Task annual = task;
    annual.tolerance[slot(Parameter::Months)] = 1;
    const Schedule a = scheduleOf(annual, startingAt(1000), {});
    EXPECT_EQ(judgeSchedule(annual, a, hoursNow(1010), {}, {}, QDate(2026, 2, 1)).figures[1].level,
              WarningLevel::DueSoon);
    EXPECT_EQ(judgeSchedule(annual, a, hoursNow(1010), {}, {}, QDate(2026, 2, 2)).figures[1].level,
              WarningLevel::Overdue);
    // Done on 20 January 2026, within it: the next counts from 1 January 2026.
    const Schedule done = scheduleOf(annual, startingAt(1000), {doneAt(QDate(2026, 1, 20), 1050)});
    EXPECT_EQ(figure(done, Parameter::Months)->dueDate, QDate(2027, 1, 1));
}

TEST(NextDue, ThresholdFromTheEffectiveDateThenTheInterval) {
    Task ad;
    ad.id = 1;
    ad.number = QStringLiteral("2025-02-03");
    ad.effectiveDate = kEffective;
    ad.threshold[slot(Parameter::Hours)] = 500;
    ad.threshold[slot(Parameter::Months)] = 6;
    ad.interval[slot(Parameter::Hours)] = 200;
    // The first action within 500 hours or 6 months of the effective date, at 1000 hours.
    const Schedule first = scheduleOf(ad, startingAt(1000), {});
    EXPECT_TRUE(first.fromThreshold);
    EXPECT_EQ(figure(first, Parameter::Hours)->dueAt, 1500.0);
    EXPECT_EQ(figure(first, Parameter::Months)->dueDate, QDate(2025, 7, 1));
    // Then every 200 hours: the months were for the first action only.
    const Schedule then = scheduleOf(ad, startingAt(1000), {doneAt(QDate(2025, 5, 2), 1230)});
    ASSERT_EQ(then.figures.size(), 1u);
    EXPECT_EQ(figure(then, Parameter::Hours)->dueAt, 1430.0);
}

TEST(NextDue, OneTimeTasksAreCompliedWithOnceDone) {
    Task ad;
    ad.id = 1;
    ad.number = QStringLiteral("2025-09-09");
    ad.effectiveDate = QDate(2025, 3, 1);
    ad.threshold[slot(Parameter::Landings)] = 250;
    Compliance c = startingAt(1000, QDate(2025, 3, 1));
    c.start[slot(Parameter::Landings)] = 4000;
    const Schedule open = scheduleOf(ad, c, {});
    ASSERT_EQ(open.figures.size(), 1u);
    EXPECT_EQ(open.figures[0].dueAt, 4250.0);
    Totals now;
    now.landings = 4260;
    const NextDue late = judgeSchedule(ad, open, now, {}, {}, QDate(2025, 6, 1));
    EXPECT_EQ(late.level, WarningLevel::Overdue);
    EXPECT_EQ(late.figures[0].projection, Projection::NoUseRecorded);

    const Schedule done = scheduleOf(ad, c, {doneAt(QDate(2025, 4, 1), 1100)});
    EXPECT_EQ(done.status, Status::Complied);
    EXPECT_TRUE(done.figures.empty());
    EXPECT_TRUE(judgeSchedule(ad, done, now, {}, {}, QDate(2025, 6, 1)).isClosed());

    // Neither threshold nor interval: due on its effective date.
    Task now_;
    now_.id = 2;
    now_.number = QStringLiteral("2025-10-01");
    now_.effectiveDate = QDate(2025, 10, 1);
    const Schedule due = scheduleOf(now_, startingAt(1000, now_.effectiveDate), {});
    ASSERT_EQ(due.figures.size(), 1u);
    EXPECT_EQ(due.figures[0].dueDate, QDate(2025, 10, 1));
}

TEST(NextDue, TerminatingActionEndsARecurringTask) {
    const Task task = hundredHourAndAnnual();
    Accomplishment final = doneAt(QDate(2025, 7, 1), 1095);
    final.terminating = true;
    const Schedule s = scheduleOf(task, startingAt(1000), {doneAt(QDate(2025, 3, 1), 1020), final});
    EXPECT_EQ(s.status, Status::Complied);
    EXPECT_TRUE(s.figures.empty());
    ASSERT_TRUE(s.last);
    EXPECT_TRUE(s.last->terminating);
}

TEST(NextDue, NotApplicableAndSupersededTasksAreClosed) {
    const Task task = hundredHourAndAnnual();
    Compliance na = startingAt(1000);
    na.status = Status::NotApplicable;
    na.reason = QStringLiteral("Modification 123 embodied at manufacture");
    const Schedule s = scheduleOf(task, na, {doneAt(QDate(2025, 3, 1), 1020)});
    EXPECT_EQ(s.status, Status::NotApplicable);
    EXPECT_TRUE(s.figures.empty());
    const NextDue judged = judgeSchedule(task, s, hoursNow(5000), hoursADay(1), {}, kEffective);
    EXPECT_TRUE(judged.isClosed());
    EXPECT_EQ(judged.level, WarningLevel::None);
    Compliance sup = startingAt(1000);
    sup.status = Status::Superseded;
    sup.supersededBy = QStringLiteral("2026-01-01");
    EXPECT_EQ(scheduleOf(task, sup, {}).status, Status::Superseded);
}

TEST(NextDue, FromNewAndUnknownStarts) {
    Task t = hundredHourAndAnnual();
    t.interval = {};
    t.tolerance = {};
    t.thresholdFrom = ThresholdFrom::New;
    t.threshold[slot(Parameter::Hours)] = 3000;
    t.threshold[slot(Parameter::Months)] = 120;
    Compliance c;
    c.startDate = QDate(2015, 1, 1);
    c.start[slot(Parameter::Hours)] = 0;
    const Schedule s = scheduleOf(t, c, {});
    EXPECT_EQ(figure(s, Parameter::Hours)->dueAt, 3000.0);
    EXPECT_EQ(figure(s, Parameter::Months)->dueDate, QDate(2025, 1, 1));
    // Unknown starts give no figure, and say why; the task is not closed.
    const Schedule unknown = scheduleOf(t, Compliance{}, {});
    EXPECT_EQ(unknown.problems.size(), 2);
    const NextDue judged = judgeSchedule(t, unknown, hoursNow(10), {}, {}, kEffective);
    EXPECT_FALSE(judged.isClosed());
    EXPECT_EQ(judged.figures[0].projection, Projection::NoFigure);
}

TEST(NextDue, MonthsKeepTheDayButNotBeyondTheMonthsEnd) {
    Task t = hundredHourAndAnnual();
    t.interval = {};
    t.tolerance = {};
    t.interval[slot(Parameter::Months)] = 1;
    const Schedule s = scheduleOf(t, startingAt(0, QDate(2025, 1, 31)), {});
    EXPECT_EQ(s.figures[0].dueDate, QDate(2025, 2, 28));
}

}  // namespace
