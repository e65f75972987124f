#include "DueListTable.h"

#include "data/DateDisplay.h"
#include "data/JetFormat.h"
#include "data/Value.h"

#include <QBrush>

#include <QFont>
#include <array>

namespace velmora::due {

namespace {

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Each column's caption, and whether it holds numbers (shown right-aligned), in the order
// of the columns.
struct ColumnInfo {
    const char* caption;
    bool number;
};

constexpr std::array<ColumnInfo, DueListTable::ColumnCount> kColumns = {{
    {"Registration", false},
    {"Item #", true},
    {"Component Name", false},
    {"Part Number", false},
    {"Serial #", false},
    {"Type", false},
    {"Meter", true},
    {"Service Life", true},
    {"Remaining", true},
    {"Unit", false},
    {"Due Date", false},
    {"Days", true},
    {"Status", false},
    {"Controls", false},
}};

const ColumnInfo* columnInfo(int column) {
    return column >= 0 && column < DueListTable::ColumnCount
               ? &kColumns[static_cast<size_t>(column)]
               : nullptr;
}

bool isNumberColumn(int column) {
    const ColumnInfo* c = columnInfo(column);
    return c && c->number;
}

}  // namespace

QString remainingText(const DueEntry& e) {
    const auto b = e.basisKind();
    if (!b || !e.remaining)
        return {};
    const bool tenths = isTimeBasis(*b) || *b == Basis::MO;
    return data::formatNumberPicture(*e.remaining,
                                     tenths ? QStringLiteral("0.0") : QStringLiteral("0"));
}

QString dueDateText(const DueEntry& e) {
    switch (e.projection) {
        case Projection::Dated:
            return data::displayDate(e.dueDate());
        case Projection::NoUseRecorded:
            return QStringLiteral("no use recorded");
        case Projection::BeyondReach:
            return e.dueDay < 0 ? QStringLiteral("over 100 years ago")
                                : QStringLiteral("over 100 years");
        case Projection::NoFigure:
            return QStringLiteral("no remaining figure");
    }
    return {};
}

QString dueDateFileText(const DueEntry& e) {
    return e.projection == Projection::Dated ? e.dueDate().toString(Qt::ISODate) : dueDateText(e);
}

DueListTable::DueListTable(QObject* parent) : QAbstractTableModel(parent) {}

void DueListTable::setRows(std::shared_ptr<const DueList> list, std::vector<int> rows) {
    beginResetModel();
    list_ = std::move(list);
    rows_ = list_ ? std::move(rows) : std::vector<int>();
    endResetModel();
}

const DueEntry* DueListTable::entryAt(int row) const {
    if (!list_ || row < 0 || row >= static_cast<int>(rows_.size()))
        return nullptr;
    return &list_->entries[static_cast<size_t>(rows_[static_cast<size_t>(row)])];
}

QString DueListTable::caption(int column) {
    const ColumnInfo* c = columnInfo(column);
    return c ? QString::fromLatin1(c->caption) : QString();
}

QString DueListTable::text(int row, int column) const {
    const DueEntry* e = entryAt(row);
    if (!e)
        return {};
    switch (column) {
        case Registration:
            return list_->regNum(*e);
        case Item:
            return e->hasItemNumber ? QString::number(e->itemNumber) : QString();
        case Component:
            return fromUtf8(e->description);
        case PartNumber:
            return fromUtf8(e->partNumber);
        case SerialNumber:
            return fromUtf8(e->serialNumber);
        case Type:
            return fromUtf8(e->lifeBasis);
        case Meter:
            return e->hasMeter ? QString::number(e->meter) : QString();
        case ServiceLife:
            return e->life ? data::formatNumber(*e->life) : QString();
        case Remaining:
            return remainingText(*e);
        case Unit:
            return e->basisKind() ? basisUnit(*e->basisKind()) : QString();
        case DueDate:
            return dueDateText(*e);
        case Days: {
            const auto days = e->daysToDue(list_->today);
            return days ? QString::number(*days) : QString();
        }
        case Status:
            return warningText(e->level);
        case Controls:
            if (e->limitsOfComponent < 2)
                return {};
            return e->controls ? QStringLiteral("Yes") : QStringLiteral("No");
        default:
            return {};
    }
}

QString DueListTable::fileText(int row, int column) const {
    if (column == DueDate) {
        const DueEntry* e = entryAt(row);
        return e ? dueDateFileText(*e) : QString();
    }
    return text(row, column);
}

int DueListTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DueListTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DueListTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
        case Qt::DisplayRole:
            return text(index.row(), index.column());
        case Qt::ForegroundRole: {
            const DueEntry* e = entryAt(index.row());
            return e ? warningForeground(e->level) : QVariant();
        }
        case Qt::FontRole: {
            // The limit that decides a component's date stands out from its other limits.
            const DueEntry* e = entryAt(index.row());
            if (e && index.column() == Controls && e->limitsOfComponent > 1 && e->controls) {
                QFont f;
                f.setBold(true);
                return f;
            }
            return {};
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                Qt::Alignment((isNumberColumn(index.column()) ? Qt::AlignRight : Qt::AlignLeft) |
                              Qt::AlignVCenter));
        default:
            return {};
    }
}

QVariant DueListTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return caption(section);
}

}  // namespace velmora::due
