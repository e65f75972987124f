#include "DueTestData.h"

#include "data/Recordset.h"

namespace velmora::testing {

void addLimit(data::Database& db, const Limit& l) {
    auto rs = db.openRecordset(QStringLiteral("Parts"));
    rs->addNew();
    rs->setValue(QStringLiteral("RegNum"), l.reg);
    rs->setValue(QStringLiteral("ItemNumber"), l.item);
    rs->setValue(QStringLiteral("MeterNumber"), l.meter);
    rs->setValue(QStringLiteral("Active"), l.active);
    rs->setValue(QStringLiteral("LifeBasis"), l.basis);
    rs->setValue(QStringLiteral("LifeNumber"), l.life);
    rs->setValue(QStringLiteral("InstallTimeLeft"), l.installLeft);
    rs->setValue(QStringLiteral("InstallACHour"), l.installAc);
    if (!l.installDate.isEmpty())
        rs->setValue(QStringLiteral("InstallDate"), l.installDate);
    rs->setValue(QStringLiteral("PartNumber"), l.partNumber);
    rs->setValue(QStringLiteral("Serial#"), l.serial);
    rs->setValue(QStringLiteral("Description"), l.description);
    rs->update();
}

const due::DueEntry* findEntry(const due::DueList& list, const QString& reg, int item) {
    for (const due::DueEntry& e : list.entries) {
        if (list.regNum(e) == reg && e.hasItemNumber && e.itemNumber == item)
            return &e;
    }
    return nullptr;
}

}  // namespace velmora::testing
