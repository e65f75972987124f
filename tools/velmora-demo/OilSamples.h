#pragma once

#include "ComponentCatalog.h"
#include "FleetRows.h"
#include "Random.h"

#include <QDate>

#include <vector>

namespace velmora::demo {

// What shapes one component's series of oil samples.
struct OilSeriesPlan {
    OilKind kind;
    int count;           // samples, oldest first
    int trendElement;    // index into kOilElements rising over the later samples; -1: none
    double hoursPerDay;  // how fast the component's meter runs
    QDate today;
    int latestDaysAgo;  // the age of the newest sample
    int spacingDays;    // between samples
};

// A series of oil samples for an installed component: each sample reports every element
// around the usual level for the kind of oil, with the planned wear metal rising to about
// three and a half times its level over the last samples. EngineHrs is the component's
// time when the sample was taken.
std::vector<OilSampleRow> oilSeries(const ComponentRow& component, const AircraftRow& aircraft,
                                    const OilSeriesPlan& plan, Random& rng);

}  // namespace velmora::demo
