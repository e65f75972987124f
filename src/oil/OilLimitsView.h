#pragma once

#include "oil/limits/OilFindings.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QWidget;

namespace velmora::data {
class Database;
}
namespace velmora::screens {
class DataGrid;
struct GridColumn;
}  // namespace velmora::screens

namespace velmora::oil {

class TrendChart;

// What the oil screen shows of the oil limits: the "Oil Limits..." button, the colours of
// the sample grid's cells, the line under the grid about the newest sample, the chart's
// limit lines and marked points, and the trend beside the chart.
class OilLimitsView : public QObject {
    Q_OBJECT

  public:
    // The grid's first element column, its engine hours and date columns. The grid's element
    // columns get their colours: amber at a caution (level, or rise since the sample
    // above), red at an alert.
    OilLimitsView(QWidget* screen, screens::DataGrid* grid, TrendChart* chart,
                  int firstElementColumn, int hoursColumn, int dateColumn);

    // What the limits are judged for: the data file, the aircraft and the component (read
    // again when they change or the dialog saved).
    using Context = std::function<std::shared_ptr<data::Database>()>;
    void setDatabase(Context database) { database_ = std::move(database); }
    void setComponent(const QString& regNum, const QString& component);

    // After the chart was built: the limit lines and trend of the element shown (an element
    // index, or -1 when the choice is no single element) over the charted rows.
    void chartBuilt(int element, int first, int last);

    // The grid's samples, oldest first, as they are judged.
    std::vector<limits::OilSample> samples() const;
    const limits::LimitSet& limits() const { return limits_; }
    // The level of a grid cell (a stored or pending row).
    limits::OilLevel cellLevel(int row, int col) const;

    // Opens the limits dialog for the chosen component; on Save judges everything again.
    void cmdLimits_Click();

    // Layout: the button and the trend below the chart's controls, within a width; the
    // findings line between the grid and the chart.
    void placeBeside(int left, int top, int width);
    int besideHeight() const;
    int findingsHeight() const;
    void placeFindings(int left, int top, int width);

    QPushButton* cmdLimits = nullptr;
    QLabel* lblFindings = nullptr;
    QLabel* lblTrend = nullptr;

  signals:
    // The limits were saved: the screen redraws its chart.
    void limitsChanged();

  private:
    void colourColumns();
    void readLimits();
    void updateFindings();

    QWidget* screen_;
    screens::DataGrid* grid_;
    TrendChart* chart_;
    int firstElement_, hours_, date_;
    Context database_;
    QString regNum_, component_;
    limits::LimitSet limits_{};
    QString readProblem_;  // why the limits could not be read
};

}  // namespace velmora::oil
