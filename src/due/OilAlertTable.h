#pragma once

#include "oil/limits/OilAlerts.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace velmora::due {

// The oil-alert findings that stand beside the due list, as a table: one line per component
// whose newest oil sample reaches an alert level, in red, as the Due List screen lists them.
class OilAlertTable : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { Registration, Component, SampleDate, Findings, ColumnCount };

    explicit OilAlertTable(std::vector<oil::limits::OilAlert> alerts = {},
                           QObject* parent = nullptr);

    void setAlerts(std::vector<oil::limits::OilAlert> alerts);
    const std::vector<oil::limits::OilAlert>& alerts() const { return alerts_; }
    static QString caption(int column);
    // The text shown and printed (the sample's date as every screen shows dates), and the
    // text a file is given (the date as yyyy-MM-dd).
    QString text(int row, int column) const;
    QString fileText(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<oil::limits::OilAlert> alerts_;
};

// The alerts of the main data file of a data path (its name matched without regard to
// letter case). Throws data::DbError with a message naming the file when it cannot be read.
std::vector<oil::limits::OilAlert> readOilAlerts(const QString& dataPath);

// Only the alerts of these aircraft (compared as the engine compares text); all when unset.
std::vector<oil::limits::OilAlert> alertsOfAircraft(std::vector<oil::limits::OilAlert> alerts,
                                                    const std::optional<QStringList>& regNums);

}  // namespace velmora::due
