#pragma once

#include <QByteArray>

#include <vector>

namespace velmora::due {

class DueListTable;

// The lines of a due list table (the given columns, in that order) as CSV: the texts the
// grid shows, but dates as yyyy-MM-dd; an empty cell as nothing.
QByteArray dueListCsv(const DueListTable& table, const std::vector<int>& columns);

}  // namespace velmora::due
