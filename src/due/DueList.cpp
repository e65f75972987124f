#include "DueList.h"

#include "DueListQuery.h"
#include "OrderedReading.h"
#include "data/Database.h"
#include "data/JetDates.h"
#include "data/JetText.h"
#include "data/Recordset.h"
#include "data/TextKey.h"
#include "data/ValueNumber.h"
#include "utilisation/UtilisationSource.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace velmora::due {

namespace {

using data::Value;

// The limits of a large fleet take hundreds of megabytes, written once in file order. Mapped
// in huge pages (2 MB), that memory costs a five-hundredth of the page faults of small pages:
// on a virtual machine, whose page faults are dear, those were a fifth of the list's whole
// computing. Only for blocks that malloc maps on their own (32 MB and more; smaller ones may
// come from its heap, which is left as it is), and only a hint: the system may ignore it.
void preferHugePages(const void* data, std::size_t bytes) {
#ifdef __linux__
    constexpr std::size_t kOwnMapping = std::size_t{32} << 20;
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    if (bytes < kOwnMapping)
        return;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t from = (start + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t to = (start + bytes) & ~(kHuge - 1);
    if (to > from)
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

std::string textOf(const Value& v) {
    if (v.type() == Value::Type::Text)
        return v.utf8();
    return v.isNull() ? std::string() : v.toString().toStdString();
}

// Where an entry stands in the order of the list: overdue without a date, dated (and due
// soon without a date, as if due today), beyond a century, no use recorded, no figure.
int tierOf(const DueEntry& e) {
    switch (e.projection) {
        case Projection::Dated:
            return 1;
        case Projection::BeyondReach:
            return e.dueDay < 0 ? 0 : 2;
        case Projection::NoUseRecorded:
            if (e.level == WarningLevel::Overdue)
                return 0;
            return e.level == WarningLevel::DueSoon ? 1 : 3;
        case Projection::NoFigure:
            return 4;
    }
    return 4;
}

// The day a dated entry is ordered by: its due date; today for one due soon without a date,
// which may come due any day (after those already overdue, before those due later).
std::uint64_t orderDay(const DueList& list, const DueEntry& e) {
    const qint64 day = e.projection == Projection::Dated ? e.dueDay : list.today.toJulianDay();
    return static_cast<std::uint64_t>(day);
}

// Column positions of the due list query.
enum Col {
    Item,
    Description,
    PartNumber,
    Serial,
    Meter,
    LifeBasis,
    Life,
    UsedAtInstall,
    TotalAtInstall,
    Retire
};

int compareAsEngine(const std::string& a, const std::string& b) {
    return data::jetTextCompare(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()));
}

bool isBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

// Marks the limit that comes first on each component with several limits among one
// aircraft's limits: rows with the same part number and serial number, compared as the engine
// compares text. The rows are grouped by a hash of both numbers, which texts that compare
// equal share; texts that only share the hash are told apart by comparing them. Among limits
// due alike the first in file order decides.
void markControllingLimits(const DueList& list, std::vector<DueEntry>& entries) {
    struct Unit {
        std::uint64_t partHash, serialHash;
        size_t index;
    };
    std::vector<Unit> units;
    units.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& part = entries[i].partNumber;
        const std::string& serial = entries[i].serialNumber;
        // Rows without a part or serial number cannot be told to be the same unit.
        if (isBlank(part) || isBlank(serial))
            continue;
        units.push_back({data::jetTextHash(part.data(), static_cast<int>(part.size())),
                         data::jetTextHash(serial.data(), static_cast<int>(serial.size())), i});
    }
    auto compareTexts = [&](const Unit& x, const Unit& y) {
        const DueEntry& a = entries[x.index];
        const DueEntry& b = entries[y.index];
        const int c = compareAsEngine(a.partNumber, b.partNumber);
        return c != 0 ? c : compareAsEngine(a.serialNumber, b.serialNumber);
    };
    auto sameUnit = [&](const Unit& x, const Unit& y) {
        return x.partHash == y.partHash && x.serialHash == y.serialHash && compareTexts(x, y) == 0;
    };
    std::sort(units.begin(), units.end(), [&](const Unit& x, const Unit& y) {
        if (x.partHash != y.partHash)
            return x.partHash < y.partHash;
        if (x.serialHash != y.serialHash)
            return x.serialHash < y.serialHash;
        const int c = compareTexts(x, y);
        return c != 0 ? c < 0 : x.index < y.index;
    });
    for (size_t from = 0; from < units.size();) {
        size_t to = from + 1;
        while (to < units.size() && sameUnit(units[from], units[to]))
            ++to;
        if (to - from > 1) {
            size_t best = units[from].index;
            for (size_t k = from + 1; k < to; ++k) {
                if (dueOrder(list, entries[units[k].index]) < dueOrder(list, entries[best]))
                    best = units[k].index;
            }
            for (size_t k = from; k < to; ++k) {
                DueEntry& e = entries[units[k].index];
                e.limitsOfComponent = static_cast<std::uint8_t>(std::min<size_t>(to - from, 255));
                e.controls = units[k].index == best;
            }
        }
        from = to;
    }
}

// The limits of one aircraft (list.aircraft[a], whose Aircraft row is rowId) read on the
// connection given, each judged, the controlling ones marked. Reads nothing of the list but
// its aircraft and their ranks, so that several aircraft can be read at once.
std::vector<DueEntry> limitsOf(data::Database& db, const DueList& list, size_t a,
                               std::int64_t rowId, const AircraftTotals& totals,
                               const WarningSettings& warnings) {
    const DueAircraft& craft = list.aircraft[a];
    std::vector<DueEntry> entries;
    auto rs = db.openRecordset(dueListSql(), {data::Value(rowId)});
    entries.reserve(rs->rows().size());
    for (const auto& row : rs->rows()) {
        const auto& v = row.values;
        DueEntry e;
        e.aircraft = static_cast<std::int32_t>(a);
        e.description = textOf(v[Description]);
        e.partNumber = textOf(v[PartNumber]);
        e.serialNumber = textOf(v[Serial]);
        e.lifeBasis = textOf(v[LifeBasis]);
        e.life = data::numberIn(v[Life]);
        if (!v[Item].isNull()) {
            e.hasItemNumber = true;
            e.itemNumber = static_cast<std::int32_t>(v[Item].toInt());
        }
        const std::optional<double> meter = data::numberIn(v[Meter]);
        if (meter) {
            e.hasMeter = true;
            e.meter = static_cast<std::int16_t>(v[Meter].toInt());
        }
        const std::optional<Basis> basis =
            v[LifeBasis].isNull() ? std::nullopt : basisFromUtf8(e.lifeBasis);
        if (basis)
            e.basis = static_cast<std::int8_t>(basisIndex(*basis));
        if (basis) {
            QDate retires;
            if (*basis == Basis::MO && !v[Retire].isNull()) {
                if (const auto date = data::parseJetDateTime(v[Retire].toString()))
                    retires = date->date();
            }
            const LimitJudgement j = judgeLimit(
                warnings, *basis,
                remainingLife(*basis, meter, e.life, data::numberIn(v[UsedAtInstall]),
                              data::numberIn(v[TotalAtInstall]), totals),
                retires, e.life, rateFor(craft.use, *basis, e.hasMeter ? e.meter : 0), list.today);
            e.projection = j.projection;
            e.dueDay = j.dueDay;
            e.remaining = j.remaining;
            e.level = j.level;
        }
        entries.push_back(std::move(e));
    }
    markControllingLimits(list, entries);
    return entries;
}

}  // namespace

