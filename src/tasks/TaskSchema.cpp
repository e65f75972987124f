#include "TaskSchema.h"

#include "data/Database.h"

#include <QStringList>

namespace velmora::tasks::schema {

namespace {

struct TableDefinition {
    const QString& name;
    QStringList statements;
};

const std::vector<TableDefinition>& definitions() {
    static const std::vector<TableDefinition> d = {
        {kTasks,
         {QStringLiteral(
              "CREATE TABLE Tasks (TaskId LONG NOT NULL, Kind TEXT(10), TaskNumber TEXT(50), "
              "Revision TEXT(20), RevisionDate DATETIME, EffectiveDate DATETIME, "
              "Title TEXT(255), Authority TEXT(50), AppliesTo TEXT(10), Make TEXT(50), "
              "Model TEXT(50), PartNumber TEXT(50), Serials TEXT(255), Meter SHORT, "
              "IntervalHours DOUBLE, IntervalMonths DOUBLE, IntervalLandings DOUBLE, "
              "IntervalCycles DOUBLE, IntervalRIN DOUBLE, ThresholdHours DOUBLE, "
              "ThresholdMonths DOUBLE, ThresholdLandings DOUBLE, ThresholdCycles DOUBLE, "
              "ThresholdRIN DOUBLE, ThresholdFrom TEXT(10), ToleranceHours DOUBLE, "
              "ToleranceMonths DOUBLE, ToleranceLandings DOUBLE, ToleranceCycles DOUBLE, "
              "ToleranceRIN DOUBLE, Notes MEMO, ChangedBy TEXT(100), ChangedAt DATETIME)"),
          QStringLiteral("CREATE UNIQUE INDEX TasksId ON Tasks (TaskId)"),
          QStringLiteral("CREATE INDEX TasksNumber ON Tasks (TaskNumber, Revision)")}},
        {kCompliance,
         {QStringLiteral(
              "CREATE TABLE TaskCompliance (ComplianceId LONG NOT NULL, TaskId LONG NOT NULL, "
              "RegNum TEXT(10), PartNumber TEXT(50), SerialNumber TEXT(50), Status TEXT(12), "
              "Reason TEXT(255), SupersededBy TEXT(50), Method MEMO, "
              "MethodReference TEXT(255), StartDate DATETIME, StartHours DOUBLE, "
              "StartLandings DOUBLE, StartCycles DOUBLE, StartRIN DOUBLE, "
              "ChangedBy TEXT(100), ChangedAt DATETIME)"),
          QStringLiteral("CREATE UNIQUE INDEX TaskComplianceId ON TaskCompliance (ComplianceId)"),
          QStringLiteral("CREATE INDEX TaskComplianceRegNum ON TaskCompliance (RegNum, TaskId)")}},
        {kAccomplishments,
         {QStringLiteral(
              "CREATE TABLE TaskAccomplishments (AccomplishmentId LONG NOT NULL, "
              "ComplianceId LONG NOT NULL, RegNum TEXT(10), DoneDate DATETIME, "
              "TotalTime DOUBLE, TotalTime2 DOUBLE, TotalLandings DOUBLE, TotalCycles DOUBLE, "
              "TotalRIN DOUBLE, WorkOrder TEXT(50), SignedBy TEXT(100), Certificate TEXT(50), "
              "Terminating YESNO, Notes MEMO, EnteredBy TEXT(100), EnteredAt DATETIME)"),
          QStringLiteral("CREATE UNIQUE INDEX TaskAccomplishmentsId ON TaskAccomplishments "
                         "(AccomplishmentId)"),
          QStringLiteral("CREATE INDEX TaskAccomplishmentsCompliance ON TaskAccomplishments "
                         "(ComplianceId, DoneDate)")}},
    };
    return d;
}

}  // namespace

bool hasRegister(data::Database& db) {
    return db.hasTable(kTasks);
}

void addMissingTables(data::Database& db) {
    for (const TableDefinition& t : definitions()) {
        if (db.hasTable(t.name))
            continue;
        for (const QString& statement : t.statements)
            db.execute(statement);
    }
}

}  // namespace velmora::tasks::schema
