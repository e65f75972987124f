#include "oil/ChartBuilder.h"
#include "oil/OilSamples.h"
#include "oil/TrendChart.h"

#include <QChart>
#include <QCryptographicHash>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace oil = velmora::oil;

namespace {

// A sample list of n rows: the date "2005-01-<row+1>", element cells "<row>.<col>", the
// engine hours 100 + row.
class FakeSamples : public oil::SampleList {
  public:
    explicit FakeSamples(int rows) : rows_(rows) {}
    int displayedRowCount() const override { return rows_; }
    int columnCount() const override { return oil::kSampleColumnCount; }
    QString columnCaption(int col) const override {
        return QString::fromLatin1(oil::kSampleColumns[static_cast<size_t>(col)].caption);
    }
    QString textAt(int row, int col) const override {
        if (col == oil::kColDate)
            return QStringLiteral("2005-01-%1").arg(row + 1, 2, 10, QLatin1Char('0'));
        if (col == oil::kColEngineHrs)
            return QString::number(100 + row);
        if (blank_.count({row, col}))
            return {};
        return QStringLiteral("%1.%2").arg(row).arg(col);
    }
    void blank(int row, int col) { blank_.insert({row, col}); }

  private:
    int rows_;
    std::set<std::pair<int, int>> blank_;
};

oil::ChartData build(const oil::SampleList& list, int option) {
    oil::ChartData chart;
    chart.setChartVisible(true);
    oil::buildChart(list, oil::rowWindow(list.displayedRowCount()), option, chart);
    return chart;
}

QString cell(oil::ChartData& chart, int row, int series) {
    chart.setCurrentRow(row);
    chart.setCurrentSeries(series);
    return chart.data();
}

}  // namespace

TEST(OilChartBuilderTest, RowWindowTakesTheLastTen) {
    EXPECT_EQ(oil::rowWindow(0).first, 0);
    EXPECT_EQ(oil::rowWindow(0).last, -1);
    EXPECT_EQ(oil::rowWindow(7).first, 0);
    EXPECT_EQ(oil::rowWindow(7).last, 6);
    EXPECT_EQ(oil::rowWindow(10).first, 0);
    EXPECT_EQ(oil::rowWindow(15).first, 5);
    EXPECT_EQ(oil::rowWindow(15).last, 14);
}

TEST(OilChartBuilderTest, SevenSamplesOldestFirstLabelledWithDates) {
    FakeSamples list(7);
    oil::ChartData chart = build(list, 0);  // Iron
    EXPECT_TRUE(chart.chartVisible());
    ASSERT_EQ(chart.rowCount(), 7);
    ASSERT_EQ(chart.seriesCount(), 1);
    for (int r = 0; r < 7; ++r) {
        EXPECT_EQ(chart.rowLabelAt(r), list.textAt(r, oil::kColDate));
        EXPECT_EQ(chart.textAt(r, 0), list.textAt(r, oil::kColIron));
    }
    EXPECT_EQ(chart.seriesLabelAt(0), "Iron");
    EXPECT_EQ(chart.rowLabelAt(0), "2005-01-01");
    EXPECT_EQ(chart.rowLabelAt(6), "2005-01-07");
}

TEST(OilChartBuilderTest, FifteenSamplesShowTheSixthToTheFifteenth) {
    FakeSamples list(15);
    oil::ChartData chart = build(list, oil::kOptionAllButPhosphorus);
    ASSERT_EQ(chart.rowCount(), 10);
    EXPECT_EQ(chart.rowLabelAt(0), "2005-01-06");
    EXPECT_EQ(chart.rowLabelAt(9), "2005-01-15");
    EXPECT_EQ(chart.textAt(0, 0), "5.3");
    EXPECT_EQ(chart.textAt(9, 0), "14.3");
}

TEST(OilChartBuilderTest, HoursAreOneSeriesLabelledEngineHrs) {
    FakeSamples list(3);
    oil::ChartData chart = build(list, 21);
    ASSERT_EQ(chart.seriesCount(), 1);
    EXPECT_EQ(chart.seriesLabelAt(0), "Engine Hrs");
    EXPECT_EQ(cell(chart, 1, 1), "100");
    EXPECT_EQ(cell(chart, 3, 1), "102");
    // The operations read what the builder left current: the last row.
    EXPECT_EQ(chart.rowLabel(), "2005-01-03");
    EXPECT_EQ(chart.seriesLabel(), "Engine Hrs");
}

TEST(OilChartBuilderTest, PhosphorusAloneIsCharted) {
    FakeSamples list(4);
    oil::ChartData chart = build(list, 14);
    ASSERT_EQ(chart.seriesCount(), 1);
    ASSERT_EQ(chart.rowCount(), 4);
    EXPECT_EQ(chart.seriesLabelAt(0), "Phosphorus");
    EXPECT_EQ(chart.textAt(2, 0), "2.17");
}

TEST(OilChartBuilderTest, AllButPhosphorusNumbersTwentySeries) {
    FakeSamples list(2);
    oil::ChartData chart = build(list, oil::kOptionAllButPhosphorus);
    ASSERT_EQ(chart.seriesCount(), 20);
    ASSERT_EQ(chart.rowCount(), 2);
    EXPECT_EQ(chart.seriesLabelAt(0), "Iron");
    EXPECT_EQ(chart.seriesLabelAt(13), "Molybdenum");
    EXPECT_EQ(chart.seriesLabelAt(14), "Zinc");
    EXPECT_EQ(chart.seriesLabelAt(19), "Vanadium");
    for (int s = 0; s < 20; ++s) {
        EXPECT_NE(chart.seriesLabelAt(s), "Phosphorus");
        EXPECT_NE(chart.seriesLabelAt(s), "Engine Hrs");
    }
    // Series c - 2 below phosphorus, c - 3 above it.
    EXPECT_EQ(cell(chart, 1, 1), "0.3");
    EXPECT_EQ(cell(chart, 1, 14), "0.16");
    EXPECT_EQ(cell(chart, 2, 15), "1.18");
    EXPECT_EQ(cell(chart, 2, 20), "1.23");
    EXPECT_EQ(chart.rowLabelAt(1), "2005-01-02");
}

