#include "DueTestData.h"

namespace velmora::testing {

const due::DueEntry* findEntry(const due::DueList& list, const QString& reg, int item) {
    for (const due::DueEntry& e : list.entries) {
        if (list.regNum(e) == reg && e.hasItemNumber && e.itemNumber == item)
            return &e;
    }
    return nullptr;
}

}  // namespace velmora::testing
