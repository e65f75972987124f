#pragma once

#include "ComponentTypes.h"

#include <optional>
#include <vector>

namespace velmora::data {
class Database;
}

// Reading components where they are: on an aircraft (their Parts rows) or in stores.
// Reading never changes the file; a file without the stores' table has empty stores.
namespace velmora::components {

// The limits (Parts rows) of a component on any aircraft, or on the one given, by
// registration and item number.
std::vector<Limit> installedLimits(data::Database& db, const ComponentKey& key,
                                   const std::optional<QString>& regNum = std::nullopt);

// The aircraft's totals; nothing when the registration is not on file.
std::optional<due::AircraftTotals> aircraftTotals(data::Database& db, const QString& regNum);

// Every component in stores (at the shop, scrapped), by part number and serial number.
std::vector<StoredComponent> readStores(data::Database& db);
// One component of the stores; nothing when it is not there.
std::optional<StoredComponent> storedComponent(data::Database& db, const ComponentKey& key);

// "[a],[b],..." for column names.
QString bracketed(const QStringList& columns);
// The columns of the stores' table in order: StoreId, the Parts columns, then the removal's.
const QStringList& storeColumns();

}  // namespace velmora::components