void rankAircraft(DueList* list) {
    std::vector<std::pair<QString, std::int32_t>> keys;
    keys.reserve(list->aircraft.size());
    for (size_t a = 0; a < list->aircraft.size(); ++a)
        keys.emplace_back(data::textKey(list->aircraft[a].regNum), static_cast<std::int32_t>(a));
    std::sort(keys.begin(), keys.end());
    list->aircraftRank.assign(list->aircraft.size(), 0);
    for (size_t r = 0; r < keys.size(); ++r)
        list->aircraftRank[static_cast<size_t>(keys[r].second)] = static_cast<std::int32_t>(r);
}

DueOrder dueOrder(const DueList& list, const DueEntry& e) {
    DueOrder o;
    const std::uint64_t tier = static_cast<std::uint64_t>(tierOf(e));
    const std::uint64_t day = tierOf(e) == 1 ? orderDay(list, e) : 0;
    o.major = tier << 40 | (day & ((std::uint64_t{1} << 40) - 1));
    const auto a = static_cast<size_t>(e.aircraft);
    const std::uint64_t rank =
        a < list.aircraftRank.size() ? static_cast<std::uint64_t>(list.aircraftRank[a]) : a;
    // Null item numbers first, as the engine sorts them.
    const std::uint64_t item =
        e.hasItemNumber ? static_cast<std::uint64_t>(static_cast<std::int64_t>(e.itemNumber) +
                                                     (std::int64_t{1} << 31) + 1)
                        : 0;
    const std::uint64_t basis = e.basis < 0 ? 7 : static_cast<std::uint64_t>(e.basis);
    o.minor = rank << 36 | item << 3 | basis;
    return o;
}

std::optional<double> remainingLife(Basis basis, std::optional<double> meter,
                                    std::optional<double> life, std::optional<double> usedAtInstall,
                                    std::optional<double> totalAtInstall,
                                    const AircraftTotals& totals) {
    std::optional<double> total;
    switch (basis) {
        case Basis::RT:
        case Basis::OH:
        case Basis::IN:
            if (meter == 1.0)
                total = totals.time;
            else if (meter == 2.0)
                total = totals.time2;
            break;
        case Basis::LD:
            total = totals.landings;
            break;
        case Basis::CY:
            total = totals.cycles;
            break;
        case Basis::RN:
            total = totals.rin;
            break;
        case Basis::MO:
            break;
    }
    if (!total || !life || !usedAtInstall || !totalAtInstall)
        return std::nullopt;
    return *life - *usedAtInstall - (*total - *totalAtInstall);
}

