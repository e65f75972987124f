#include "RecordsetTableModel.h"

#include "DisplayFormat.h"

#include <QBrush>
#include <QDate>
#include <QLocale>

namespace velmora::screens {

namespace {

using Kind = data::FieldType::Kind;

// Marks the time between announcing a change of rows and finishing it.
struct RowChange {
    explicit RowChange(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~RowChange() { flag_ = was_; }
    RowChange(const RowChange&) = delete;
    RowChange& operator=(const RowChange&) = delete;
    bool& flag_;
    bool was_;
};

bool isYesNoFormat(const QString& format) {
    return format.trimmed().compare(u"Yes/No", Qt::CaseInsensitive) == 0;
}

// The locale's short date with the year written in full: what an editor of a date cell
// starts with, so that editing never has to guess a century.
QString fullYearShortFormat() {
    QString f = QLocale().dateFormat(QLocale::ShortFormat);
    if (!f.contains(QLatin1String("yyyy")))
        f.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return f;
}

}  // namespace

RecordsetTableModel::RecordsetTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordsetTableModel::setRecordset(data::Recordset* rs) {
    beginResetModel();
    rs_ = rs;
    pendingRow_ = -1;
    pendingIsNew_ = false;
    bindColumns();
    recordRows_ = rs_ ? rs_->recordCount() : 0;
    endResetModel();
}

void RecordsetTableModel::refresh() {
    setRecordset(rs_);
}

void RecordsetTableModel::setColumns(std::vector<GridColumn> columns) {
    beginResetModel();
    autoColumns_ = columns.empty();
    columns_ = std::move(columns);
    pendingRow_ = -1;
    pendingIsNew_ = false;
    bindColumns();
    recordRows_ = rs_ ? rs_->recordCount() : 0;
    endResetModel();
}

void RecordsetTableModel::bindColumns() {
    if (autoColumns_) {
        columns_.clear();
        for (int i = 0; rs_ && i < rs_->fieldCount(); ++i)
            columns_.push_back(GridColumn{rs_->field(i).name, rs_->field(i).name, {}, {}, true});
    }
    fieldOf_.assign(columns_.size(), -1);
    for (size_t c = 0; c < columns_.size(); ++c) {
        if (rs_ && !columns_[c].field.isEmpty())
            fieldOf_[c] = rs_->fieldIndex(columns_[c].field);
    }
    pending_.assign(columns_.size(), std::nullopt);
}

void RecordsetTableModel::setColumnVisible(int col, bool visible) {
    if (col >= 0 && col < gridColumnCount())
        columns_[static_cast<size_t>(col)].visible = visible;
}

void RecordsetTableModel::setAllowAddNew(bool allow) {
    if (allow == allowAddNew_)
        return;
    const bool hadAddRow = hasAddRow();
    if (!allow && pendingIsNew_)
        discardPendingRow();
    const int line = dataRowCount();
    RowChange change(changingRows_);
    if (hadAddRow) {
        beginRemoveRows({}, line, line);
        allowAddNew_ = allow;
        endRemoveRows();
        return;
    }
    allowAddNew_ = allow;
    if (hasAddRow()) {
        beginInsertRows({}, line, line);
        endInsertRows();
    }
}

void RecordsetTableModel::setAllowUpdate(bool allow) {
    allowUpdate_ = allow;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {});
}

bool RecordsetTableModel::hasAddRow() const {
    return allowAddNew_ && rs_ && rs_->isUpdatable();
}

int RecordsetTableModel::fieldOf(int col) const {
    if (col < 0 || col >= static_cast<int>(fieldOf_.size()))
        return -1;
    return fieldOf_[static_cast<size_t>(col)];
}

data::FieldType RecordsetTableModel::fieldType(int col) const {
    const int f = fieldOf(col);
    return f >= 0 ? rs_->field(f).type : data::FieldType{};
}

bool RecordsetTableModel::isEditable(int row, int col) const {
    const int f = fieldOf(col);
    if (f < 0 || !rs_->isUpdatable() || !rs_->field(f).writable)
        return false;
    if (isAddRow(row) || isNewRow(row))
        return allowAddNew_;
    return row >= 0 && row < recordRows_ && allowUpdate_;
}

data::Value RecordsetTableModel::value(int row, int col) const {
    if (col < 0 || col >= gridColumnCount() || row < 0)
        return {};
    if (row == pendingRow_ && pending_[static_cast<size_t>(col)])
        return *pending_[static_cast<size_t>(col)];
    const int f = fieldOf(col);
    if (f < 0 || row >= recordRows_ || row >= rs_->recordCount())
        return {};
    return rs_->rows()[static_cast<size_t>(row)].values[static_cast<size_t>(f)];
}

data::Value RecordsetTableModel::shownValue(int row, int col) const {
    const data::Value v = value(row, col);
    if (col < 0 || col >= gridColumnCount() || !column(col).shownValue || row < 0 ||
        row >= recordRows_ || row >= rs_->recordCount())
        return v;
    return column(col).shownValue(v, rowReader(row));
}

RowReader RecordsetTableModel::rowReader(int row) const {
    const auto& values = rs_->rows()[static_cast<size_t>(row)].values;
    return [this, &values](const QString& name) {
        const int f = rs_->fieldIndex(name);
        return f < 0 ? data::Value() : values[static_cast<size_t>(f)];
    };
}

QString RecordsetTableModel::text(int row, int col) const {
    if (col < 0 || col >= gridColumnCount())
        return {};
    return formatForDisplay(shownValue(row, col), column(col).format, fieldType(col));
}

std::optional<QString> RecordsetTableModel::exportText(int row, int col) const {
    if (col < 0 || col >= gridColumnCount())
        return std::nullopt;
    return formatForExport(shownValue(row, col), column(col).format, fieldType(col));
}

QString RecordsetTableModel::editText(int row, int col) const {
    const data::Value v = value(row, col);
    if (v.isNull())
        return {};
    if (v.type() == data::Value::Type::Text) {
        // A stored date is edited in the locale's form; typed text stays as typed.
        if (fieldType(col).kind == Kind::Date) {
            if (const auto d = isoDate(v.toString()))
                return QLocale().toString(*d, fullYearShortFormat());
        }
        return v.toString();
    }
    if (isYesNoFormat(column(col).format))
        return v.toDouble() != 0.0 ? QStringLiteral("Yes") : QStringLiteral("No");
    // Numbers are edited plain: "1000", not "$1,000.00", so that they read back as numbers.
    return v.toString();
}

data::Value RecordsetTableModel::typedValue(int col, const QString& text) const {
    if (fieldType(col).kind != Kind::Date || text.trimmed().isEmpty() || isoDate(text.trimmed()))
        return data::Value(text);
    // The engine reads dates it is given as text month first; a date typed in the locale's
    // order (day first in many) is turned into ISO text here, before it can be misread.
    const QLocale loc;
    const QString t = text.trimmed();
    auto lenient = [](QString f) {
        if (!f.contains(QLatin1String("MMM")))
            f.replace(QLatin1String("MM"), QLatin1String("M"));
        if (!f.contains(QLatin1String("ddd")))
            f.replace(QLatin1String("dd"), QLatin1String("d"));
        return f;
    };
    const QString full = fullYearShortFormat();
    for (const QString& f : {full, lenient(full)}) {
        const QDate d = loc.toDate(t, f);
        if (d.isValid())
            return data::Value(d.toString(Qt::ISODate));
    }
    const QString shortFormat = loc.dateFormat(QLocale::ShortFormat);
    if (!shortFormat.contains(QLatin1String("yyyy"))) {
        for (const QString& f : {shortFormat, lenient(shortFormat)}) {
            const QDate d = loc.toDate(t, f);
            if (d.isValid()) {
                // A two-digit year: 00 to 29 are this century, 30 to 99 the last one.
                const int yy = d.year() % 100;
                const QDate fixed(yy < 30 ? 2000 + yy : 1900 + yy, d.month(), d.day());
                return data::Value(fixed.toString(Qt::ISODate));
            }
        }
    }
    return data::Value(text);
}

bool RecordsetTableModel::beginNewRow() {
    if (!hasAddRow() || pendingIsNew_ || pendingRow_ >= 0)
        return false;
    const int row = dataRowCount();
    pendingIsNew_ = true;
    pendingRow_ = row;
    pending_.assign(columns_.size(), std::nullopt);
    // The begun row takes the add line's place; a fresh add line follows it.
    RowChange change(changingRows_);
    beginInsertRows({}, row + 1, row + 1);
    endInsertRows();
    emitRowChanged(row);
    return true;
}

void RecordsetTableModel::applyColumnDefaults() {
    if (!pendingIsNew_)
        return;
    for (size_t c = 0; c < columns_.size(); ++c) {
        if (!pending_[c] && !columns_[c].defaultValue.isNull() && fieldOf_[c] >= 0)
            pending_[c] = columns_[c].defaultValue;
    }
    emitRowChanged(pendingRow_);
}

bool RecordsetTableModel::setPendingValue(int row, int col, const data::Value& v) {
    if (col < 0 || col >= gridColumnCount() || row < 0)
        return false;
    if (pendingRow_ >= 0 && pendingRow_ != row)
        return false;
    if (pendingRow_ < 0) {
        if (row >= recordRows_)
            return false;
        pendingRow_ = row;
        pending_.assign(columns_.size(), std::nullopt);
    }
    pending_[static_cast<size_t>(col)] = v;
    emitRowChanged(row);
    return true;
}

bool RecordsetTableModel::hasPendingValue(int col) const {
    return pendingRow_ >= 0 && col >= 0 && col < gridColumnCount() &&
           pending_[static_cast<size_t>(col)].has_value();
}

void RecordsetTableModel::discardPendingRow() {
    if (pendingRow_ < 0)
        return;
    const int row = pendingRow_;
    if (pendingIsNew_) {
        RowChange change(changingRows_);
        beginRemoveRows({}, row, row);
        pendingRow_ = -1;
        pendingIsNew_ = false;
        pending_.assign(columns_.size(), std::nullopt);
        endRemoveRows();
        return;
    }
    pendingRow_ = -1;
    pending_.assign(columns_.size(), std::nullopt);
    emitRowChanged(row);
}

void RecordsetTableModel::writePendingRow() {
    if (pendingRow_ < 0 || !rs_)
        return;
    if (changingRows_) {
        // Views may move their current row while rows come and go; nothing is written then.
        throw data::DbError(data::err::Internal,
                            tr("The row was not saved because the list was changing; it "
                               "keeps its values."));
    }
    const int row = pendingRow_;
    const bool isNew = pendingIsNew_;
    if (isNew) {
        rs_->addNew();
    } else {
        rs_->setAbsolutePosition(row);
        rs_->edit();
    }
    try {
        for (size_t c = 0; c < columns_.size(); ++c) {
            if (pending_[c] && fieldOf_[c] >= 0)
                rs_->setValue(fieldOf_[c], *pending_[c]);
        }
        rs_->update();
    } catch (...) {
        rs_->cancelUpdate();
        throw;
    }
    pendingRow_ = -1;
    pendingIsNew_ = false;
    pending_.assign(columns_.size(), std::nullopt);
    if (isNew)
        ++recordRows_;
    if (recordRows_ != rs_->recordCount()) {
        // Rows were added to the record set behind the grid's back: show them all.
        refresh();
        return;
    }
    emitRowChanged(row);
}

void RecordsetTableModel::deleteRow(int row) {
    if (!rs_ || row < 0 || row >= recordRows_)
        return;
    rs_->setAbsolutePosition(row);
    rs_->deleteCurrent();
    RowChange change(changingRows_);
    beginRemoveRows({}, row, row);
    if (pendingRow_ == row) {
        pendingRow_ = -1;
        pending_.assign(columns_.size(), std::nullopt);
    } else if (pendingRow_ > row) {
        --pendingRow_;
    }
    --recordRows_;
    endRemoveRows();
}

void RecordsetTableModel::emitRowChanged(int row) {
    if (row >= 0 && row < rowCount() && columnCount() > 0) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1), {});
        emit headerDataChanged(Qt::Vertical, row, row);
    }
}

int RecordsetTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return dataRowCount() + (hasAddRow() ? 1 : 0);
}

int RecordsetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : gridColumnCount();
}

QVariant RecordsetTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int row = index.row();
    const int col = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return text(row, col);
        case Qt::EditRole:
            return editText(row, col);
        case Qt::ForegroundRole: {
            // What has run out stands out; a Yes (stored as -1) is no negative number.
            const GridColumn& c = column(col);
            if (isYesNoFormat(c.format))
                return {};
            const data::Value v = shownValue(row, col);
            if (c.rowColour && row >= 0 && row < dataRowCount()) {
                const QColor colour = c.rowColour(row, v);
                return colour.isValid() ? QVariant(QBrush(colour)) : QVariant();
            }
            if (c.colour && row >= 0 && row < recordRows_ && row < rs_->recordCount()) {
                const QColor colour = c.colour(v, rowReader(row));
                return colour.isValid() ? QVariant(QBrush(colour)) : QVariant();
            }
            if (isOverdue(v) || (c.dueDate && isPastDue(v, QDate::currentDate())))
                return QBrush(Qt::red);
            return {};
        }
        case Qt::TextAlignmentRole: {
            const data::FieldType type = fieldType(col);
            const bool number =
                type.holdsNumbers() || (type.kind == Kind::Variant && value(row, col).isNumber());
            if (number && !isYesNoFormat(column(col).format))
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        }
        default:
            return {};
    }
}

QVariant RecordsetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < gridColumnCount() ? column(section).caption : QString();
    // The record selector: "*" marks the add line, a pencil the row with unsaved changes.
    if (isAddRow(section))
        return QStringLiteral("*");
    if (section == pendingRow_)
        return QStringLiteral("\u270E");
    return QString();
}

Qt::ItemFlags RecordsetTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isEditable(index.row(), index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

}  // namespace velmora::screens
