#pragma once

#include "ReportData.h"

#include <QPageLayout>

class QPagedPaintDevice;

namespace velmora::reports {

// The page a report's definition asks for: paper, orientation and margins.
QPageLayout reportPageLayout(const ReportDefinition& definition);

// Lays a report out on pages of the device's size and paints it: the page header and
// footer on every page, the aircraft facts on the first, the component list running over
// as many pages as it needs with its column headings repeated on each. The device's page
// layout is taken as it is (see reportPageLayout). Returns the number of pages, or 0 with
// a message when the device cannot be painted on.
int paintReport(const ReportModel& model, QPagedPaintDevice* device, QString* error);

}  // namespace velmora::reports
