#pragma once

#include <QString>

namespace velmora::backup {

// How many daily backups are kept: a company setting, in the table BackupSettings of the
// settings file. Files made before the setting have no such table and keep the default.
inline constexpr int kDefaultDailyBackups = 14;
inline constexpr int kMostDailyBackups = 365;

// The setting; the default when the file has none or cannot be read.
int dailyBackupsKept(const QString& settingsFile);

// Stores the setting (1 to kMostDailyBackups), adding the table to a file that lacks it, in
// one transaction. Throws data::DbError.
void setDailyBackupsKept(const QString& settingsFile, int count);

}  // namespace velmora::backup
