#pragma once

#include "TablePrinter.h"

#include <QRectF>

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

namespace velmora::exporting {

// Whether every table of a job stands across a page of this width (in the device's
// pixels) with each text on one line.
bool fitsAcross(const TablePrintJob& job, QPaintDevice* device, qreal width);

// Lays the tables of a job out on pages of the given area (counting the pages first, for
// "Page 1 of N") and paints them; returns the number of pages. See paintTable.
int flowTables(const TablePrintJob& job, QPagedPaintDevice* device, QPainter* painter,
               const QRectF& area);

}  // namespace velmora::exporting
