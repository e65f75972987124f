#pragma once

#include "DueList.h"

#include <QDateTime>
#include <QStringList>

#include <optional>
#include <vector>

namespace velmora::due {

// Which limits of the due list are shown. What is unset selects everything.
struct DueFilter {
    // Due within this many days (by retirement or projected date), or within this many
    // flight hours (time limits with no more hours left); with both, a limit that meets
    // either is shown. What is overdue always meets them, and a limit without a date that is
    // due soon by its amount meets any number of days.
    std::optional<int> withinDays;
    std::optional<double> withinHours;
    // Only these registrations (compared as the engine compares text); unset: every
    // aircraft.
    std::optional<QStringList> regNums;
    // Only these life bases; unset: every limit, also those whose code is none of the seven.
    std::optional<std::vector<Basis>> bases;
    bool onlyWarnings = false;     // only overdue and due soon
    bool onlyControlling = false;  // only the limit that decides each component's date

    bool operator==(const DueFilter&) const = default;
};

// Whether one limit is selected.
bool matches(const DueList& list, const DueEntry& e, const DueFilter& filter);

// The selected limits of the list, as indexes into list.entries, in the list's order (by
// due date, see dueOrder).
std::vector<int> selectDue(const DueList& list, const DueFilter& filter);

// What a selection holds: how many component limits and how many directive or inspection
// tasks, and how many of all of them overdue or due soon.
struct DueCounts {
    int limits = 0;
    int tasks = 0;
    int overdue = 0;
    int dueSoon = 0;
};
DueCounts countDue(const DueList& list, const std::vector<int>& rows);

// "12 limits" or, with tasks among them, "12 limits and 3 tasks".
QString limitsAndTasks(int limits, int tasks);

// The filter in words, for the heading of a printout: "due within 30 days or 50 hours;
// aircraft N1, N2; types RT, MO; only overdue and due soon". "all limits" when nothing is
// filtered.
QString describeFilter(const DueFilter& filter);

// The line under a printed list's title: the day of the list, when it was printed, the
// filter in words and the counts ("As of 15 Jun 2025, printed 15 Jun 2025 08:00: due
// within 30 days. 12 limits, 2 overdue, 5 due soon."), dates as every screen shows them.
QString printedHeading(const DueList& list, const std::vector<int>& rows, const DueFilter& filter,
                       const QDateTime& printed);

}  // namespace velmora::due
