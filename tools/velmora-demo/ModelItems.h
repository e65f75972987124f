#pragma once

#include "ComponentCatalog.h"
#include "DemoAircraft.h"
#include "FleetRows.h"

#include <QString>

#include <vector>

namespace velmora::demo {

// A catalog item as one model lists it: numbered in order, with the engine it belongs to
// on a twin and the model's own part number.
struct ModelItem {
    const CatalogItem* item;
    int itemNumber;
    QString description;
    QString partNumber;    // null text for a task without a part
    QString manufacturer;  // the make itself for the airframe maker's parts
};

// The model's components and tasks, in item number order.
std::vector<ModelItem> modelItems(const AircraftModel& model);

// The model's rows of its make's template table; optional equipment is unnumbered (0).
std::vector<TemplateRow> templateRows(const AircraftModel& model);

}  // namespace velmora::demo
