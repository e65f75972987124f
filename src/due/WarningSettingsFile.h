#pragma once

#include "WarningLevel.h"

#include <QString>

namespace velmora::data {
class Database;
}

namespace velmora::due {

// The table of the company settings file (SetupPP.mdb) that keeps the warning thresholds,
// one row per life basis. Files written before it existed lack it and give the defaults;
// it is added when thresholds are first saved.
inline const QString kWarningLevelsTable = QStringLiteral("WarningLevels");

// Reads the thresholds; a basis without a row keeps its defaults. Never changes the file.
// Throws data::DbError when the table is there but cannot be read.
WarningSettings readWarningSettings(data::Database& companyDb);

// Stores the thresholds of every basis, creating the table when the file lacks it, in one
// transaction: on failure (a read-only file, an amount, share or number of days below zero)
// nothing is changed and data::DbError is thrown.
void saveWarningSettings(data::Database& companyDb, const WarningSettings& settings);

}  // namespace velmora::due
