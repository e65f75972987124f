#pragma once

#include <QPageLayout>
#include <QString>

#include <optional>

#include <vector>

class QAbstractItemModel;
class QPagedPaintDevice;

namespace velmora::exporting {

// A table to print: the given columns of a model (in that order) with the texts, colours
// and alignment its cells display, under a title.
struct TablePrintJob {
    QString title;     // heads every page
    QString subtitle;  // under the title on the first page: what was selected, and when
    const QAbstractItemModel* model = nullptr;
    std::vector<int> columns;
    // The rows to print, in this order; every row of the model when unset.
    std::optional<std::vector<int>> rows;
    // Printed upright when the columns fit across an upright page, else across (landscape).
    bool uprightWhenNarrow = false;
};

// The page a table is printed on: landscape, Letter where the locale measures in inches,
// else A4, with half-inch margins.
QPageLayout tablePageLayout();
// The page of a job: landscape, or upright when the job allows it and its columns fit.
QPageLayout tablePageLayout(const TablePrintJob& job);

// Paints the table on pages of the device: the title and page number on every page, the
// column headings repeated on each, the rows running over as many pages as they need.
// Columns take the width their texts need and shrink together when the page is too narrow
// (a text that still does not fit is cut short with an ellipsis). Returns the number of
// pages, or 0 with a message when the device cannot be painted on.
int paintTable(const TablePrintJob& job, QPagedPaintDevice* device, QString* error);

// Writes the table into a PDF file, replacing it only when the whole file was written.
bool writeTablePdf(const TablePrintJob& job, const QString& path, QString* error);

}  // namespace velmora::exporting
