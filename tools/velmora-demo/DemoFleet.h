#pragma once

#include "FleetRows.h"
#include "utilisation/PlannedUtilisation.h"

#include <QDate>
#include <QStringList>

#include <vector>

namespace velmora::demo {

// One make's template table and the models listed for it.
struct MakeTemplates {
    QString make;
    QStringList models;
    std::vector<TemplateRow> rows;
};

// Everything the demo files hold.
struct DemoFleet {
    std::vector<AircraftRow> aircraft;
    std::vector<ComponentRow> components;
    std::vector<OilSampleRow> oilSamples;
    std::vector<MakeTemplates> templates;
    // Each aircraft's planned daily use: what it has flown on an average day.
    std::vector<utilisation::PlannedEntry> plannedUse;
    int overdue = 0;       // installed components past their limit
    int notInstalled = 0;  // spares and removed units (Active = No)
};

// The demo fleet as it stands on the given day: the same rows for the same day on every
// run. Install dates, oil sample dates and calendar limits are counted back from today so
// that the fleet always looks current.
DemoFleet buildDemoFleet(const QDate& today);

}  // namespace velmora::demo
