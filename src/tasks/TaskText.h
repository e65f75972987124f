#pragma once

#include "NextDue.h"
#include "TaskTypes.h"

#include <QString>

// Tasks, compliance and due figures as the register's screen, its report and velmora-ad
// write them for people.
namespace velmora::tasks {

// An amount of a parameter: "100.0 hours", "12 months", "500 landings", "50 RIN"; hours on
// meter 2 say so ("100.0 hours on meter 2"). Hours and months with one decimal where
// they have one, the others whole.
QString amountText(Parameter p, double amount, int meter);
// The figures a task counts in, "whichever comes first": "100.0 hours, 12 months". Empty
// when none is set.
QString figuresText(const Figures& figures, int meter);
// What a task applies to: "Bell 206B", "Bell (every model)", "P/N FCU-3100", with its serial
// numbers when limited ("Bell 206B, S/N 1001-1500").
QString applicabilityText(const Task& task);
// The target of a compliance: "Aircraft", or "P/N ABC-1 S/N S1".
QString targetText(const Compliance& c);
// The status as the report says it: "Open", "Recurring", "Complied", "Not applicable:
// REASON", "Superseded by NUMBER".
QString statusText(const Compliance& c, Status status);
// The method of compliance with its reference: "Inspected per SB 206-25-190 (WO-17)".
QString methodText(const Compliance& c);
// When the next action is required, as aircraft totals: "1190.0 hours; 4500 landings";
// as a calendar date: the due date of the months figure (yyyy-MM-dd).
QString nextDueTimeText(const Schedule& s, int meter);
QString nextDueDateText(const Schedule& s);
// The date the controlling figure is projected to come due, or why there is none.
QString expectedText(const JudgedFigure& f);
// What remains of the controlling figure, with its unit ("-8.0 hours").
QString remainingText(const JudgedFigure& f, int meter);
// The last accomplishment: "2025-03-01 at 990.0 hours".
QString lastDoneText(const Schedule& s, int meter);

}  // namespace velmora::tasks
