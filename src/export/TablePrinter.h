#pragma once

#include "data/Failure.h"

#include <QPageLayout>
#include <QString>

#include <optional>

#include <vector>

class QAbstractItemModel;
class QPagedPaintDevice;

namespace velmora::exporting {

// A table printed after the main one, under a heading of its own: every row of the model,
// the given columns.
struct TableSection {
    QString heading;
    const QAbstractItemModel* model = nullptr;
    std::vector<int> columns;
};

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
    // Printed after the table, in this order.
    std::vector<TableSection> sections;
};

// The page a table is printed on: landscape, Letter where the locale measures in inches,
// else A4, with half-inch margins.
QPageLayout tablePageLayout();
// The page of a job: landscape, or upright when the job allows it and its columns fit.
QPageLayout tablePageLayout(const TablePrintJob& job);

// Paints the table on pages of the device: the title and page number on every page, the
// column headings repeated on each, the rows running over as many pages as they need, then
// the sections. Every cell's whole text is printed: columns take the width their texts need;
// where the page is too narrow for that, texts wrap onto more lines at their blanks (a word
// wider than its column at any character); where even the words do not fit across, the
// cells' text is made smaller (down to 6.5 points), and where that is not enough either, the
// columns are printed in parts, one after the other, the first column repeated in each.
// Returns the number of pages, or 0 with a message when the device cannot be painted on.
int paintTable(const TablePrintJob& job, QPagedPaintDevice* device, QString* error);

// Writes the table into a PDF file, replacing it only when the whole file was written.
// Otherwise a failure: err::DiskError naming the file, or what paintTable() says.
[[nodiscard]] data::MaybeFailure writeTablePdf(const TablePrintJob& job, const QString& path);

}  // namespace velmora::exporting
