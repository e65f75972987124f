#pragma once

#include "DueList.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace velmora::due {

// Which limits of the due list are shown. Unset parts select everything.
struct DueFilter {
    // Due within this many days (by retirement or projected date), or within this many
    // flight hours (time limits with no more hours left); with both, a limit that meets
    // either is shown. What is overdue always meets them.
    std::optional<int> withinDays;
    std::optional<double> withinHours;
    // Registrations as the engine compares text; empty: every aircraft.
    QStringList regNums;
    // Life bases; empty: every basis (and limits whose code is none of them).
    std::vector<Basis> bases;
    bool onlyWarnings = false;     // only overdue and due soon
    bool onlyControlling = false;  // only the limit that decides each component's date

    bool operator==(const DueFilter&) const = default;
};

// Whether one limit is selected.
bool matches(const DueList& list, const DueEntry& e, const DueFilter& filter);

// The selected limits of the list, as indexes into list.entries, in the list's order (by
// due date, see dueOrder).
std::vector<int> selectDue(const DueList& list, const DueFilter& filter);

}  // namespace velmora::due
