#pragma once

#include "DueFilter.h"
#include "export/TablePrinter.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

namespace velmora::due {

class DueListTable;
class OilAlertTable;

// The lines of a due list table (the given columns, in that order) as CSV: the texts the
// grid shows, but dates as yyyy-MM-dd; an empty cell as nothing.
QByteArray dueListCsv(const DueListTable& table, const std::vector<int>& columns);
// The oil-alert findings as CSV, their sample dates as yyyy-MM-dd.
QByteArray oilAlertsCsv(const OilAlertTable& alerts);

// What heads a printed due list, and what it holds.
struct DuePrint {
    QString companyName;  // beside the title; none when empty
    DueFilter filter;     // said under the title
    QDateTime printed;
    const OilAlertTable* oilAlerts = nullptr;  // a section after the list when it has lines
};

// The printed due list: the given columns of the table's lines, under the title and the
// heading of what was selected, then the oil-alert findings.
exporting::TablePrintJob dueListPrintJob(const DueListTable& table, const std::vector<int>& columns,
                                         const DuePrint& print);

}  // namespace velmora::due
