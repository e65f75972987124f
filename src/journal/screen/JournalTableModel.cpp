#include "JournalTableModel.h"

#include "journal/JournalWords.h"

namespace velmora::journal {

QString shownValue(const data::Value& v) {
    return v.isNull() ? QStringLiteral("(Null)") : v.toString();
}

void JournalTableModel::setLines(std::vector<JournalLine> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}

int JournalTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int JournalTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count;
}

QVariant JournalTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const JournalLine& l = lines_[static_cast<size_t>(index.row())];
    if (role == Qt::ToolTipRole && index.column() == Change)
        return changeWords(l);
    if (role == Qt::ToolTipRole && (index.column() == Old || index.column() == New))
        return shownValue(index.column() == Old ? l.oldValue : l.newValue);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
        case When:
            return l.changedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        case User:
            return l.userName;
        case Host:
            return l.hostName;
        case Screen:
            return screenCaption(l.screen);
        case What:
            return subjectWords(l);
        case Change:
            return changeWords(l);
        case Seq:
            return QString::number(l.seq);
        case Program:
            return l.program;
        case ScreenName:
            return l.screen;
        case Table:
            return l.tableName;
        case RegNum:
            return l.regNum;
        case Item:
            return l.itemNumber;
        case ColumnName:
            return l.columnName;
        case Old:
            return shownValue(l.oldValue);
        case New:
            return shownValue(l.newValue);
        case Entry:
            return l.entry > 0 ? QString::number(l.entry) : QString();
        default:
            return {};
    }
}

QVariant JournalTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const captions[Count] = {
        "Changed (UTC)", "User",     "Host",       "Screen",    "What",   "Change",
        "Seq",           "Program",  "ScreenName", "TableName", "RegNum", "ItemNumber",
        "ColumnName",    "OldValue", "NewValue",   "Entry"};
    return section >= 0 && section < Count ? QString::fromLatin1(captions[section]) : QString();
}

}  // namespace velmora::journal
