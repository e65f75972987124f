#include "OilAlertTable.h"

#include "WarningLevel.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DateDisplay.h"
#include "data/TextKey.h"

#include <QBrush>

#include <QDir>
#include <QSet>
#include <array>

namespace velmora::due {

OilAlertTable::OilAlertTable(std::vector<oil::limits::OilAlert> alerts, QObject* parent)
    : QAbstractTableModel(parent), alerts_(std::move(alerts)) {}

void OilAlertTable::setAlerts(std::vector<oil::limits::OilAlert> alerts) {
    beginResetModel();
    alerts_ = std::move(alerts);
    endResetModel();
}

QString OilAlertTable::caption(int column) {
    static constexpr std::array<const char*, ColumnCount> captions = {"Registration", "Component",
                                                                      "Sample Date", "Findings"};
    return column >= 0 && column < ColumnCount
               ? QString::fromLatin1(captions[static_cast<size_t>(column)])
               : QString();
}

QString OilAlertTable::fileText(int row, int column) const {
    if (row < 0 || row >= rowCount())
        return {};
    const oil::limits::OilAlert& a = alerts_[static_cast<size_t>(row)];
    switch (column) {
        case Registration:
            return a.regNum;
        case Component:
            return a.component;
        case SampleDate:
            return a.date;
        case Findings:
            return a.findings;
        default:
            return {};
    }
}

QString OilAlertTable::text(int row, int column) const {
    const QString t = fileText(row, column);
    return column == SampleDate ? data::displayDateText(t) : t;
}

int OilAlertTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(alerts_.size());
}

int OilAlertTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OilAlertTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    if (role == Qt::ForegroundRole)
        return QBrush(warningColour(WarningLevel::Overdue));
    return {};
}

QVariant OilAlertTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return caption(section);
}

std::vector<oil::limits::OilAlert> readOilAlerts(const QString& dataPath) {
    const QString main =
        data::resolvePathCaseInsensitive(data::dataFileName(dataPath, data::files::kMain));
    try {
        return oil::limits::oilAlerts(*data::Database::open(main));
    } catch (const data::DbError& e) {
        throw data::DbError(e.number(), QStringLiteral("The oil samples of %1 cannot be judged: %2")
                                            .arg(QDir::toNativeSeparators(main), e.text()));
    }
}

std::vector<oil::limits::OilAlert> alertsOfAircraft(std::vector<oil::limits::OilAlert> alerts,
                                                    const std::optional<QStringList>& regNums) {
    if (!regNums)
        return alerts;
    QSet<QString> wanted;
    for (const QString& r : *regNums)
        wanted.insert(data::textKey(r));
    std::vector<oil::limits::OilAlert> out;
    for (oil::limits::OilAlert& a : alerts) {
        if (wanted.contains(data::textKey(a.regNum)))
            out.push_back(std::move(a));
    }
    return out;
}

}  // namespace velmora::due
