#pragma once

#include "data/Value.h"

#include <functional>

namespace velmora::data {
class Database;
}

namespace velmora::aircraft {

// Deletes an aircraft with all of its components (installed or not) and oil samples, in one
// transaction: everything goes, or nothing does. deleteRow deletes the aircraft's own row
// (the screen's record source does, so that it moves on to the next aircraft) and returns
// false when it did not, having said why; without it the row is deleted here. True when the
// aircraft is gone; false, with nothing deleted, when deleteRow refused or no aircraft has
// the registration. Throws DbError, with the data as it was.
bool deleteAircraft(data::Database& db, const data::Value& regNum,
                    const std::function<bool()>& deleteRow = {});

}  // namespace velmora::aircraft
