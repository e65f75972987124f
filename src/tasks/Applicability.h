#pragma once

#include "Fleet.h"
#include "TaskTypes.h"

#include <QDate>
#include <QStringList>

#include <vector>

namespace velmora::tasks {

// What a task applies to in a fleet, one compliance per target: an aircraft of the make
// (and model, when the task names one) whose serial number lies in the task's ranges, or
// each component of the part number, within the ranges, installed on an aircraft (a
// component with several limit rows is one target: its part and serial number on that
// aircraft). Texts compare as the engine compares them; an aircraft or component without a
// serial number is not told to lie outside the ranges.
//
// Each compliance is the one a task starts with on that target, not yet stored (id 0):
// open, counting its threshold from
// - the effective date, with the aircraft's totals now (the totals of the day the
//   register is applied stand for those of the effective date); or
// - new: an aircraft from 1 January of its year of manufacture with no time, landings,
//   cycles or RIN; a component from the aircraft totals at which it had none, as its limits
//   to retire tell them (InstallACHour less InstallTimeLeft of its RT row on the task's
//   meter, its LD, CY and RN rows), its day new not known.
std::vector<Compliance> applicableTargets(const Task& task, const Fleet& fleet);

// Whether a task's applicability names something the fleet does not have (a make and
// model, or a part number, on no aircraft): the warning, else empty text. Such a task is
// kept: the aircraft may come later.
QString unknownApplicability(const Task& task, const Fleet& fleet);

// The same compliance target: registration, part and serial number compared as the engine
// compares text.
bool sameTarget(const Compliance& a, const Compliance& b);

// A key for sameTarget(), for hashing: task, registration, part and serial number.
QString targetKey(std::int64_t taskId, const QString& regNum, const QString& partNumber,
                  const QString& serialNumber);
inline QString targetKey(const Compliance& c) {
    return targetKey(c.taskId, c.regNum, c.partNumber, c.serialNumber);
}

}  // namespace velmora::tasks
