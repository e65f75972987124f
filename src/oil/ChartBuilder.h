#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace velmora::oil {

// The operations the oil screen performs on its chart. Rows are samples, series are
// elements; the current row and series are counted from 1, and the label and data
// operations act on them. Data points are texts as the sample grid shows them: an empty
// text is an empty point (a gap), not a zero.
class ChartOperations {
  public:
    virtual ~ChartOperations() = default;

    virtual bool chartVisible() const = 0;
    virtual void setChartVisible(bool visible) = 0;
    virtual int rowCount() const = 0;
    virtual void setRowCount(int count) = 0;
    virtual int seriesCount() const = 0;
    virtual void setSeriesCount(int count) = 0;
    virtual int currentRow() const = 0;
    virtual void setCurrentRow(int row) = 0;
    virtual int currentSeries() const = 0;
    virtual void setCurrentSeries(int series) = 0;
    virtual QString rowLabel() const = 0;
    virtual void setRowLabel(const QString& label) = 0;
    virtual QString seriesLabel() const = 0;
    virtual void setSeriesLabel(const QString& label) = 0;
    virtual QString data() const = 0;
    virtual void setData(const QString& text) = 0;
    // 0 3-D bar, 1 2-D bar, 2 3-D line, 3 2-D line, 4 3-D area, 5 2-D area, 6 3-D step,
    // 7 2-D step, 8 3-D combination, 9 2-D combination.
    virtual int chartType() const = 0;
    virtual void setChartType(int type) = 0;
};

inline constexpr int kChartTypeCount = 10;
inline constexpr int kFirstChartType = 3;  // the 2-D line shows a climbing metal best

// Whether a chart type is drawn with depth (the even numbers).
inline bool isThreeD(int type) {
    return type % 2 == 0;
}

// The contents of a chart without any drawing: what the builder fills and the chart
// widget draws. Changing a count keeps the cells that remain; new cells are empty.
class ChartData : public ChartOperations {
  public:
    bool chartVisible() const override { return visible_; }
    void setChartVisible(bool visible) override { visible_ = visible; }
    int rowCount() const override { return static_cast<int>(rowLabels_.size()); }
    void setRowCount(int count) override;
    int seriesCount() const override { return static_cast<int>(seriesLabels_.size()); }
    void setSeriesCount(int count) override;
    int currentRow() const override { return row_; }
    void setCurrentRow(int row) override;
    int currentSeries() const override { return series_; }
    void setCurrentSeries(int series) override;
    QString rowLabel() const override;
    void setRowLabel(const QString& label) override;
    QString seriesLabel() const override;
    void setSeriesLabel(const QString& label) override;
    QString data() const override;
    void setData(const QString& text) override;
    int chartType() const override { return type_; }
    // A type outside 0 to 9 is not taken.
    void setChartType(int type) override;

    // Cells by position, counted from 0.
    const QString& rowLabelAt(int row) const { return rowLabels_.at(static_cast<size_t>(row)); }
    const QString& seriesLabelAt(int series) const {
        return seriesLabels_.at(static_cast<size_t>(series));
    }
    QString textAt(int row, int series) const;
    // The number a cell holds; none for an empty cell or text that is not a number.
    std::optional<double> valueAt(int row, int series) const;

  private:
    bool hasCell() const { return row_ >= 1 && series_ >= 1; }

    bool visible_ = false;
    std::vector<QString> rowLabels_;
    std::vector<QString> seriesLabels_;
    std::vector<std::vector<QString>> cells_;  // [row][series]
    int row_ = 0;
    int series_ = 0;
    int type_ = kFirstChartType;
};

// What the builder reads of the sample grid: its rows, counted from 0 in the order shown,
// and the captions and displayed texts of its columns.
class SampleList {
  public:
    virtual ~SampleList() = default;
    virtual int displayedRowCount() const = 0;
    virtual int columnCount() const = 0;
    virtual QString columnCaption(int col) const = 0;
    virtual QString textAt(int row, int col) const = 0;
};

// The rows to chart, counted from 0 among the rows the list displays: the last ten at most.
struct RowWindow {
    int first = 0;
    int last = -1;
};
RowWindow rowWindow(int displayedRows);

// Fills the chart from the rows first to last of the list for an element choice: 0 to 21
// one grid column (option + 3), 22 every element but phosphorus, anything else nothing.
// An empty list hides the chart.
void buildChart(const SampleList& list, const RowWindow& window, int option,
                ChartOperations& chart);

// The chart type "Change Chart Type" moves to: the next of 0 to 9, and 0 after 9 (or after
// any type outside 0 to 8).
int nextChartType(int type);

}  // namespace velmora::oil
