#include "DueListOutput.h"

#include "DueListTable.h"
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

}  // namespace velmora::due
