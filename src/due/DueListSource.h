#pragma once

#include "DueList.h"
#include "WarningLevel.h"
#include "utilisation/UtilisationSettings.h"

#include <QDate>
#include <QString>

#include <functional>
#include <memory>

namespace velmora::data {
class Database;
}
namespace velmora::utilisation {
class UtilisationSource;
}

namespace velmora::due {

// Where the daily use of the fleet comes from, given the open main data file.
using UtilisationFactory =
    std::function<std::unique_ptr<utilisation::UtilisationSource>(data::Database& mainDb)>;

// The planned figures kept in the main data file.
UtilisationFactory plannedUtilisation();
// The daily use each aircraft's entry journal shows over the last `days` days up to today,
// the planned figures for an aircraft with less than two weeks of journal.
UtilisationFactory journalledUtilisation(int days);

// Lines a due list holds beside the component limits, added once the limits are read, from
// the same open main data file, daily use and warning levels; they keep the list's entries
// by aircraft. The register's tasks come this way. Throws data::DbError when the file
// cannot be read.
using MoreDueLines =
    std::function<void(data::Database& mainDb, const utilisation::UtilisationSource& use,
                       const WarningSettings& warnings, DueList* list)>;

// What a due list is read from.
struct DueListRequest {
    QString dataPath;     // the data folder, ending with its separator (as the company keeps it)
    QString companyFile;  // SetupPP.mdb with the warning thresholds; empty: the defaults
    UtilisationFactory utilisation = journalledUtilisation(utilisation::kDefaultAverageDays);
    QDate today = QDate::currentDate();
    MoreDueLines moreLines;  // none: the component limits only
};

// The thresholds of a company settings file, the defaults when none is named. Throws
// data::DbError naming the file when it cannot be read.
WarningSettings readWarningSettingsFile(const QString& companyFile);

// Reads the list of the main data file of the data path (its name matched without regard
// to letter case). Throws data::DbError with a message naming the file at fault.
std::shared_ptr<DueList> loadDueList(const DueListRequest& request);

}  // namespace velmora::due
