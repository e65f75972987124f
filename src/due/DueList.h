#pragma once

#include "LifeBasis.h"
#include "WarningLevel.h"
#include "utilisation/DailyUtilisation.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::data {
class Database;
}
namespace velmora::utilisation {
class UtilisationSource;
}

namespace velmora::due {

// How a limit's due date is known.
enum class Projection : std::uint8_t {
    Dated,          // a retirement date, or projected from the daily use
    NoUseRecorded,  // no daily use of its meter or total is known (or it is zero)
    BeyondReach,    // the projection lies more than a century away
    NoFigure,       // no remaining life can be computed (no basis, meter or operand)
};

// The projected date lies at most this many days away (either way); further is BeyondReach.
inline constexpr qint64 kProjectionDays = 36525;

// An aircraft of the due list: its registration as stored and its daily use.
struct DueAircraft {
    QString regNum;
    utilisation::DailyUtilisation use;
};

// One limit: an installed component's row with its remaining life and due date. Texts are
// kept as UTF-8 to keep a fleet of a million rows small.
struct DueEntry {
    std::string description, partNumber, serialNumber, lifeBasis;
    std::optional<double> life;       // LifeNumber
    std::optional<double> remaining;  // in the basis unit; months for a months component
    qint64 dueDay = 0;                // Julian day of the due date when Dated or BeyondReach
    std::int32_t aircraft = 0;        // index into DueList::aircraft
    std::int32_t itemNumber = 0;
    std::int16_t meter = 0;
    bool hasItemNumber = false;
    bool hasMeter = false;
    std::int8_t basis = -1;  // basisIndex(), -1 for a code that is none of the seven
    Projection projection = Projection::NoFigure;
    WarningLevel level = WarningLevel::None;
    // Limits of the same component (same aircraft, part number and serial number): how many
    // there are, and whether this one comes first and so decides when the component is due.
    std::uint8_t limitsOfComponent = 1;
    bool controls = true;
    // A task of the register (a directive, bulletin or inspection) due on the aircraft or on
    // the component named, rather than a component limit: the task, and its compliance
    // record there (0 while the register has not been applied there). Both 0 for a limit.
    std::int64_t taskId = 0;
    std::int64_t complianceId = 0;

    bool isTask() const { return taskId != 0; }

    std::optional<Basis> basisKind() const {
        return basis < 0 ? std::nullopt : std::optional<Basis>(static_cast<Basis>(basis));
    }
    QDate dueDate() const {
        return projection == Projection::Dated ? QDate::fromJulianDay(dueDay) : QDate();
    }
    // Days from the list's day to the due date; nothing when there is no date.
    std::optional<qint64> daysToDue(const QDate& today) const {
        if (projection != Projection::Dated)
            return std::nullopt;
        return dueDay - today.toJulianDay();
    }
};

// The due list of a fleet on one day: every installed component of every aircraft, each
// limit with its remaining life and due date, and the lines added beside them (the tasks
// of the register, see DueListRequest::moreLines).
struct DueList {
    QDate today;
    std::vector<DueAircraft> aircraft;
    std::vector<DueEntry> entries;  // by aircraft (file order)
    // Each aircraft's place when the aircraft are sorted by registration (see rankAircraft).
    std::vector<std::int32_t> aircraftRank;

    QString regNum(const DueEntry& e) const {
        return aircraft[static_cast<size_t>(e.aircraft)].regNum;
    }
};

// Places the aircraft in registration order (as the engine compares text), for sorting.
void rankAircraft(DueList* list);

// Where a limit stands in the list's order, as two numbers compared in turn: by due date,
// overdue limits without a date first, those due soon without a date as if due today, then
// those a century or more away, then the rest without a date (no use recorded, then no
// figure); then by registration, item number and basis.
struct DueOrder {
    std::uint64_t major = 0, minor = 0;
    auto operator<=>(const DueOrder&) const = default;
};
DueOrder dueOrder(const DueList& list, const DueEntry& e);

// The aircraft totals its limits count against; unknown where the record holds Null.
struct AircraftTotals {
    std::optional<double> time, time2, landings, cycles, rin;
};

// A counted limit's remaining life, with the arithmetic of the remaining-life list: its
// service life, less the life used before installation, less what the aircraft's total of
// its basis (flight time on its meter) has grown since installation,
// (life - usedAtInstall) - (total - totalAtInstall). Nothing when an operand is unknown, for
// months, and for flight time on a meter other than 1 or 2.
std::optional<double> remainingLife(Basis basis, std::optional<double> meter,
                                    std::optional<double> life, std::optional<double> usedAtInstall,
                                    std::optional<double> totalAtInstall,
                                    const AircraftTotals& totals);

// The daily rate of use that a limit of this basis and meter runs down with; nothing
// when the basis has none (months) or the use is not known.
std::optional<double> rateFor(const utilisation::DailyUtilisation& use, Basis basis, int meter);

// Projects a counted limit's due date from its remaining amount and the daily rate: today
// plus the whole days of use the amount lasts (rounded down, so the date is the last day
// that still ends with life left; a limit that ran out lies in the past). A rate that is
// unknown, zero or below gives NoUseRecorded. Sets projection and dueDay.
void projectByUse(DueEntry* e, std::optional<double> rate, const QDate& today);

// What the due list says of one limit: its due date, remaining amount (months left for a
// months limit) and warning level.
struct LimitJudgement {
    Projection projection = Projection::NoFigure;
    qint64 dueDay = 0;
    std::optional<double> remaining;
    WarningLevel level = WarningLevel::None;
};

// Judges one limit as of a day: a counted limit by its remaining amount, projected with
// the daily rate of its meter or total; a months limit by its retirement date (invalid when
// there is none). The other screens and the reports mark remaining life with it too.
LimitJudgement judgeLimit(const WarningSettings& warnings, Basis basis,
                          std::optional<double> remaining, const QDate& retireDate,
                          std::optional<double> life, std::optional<double> rate,
                          const QDate& today);

// Computes the list from the main data file (Timemgr.mdb), the daily use of each aircraft
// and the warning thresholds, as of the given day. The aircraft are read on several
// connections at once where the data gives them (see readInOrder); the list is the same.
// Throws data::DbError when the file cannot be read.
DueList computeDueList(data::Database& mainDb, const utilisation::UtilisationSource& use,
                       const WarningSettings& warnings, const QDate& today);

}  // namespace velmora::due