std::optional<double> rateFor(const utilisation::DailyUtilisation& use, Basis basis, int meter) {
    switch (basis) {
        case Basis::RT:
        case Basis::OH:
        case Basis::IN:
            if (meter == 1)
                return use.meter1Hours;
            if (meter == 2)
                return use.meter2Hours;
            return std::nullopt;
        case Basis::LD:
            return use.landings;
        case Basis::CY:
            return use.cycles;
        case Basis::RN:
            return use.rin;
        case Basis::MO:
            return std::nullopt;
    }
    return std::nullopt;
}

void projectByUse(DueEntry* e, std::optional<double> rate, const QDate& today) {
    if (!e->remaining || !std::isfinite(*e->remaining)) {
        e->projection = Projection::NoFigure;
        return;
    }
    if (!rate || !std::isfinite(*rate) || *rate <= 0) {
        e->projection = Projection::NoUseRecorded;
        return;
    }
    const double days = std::floor(*e->remaining / *rate);
    if (!std::isfinite(days) || std::fabs(days) > static_cast<double>(kProjectionDays)) {
        e->projection = Projection::BeyondReach;
        e->dueDay = days < 0 ? -1 : 1;
        return;
    }
    e->projection = Projection::Dated;
    e->dueDay = today.toJulianDay() + static_cast<qint64>(days);
}

LimitJudgement judgeLimit(const WarningSettings& warnings, Basis basis,
                          std::optional<double> remaining, const QDate& retireDate,
                          std::optional<double> life, std::optional<double> rate,
                          const QDate& today) {
    DueEntry e;
    e.life = life;
    if (basis == Basis::MO) {
        if (retireDate.isValid()) {
            e.projection = Projection::Dated;
            e.dueDay = retireDate.toJulianDay();
            e.remaining = monthsUntil(today, retireDate);
        }
    } else {
        e.remaining = remaining;
        projectByUse(&e, rate, today);
    }
    e.level = warningLevel(warnings.of(basis), e.remaining, life, e.daysToDue(today));
    return {e.projection, e.dueDay, e.remaining, e.level};
}

DueList computeDueList(data::Database& mainDb, const utilisation::UtilisationSource& use,
                       const WarningSettings& warnings, const QDate& today) {
    DueList list;
    list.today = today;
    std::vector<std::int64_t> rowIds;
    std::vector<AircraftTotals> totals;
    {
        auto aircraft = mainDb.openRecordset(QStringLiteral("Aircraft"));
        const int reg = aircraft->fieldIndex(QStringLiteral("RegNum"));
        auto column = [&](const char* name) {
            return aircraft->fieldIndex(QString::fromLatin1(name));
        };
        const int time = column("TotalTime"), time2 = column("TotalTime2"),
                  landings = column("TotalLandings"), cycles = column("TotalCycles"),
                  rin = column("TotalRIN");
        for (const auto& row : aircraft->rows()) {
            const Value& v = row.values[static_cast<size_t>(reg)];
            if (v.isNull())
                continue;  // no component can join an aircraft without a registration
            auto number = [&](int i) {
                return i < 0 ? std::nullopt : data::numberIn(row.values[static_cast<size_t>(i)]);
            };
            DueAircraft a;
            a.regNum = v.toString();
            a.use = use.dailyUse(a.regNum);
            list.aircraft.push_back(std::move(a));
            rowIds.push_back(row.rowid);
            totals.push_back(
                {number(time), number(time2), number(landings), number(cycles), number(rin)});
        }
    }
    rankAircraft(&list);
    // Each aircraft's limits are read into a list of their own, then appended in file order.
    std::vector<std::vector<DueEntry>> byAircraft(list.aircraft.size());
    readInOrder(
        mainDb, list.aircraft.size(),
        [&](data::Database& db, size_t a) {
            byAircraft[a] = limitsOf(db, list, a, rowIds[a], totals[a], warnings);
        },
        [&](size_t a) {
            std::vector<DueEntry>& limits = byAircraft[a];
            // Aircraft carry lists of about the same length: room for the rest at once, and
            // for the lines added beside the limits (the register's tasks) without moving
            // the limits again. Room not filled costs no memory the system has to give.
            if (a == 0 && list.aircraft.size() > 1) {
                list.entries.reserve(limits.size() * list.aircraft.size() * 5 / 4);
                preferHugePages(list.entries.data(), list.entries.capacity() * sizeof(DueEntry));
            }
            list.entries.insert(list.entries.end(), std::make_move_iterator(limits.begin()),
                                std::make_move_iterator(limits.end()));
            std::vector<DueEntry>().swap(limits);
        });
    return list;
}

}  // namespace velmora::due
