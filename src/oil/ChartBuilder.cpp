#include "ChartBuilder.h"

#include "OilSamples.h"

#include "data/Value.h"

#include <algorithm>

namespace velmora::oil {

void ChartData::setRowCount(int count) {
    count = std::max(count, 0);
    rowLabels_.resize(static_cast<size_t>(count));
    cells_.resize(static_cast<size_t>(count), std::vector<QString>(seriesLabels_.size()));
    row_ = std::min(std::max(row_, count > 0 ? 1 : 0), count);
}

void ChartData::setSeriesCount(int count) {
    count = std::max(count, 0);
    seriesLabels_.resize(static_cast<size_t>(count));
    for (auto& row : cells_)
        row.resize(static_cast<size_t>(count));
    series_ = std::min(std::max(series_, count > 0 ? 1 : 0), count);
}

void ChartData::setCurrentRow(int row) {
    if (row >= 1 && row <= rowCount())
        row_ = row;
}

void ChartData::setCurrentSeries(int series) {
    if (series >= 1 && series <= seriesCount())
        series_ = series;
}

QString ChartData::rowLabel() const {
    return row_ >= 1 ? rowLabelAt(row_ - 1) : QString();
}

void ChartData::setRowLabel(const QString& label) {
    if (row_ >= 1)
        rowLabels_[static_cast<size_t>(row_ - 1)] = label;
}

QString ChartData::seriesLabel() const {
    return series_ >= 1 ? seriesLabelAt(series_ - 1) : QString();
}

void ChartData::setSeriesLabel(const QString& label) {
    if (series_ >= 1)
        seriesLabels_[static_cast<size_t>(series_ - 1)] = label;
}

QString ChartData::data() const {
    return hasCell() ? textAt(row_ - 1, series_ - 1) : QString();
}

void ChartData::setData(const QString& text) {
    if (hasCell())
        cells_[static_cast<size_t>(row_ - 1)][static_cast<size_t>(series_ - 1)] = text;
}

void ChartData::setChartType(int type) {
    if (type >= 0 && type < kChartTypeCount)
        type_ = type;
}

QString ChartData::textAt(int row, int series) const {
    return cells_.at(static_cast<size_t>(row)).at(static_cast<size_t>(series));
}

std::optional<double> ChartData::valueAt(int row, int series) const {
    const QString text = textAt(row, series).trimmed();
    double v = 0;
    if (text.isEmpty() || !data::Value::parseNumber(text, &v))
        return std::nullopt;
    return v;
}

RowWindow rowWindow(int displayedRows) {
    RowWindow w;
    w.first = displayedRows < 10 ? 0 : displayedRows - 10;
    w.last = displayedRows - 1;
    return w;
}

void buildChart(const SampleList& list, const RowWindow& window, int option,
                ChartOperations& chart) {
    const int n = list.displayedRowCount();
    chart.setChartVisible(n >= 1);
    chart.setRowCount(0);
    chart.setSeriesCount(0);
    if (option < 0 || option > kOptionAllButPhosphorus)
        return;
    const int rows = n < 10 ? n : 10;
    if (option < kOptionAllButPhosphorus) {
        const int col = option + kColIron;
        chart.setSeriesCount(1);
        chart.setRowCount(rows);
        for (int r = window.first; r <= window.last; ++r) {
            chart.setCurrentRow(r - window.first + 1);
            chart.setRowLabel(list.textAt(r, kColDate));
            chart.setCurrentSeries(1);
            chart.setSeriesLabel(list.columnCaption(col));
            chart.setData(list.textAt(r, col));
        }
        return;
    }
    // Every element but phosphorus: columns 3 to 16 are series 1 to 14, columns 18 to 23
    // series 15 to 20; the engine hours are not an element.
    const int columns = list.columnCount();
    chart.setSeriesCount(columns - 5);
    chart.setRowCount(rows);
    for (int r = window.first; r <= window.last; ++r) {
        for (int c = kColDate; c <= columns - 2; ++c) {
            if (c == kColDate) {
                chart.setCurrentRow(r - window.first + 1);
                chart.setRowLabel(list.textAt(r, kColDate));
                continue;
            }
            if (c == kColPhosphorus)
                continue;
            chart.setCurrentSeries(c < kColPhosphorus ? c - 2 : c - 3);
            chart.setSeriesLabel(list.columnCaption(c));
            chart.setCurrentRow(r - window.first + 1);
            chart.setData(list.textAt(r, c));
        }
    }
}

int nextChartType(int type) {
    return type >= 0 && type < 9 ? type + 1 : 0;
}

}  // namespace velmora::oil
