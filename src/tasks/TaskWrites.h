#pragma once

#include "TaskTypes.h"

#include <QDate>
#include <QStringList>

#include <optional>
#include <vector>

namespace velmora::data {
class Database;
}

// Every change of the register: each one transaction of the main data file (the register's
// tables added in it when the file lacks them), checked inside it against what the file
// holds then, and recorded with who made it (in the rows, and in the entry journal where
// the data set keeps one). A change that is refused throws data::DbError with the reason
// and leaves the file as it was.
namespace velmora::tasks {

// What storing tasks did.
struct TasksStored {
    std::vector<std::int64_t> ids;  // of each task, in the order given
    int applied = 0;                // compliance records added (the tasks applied to the fleet)
    int withdrawn = 0;              // open records removed: the task no longer applies there
    QStringList warnings;           // applicability naming what the fleet does not have
};

// Adds tasks (id 0) or changes them (their id), and applies each to the fleet: every
// aircraft or installed component it applies to gets its compliance record, open, counting
// from its start (see applicableTargets). A changed task's open records without an
// accomplishment are brought in line: removed where it no longer applies, their start
// worked out again when its effective date or threshold start changed. Refused
// (ValidationRule) for a task with problems (taskProblems), (DuplicateKey) for a number
// and revision the register holds already (letter case and outer blanks do not count), or
// (ItemNotFound) for a changed task that is not there.
TasksStored saveTasks(data::Database& mainDb, std::vector<Task> tasks);
inline TasksStored saveTask(data::Database& mainDb, const Task& task) {
    return saveTasks(mainDb, {task});
}

// Removes a task with its compliance records. Refused (ValidationRule) when an
// accomplishment of it is recorded: such a task is kept, and can be marked superseded.
void deleteTask(data::Database& mainDb, std::int64_t taskId);

// Stores a compliance record: the one given by its id, or (id 0) the record of its task and
// target, added when there is none. Its status is Open, NotApplicable or Superseded as
// given; Complied and Recurring follow from the accomplishments. Refused (ValidationRule)
// with problems (complianceProblems) or for a task that is not there.
std::int64_t saveCompliance(data::Database& mainDb, Compliance compliance);

// Records an accomplishment of the compliance given (stored first when it is not yet),
// and sets its status from the accomplishments. Refused (ValidationRule) with problems
// (accomplishmentProblems, judged on the aircraft's totals now and the day given).
std::int64_t addAccomplishment(data::Database& mainDb, const Compliance& compliance,
                               Accomplishment accomplishment, const QDate& today);

// Removes an accomplishment recorded by mistake, and sets the status again.
void deleteAccomplishment(data::Database& mainDb, std::int64_t accomplishmentId);

// Adds the compliance records the fleet lacks (of every aircraft, or of the one given):
// what became applicable since the register was stored (an aircraft or a component added).
// Returns how many were added.
int applyRegister(data::Database& mainDb, const std::optional<QString>& regNum = std::nullopt);

}  // namespace velmora::tasks
