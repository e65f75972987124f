#pragma once

#include "data/Database.h"
#include "due/DueList.h"

#include <QString>

namespace velmora::testing {

// The entry of an aircraft's item; null when the list lacks it.
const due::DueEntry* findEntry(const due::DueList& list, const QString& reg, int item);

}  // namespace velmora::testing
