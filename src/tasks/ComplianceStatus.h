#pragma once

#include "Fleet.h"
#include "NextDue.h"
#include "TaskStore.h"
#include "due/WarningLevel.h"

#include <QDate>

#include <optional>
#include <vector>

namespace velmora::data {
class Database;
}
namespace velmora::utilisation {
class UtilisationSource;
}

namespace velmora::tasks {

// One task on one aircraft or component, with what is due next.
struct StatusLine {
    size_t aircraft = 0;  // index into ComplianceStatus::aircraft
    Task task;
    Compliance compliance;  // as stored, or as the task starts there (not yet recorded)
    std::vector<Accomplishment> accomplishments;  // oldest first
    NextDue next;

    bool isRecorded() const { return compliance.isStored(); }
};

// The compliance status of the fleet, or of one aircraft, on a day: every task that
// applies to an aircraft or to one of its installed components, recorded or not, and every
// record kept of an aircraft (a task that no longer applies keeps its record while it has
// one); a component's record only while the component is installed there.
struct ComplianceStatus {
    QDate today;
    std::vector<FleetAircraft> aircraft;  // by registration
    std::vector<StatusLine> lines;        // by aircraft, then task number and target

    const FleetAircraft& aircraftOf(const StatusLine& l) const { return aircraft[l.aircraft]; }
};

// The compliance of every line the status holds, in the register's order of tasks: for each
// task every target it applies to (its record there, or the compliance it starts with),
// then the records kept of targets it no longer applies to.
std::vector<Compliance> statusTargets(const Register& reg, const Fleet& fleet);

// The fleet (or the one aircraft) as the register's status needs it, indexed: with the
// installed components only when a task or a record names a part number.
Fleet readStatusFleet(data::Database& mainDb, const Register& reg,
                      const std::optional<QString>& regNum = std::nullopt);

// Works the status out from the register and the fleet as read, with each aircraft's daily
// use and the company's warning levels.
ComplianceStatus complianceStatus(const Register& reg, const Fleet& fleet,
                                  const utilisation::UtilisationSource& use,
                                  const due::WarningSettings& warnings, const QDate& today);

// Reads the register and the fleet (or the one aircraft) of the main data file and works
// the status out. Throws data::DbError when the file cannot be read.
ComplianceStatus readComplianceStatus(data::Database& mainDb,
                                      const utilisation::UtilisationSource& use,
                                      const due::WarningSettings& warnings, const QDate& today,
                                      const std::optional<QString>& regNum = std::nullopt);

}  // namespace velmora::tasks