TEST(OilChartBuilderTest, EmptyListHidesTheChart) {
    FakeSamples list(0);
    oil::ChartData chart = build(list, oil::kOptionAllButPhosphorus);
    EXPECT_FALSE(chart.chartVisible());
    EXPECT_EQ(chart.rowCount(), 0);
    EXPECT_EQ(chart.seriesCount(), 20);  // the series stand ready, without a row

    FakeSamples some(1);
    oil::buildChart(some, oil::rowWindow(1), 0, chart);
    EXPECT_TRUE(chart.chartVisible());
    EXPECT_EQ(chart.rowCount(), 1);
}

TEST(OilChartBuilderTest, NoOptionChosenLeavesTheChartEmpty) {
    FakeSamples list(3);
    oil::ChartData chart = build(list, oil::kOptionCount);
    EXPECT_TRUE(chart.chartVisible());
    EXPECT_EQ(chart.rowCount(), 0);
    EXPECT_EQ(chart.seriesCount(), 0);
}

TEST(OilChartBuilderTest, EmptyCellIsAGapNotAZero) {
    FakeSamples list(3);
    list.blank(1, oil::kColIron);
    oil::ChartData chart = build(list, 0);
    EXPECT_EQ(chart.textAt(1, 0), "");
    EXPECT_FALSE(chart.valueAt(1, 0).has_value());
    ASSERT_TRUE(chart.valueAt(0, 0).has_value());
    EXPECT_DOUBLE_EQ(*chart.valueAt(0, 0), 0.3);
    chart.setCurrentRow(1);
    chart.setData(QStringLiteral("0"));
    ASSERT_TRUE(chart.valueAt(0, 0).has_value());
    EXPECT_DOUBLE_EQ(*chart.valueAt(0, 0), 0.0);
}

TEST(OilChartBuilderTest, ChartTypesCycleFromNineToZero) {
    EXPECT_EQ(oil::nextChartType(0), 1);
    EXPECT_EQ(oil::nextChartType(8), 9);
    EXPECT_EQ(oil::nextChartType(9), 0);
    EXPECT_EQ(oil::nextChartType(-3), 0);
    EXPECT_EQ(oil::nextChartType(42), 0);
    oil::ChartData chart;
    chart.setChartType(9);
    std::vector<int> seen;
    for (int i = 0; i < 11; ++i) {
        chart.setChartType(oil::nextChartType(chart.chartType()));
        seen.push_back(chart.chartType());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}));
    chart.setChartType(10);  // not a type: kept as it was
    EXPECT_EQ(chart.chartType(), 0);
}

TEST(OilTrendChartTest, OffersTheChartOperations) {
    oil::TrendChart chart;
    EXPECT_EQ(chart.objectName(), "MSChart1");
    EXPECT_EQ(chart.chartType(), oil::kFirstChartType);
    FakeSamples list(12);
    oil::buildChart(list, oil::rowWindow(12), 21, chart);
    EXPECT_TRUE(chart.chartVisible());
    EXPECT_EQ(chart.rowCount(), 10);
    EXPECT_EQ(chart.seriesCount(), 1);
    chart.setCurrentRow(1);
    chart.setCurrentSeries(1);
    EXPECT_EQ(chart.rowLabel(), "2005-01-03");
    EXPECT_EQ(chart.seriesLabel(), "Engine Hrs");
    EXPECT_EQ(chart.data(), "102");
    chart.sync();
    EXPECT_EQ(chart.chart()->series().size(), 1);

    oil::buildChart(FakeSamples(0), oil::rowWindow(0), 21, chart);
    EXPECT_FALSE(chart.chartVisible());
}

// Draws every type offscreen: each must draw something, and no two alike.
TEST(OilTrendChartTest, EveryTypeDrawsDifferently) {
    for (int option : {0, oil::kOptionAllButPhosphorus}) {
        oil::TrendChart chart;
        chart.resize(800, 420);
        FakeSamples list(8);
        list.blank(3, oil::kColIron);  // a gap in the first series
        oil::buildChart(list, oil::rowWindow(8), option, chart);
        std::set<QByteArray> looks;
        for (int type = 0; type < oil::kChartTypeCount; ++type) {
            chart.setChartType(type);
            chart.sync();
            const QImage image = chart.grab().toImage();
            ASSERT_FALSE(image.isNull());
            // Something besides the background: at least a few colours.
            std::set<QRgb> colours;
            for (int y = 0; y < image.height(); y += 7) {
                for (int x = 0; x < image.width(); x += 7)
                    colours.insert(image.pixel(x, y));
            }
            EXPECT_GT(colours.size(), 5u) << "type " << type;
            looks.insert(QCryptographicHash::hash(
                QByteArray(reinterpret_cast<const char*>(image.constBits()),
                           static_cast<int>(image.sizeInBytes())),
                QCryptographicHash::Sha1));
        }
        EXPECT_EQ(looks.size(), 10u) << "option " << option;
    }
}
