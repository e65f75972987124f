#pragma once

#include <QString>

namespace velmora::data {
class Database;
}

// The tables of the main data file that keep components off their aircraft and the history
// of every component. Files written before they existed lack them: such a file reads as
// having empty stores and histories that start with each component's installation, and the
// tables are added, in the transaction of the change, by the first removal, installation or
// overhaul. The entry journal records every change of them.
namespace velmora::components::schema {

// Removed components: one row per limit (per Parts row it had on its aircraft), the row as
// it was, with the life used at removal and where the component went.
inline const QString kStores = QStringLiteral("ComponentStores");
// The events of every component (installed, removed, overhauled, ...).
inline const QString kEvents = QStringLiteral("ComponentEvents");
// Per event, each limit's life used before and after it.
inline const QString kEventLimits = QStringLiteral("ComponentEventLimits");

bool hasHistory(data::Database& db);
// Adds what the file lacks of the three tables and their indexes. Runs inside the caller's
// transaction. True when the events table was added (its baseline is then due).
bool addMissingTables(data::Database& db);

}  // namespace velmora::components::schema
