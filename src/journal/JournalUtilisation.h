#pragma once

#include "utilisation/PlannedUtilisation.h"
#include "utilisation/UtilisationSettings.h"
#include "utilisation/UtilisationSource.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <array>

namespace velmora::data {
class Database;
}

namespace velmora::journal {

// An aircraft with a shorter journal than this uses its planned figures.
inline constexpr int kLeastJournalDays = 14;

// The daily use of one aircraft and where it came from.
struct AircraftUtilisation {
    utilisation::DailyUtilisation use;
    bool fromJournal = false;  // false: the planned figures
    int journalDays = 0;       // days since the aircraft's first journal line
    int averagedDays = 0;      // days the journal figures are averaged over
    // Which figures the journal gives, in the order meter 1, meter 2, landings, cycles, RIN;
    // the others are the planned figures.
    std::array<bool, 5> figureFromJournal{};
    utilisation::DailyUtilisation planned;  // the planned figures, whatever the source
};

// Daily use from the entry journal: the changes of the airframe totals (flight time on
// meter 1 and 2, landings, cycles, RIN) over the last `days` days up to `asOf`, divided by
// those days (fewer when the journal is younger). A change from Null (a first entry) is
// not use. Aircraft with less than kLeastJournalDays days of journal take the planned
// figures; so does each total of an older journal that has no line of it at all (one that
// is never entered, such as cycles on an aircraft whose cycles are not kept). Reads the
// journal once for the whole fleet.
class JournalUtilisation final : public utilisation::UtilisationSource {
  public:
    // Throws data::DbError when the file cannot be read.
    // onlyRegNum: read that aircraft's lines only (all when empty).
    static JournalUtilisation read(data::Database& mainDb, const QDate& asOf,
                                   int days = utilisation::kDefaultAverageDays,
                                   const QString& onlyRegNum = {});

    AircraftUtilisation utilisation(const QString& regNum) const;
    utilisation::DailyUtilisation dailyUse(const QString& regNum) const override {
        return utilisation(regNum).use;
    }

  private:
    struct Sums {
        QDate firstDay;
        double figures[5] = {0, 0, 0, 0, 0};
        bool journalled[5] = {false, false, false, false, false};  // a line of the total
    };
    QHash<QString, Sums> byAircraft_;  // by registration as the engine compares text
    utilisation::PlannedUtilisation planned_;
    QDate asOf_;
    int days_ = utilisation::kDefaultAverageDays;
};

// The one function other code calls: the daily use of one aircraft as of a day.
AircraftUtilisation aircraftUtilisation(data::Database& mainDb, const QString& regNum,
                                        const QDate& asOf,
                                        int days = utilisation::kDefaultAverageDays);

}  // namespace velmora::journal
