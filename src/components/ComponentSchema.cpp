#include "ComponentSchema.h"

#include "data/Database.h"

#include <QStringList>

#include <vector>

namespace velmora::components::schema {

namespace {

struct TableDefinition {
    const QString& name;
    QStringList statements;
};

const std::vector<TableDefinition>& definitions() {
    static const std::vector<TableDefinition> d = {
        {kStores,
         {QStringLiteral("CREATE TABLE ComponentStores (StoreId LONG NOT NULL, RegNum TEXT(10), "
                         "ItemNumber LONG, MeterNumber SHORT, Active YESNO, Assembly TEXT(255), "
                         "Description TEXT(255), PartNumber TEXT(50), [Serial#] TEXT(50), "
                         "DatePurchased DATETIME, Manufacturer TEXT(255), Inspection TEXT(255), "
                         "ReplaceCost CURRENCY, ReservePerHour CURRENCY, LifeNumber DOUBLE, "
                         "LifeBasis TEXT(50), InstallDate DATETIME, InstallTimeLeft DOUBLE, "
                         "InstallACHour DOUBLE, Notes MEMO, OilAnalysis YESNO, LifeUsed DOUBLE, "
                         "RemovedDate DATETIME, Location TEXT(30), Reason TEXT(255), "
                         "Reference TEXT(100), RemovedBy TEXT(100), RemovedAt DATETIME)"),
          QStringLiteral("CREATE UNIQUE INDEX ComponentStoresId ON ComponentStores (StoreId)"),
          QStringLiteral(
              "CREATE INDEX ComponentStoresUnit ON ComponentStores (PartNumber, [Serial#])")}},
        {kEvents,
         {QStringLiteral(
              "CREATE TABLE ComponentEvents (EventId LONG NOT NULL, PartNumber TEXT(50), "
              "SerialNumber TEXT(50), EventKind TEXT(20), EventDate DATETIME, RegNum TEXT(10), "
              "ItemNumber LONG, TotalTime DOUBLE, TotalTime2 DOUBLE, TotalLandings DOUBLE, "
              "TotalCycles DOUBLE, TotalRIN DOUBLE, Reason TEXT(255), Location TEXT(30), "
              "Reference TEXT(100), EnteredBy TEXT(100), EnteredAt DATETIME)"),
          QStringLiteral("CREATE UNIQUE INDEX ComponentEventsId ON ComponentEvents (EventId)"),
          QStringLiteral("CREATE INDEX ComponentEventsUnit ON ComponentEvents (PartNumber, "
                         "SerialNumber, EventId)")}},
        {kEventLimits,
         {QStringLiteral(
              "CREATE TABLE ComponentEventLimits (EventId LONG NOT NULL, LifeBasis TEXT(50), "
              "MeterNumber SHORT, LifeNumber DOUBLE, UsedBefore DOUBLE, UsedAfter DOUBLE, "
              "Remaining DOUBLE)"),
          QStringLiteral(
              "CREATE INDEX ComponentEventLimitsEvent ON ComponentEventLimits (EventId)")}},
    };
    return d;
}

}  // namespace

bool hasHistory(data::Database& db) {
    return db.hasTable(kEvents);
}

bool addMissingTables(data::Database& db) {
    bool eventsAdded = false;
    for (const TableDefinition& t : definitions()) {
        if (db.hasTable(t.name))
            continue;
        for (const QString& statement : t.statements)
            db.execute(statement);
        if (&t.name == &kEvents)
            eventsAdded = true;
    }
    return eventsAdded;
}

}  // namespace velmora::components::schema
