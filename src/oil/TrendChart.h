#pragma once

#include "ChartBuilder.h"
#include "oil/limits/OilLimitLines.h"

#include <QColor>
#include <QStringList>
#include <QWidget>

#include <vector>

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
QT_END_NAMESPACE

namespace velmora::oil {

class DepthItem;
class LegendPanel;

// The oil trend chart (MSChart1): a chart of QtCharts that offers the chart operations of
// the oil screen. Samples run along the bottom, oldest on the left; each element is a
// series with a colour of its own. The 2-D types are QtCharts series; the 3-D types keep
// the chart's axes and legend and are drawn by a depth item of ours on the plot area.
//
// The operations only change the contents; the drawing follows when the event loop
// comes round, or at once with sync() (the screen calls it after building the chart).
class TrendChart : public QWidget, public ChartOperations {
    Q_OBJECT

  public:
    explicit TrendChart(QWidget* parent = nullptr);
    ~TrendChart() override;

    bool chartVisible() const override { return !isHidden(); }
    void setChartVisible(bool visible) override { setVisible(visible); }
    int rowCount() const override { return data_.rowCount(); }
    void setRowCount(int count) override;
    int seriesCount() const override { return data_.seriesCount(); }
    void setSeriesCount(int count) override;
    int currentRow() const override { return data_.currentRow(); }
    void setCurrentRow(int row) override { data_.setCurrentRow(row); }
    int currentSeries() const override { return data_.currentSeries(); }
    void setCurrentSeries(int series) override { data_.setCurrentSeries(series); }
    QString rowLabel() const override { return data_.rowLabel(); }
    void setRowLabel(const QString& label) override;
    QString seriesLabel() const override { return data_.seriesLabel(); }
    void setSeriesLabel(const QString& label) override;
    QString data() const override { return data_.data(); }
    void setData(const QString& text) override;
    int chartType() const override { return data_.chartType(); }
    void setChartType(int type) override;
    // The chart's top edge in its parent, in pixels.
    int top() const { return y(); }

    // The limit lines of the element shown and the points that reach them; drawn over
    // every chart type until replaced (an empty value removes them).
    void setLimits(const limits::ChartLimits& limits);
    const limits::ChartLimits& limits() const { return limits_; }
    // The colour a limit level is drawn in: caution amber, alert red.
    static QColor levelColor(limits::OilLevel level);

    const ChartData& contents() const { return data_; }
    // Draws the contents now when they changed since the last drawing.
    void sync();

    QChart* chart() const { return chart_; }
    QChartView* chartView() const { return view_; }
    // The names in the legend beside the chart, in series order.
    QStringList legendLabels() const;
    // The colour of a series, counted from 0.
    static QColor seriesColor(int series);

  private:
    void changed();
    void rebuild();
    void build2D(double baseline);
    void addLimitSeries();

    ChartData data_;
    limits::ChartLimits limits_;
    QChart* chart_;
    QChartView* view_;
    DepthItem* depth_;
    LegendPanel* legend_;
    bool dirty_ = false;
    bool syncQueued_ = false;
};

}  // namespace velmora::oil
