#include "DueFilter.h"

#include "data/TextKey.h"

#include <QSet>

#include <algorithm>

namespace velmora::due {

namespace {

bool withinReach(const DueList& list, const DueEntry& e, const DueFilter& f) {
    if (!f.withinDays && !f.withinHours)
        return true;
    if (e.level == WarningLevel::Overdue)
        return true;
    if (f.withinDays) {
        if (const auto days = e.daysToDue(list.today); days && *days <= *f.withinDays)
            return true;
    }
    if (f.withinHours) {
        const auto b = e.basisKind();
        if (b && isTimeBasis(*b) && e.remaining && *e.remaining <= *f.withinHours)
            return true;
    }
    return false;
}

bool basisSelected(const DueEntry& e, const DueFilter& f) {
    if (f.bases.empty())
        return true;
    const auto b = e.basisKind();
    return b && std::find(f.bases.begin(), f.bases.end(), *b) != f.bases.end();
}

}  // namespace

bool matches(const DueList& list, const DueEntry& e, const DueFilter& f) {
    if (f.onlyWarnings && e.level != WarningLevel::Overdue && e.level != WarningLevel::DueSoon)
        return false;
    if (f.onlyControlling && !e.controls)
        return false;
    if (!basisSelected(e, f))
        return false;
    if (!f.regNums.isEmpty()) {
        const QString key = data::textKey(list.regNum(e));
        bool found = false;
        for (const QString& r : f.regNums)
            found = found || data::textKey(r) == key;
        if (!found)
            return false;
    }
    return withinReach(list, e, f);
}

std::vector<int> selectDue(const DueList& list, const DueFilter& filter) {
    // Registrations are compared once per aircraft, not once per limit.
    std::vector<char> aircraftShown(list.aircraft.size(), 1);
    if (!filter.regNums.isEmpty()) {
        QSet<QString> wanted;
        for (const QString& r : filter.regNums)
            wanted.insert(data::textKey(r));
        for (size_t a = 0; a < list.aircraft.size(); ++a)
            aircraftShown[a] = wanted.contains(data::textKey(list.aircraft[a].regNum));
    }
    DueFilter rest = filter;
    rest.regNums.clear();
    std::vector<int> rows;
    rows.reserve(list.entries.size());
    for (size_t i = 0; i < list.entries.size(); ++i) {
        const DueEntry& e = list.entries[i];
        if (aircraftShown[static_cast<size_t>(e.aircraft)] && matches(list, e, rest))
            rows.push_back(static_cast<int>(i));
    }
    std::vector<std::pair<DueOrder, int>> keyed;
    keyed.reserve(rows.size());
    for (int i : rows)
        keyed.emplace_back(dueOrder(list, list.entries[static_cast<size_t>(i)]), i);
    std::sort(keyed.begin(), keyed.end());
    for (size_t i = 0; i < keyed.size(); ++i)
        rows[i] = keyed[i].second;
    return rows;
}

}  // namespace velmora::due
