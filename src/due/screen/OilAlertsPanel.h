#pragma once

#include "oil/limits/OilAlerts.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QListWidget;

namespace velmora::due {

// Under the due list: the components whose newest oil sample reaches an alert level, one
// line each with the sample's date and findings, in red. Hidden while there are none. A
// double click opens the aircraft.
class OilAlertsPanel : public QWidget {
    Q_OBJECT

  public:
    explicit OilAlertsPanel(QWidget* parent = nullptr);

    // Reads the alerts of the main data file of a data folder; a file that cannot be read
    // is said on the panel itself (the due list reports its own failure).
    void load(const QString& dataPath);
    const std::vector<oil::limits::OilAlert>& alerts() const { return alerts_; }

    void setAircraftOpener(std::function<void(const QString&)> opener) {
        openAircraft_ = std::move(opener);
    }

    QLabel* lblOilAlerts = nullptr;
    QListWidget* lstOilAlerts = nullptr;

  private:
    std::vector<oil::limits::OilAlert> alerts_;
    std::function<void(const QString&)> openAircraft_;
};

}  // namespace velmora::due
