#include "TableOutput.h"

#include "Csv.h"
#include "TablePrinter.h"

#include <QAbstractItemModel>
#include <QTextStream>

#include <numeric>

namespace velmora::exporting {

data::MaybeFailure writeTableOutput(const TableOutput& to, const QAbstractItemModel& model,
                                    const QString& title, const QString& subtitle, QTextStream& out,
                                    const std::vector<int>& printed) {
    std::vector<int> columns(static_cast<size_t>(model.columnCount()));
    std::iota(columns.begin(), columns.end(), 0);
    if (!to.pdf.isEmpty()) {
        TablePrintJob job;
        job.title = title;
        job.subtitle = subtitle;
        job.model = &model;
        job.columns = printed.empty() ? columns : printed;
        return writeTablePdf(job, to.pdf);
    }
    const QByteArray csv = tableToCsv(model, columns);
    if (!to.csv.isEmpty())
        return writeCsvFile(to.csv, csv);
    out << QString::fromUtf8(csv);
    out.flush();
    return std::nullopt;
}

}  // namespace velmora::exporting
