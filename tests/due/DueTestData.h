#pragma once

#include "data/Database.h"
#include "due/DueList.h"

#include <QString>

namespace velmora::testing {

// A component row with the columns the due list reads.
struct Limit {
    QString reg;
    int item = 0;
    QString basis = QStringLiteral("RT");
    int meter = 1;
    double life = 0, installLeft = 0, installAc = 0;
    QString installDate;  // ISO, or empty for none
    QString partNumber, serial;
    QString description = QStringLiteral("Component");
    bool active = true;
};
void addLimit(data::Database& db, const Limit& l);

// The entry of an aircraft's item on a basis code as stored; null when the list lacks it.
const due::DueEntry* findEntry(const due::DueList& list, const QString& reg, int item);

}  // namespace velmora::testing
