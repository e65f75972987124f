#include "DataGrid.h"

#include "Dialogs.h"
#include "data/DbError.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <exception>

namespace velmora::screens {

namespace {

// An engine error's number as the error events hand it on (3021).
int jetCode(data::ErrorNumber number) {
    return static_cast<int>(number);
}

}  // namespace

// Edits cells in a line edit. The text is taken into the row by the grid (commitData), which
// also raises the grid's edit events; the delegate only opens the editor and reports typing.
class DataGridDelegate : public QStyledItemDelegate {
  public:
    explicit DataGridDelegate(DataGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        DataGrid* grid = grid_;
        QObject::connect(editor, &QLineEdit::textEdited, grid,
                         [grid] { grid->editorTextEdited(); });
        grid_->editor_ = editor;
        grid_->editorOpened(index, index.data(Qt::EditRole).toString());
        return editor;
    }

    // The editor starts with the cell's text. Later refreshes of the row (a new row taking
    // its defaults while the user types) must not overwrite what is being typed.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line || line->property(kStarted).toBool())
            return;
        line->setProperty(kStarted, true);
        line->setText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

  private:
    static constexpr const char* kStarted = "velmoraEditStarted";
    DataGrid* grid_;
};

DataGrid::DataGrid(QWidget* parent) : QTableView(parent), model_(new RecordsetTableModel(this)) {
    setObjectName(QStringLiteral("grdDataGrid"));
    setModel(model_);
    setItemDelegate(new DataGridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("MM")));
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int) {
        if (!sizingColumns_ && col >= 0 && col < static_cast<int>(userSized_.size()))
            userSized_[static_cast<size_t>(col)] = true;
    });
}

DataGrid::~DataGrid() = default;

void DataGrid::setRecordset(data::Recordset* rs) {
    // Widths the user gave the columns outlast the reset that re-reads the rows.
    std::vector<int> widths;
    for (int c = 0; c < model_->gridColumnCount(); ++c)
        widths.push_back(columnWidth(c));
    const int oldColumns = model_->gridColumnCount();
    {
        QScopedValueRollback<bool> quiet(quietMove_, true);
        model_->setRecordset(rs);
        if (oldColumns == model_->gridColumnCount()) {
            QScopedValueRollback<bool> sizing(sizingColumns_, true);
            for (int c = 0; c < oldColumns; ++c) {
                const int w = widths[static_cast<size_t>(c)];
                setWidthQuietly(c, w > 0 ? w : captionWidth(c));
                setColumnHidden(c, !model_->column(c).visible);
            }
        } else {
            applyColumnWidths();
        }
        fitColumnsToRows();
        if (model_->rowCount() > 0 && firstVisibleColumn() >= 0)
            setCurrentIndex(model_->index(0, firstVisibleColumn()));
    }
}

data::Recordset* DataGrid::recordset() const {
    return model_->recordset();
}

void DataGrid::refresh() {
    const int row = currentRow();
    const int col = currentColumn();
    setRecordset(model_->recordset());
    if (row >= 0 && row < model_->rowCount() && col >= 0) {
        QScopedValueRollback<bool> quiet(quietMove_, true);
        setCurrentIndex(model_->index(row, col));
    }
}

void DataGrid::setColumns(std::vector<GridColumn> columns) {
    QScopedValueRollback<bool> quiet(quietMove_, true);
    model_->setColumns(std::move(columns));
    applyColumnWidths();
    if (model_->rowCount() > 0 && firstVisibleColumn() >= 0)
        setCurrentIndex(model_->index(0, firstVisibleColumn()));
}

int DataGrid::columnCount() const {
    return model_->gridColumnCount();
}

const GridColumn& DataGrid::column(int col) const {
    return model_->column(col);
}

void DataGrid::setColumnVisible(int col, bool visible) {
    if (col < 0 || col >= model_->gridColumnCount())
        return;
    model_->setColumnVisible(col, visible);
    setColumnHidden(col, !visible);
    // A column hidden from the start has no width of its own yet.
    if (visible && columnWidth(col) == 0)
        setWidthQuietly(col, std::max(captionWidth(col), rowsWidth(col)));
}

bool DataGrid::isColumnVisible(int col) const {
    return col >= 0 && col < model_->gridColumnCount() && model_->column(col).visible;
}

void DataGrid::setAllowAddNew(bool allow) {
    model_->setAllowAddNew(allow);
}
void DataGrid::setAllowDelete(bool allow) {
    allowDelete_ = allow;
}
void DataGrid::setAllowUpdate(bool allow) {
    model_->setAllowUpdate(allow);
}
bool DataGrid::allowAddNew() const {
    return model_->allowAddNew();
}
bool DataGrid::allowUpdate() const {
    return model_->allowUpdate();
}

data::Value DataGrid::cellValue(int col) const {
    return model_->value(currentRow(), col);
}

QString DataGrid::cellText(int col) const {
    return model_->text(currentRow(), col);
}

