#pragma once

#include "export/TablePrinter.h"

#include <QString>

#include <vector>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace velmora::screens {

// The columns a grid shows (not hidden), in their order on the screen.
std::vector<int> shownColumns(const QTableView& view);

// Shows a print preview of a table, from which it is printed; returns when it closes.
void previewTable(QWidget* parent, const exporting::TablePrintJob& job);

// Asks for a file name through the dialogs service (suggesting suggestedName, without its
// extension, in the user's documents folder) and writes the table there as CSV or PDF. A
// failure is shown in a message box and leaves an existing file as it was. False when
// cancelled or failed.
bool saveTableAsCsv(QWidget* parent, const QAbstractItemModel& model,
                    const std::vector<int>& columns, const QString& suggestedName);
// The same for CSV text made already.
bool saveCsvText(QWidget* parent, const QByteArray& csv, const QString& suggestedName);
bool saveTableAsPdf(QWidget* parent, const exporting::TablePrintJob& job,
                    const QString& suggestedName);

}  // namespace velmora::screens
