#pragma once

#include "data/Failure.h"

#include <QString>

#include <vector>

class QAbstractItemModel;
class QTextStream;

namespace velmora::exporting {

// Where a command-line tool sends a table: into a PDF file, into a CSV file, or as CSV on
// its standard output when neither file is named.
struct TableOutput {
    QString pdf;
    QString csv;
};

// Writes every row of the model there, under the title and subtitle when printed. The CSV
// holds every column; the PDF the columns printed, every column when none are given.
[[nodiscard]] data::MaybeFailure writeTableOutput(const TableOutput& to,
                                                  const QAbstractItemModel& model,
                                                  const QString& title, const QString& subtitle,
                                                  QTextStream& out,
                                                  const std::vector<int>& printed = {});

}  // namespace velmora::exporting
