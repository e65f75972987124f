#pragma once

#include "RecordsetTableModel.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>

#include <functional>
#include <vector>

namespace velmora::screens {

class RecordsetTableModel;

// The data grid of the screens (grdDataGrid): the rows of a record set in columns addressed
// by index, edited in place.
//
// Editing: a double click, F2 or typing opens a cell. Each change of the text raises
// Change(); when the edit ends with a changed text the value enters the row, and once the
// editor has closed AfterColEdit, then AfterColUpdate follow (before Tab moves on). The row's
// values are written to the file when the current row moves to another row, or when
// commitPendingRow() is called (screens call it before they close or refresh). The BeforeUpdate
// handler may hold the write back; a write the engine refuses is reported by writeFailed. In both
// cases the row stays pending with every typed value, and the current row returns to it. Escape
// outside an editor drops the pending changes of the row.
//
// With adding allowed the last line is the add line: typing into it begins a new row
// (OnAddNew, where screens set row defaults, then the column defaults for cells still
// unset). Delete removes the current row from the file when deleting is allowed and the user
// confirms "Delete this record?" (No is the default).
class DataGrid : public QTableView {
    Q_OBJECT

  public:
    explicit DataGrid(QWidget* parent = nullptr);
    ~DataGrid() override;

    // Asked before the pending row is written: true holds the row back, unwritten.
    using BeforeUpdateHandler = std::function<bool()>;
    void setBeforeUpdateHandler(BeforeUpdateHandler handler) { beforeUpdate_ = std::move(handler); }

    // Shows the rows of a record set (not owned), or nothing. Re-reads everything; a row
    // not yet written is dropped, so screens call commitPendingRow() first.
    void setRecordset(data::Recordset* rs);
    data::Recordset* recordset() const;
    // Re-reads the rows of the same record set (after it was changed or requeried).
    void refresh();

    void setColumns(std::vector<GridColumn> columns);
    int columnCount() const;
    const GridColumn& column(int col) const;
    void setColumnVisible(int col, bool visible);
    bool isColumnVisible(int col) const;
    // Headers two text lines high, captions wrapped at word boundaries.
    void setTwoLineHeaders(bool twoLines);
    bool twoLineHeaders() const { return twoLineHeaders_; }

    // Column widths. A column is as wide as its caption and, while the user has not sized
    // it, grows to the texts of the rows shown (up to a limit). Widths the user gave by
    // dragging, or that were handed back with setColumnWidths, are kept: columnWidths()
    // gives those, and 0 for a column the grid sizes itself or that is hidden.
    std::vector<int> columnWidths() const;
    void setColumnWidths(const std::vector<int>& widths);
    // Whether a cell shows only part of its text; pointing at such a cell shows the whole
    // text as its tool tip.
    bool isTextCut(int row, int col) const;

    void setAllowAddNew(bool allow);
    void setAllowDelete(bool allow);
    void setAllowUpdate(bool allow);
    bool allowAddNew() const;
    bool allowDelete() const { return allowDelete_; }
    bool allowUpdate() const;

    // Cells of the current row, pending values included. Setting a cell makes the row
    // pending (on the add line it begins a new row); false when there is no such cell or
    // another row still holds unsaved changes.
    data::Value cellValue(int col) const;
    QString cellText(int col) const;
    bool setCellValue(int col, const data::Value& v);
    // The same as setCellValue; the name screens use while they fill a new row in OnAddNew.
    bool setPendingValue(int col, const data::Value& v) { return setCellValue(col, v); }

    // Current cell; -1 when there is none. Setting the row keeps the column.
    int currentRow() const;
    void setCurrentRow(int row);
    int currentColumn() const;
    void setCurrentColumn(int col);

    // Rows holding data: the record set's rows plus a begun new row (not the add line).
    int rowCount() const;
    // Rows wholly visible in the viewport, and the row shown at the r-th of those places
    // (-1 when none).
    int displayedRowCount() const;
    int displayedRowPosition(int r) const;
    // What a column displays in a row, and the value under it.
    QString textAt(int row, int col) const;
    data::Value valueAt(int row, int col) const;

    // Writes the pending row; true when nothing is pending afterwards.
    bool commitPendingRow();
    // Drops the pending row's changes (a begun new row disappears).
    void cancelPendingRow();
    bool hasPendingRow() const;
    // The row whose changes are not written yet; -1 when none.
    int pendingRow() const;
    // Deletes the current row from the file (regardless of allowDelete); false on failure.
    bool deleteCurrentRow();

  signals:
    void Change();
    void AfterColEdit(int col);
    void AfterColUpdate(int col);
    void OnAddNew();
    void DblClick();
    void RowColChange(int lastRow, int lastCol);
    // The engine refused a write or delete: its error number and text. The grid shows the
    // text itself when nothing is connected here.
    void writeFailed(int number, const QString& text);

  protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool viewportEvent(QEvent* event) override;

  private:
    friend class DataGridDelegate;
    void editorOpened(const QModelIndex& index, const QString& startText);
    void editorTextEdited();
    // AfterColEdit and AfterColUpdate of the edit that ended, once.
    void raiseEditEvents();
    bool beginNewRow();
    void reportFailure(int number, const QString& text);
    void applyColumnWidths();
    // Widens the columns the user has not sized to what their rows show.
    void fitColumnsToRows();
    void setWidthQuietly(int col, int width);
    // The width that shows a column's caption in full.
    int captionWidth(int col) const;
    // The width that shows the column's texts in the first rows, within a limit.
    int rowsWidth(int col) const;
    int firstVisibleColumn() const;

    RecordsetTableModel* model_;
    BeforeUpdateHandler beforeUpdate_;
    bool allowDelete_ = false;
    bool twoLineHeaders_ = false;
    bool quietMove_ = false;           // a move the grid makes itself raises no events
    bool newRowTouched_ = false;       // the user entered a value into the begun new row
    bool inRowColChange_ = false;      // a handler moving the cell raises no nested event
    bool sizingColumns_ = false;       // widths set by the grid are not the user's
    std::vector<bool> userSized_;      // per column: the user (or a restore) chose its width
    QPointer<QWidget> editor_;         // the open cell editor
    QPersistentModelIndex editIndex_;  // the cell it edits
    QString editStartText_;
    int editedColumn_ = -1;  // an edit ended in this column; its events are still to come
};

}  // namespace velmora::screens
