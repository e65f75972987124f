#include "DueList.h"

#include "DueListQuery.h"
#include "data/Database.h"
#include "data/JetDates.h"
#include "data/Recordset.h"
#include "data/TextKey.h"
#include "data/ValueNumber.h"
#include "utilisation/UtilisationSource.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora::due {

namespace {

using data::Value;

std::string textOf(const Value& v) {
    if (v.type() == Value::Type::Text)
        return v.utf8();
    return v.isNull() ? std::string() : v.toString().toStdString();
}

// Where an entry stands in the order of the list: overdue without a date, dated, beyond
// a century, no use recorded, no figure.
int tierOf(const DueEntry& e) {
    switch (e.projection) {
        case Projection::Dated:
            return 1;
        case Projection::BeyondReach:
            return e.dueDay < 0 ? 0 : 2;
        case Projection::NoUseRecorded:
            return e.level == WarningLevel::Overdue ? 0 : 3;
        case Projection::NoFigure:
            return 4;
    }
    return 4;
}

// Column positions of the due list query.
enum Col { Item, Description, PartNumber, Serial, Meter, LifeBasis, Life, BasisIx, Left, Retire };

// A text as the engine compares it (see data::textKey), kept as UTF-8: ASCII is folded
// here, anything else by Qt's case folding.
std::string comparedText(const std::string& s) {
    size_t end = s.size();
    while (end > 0 && s[end - 1] == ' ')
        --end;
    std::string key;
    key.reserve(end);
    for (size_t i = 0; i < end; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80)
            return data::textKey(QString::fromUtf8(s.data(), static_cast<qsizetype>(end)))
                .toStdString();
        key.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c));
    }
    return key;
}

bool isBlank(const std::string& key) {
    return key.find_first_not_of(' ') == std::string::npos;
}

// Marks the limit that comes first on each component with several limits: rows of one
// aircraft with the same part number and serial number.
void markControllingLimits(const DueList& list, size_t first, std::vector<DueEntry>& entries) {
    std::vector<std::pair<std::string, size_t>> keyed;
    keyed.reserve(entries.size() - first);
    for (size_t i = first; i < entries.size(); ++i) {
        const std::string pn = comparedText(entries[i].partNumber);
        const std::string sn = comparedText(entries[i].serialNumber);
        // Rows without a part or serial number cannot be told to be the same unit.
        if (isBlank(pn) || isBlank(sn))
            continue;
        keyed.emplace_back(pn + '\x1f' + sn, i);
    }
    std::sort(keyed.begin(), keyed.end());
    for (size_t from = 0; from < keyed.size();) {
        size_t to = from + 1;
        while (to < keyed.size() && keyed[to].first == keyed[from].first)
            ++to;
        if (to - from > 1) {
            size_t best = keyed[from].second;
            for (size_t k = from; k < to; ++k) {
                if (dueOrder(list, entries[keyed[k].second]) < dueOrder(list, entries[best]))
                    best = keyed[k].second;
            }
            for (size_t k = from; k < to; ++k) {
                DueEntry& e = entries[keyed[k].second];
                e.limitsOfComponent = static_cast<std::uint8_t>(std::min<size_t>(to - from, 255));
                e.controls = keyed[k].second == best;
            }
        }
        from = to;
    }
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
    const std::uint64_t day = tierOf(e) == 1 ? static_cast<std::uint64_t>(e.dueDay) : 0;
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

DueList computeDueList(data::Database& mainDb, const utilisation::UtilisationSource& use,
                       const WarningSettings& warnings, const QDate& today) {
    DueList list;
    list.today = today;
    std::vector<std::int64_t> rowIds;
    {
        auto aircraft = mainDb.openRecordset(QStringLiteral("Aircraft"));
        const int reg = aircraft->fieldIndex(QStringLiteral("RegNum"));
        for (const auto& row : aircraft->rows()) {
            const Value& v = row.values[static_cast<size_t>(reg)];
            if (v.isNull())
                continue;  // no component can join an aircraft without a registration
            DueAircraft a;
            a.regNum = v.toString();
            a.use = use.dailyUse(a.regNum);
            list.aircraft.push_back(std::move(a));
            rowIds.push_back(row.rowid);
        }
    }
    rankAircraft(&list);
    for (size_t a = 0; a < list.aircraft.size(); ++a) {
        const DueAircraft& craft = list.aircraft[a];
        const size_t first = list.entries.size();
        auto rs = mainDb.openRecordset(dueListSql(rowIds[a]));
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
            if (!v[Meter].isNull()) {
                e.hasMeter = true;
                e.meter = static_cast<std::int16_t>(v[Meter].toInt());
            }
            if (!v[BasisIx].isNull())
                e.basis = static_cast<std::int8_t>(v[BasisIx].toInt());
            const std::optional<Basis> basis = e.basisKind();
            if (basis == Basis::MO) {
                const auto date = data::parseJetDateTime(v[Retire].toString());
                if (!v[Retire].isNull() && date) {
                    const QDate d = date->date();
                    e.projection = Projection::Dated;
                    e.dueDay = d.toJulianDay();
                    e.remaining = monthsUntil(today, d);
                }
            } else if (basis) {
                e.remaining = data::numberIn(v[Left]);
                projectByUse(&e, rateFor(craft.use, *basis, e.hasMeter ? e.meter : 0), today);
            }
            if (basis)
                e.level =
                    warningLevel(warnings.of(*basis), e.remaining, e.life, e.daysToDue(today));
            list.entries.push_back(std::move(e));
        }
        markControllingLimits(list, first, list.entries);
        // Aircraft carry lists of about the same length: room for the rest at once.
        if (a == 0 && list.aircraft.size() > 1)
            list.entries.reserve(list.entries.size() * list.aircraft.size() * 11 / 10);
    }
    return list;
}

}  // namespace velmora::due
