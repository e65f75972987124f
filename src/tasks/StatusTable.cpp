#include "StatusTable.h"

#include "TaskText.h"

#include <QBrush>

namespace velmora::tasks {

StatusTable::StatusTable(QObject* parent) : QAbstractTableModel(parent) {}

void StatusTable::setLines(std::shared_ptr<const ComplianceStatus> status,
                           std::optional<std::vector<int>> rows) {
    beginResetModel();
    status_ = std::move(status);
    rows_.clear();
    if (status_) {
        if (rows) {
            rows_ = std::move(*rows);
        } else {
            rows_.resize(status_->lines.size());
            for (size_t i = 0; i < rows_.size(); ++i)
                rows_[i] = static_cast<int>(i);
        }
    }
    endResetModel();
}

const StatusLine* StatusTable::lineAt(int row) const {
    if (!status_ || row < 0 || row >= static_cast<int>(rows_.size()))
        return nullptr;
    return &status_->lines[static_cast<size_t>(rows_[static_cast<size_t>(row)])];
}

QString StatusTable::caption(int column) {
    static const char* const captions[ColumnCount] = {
        "Registration",         "Kind",      "Number",     "Revision",
        "Revision Date",        "Title",     "Applies To", "Status",
        "Method of Compliance", "Last Done", "Recurring",  "Next Due Time",
        "Next Due Date",        "Remaining", "Expected",   "Level"};
    return column >= 0 && column < ColumnCount ? QString::fromLatin1(captions[column]) : QString();
}

QString lineStatusText(const StatusLine& line) {
    QString text = statusText(line.compliance, line.next.schedule.status);
    if (!line.isRecorded())
        text += QStringLiteral(" (not recorded)");
    return text;
}

QString StatusTable::text(int row, int column) const {
    const StatusLine* l = lineAt(row);
    if (!l)
        return {};
    const Task& t = l->task;
    const Schedule& s = l->next.schedule;
    const JudgedFigure* first = l->next.controllingFigure();
    switch (column) {
        case Registration:
            return status_->aircraftOf(*l).regNum;
        case Kind:
            return kindCode(t.kind);
        case Number:
            return t.number.trimmed();
        case Revision:
            return t.revision.trimmed();
        case RevisionDate:
            return t.revisionDate.toString(Qt::ISODate);
        case Title:
            return t.title.trimmed();
        case AppliesTo:
            return targetText(l->compliance);
        case Status:
            return lineStatusText(*l);
        case Method:
            return methodText(l->compliance);
        case LastDone:
            return lastDoneText(s, t.meter);
        case Recurring:
            return t.isRecurring() ? QStringLiteral("Every ") + figuresText(t.interval, t.meter)
                                   : QStringLiteral("One-time");
        case NextDueTime:
            return nextDueTimeText(s, t.meter);
        case NextDueDate:
            return nextDueDateText(s);
        case Remaining:
            return first ? remainingText(*first, t.meter) : QString();
        case Expected:
            if (!s.problems.isEmpty())
                return s.problems.join(QStringLiteral("; "));
            return first ? expectedText(*first) : QString();
        case Level:
            return due::warningText(l->next.level);
        default:
            return {};
    }
}

int StatusTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int StatusTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StatusTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
        case Qt::DisplayRole:
            return text(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(
                (index.column() == Remaining ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
        case Qt::ForegroundRole: {
            const StatusLine* l = lineAt(index.row());
            return l ? due::warningForeground(l->next.level) : QVariant();
        }
        default:
            return {};
    }
}

QVariant StatusTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return caption(section);
}

}  // namespace velmora::tasks
