#pragma once

#include "data/Failure.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QAbstractItemModel;

namespace velmora::exporting {

// One record of a CSV file (RFC 4180), its fields in order. A Null field (std::nullopt) is
// written as nothing at all, an empty text as "", so that the two read back apart.
using CsvRecord = std::vector<std::optional<QString>>;

// Who reads a CSV file. A program reading it back gets every value as it is. People open it
// in a spreadsheet program: a text cell that such a program would run as a formula is
// written as text (see spreadsheetText()).
enum class CsvFor { Programs, People };

// One field: quoted when it holds a comma, a quote, a line break, or is empty text.
QString csvField(const std::optional<QString>& field, CsvFor reader = CsvFor::Programs);
// One record with its line end (CRLF), UTF-8.
QByteArray csvLine(const CsvRecord& record, CsvFor reader = CsvFor::Programs);

// Reads CSV text (UTF-8, CRLF or LF line ends, a final line end optional). A failure
// (err::SyntaxError) with a message naming the line when a quoted field is not closed or a
// quote stands inside an unquoted field. With lines, the line each record begins on (a quoted field
// may hold line breaks), for messages about a record.
[[nodiscard]] data::MaybeFailure parseCsv(const QByteArray& utf8, std::vector<CsvRecord>* records,
                                          std::vector<int>* lines = nullptr);

// A table as shown, for people: a header line of the column captions, then one line per row of the
// given columns (in that order) with the text each cell displays; a cell that displays
// nothing is written as Null.
QByteArray tableToCsv(const QAbstractItemModel& model, const std::vector<int>& columns);

// The text a cell is written with, Null as nothing.
using CsvCell = std::function<std::optional<QString>(int row, int column)>;
// A table as given, for people: a header line of the column captions, then one line per row of rows
// (in that order) with the given columns' cells.
QByteArray tableToCsv(const QAbstractItemModel& model, const std::vector<int>& columns,
                      const std::vector<int>& rows, const CsvCell& cell);

// Writes CSV text into a file, replacing it only when the whole text was written. A failure
// (err::DiskError) with a message naming the file otherwise.
[[nodiscard]] data::MaybeFailure writeCsvFile(const QString& path, const QByteArray& csv);

}  // namespace velmora::exporting
