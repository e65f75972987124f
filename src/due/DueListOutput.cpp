#include "DueListOutput.h"

#include "DueListTable.h"
#include "OilAlertTable.h"
#include "export/Csv.h"

#include <numeric>

namespace velmora::due {

namespace {

std::optional<QString> field(const QString& text) {
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

std::vector<int> allRows(int count) {
    std::vector<int> rows(static_cast<size_t>(std::max(0, count)));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

}  // namespace

QByteArray dueListCsv(const DueListTable& table, const std::vector<int>& columns) {
    return exporting::tableToCsv(table, columns, allRows(table.rowCount()),
                                 [&table](int r, int c) { return field(table.fileText(r, c)); });
}

QByteArray oilAlertsCsv(const OilAlertTable& alerts) {
    std::vector<int> columns(OilAlertTable::ColumnCount);
    std::iota(columns.begin(), columns.end(), 0);
    return exporting::tableToCsv(alerts, columns, allRows(alerts.rowCount()),
                                 [&alerts](int r, int c) { return field(alerts.fileText(r, c)); });
}

exporting::TablePrintJob dueListPrintJob(const DueListTable& table, const std::vector<int>& columns,
                                         const DuePrint& print) {
    exporting::TablePrintJob job;
    const QString company = print.companyName.trimmed();
    job.title =
        company.isEmpty() ? QStringLiteral("Due List") : QStringLiteral("Due List - ") + company;
    if (table.list())
        job.subtitle = printedHeading(*table.list(), table.rows(), print.filter, print.printed);
    job.model = &table;
    job.columns = columns;
    if (print.oilAlerts && print.oilAlerts->rowCount() > 0) {
        exporting::TableSection oil;
        const int n = print.oilAlerts->rowCount();
        oil.heading = QStringLiteral(
                          "Oil analysis: the newest sample of %1 component%2 is over "
                          "an alert level")
                          .arg(n)
                          .arg(n == 1 ? QString() : QStringLiteral("s"));
        oil.model = print.oilAlerts;
        oil.columns.resize(OilAlertTable::ColumnCount);
        std::iota(oil.columns.begin(), oil.columns.end(), 0);
        job.sections.push_back(std::move(oil));
    }
    return job;
}

}  // namespace velmora::due
