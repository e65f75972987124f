#pragma once

#include "data/Value.h"
#include "due/DueList.h"
#include "due/LifeBasis.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::components {

// A component: its part number and serial number. Two keys name the same component when
// they compare equal as the engine compares text (letter case and trailing blanks do not
// count).
struct ComponentKey {
    QString partNumber, serialNumber;

    bool isBlank() const;
    bool sameAs(const ComponentKey& other) const;
    // The key as it groups and sorts: part number and serial number as the engine compares.
    QString groupKey() const;
    // "P/N 123-4 S/N A1", for messages.
    QString label() const;
};

// The columns of a Parts row, in the order the component list selects them; a limit keeps
// its row in this order, and the stores keep these columns under the same names.
enum PartColumn {
    RegNum,
    ItemNumber,
    MeterNumber,
    Active,
    Assembly,
    Description,
    PartNumber,
    SerialNumber,
    DatePurchased,
    Manufacturer,
    Inspection,
    ReplaceCost,
    ReservePerHour,
    LifeNumber,
    LifeBasis,
    InstallDate,
    InstallTimeLeft,
    InstallACHour,
    Notes,
    OilAnalysis,
    PartColumnCount
};
const QStringList& partColumns();

// One limit of a component: one of its Parts rows, read as stored.
struct Limit {
    std::vector<data::Value> row;  // PartColumnCount values

    std::optional<due::Basis> basis() const;
    QString basisCode() const;
    std::optional<double> meter() const;
    std::optional<double> life() const;
    std::optional<double> usedAtInstall() const;
    std::optional<double> totalAtInstall() const;
    QDate installDate() const;
    // "RT 5000 hours (meter 1)", for messages and printed lists.
    QString describe() const;
};

// Where a removed component goes.
enum class Location { StoresServiceable, StoresUnserviceable, Shop, Scrapped };
QString locationText(Location l);
std::optional<Location> locationFrom(const QString& text);
QStringList locationTexts();

// A limit of a component in stores: its row as it was on the aircraft, and the life used at
// removal (worked out as the remaining-life list works out what remains).
struct StoredLimit {
    std::int64_t storeId = 0;
    Limit limit;
    std::optional<double> lifeUsed;  // in the basis unit; whole months for a months limit
    // What remains: the life less the life used; for a months limit, the retirement date.
    std::optional<double> remaining() const;
    QDate retireDate() const;
};

// A component in stores (or at the shop, or scrapped), with all its limits.
struct StoredComponent {
    ComponentKey key;
    QString description;
    QString removedFrom;  // registration
    QDate removedDate;
    Location location = Location::StoresServiceable;
    QString reason, reference, removedBy;
    std::vector<StoredLimit> limits;
};

// Kinds of events in a component's history.
inline const QString kInstalled = QStringLiteral("installed");
inline const QString kRemoved = QStringLiteral("removed");
inline const QString kOverhauled = QStringLiteral("overhauled");
inline const QString kInspected = QStringLiteral("inspected");
inline const QString kRepaired = QStringLiteral("repaired");
inline const QString kScrapped = QStringLiteral("scrapped");

// A limit's life at an event: used before and after it (after an overhaul, what the
// overhaul reset), and what remained after it.
struct EventLimit {
    QString basis;
    std::optional<double> meter, life, usedBefore, usedAfter, remaining;
};

struct ComponentEvent {
    std::int64_t id = 0;  // 0 for an event not stored (the baseline of a file without history)
    ComponentKey key;
    QString kind;
    QDate date;
    QString regNum;
    std::optional<std::int64_t> itemNumber;
    due::AircraftTotals totals;
    QString reason, location, reference, enteredBy;
    QDateTime enteredAt;
    std::vector<EventLimit> limits;
};

// Life used of a limit on an aircraft with these totals: the life used before installation
// plus what the aircraft's total of its basis (flight time on its meter) has grown since,
// usedAtInstall + (total - totalAtInstall), the complement of the remaining-life list's
// figure. For a months limit the whole months from the installation date to the day given.
// Nothing when an operand is unknown, and for flight time on a meter other than 1 or 2.
std::optional<double> lifeUsedNow(const Limit& limit, const due::AircraftTotals& totals,
                                  const QDate& day);
// The aircraft total a limit counts against (flight time on the meter given).
std::optional<double> totalFor(due::Basis basis, std::optional<double> meter,
                               const due::AircraftTotals& totals);
// Whole months from one day to another (0 when the second is not later).
int wholeMonths(const QDate& from, const QDate& to);

}  // namespace velmora::components