bool DataGrid::setCellValue(int col, const data::Value& v) {
    const int row = currentRow();
    if (row < 0 || col < 0 || col >= model_->gridColumnCount())
        return false;
    if (model_->isAddRow(row) && !beginNewRow())
        return false;
    return model_->setPendingValue(row, col, v);
}

int DataGrid::currentRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void DataGrid::setCurrentRow(int row) {
    if (row < 0 || row >= model_->rowCount())
        return;
    int col = currentColumn();
    if (col < 0)
        col = firstVisibleColumn();
    if (col >= 0)
        setCurrentIndex(model_->index(row, col));
}

int DataGrid::currentColumn() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : -1;
}

void DataGrid::setCurrentColumn(int col) {
    if (col < 0 || col >= model_->gridColumnCount())
        return;
    const int row = currentRow() >= 0 ? currentRow() : 0;
    if (row < model_->rowCount())
        setCurrentIndex(model_->index(row, col));
}

int DataGrid::firstVisibleColumn() const {
    for (int c = 0; c < model_->gridColumnCount(); ++c) {
        if (model_->column(c).visible)
            return c;
    }
    return model_->gridColumnCount() > 0 ? 0 : -1;
}

int DataGrid::rowCount() const {
    return model_->dataRowCount();
}

int DataGrid::displayedRowCount() const {
    const int rows = model_->dataRowCount();
    const int top = rowAt(0);
    if (rows == 0 || top < 0)
        return 0;
    const int height = viewport()->height();
    int count = 0;
    for (int r = top; r < rows; ++r) {
        if (isRowHidden(r))
            continue;
        if (rowViewportPosition(r) + rowHeight(r) > height)
            break;
        ++count;
    }
    return count;
}

int DataGrid::displayedRowPosition(int r) const {
    if (r < 0 || r >= displayedRowCount())
        return -1;
    return rowAt(0) + r;
}

QString DataGrid::textAt(int row, int col) const {
    return model_->text(row, col);
}

data::Value DataGrid::valueAt(int row, int col) const {
    return model_->value(row, col);
}

bool DataGrid::hasPendingRow() const {
    return model_->pendingRow() >= 0;
}

int DataGrid::pendingRow() const {
    return model_->pendingRow();
}

