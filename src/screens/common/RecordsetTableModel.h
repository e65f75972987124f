#pragma once

#include "data/Recordset.h"
#include "data/Value.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace velmora::screens {

// Reads a column of the row a cell is in, by the record set's column name.
using RowReader = std::function<data::Value(const QString& column)>;

// One column of a data grid: its header caption, the record set column it shows (found by
// name, letter case ignored), the value a new row gets when nothing else sets it, the
// display format (see formatForDisplay) and whether it is shown.
struct GridColumn {
    QString caption;
    QString field;
    data::Value defaultValue;
    QString format;
    bool visible = true;
    // The column holds a due date: shown in red once that day is past.
    bool dueDate = false;
    // Where set, what a stored row shows in the column (and is judged by) is worked out from
    // the stored value and the rest of the row.
    std::function<data::Value(const data::Value& stored, const RowReader& row)> shownValue =
        nullptr;
    // Where set, the colour a stored row's cell is written in, from what it shows and the rest
    // of the row (an invalid colour: the normal one), instead of red for what has run out.
    std::function<QColor(const data::Value& shown, const RowReader& row)> colour = nullptr;
    // Where set, the colour of a cell from its row as the grid counts rows (the rows before
    // it matter, as for the rise since the sample before); an invalid colour: the normal one.
    // Asked for every row holding data, a row being edited included.
    std::function<QColor(int row, const data::Value& shown)> rowColour = nullptr;
};

// The rows of a record set as a table, one column per GridColumn.
//
// The record set is not owned. Cells are formatted when the view asks for them; nothing
// but the row being edited is held here. At most one row is pending: the row whose cells
// were changed and not yet written, or a new row begun on the add line (the last line,
// present while adding is allowed). Its values are kept here until writePendingRow() stores
// them in the file through the record set.
class RecordsetTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit RecordsetTableModel(QObject* parent = nullptr);

    // Re-reads everything; a pending row is dropped (write it first).
    void setRecordset(data::Recordset* rs);
    data::Recordset* recordset() const { return rs_; }
    void refresh();

    // An empty list shows every record set column under its own name.
    void setColumns(std::vector<GridColumn> columns);
    int gridColumnCount() const { return static_cast<int>(columns_.size()); }
    const GridColumn& column(int col) const { return columns_.at(static_cast<size_t>(col)); }
    void setColumnVisible(int col, bool visible);

    void setAllowAddNew(bool allow);
    void setAllowUpdate(bool allow);
    bool allowAddNew() const { return allowAddNew_; }
    bool allowUpdate() const { return allowUpdate_; }

    // Rows: the record set's rows, then a begun new row, then the add line.
    int dataRowCount() const { return recordRows_ + (pendingIsNew_ ? 1 : 0); }
    bool hasAddRow() const;
    bool isAddRow(int row) const { return hasAddRow() && row == dataRowCount(); }
    int pendingRow() const { return pendingRow_; }
    bool isNewRow(int row) const { return pendingIsNew_ && row == pendingRow_; }
    bool isEditable(int row, int col) const;

    // A cell's value (a pending value when it has one), its display text and the text an
    // editor starts with.
    data::Value value(int row, int col) const;
    // The value the cell shows: the column's shownValue of it where the column has one.
    data::Value shownValue(int row, int col) const;
    QString text(int row, int col) const;
    QString editText(int row, int col) const;
    // What a cell shows, as a file takes it (see formatForExport): numbers rounded as shown
    // without thousands separators, dates as stored, Yes/No as the words shown; nothing for
    // a cell that shows nothing.
    std::optional<QString> exportText(int row, int col) const;
    data::FieldType fieldType(int col) const;
    // What the user typed, as the row will hold it: a date in the locale's short form
    // becomes ISO text, so that the file never reads it month-first by mistake.
    data::Value typedValue(int col, const QString& text) const;

    // Makes the add line a new pending row; false when there is none.
    bool beginNewRow();
    // Gives cells of the new row that nothing set yet their column defaults.
    void applyColumnDefaults();
    // Sets a value of a row, which becomes the pending row. False when another row is
    // pending or the row does not exist.
    bool setPendingValue(int row, int col, const data::Value& v);
    bool hasPendingValue(int col) const;
    // Drops the pending row's values; a begun new row disappears.
    void discardPendingRow();
    // Writes the pending row to the file. Throws data::DbError; the pending values are then
    // kept as they were.
    void writePendingRow();
    // Deletes a row of the record set from the file. Throws data::DbError.
    void deleteRow(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    void bindColumns();
    // The stored columns of a record set row (valid while the record set is unchanged).
    RowReader rowReader(int row) const;
    int fieldOf(int col) const;
    void emitRowChanged(int row);

    data::Recordset* rs_ = nullptr;
    std::vector<GridColumn> columns_;
    bool autoColumns_ = true;
    std::vector<int> fieldOf_;  // record set column of each grid column, -1 when none
    int recordRows_ = 0;        // record set rows the views know of
    bool allowAddNew_ = false;
    bool allowUpdate_ = false;

    bool changingRows_ = false;  // rows are being inserted or removed
    int pendingRow_ = -1;
    bool pendingIsNew_ = false;
    std::vector<std::optional<data::Value>> pending_;
};

}  // namespace velmora::screens
