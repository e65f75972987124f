#pragma once

#include "export/TablePrinter.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

class QTableView;

namespace velmora::screens {

// Gives a grid a context menu with "Export to CSV…" (also Ctrl+E) and "Print…" (also
// Ctrl+P) that act on exactly the columns and rows the grid shows, in their order. The title
// names the file suggested and heads the printed pages; it is asked for each time, as it
// follows the aircraft or component shown.
void installGridExport(QTableView* grid, std::function<QString()> title);

// The rows a grid shows that hold data (not hidden, and not the line where a new row is
// typed), in order.
std::vector<int> shownRows(const QTableView& grid);

// The grid as CSV (a header line, then its rows shown; numbers without their display
// format, Null cells as nothing), and as a print job.
QByteArray gridCsv(const QTableView& grid);
exporting::TablePrintJob gridPrintJob(const QTableView& grid, const QString& title);

// What the menu's entries do: ask for a file and write the CSV (a message on failure), and
// show the print preview.
bool exportGridToCsv(QTableView* grid, const QString& title);
void printGrid(QTableView* grid, const QString& title);

}  // namespace velmora::screens
