#include "RegisterTable.h"

#include "TaskText.h"

namespace velmora::tasks {

RegisterTable::RegisterTable(QObject* parent) : QAbstractTableModel(parent) {}

void RegisterTable::setTasks(std::vector<Task> tasks) {
    beginResetModel();
    tasks_ = std::move(tasks);
    endResetModel();
}

const Task* RegisterTable::taskAt(int row) const {
    if (row < 0 || row >= static_cast<int>(tasks_.size()))
        return nullptr;
    return &tasks_[static_cast<size_t>(row)];
}

QString RegisterTable::caption(int column) {
    static const char* const captions[ColumnCount] = {
        "Kind",      "Number",     "Revision", "Revision Date", "Effective Date", "Title",
        "Authority", "Applies To", "Interval", "Threshold",     "Tolerance",      "Notes"};
    return column >= 0 && column < ColumnCount ? QString::fromLatin1(captions[column]) : QString();
}

QString RegisterTable::text(int row, int column) const {
    const Task* t = taskAt(row);
    if (!t)
        return {};
    switch (column) {
        case Kind:
            return kindCode(t->kind);
        case Number:
            return t->number.trimmed();
        case Revision:
            return t->revision.trimmed();
        case RevisionDate:
            return t->revisionDate.toString(Qt::ISODate);
        case EffectiveDate:
            return t->effectiveDate.toString(Qt::ISODate);
        case Title:
            return t->title.trimmed();
        case Authority:
            return t->authority.trimmed();
        case AppliesTo:
            return applicabilityText(*t);
        case Interval:
            return t->isRecurring() ? figuresText(t->interval, t->meter)
                                    : QStringLiteral("One-time");
        case Threshold: {
            const QString f = figuresText(t->threshold, t->meter);
            if (f.isEmpty())
                return {};
            return f + (t->thresholdFrom == ThresholdFrom::New
                            ? QStringLiteral(" from new")
                            : QStringLiteral(" from the effective date"));
        }
        case Tolerance:
            return figuresText(t->tolerance, t->meter);
        case Notes:
            return t->notes.trimmed();
        default:
            return {};
    }
}

int RegisterTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(tasks_.size());
}

int RegisterTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RegisterTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return text(index.row(), index.column());
}

QVariant RegisterTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return caption(section);
}

}  // namespace velmora::tasks
