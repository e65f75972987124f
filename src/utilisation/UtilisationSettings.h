#pragma once

#include <QString>

namespace velmora::data {
class Database;
}

namespace velmora::utilisation {

// Over how many days the daily use of an aircraft is averaged from its journal: a company
// setting, in the table UtilisationSettings of the settings file (SetupPP.mdb). Files made
// before the setting lack the table and give the default.
inline const QString kUtilisationSettingsTable = QStringLiteral("UtilisationSettings");
inline constexpr int kDefaultAverageDays = 90;
inline constexpr int kLeastAverageDays = 14;
inline constexpr int kMostAverageDays = 3650;

// The setting of an open settings file; the default when it has none. Never changes the
// file. Throws data::DbError when the table is there but cannot be read.
int averageDays(data::Database& companyDb);
// The setting of a settings file by name; the default when the name is empty or the file
// cannot be read (the figures then still come out, over the usual days).
int averageDaysOf(const QString& companyFile);

// Stores the setting (kLeastAverageDays to kMostAverageDays), adding the table to a file
// that lacks it, in one transaction. Throws data::DbError, the file unchanged.
void setAverageDays(data::Database& companyDb, int days);

}  // namespace velmora::utilisation
