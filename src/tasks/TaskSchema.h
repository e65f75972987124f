#pragma once

#include <QString>

namespace velmora::data {
class Database;
}

// The tables of the main data file (Timemgr.mdb) that keep the register of directives,
// bulletins and inspection tasks, each task's compliance per aircraft or component, and
// each accomplishment. Files written before the register existed lack them: they are read
// as holding no tasks, and the tables are added, in the transaction of the change, when a
// task is first stored. The entry journal records every change of them.
namespace velmora::tasks::schema {

inline const QString kTasks = QStringLiteral("Tasks");
inline const QString kCompliance = QStringLiteral("TaskCompliance");
inline const QString kAccomplishments = QStringLiteral("TaskAccomplishments");

// Whether the file keeps a register (its Tasks table).
bool hasRegister(data::Database& db);
// Adds what the file lacks of the three tables and their indexes. Runs inside the caller's
// transaction.
void addMissingTables(data::Database& db);

}  // namespace velmora::tasks::schema
