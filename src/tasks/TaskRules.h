#pragma once

#include "TaskTypes.h"

#include <QDate>
#include <QStringList>

#include <vector>

namespace velmora::tasks {

// What is wrong with a task as entered, one sentence each; empty when it can be kept:
// no number; an effective date missing where the threshold counts from it; applicability
// without a make or part number, or with serial ranges that cannot be read; a meter other
// than 1 or 2; an interval, threshold or tolerance of 0 or below (a tolerance of 0 is no
// tolerance), not a number, or months that are not whole; a tolerance in a parameter the
// task does not count in.
QStringList taskProblems(const Task& task);

// What is wrong with a compliance as entered: not applicable without the reason,
// superseded without the number that supersedes it, a start figure that is not a number.
QStringList complianceProblems(const Compliance& compliance);

// What is wrong with a new accomplishment of a task on an aircraft or component, given the
// accomplishments recorded already and the aircraft's totals now: no date, a date in the
// future or before the task's effective date; a total below zero, above the aircraft's
// total now, lower than that of an accomplishment dated before it or higher than that of
// one dated after it; a total the task's interval counts in missing; a task not applicable,
// superseded or complied with (nothing more is due).
QStringList accomplishmentProblems(const Task& task, const Compliance& compliance,
                                   const std::vector<Accomplishment>& recorded,
                                   const Accomplishment& added, const Totals& aircraftNow,
                                   const QDate& today);

// A total as people name it in messages: "meter 1 hours", "landings", ...
QString totalName(Parameter p, int meter);

}  // namespace velmora::tasks
