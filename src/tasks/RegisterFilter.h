#pragma once

#include "TaskTypes.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace velmora::tasks {

// Which tasks of the register are shown. What is unset or empty selects everything.
struct RegisterFilter {
    std::optional<TaskKind> kind;
    QString authority;  // compared without regard to letter case and outer blanks
    // Found anywhere in the number, revision, title, what the task applies to or its notes,
    // without regard to letter case.
    QString text;
};

bool matches(const Task& task, const RegisterFilter& filter);
// The indexes of the tasks selected, in the register's order.
std::vector<int> selectTasks(const std::vector<Task>& tasks, const RegisterFilter& filter);
// The issuing authorities the register names, each once, in alphabetical order.
QStringList authoritiesOf(const std::vector<Task>& tasks);

// The columns of the printed AD status report: what the owner's records must hold of each
// task (number, revision date, status, method of compliance, last accomplishment, and when
// the next action is due in time and date), with the registration where the report covers
// more than one aircraft.
std::vector<int> statusReportColumns(bool oneAircraft);

}  // namespace velmora::tasks
