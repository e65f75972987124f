#pragma once

#include "ComponentTypes.h"

#include <vector>

namespace velmora::data {
class Database;
}

// The history of a component from new: every event, with the aircraft, its totals and each
// limit's life before and after.
namespace velmora::components {

// The events of a component, oldest first. A component without stored events (a file
// without the history's tables, or one added to an aircraft since) starts with its
// installation as its Parts rows tell it. Reading never changes the file.
std::vector<ComponentEvent> readHistory(data::Database& db, const ComponentKey& key);

// Who makes a change: the operating-system user, as the entry journal names them.
QString currentUser();

// Writes an event and its limits with the number given (the next free one when 0), stamped
// with who and when. In the caller's transaction, the tables present.
void writeEvent(data::Database& db, ComponentEvent* event, std::int64_t id = 0);

// The "installed" event a component's history starts with, from its Parts rows.
ComponentEvent baselineOf(const ComponentKey& key, const std::vector<Limit>& limits);
// Writes the baseline of every component on an aircraft (once, when the history's table is
// added), or of the one given when it has no stored event yet. In the caller's transaction.
void writeAllBaselines(data::Database& db);
void writeBaselineIfNone(data::Database& db, const ComponentKey& key);

}  // namespace velmora::components