bool DataGrid::commitPendingRow() {
    // A cell still being edited enters the row first.
    if (editor_ && editIndex_.isValid()) {
        QWidget* editor = editor_;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    if (!hasPendingRow())
        return true;
    const bool cancel = beforeUpdate_ && beforeUpdate_();
    if (cancel || !hasPendingRow())
        return !hasPendingRow();
    try {
        model_->writePendingRow();
        return true;
    } catch (const data::DbError& e) {
        reportFailure(e.code(), e.text());
    } catch (const std::exception& e) {
        reportFailure(jetCode(data::err::Internal),
                      tr("The row could not be written: %1").arg(QString::fromUtf8(e.what())));
    }
    return false;
}

void DataGrid::cancelPendingRow() {
    if (editor_ && editIndex_.isValid())
        closeEditor(editor_, QAbstractItemDelegate::NoHint);
    // Rows going away move the current cell; that move writes nothing.
    QScopedValueRollback<bool> quiet(quietMove_, true);
    model_->discardPendingRow();
}

bool DataGrid::deleteCurrentRow() {
    const int row = currentRow();
    if (row < 0 || model_->isAddRow(row))
        return false;
    if (model_->isNewRow(row)) {
        cancelPendingRow();
        return true;
    }
    if (editor_ && editIndex_.isValid())
        closeEditor(editor_, QAbstractItemDelegate::NoHint);
    // Changes of another row are saved first: the rows below the deleted one move up.
    if (model_->pendingRow() >= 0 && model_->pendingRow() != row && !commitPendingRow())
        return false;
    try {
        QScopedValueRollback<bool> quiet(quietMove_, true);
        // The deleted row's own unsaved changes go with it.
        if (model_->pendingRow() == row)
            model_->discardPendingRow();
        model_->deleteRow(row);
        return true;
    } catch (const data::DbError& e) {
        reportFailure(e.code(), e.text());
    } catch (const std::exception& e) {
        reportFailure(jetCode(data::err::Internal),
                      tr("The row could not be deleted: %1").arg(QString::fromUtf8(e.what())));
    }
    return false;
}

void DataGrid::reportFailure(int number, const QString& text) {
    if (isSignalConnected(QMetaMethod::fromSignal(&DataGrid::writeFailed))) {
        emit writeFailed(number, text);
        return;
    }
    // Nobody handles the failure: tell the user without blocking the event that caused it.
    auto* box =
        new QMessageBox(QMessageBox::Warning, window()->windowTitle(), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool DataGrid::beginNewRow() {
    if (!model_->beginNewRow())
        return false;
    newRowTouched_ = false;
    emit OnAddNew();
    model_->applyColumnDefaults();
    return true;
}

void DataGrid::editorOpened(const QModelIndex& index, const QString& startText) {
    editIndex_ = index;
    editStartText_ = startText;
}

void DataGrid::editorTextEdited() {
    if (editIndex_.isValid() && model_->isAddRow(editIndex_.row()))
        beginNewRow();
    emit Change();
}

void DataGrid::commitData(QWidget* editor) {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || !editIndex_.isValid() || editor != editor_)
        return;
    const QString text = line->text();
    if (text == editStartText_)
        return;
    const int row = editIndex_.row();
    const int col = editIndex_.column();
    if (model_->isAddRow(row) && !beginNewRow())
        return;
    if (!model_->setPendingValue(row, col, model_->typedValue(col, text))) {
        reportFailure(jetCode(data::err::Internal),
                      tr("The value \"%1\" was not taken: another row has changes that are not "
                         "saved yet. Save or cancel (Esc) them first.")
                          .arg(text));
        return;
    }
    editStartText_ = text;
    if (model_->isNewRow(row))
        newRowTouched_ = true;
    // The edit's events follow once the editor has gone (closeEditor): a handler may ask a
    // question, and a box taking the focus from an open editor would close it a second time.
    editedColumn_ = col;
}

void DataGrid::raiseEditEvents() {
    const int col = editedColumn_;
    editedColumn_ = -1;
    if (col < 0)
        return;
    emit AfterColEdit(col);
    emit AfterColUpdate(col);
}

void DataGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const QPersistentModelIndex edited = editIndex_;
    const bool ours = editor != nullptr && editor == editor_;
    if (ours) {
        editIndex_ = QPersistentModelIndex();
        editor_ = nullptr;
    }
    // Tab and Backtab move on only after the edit's events: a handler may send the current
    // cell back to the cell edited (a rejected entry), and the move must see that.
    const bool moves = hint == QAbstractItemDelegate::EditNextItem ||
                       hint == QAbstractItemDelegate::EditPreviousItem;
    if (ours || !editor)
        QTableView::closeEditor(editor, moves ? QAbstractItemDelegate::NoHint : hint);
    raiseEditEvents();
    // Escape on a new row nobody typed into yet takes the row back.
    if (hint == QAbstractItemDelegate::RevertModelCache && edited.isValid() &&
        model_->isNewRow(edited.row()) && !newRowTouched_)
        cancelPendingRow();
    if (!moves || !ours)
        return;
    const QModelIndex next = moveCursor(
        hint == QAbstractItemDelegate::EditNextItem ? MoveNext : MovePrevious, Qt::NoModifier);
    if (!next.isValid())
        return;
    const QPersistentModelIndex target(next);
    setCurrentIndex(target);
    if (currentIndex() == target && target.isValid() && (target.flags() & Qt::ItemIsEditable))
        edit(target);
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The base class first commits an editor still open on the cell left.
    QTableView::currentChanged(current, previous);
    raiseEditEvents();
    if (quietMove_)
        return;
    const int lastRow = previous.isValid() ? previous.row() : -1;
    const int lastCol = previous.isValid() ? previous.column() : -1;
    const int pending = model_->pendingRow();
    if (pending >= 0 && (!current.isValid() || current.row() != pending) && lastRow == pending) {
        if (!commitPendingRow() && model_->pendingRow() >= 0) {
            // The row keeps its values and stays current until it is written or cancelled.
            QScopedValueRollback<bool> quiet(quietMove_, true);
            setCurrentIndex(model_->index(model_->pendingRow(), std::max(lastCol, 0)));
            return;
        }
    }
    if (inRowColChange_)
        return;
    QScopedValueRollback<bool> nested(inRowColChange_, true);
    emit RowColChange(lastRow, lastCol);
}

void DataGrid::keyPressEvent(QKeyEvent* event) {
    if (state() != QAbstractItemView::EditingState) {
        if (event->key() == Qt::Key_Delete) {
            const int row = currentRow();
            if (allowDelete_ && row >= 0 && !model_->isAddRow(row) &&
                msgBox(this, QStringLiteral("Delete this record?"), MsgButtons::YesNo,
                       MsgIcon::Question, QString(), MsgAnswer::No) == MsgAnswer::Yes)
                deleteCurrentRow();
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Escape && hasPendingRow()) {
            cancelPendingRow();
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = currentRow();
    const int col = currentColumn();
    const data::Value before = model_->value(row, col);
    const bool wasPending = model_->pendingRow() == row && model_->hasPendingValue(col);
    emit DblClick();
    // A handler that changed the cell (a Yes/No toggle) has done what the double click
    // meant; an editor opened on top would only hide the new value.
    const bool changed =
        !(model_->value(row, col) == before) ||
        (model_->pendingRow() == row && model_->hasPendingValue(col) != wasPending);
    if (changed || currentRow() != row || currentColumn() != col) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

}  // namespace velmora::screens
