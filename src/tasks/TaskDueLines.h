#pragma once

#include "ComplianceStatus.h"
#include "due/DueList.h"
#include "due/DueListSource.h"

namespace velmora::tasks {

// Adds to the due list a line for each task that is still to be done on an aircraft or on an
// installed component (open or recurring, recorded or not yet): under its aircraft, with the
// figure that comes first, whichever parameter it is counted in, as the component limit it
// stands beside: its remaining amount and unit (the warning levels' basis of the parameter:
// hours as an inspection, months, landings, cycles, RIN), due date and the most urgent level
// of its figures. A task whose next figure cannot be worked out is listed without one. Tasks
// closed there (not applicable, complied, superseded) are not listed, nor tasks of an aircraft
// the list does not hold. The list's entries stay by aircraft.
void addTaskLines(due::DueList* list, const ComplianceStatus& status);

// The due list's further lines from the register of the main data file, worked out with the
// list's daily use and warning levels as of the list's day.
due::MoreDueLines taskDueLines();

}  // namespace velmora::tasks
