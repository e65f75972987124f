#include "DueFilter.h"

#include "data/DateDisplay.h"
#include "data/TextKey.h"

#include <QSet>
#include <QStringList>

#include <algorithm>
#include <system_error>
#include <thread>

namespace velmora::due {

namespace {

using Keyed = std::pair<DueOrder, int>;

// Sorts a fleet's lines: a long list in two halves at once, one on a thread of its own, then
// merged. Each line's index is part of its key, so the order is the same either way.
void sortKeyed(std::vector<Keyed>& keyed) {
    constexpr size_t kLinesForTwoThreads = 1 << 16;
    if (keyed.size() < kLinesForTwoThreads || std::thread::hardware_concurrency() < 2) {
        std::sort(keyed.begin(), keyed.end());
        return;
    }
    const auto middle = keyed.begin() + static_cast<std::ptrdiff_t>(keyed.size() / 2);
    try {
        std::jthread firstHalf([&] { std::sort(keyed.begin(), middle); });
        std::sort(middle, keyed.end());
    } catch (const std::system_error&) {
        // No thread to be had: this thread sorts the whole list.
        std::sort(keyed.begin(), keyed.end());
        return;
    }
    std::inplace_merge(keyed.begin(), middle, keyed.end());
}

bool withinReach(const DueList& list, const DueEntry& e, const DueFilter& f) {
    if (!f.withinDays && !f.withinHours)
        return true;
    if (e.level == WarningLevel::Overdue)
        return true;
    if (f.withinDays) {
        // A limit without a date (no daily use to project it with) that is due soon by its
        // amount may come due any day: it stays in whatever number of days is asked for.
        const auto days = e.daysToDue(list.today);
        if (days ? *days <= *f.withinDays : e.level == WarningLevel::DueSoon)
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
    if (!f.bases)
        return true;
    const auto b = e.basisKind();
    return b && std::find(f.bases->begin(), f.bases->end(), *b) != f.bases->end();
}

}  // namespace

bool matches(const DueList& list, const DueEntry& e, const DueFilter& f) {
    if (f.onlyWarnings && e.level != WarningLevel::Overdue && e.level != WarningLevel::DueSoon)
        return false;
    if (f.onlyControlling && !e.controls)
        return false;
    if (!basisSelected(e, f))
        return false;
    if (f.regNums) {
        const QString key = data::textKey(list.regNum(e));
        bool found = false;
        for (const QString& r : *f.regNums)
            found = found || data::textKey(r) == key;
        if (!found)
            return false;
    }
    return withinReach(list, e, f);
}

std::vector<int> selectDue(const DueList& list, const DueFilter& filter) {
    // Registrations are compared once per aircraft, not once per limit.
    std::vector<char> aircraftShown(list.aircraft.size(), 1);
    if (filter.regNums) {
        QSet<QString> wanted;
        for (const QString& r : *filter.regNums)
            wanted.insert(data::textKey(r));
        for (size_t a = 0; a < list.aircraft.size(); ++a)
            aircraftShown[a] = wanted.contains(data::textKey(list.aircraft[a].regNum));
    }
    DueFilter rest = filter;
    rest.regNums.reset();
    std::vector<int> rows;
    rows.reserve(list.entries.size());
    for (size_t i = 0; i < list.entries.size(); ++i) {
        const DueEntry& e = list.entries[i];
        if (aircraftShown[static_cast<size_t>(e.aircraft)] && matches(list, e, rest))
            rows.push_back(static_cast<int>(i));
    }
    std::vector<Keyed> keyed;
    keyed.reserve(rows.size());
    for (int i : rows)
        keyed.emplace_back(dueOrder(list, list.entries[static_cast<size_t>(i)]), i);
    sortKeyed(keyed);
    for (size_t i = 0; i < keyed.size(); ++i)
        rows[i] = keyed[i].second;
    return rows;
}

DueCounts countDue(const DueList& list, const std::vector<int>& rows) {
    DueCounts c;
    for (int i : rows) {
        const DueEntry& e = list.entries[static_cast<size_t>(i)];
        (e.isTask() ? c.tasks : c.limits) += 1;
        c.overdue += e.level == WarningLevel::Overdue;
        c.dueSoon += e.level == WarningLevel::DueSoon;
    }
    return c;
}

QString limitsAndTasks(int limits, int tasks) {
    QString text = QStringLiteral("%1 limits").arg(limits);
    if (tasks > 0)
        text += QStringLiteral(" and %1 tasks").arg(tasks);
    return text;
}

QString describeFilter(const DueFilter& f) {
    QStringList parts;
    QStringList within;
    if (f.withinDays)
        within << QStringLiteral("%1 days").arg(*f.withinDays);
    if (f.withinHours)
        within << QStringLiteral("%1 hours").arg(*f.withinHours);
    if (!within.isEmpty())
        parts << QStringLiteral("due within ") + within.join(QStringLiteral(" or "));
    if (f.regNums)
        parts << (f.regNums->isEmpty()
                      ? QStringLiteral("no aircraft")
                      : QStringLiteral("aircraft ") + f.regNums->join(QStringLiteral(", ")));
    if (f.bases) {
        QStringList codes;
        for (Basis b : *f.bases)
            codes << basisCode(b);
        parts << (codes.isEmpty() ? QStringLiteral("no types")
                                  : QStringLiteral("types ") + codes.join(QStringLiteral(", ")));
    }
    if (f.onlyWarnings)
        parts << QStringLiteral("only overdue and due soon");
    if (f.onlyControlling)
        parts << QStringLiteral("only the limit that comes first");
    return parts.isEmpty() ? QStringLiteral("all limits") : parts.join(QStringLiteral("; "));
}

QString printedHeading(const DueList& list, const std::vector<int>& rows, const DueFilter& filter,
                       const QDateTime& printed) {
    const DueCounts c = countDue(list, rows);
    return QStringLiteral("As of %1, printed %2: %3. %4, %5 overdue, %6 due soon.")
        .arg(data::displayDate(list.today),
             data::displayDate(printed.date()) + u' ' + printed.toString(QStringLiteral("HH:mm")),
             describeFilter(filter), limitsAndTasks(c.limits, c.tasks))
        .arg(c.overdue)
        .arg(c.dueSoon);
}

}  // namespace velmora::due
