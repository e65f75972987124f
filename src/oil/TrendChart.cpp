#include "TrendChart.h"

#include "TrendChartDepth.h"
#include "TrendChartLegend.h"
#include "TrendChartRuns.h"

#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QGraphicsItem>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPainter>
#include <QPolygonF>
#include <QScatterSeries>
#include <QTimer>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace velmora::oil {

TrendChart::TrendChart(QWidget* parent) : QWidget(parent), chart_(new QChart()) {
    setObjectName(QStringLiteral("MSChart1"));
    chart_->setMargins(QMargins(4, 4, 4, 4));
    chart_->legend()->hide();
    view_ = new QChartView(chart_, this);
    view_->setRenderHint(QPainter::Antialiasing);
    legend_ = new LegendPanel(this);
    QFont legendFont = font();
    legendFont.setPointSizeF(std::max(6.5, legendFont.pointSizeF() * 0.85));
    legend_->setFont(legendFont);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_, 1);
    layout->addWidget(legend_);
    depth_ = new DepthItem(chart_, data_);
    connect(chart_, &QChart::plotAreaChanged, this, [this] { depth_->areaChanged(); });
    rebuild();
}

TrendChart::~TrendChart() = default;

QColor TrendChart::seriesColor(int series) {
    static const QRgb kColors[] = {
        0xd62728, 0x1f77b4, 0x2ca02c, 0xff7f0e, 0x9467bd, 0x8c564b, 0xe377c2,
        0x7f7f7f, 0xbcbd22, 0x17becf, 0x393b79, 0x637939, 0x8c6d31, 0x843c39,
        0x7b4173, 0x3182bd, 0xe6550d, 0x31a354, 0x756bb1, 0x636363,
    };
    constexpr int count = static_cast<int>(std::size(kColors));
    return QColor(kColors[((series % count) + count) % count]);
}

QStringList TrendChart::legendLabels() const {
    QStringList labels;
    for (const auto& entry : legend_->entries())
        labels << entry.second;
    return labels;
}

void TrendChart::setRowCount(int count) {
    data_.setRowCount(count);
    changed();
}
void TrendChart::setSeriesCount(int count) {
    data_.setSeriesCount(count);
    changed();
}
void TrendChart::setRowLabel(const QString& label) {
    data_.setRowLabel(label);
    changed();
}
void TrendChart::setSeriesLabel(const QString& label) {
    data_.setSeriesLabel(label);
    changed();
}
void TrendChart::setData(const QString& text) {
    data_.setData(text);
    changed();
}

void TrendChart::setChartType(int type) {
    data_.setChartType(type);
    dirty_ = true;
    sync();
}

void TrendChart::changed() {
    dirty_ = true;
    if (syncQueued_)
        return;
    syncQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        syncQueued_ = false;
        sync();
    });
}

void TrendChart::sync() {
    if (!dirty_)
        return;
    dirty_ = false;
    rebuild();
}

void TrendChart::rebuild() {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    depth_->setVisible(false);
    const int rows = data_.rowCount();
    const int series = data_.seriesCount();
    std::vector<std::pair<QColor, QString>> entries;
    if (rows > 0) {
        for (int s = 0; s < series; ++s)
            entries.emplace_back(seriesColor(s), data_.seriesLabelAt(s));
    }
    if (rows > 0) {
        for (const limits::LimitLine& line : limits_.lines)
            entries.emplace_back(levelColor(line.level), line.label);
    }
    legend_->setEntries(std::move(entries));
    if (rows == 0 || series == 0)
        return;

    double lo = 0, hi = 0;
    bool any = false;
    for (int r = 0; r < rows; ++r) {
        for (int s = 0; s < series; ++s) {
            if (const auto v = data_.valueAt(r, s)) {
                lo = std::min(lo, *v);
                hi = any ? std::max(hi, *v) : std::max(0.0, *v);
                any = true;
            }
        }
    }
    // The limit lines stay in sight above the samples.
    for (const limits::LimitLine& line : limits_.lines)
        hi = std::max(hi, line.value * 1.05);
    if (hi - lo < 1e-9)
        hi = lo + 1;
    auto* axisY = new QValueAxis;
    axisY->setRange(lo, hi);
    axisY->applyNiceNumbers();
    lo = axisY->min();
    hi = axisY->max();
    const double tick = (hi - lo) / std::max(1, axisY->tickCount() - 1);

    const int type = data_.chartType();
    const bool threeD = isThreeD(type);
    double fx = 0, fy = 0;
    if (threeD) {
        const bool barsOnly = type == 0;
        fx = barsOnly ? 0.06 : (series > 1 ? 0.22 : 0.1);
        fy = barsOnly ? 0.08 : (series > 1 ? 0.22 : 0.1);
        // Stretched so that the labels at the left match the front plane.
        axisY->setRange(lo, lo + (hi - lo) / (1.0 - fy));
        axisY->setTickType(QValueAxis::TicksDynamic);
        axisY->setTickAnchor(lo);
        axisY->setTickInterval(tick);
        axisY->setGridLineVisible(false);
    }

    auto* axisX = new QCategoryAxis;
    axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    axisX->setGridLineVisible(false);
    axisX->setStartValue(-0.5);
    QStringList seen;
    for (int r = 0; r < rows; ++r) {
        // Two samples of one day need labels of their own: the axis keeps one of each text.
        QString label = data_.rowLabelAt(r);
        while (seen.contains(label))
            label += QChar(0x200B);
        seen << label;
        axisX->append(label, r + 0.5);
    }
    axisX->setRange(-0.5, -0.5 + rows / (1.0 - fx));
    // Dates that would not fit side by side are set at a slant.
    const QFontMetrics metrics(axisX->labelsFont());
    int widest = 0;
    for (const QString& label : seen)
        widest = std::max(widest, metrics.horizontalAdvance(label));
    const double room = 0.6 * std::max(width(), 300) * (1.0 - fx) / rows;
    axisX->setLabelsAngle(widest + 8 > room ? -90 : 0);
    axisX->setTruncateLabels(false);
    chart_->addAxis(axisX, Qt::AlignBottom);
    chart_->addAxis(axisY, Qt::AlignLeft);

    if (threeD) {
        depth_->configure(lo, hi, tick, fx, fy);
        depth_->setVisible(true);
        addLimitSeries();
        return;
    }
    build2D(std::clamp(0.0, lo, hi));
    addLimitSeries();
}

QColor TrendChart::levelColor(limits::OilLevel level) {
    return level == limits::OilLevel::Alert ? QColor(Qt::red) : QColor(0xb8, 0x6e, 0x00);
}

void TrendChart::setLimits(const limits::ChartLimits& limits) {
    if (limits == limits_)
        return;
    limits_ = limits;
    changed();
}

void TrendChart::addLimitSeries() {
    QAbstractAxis* axisX = chart_->axes(Qt::Horizontal).value(0);
    QAbstractAxis* axisY = chart_->axes(Qt::Vertical).value(0);
    const int rows = data_.rowCount();
    auto add = [&](QAbstractSeries* s) {
        chart_->addSeries(s);
        s->attachAxis(axisX);
        s->attachAxis(axisY);
    };
    for (const limits::LimitLine& limit : limits_.lines) {
        auto* line = new QLineSeries;
        line->setName(limit.label);
        QPen pen(levelColor(limit.level), 1.5, Qt::DashLine);
        line->setPen(pen);
        line->append(-0.5, limit.value);
        line->append(rows - 0.5, limit.value);
        add(line);
    }
    for (limits::OilLevel level : {limits::OilLevel::Caution, limits::OilLevel::Alert}) {
        auto* marks = new QScatterSeries;
        marks->setName(level == limits::OilLevel::Alert ? QStringLiteral("Over alert")
                                                        : QStringLiteral("Over caution"));
        marks->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        marks->setMarkerSize(12);
        marks->setColor(levelColor(level));
        marks->setBorderColor(Qt::black);
        for (const limits::MarkedPoint& m : limits_.marks) {
            if (m.level == level && m.row >= 0 && m.row < rows)
                marks->append(m.row, m.value);
        }
        if (marks->count() == 0) {
            delete marks;
            continue;
        }
        add(marks);
    }
}

void TrendChart::build2D(double baseline) {
    const int rows = data_.rowCount();
    const int series = data_.seriesCount();
    const int type = data_.chartType();
    QAbstractAxis* axisX = chart_->axes(Qt::Horizontal).value(0);
    QAbstractAxis* axisY = chart_->axes(Qt::Vertical).value(0);
    auto add = [&](QAbstractSeries* s) {
        chart_->addSeries(s);
        s->attachAxis(axisX);
        s->attachAxis(axisY);
    };
    auto lineSeries = [&](int s, const Run& points, bool markers) {
        auto* line = new QLineSeries;
        line->setName(data_.seriesLabelAt(s));
        line->setPen(QPen(seriesColor(s), 2));
        line->setPointsVisible(markers);
        for (const auto& [x, v] : points)
            line->append(x, v);
        add(line);
    };

    if (type == 1 || type == 9) {
        auto* bars = new QBarSeries;
        bars->setBarWidth(0.8);
        for (int s = 0; s < series; ++s) {
            if (type == 9 && !drawnAsBars(s, series))
                continue;
            auto* set = new QBarSet(data_.seriesLabelAt(s));
            set->setColor(seriesColor(s));
            set->setBorderColor(seriesColor(s).darker(140));
            // A gap has no bar: its height is the baseline's.
            for (int r = 0; r < rows; ++r)
                set->append(data_.valueAt(r, s).value_or(baseline));
            bars->append(set);
        }
        add(bars);
    }
    for (int s = 0; s < series; ++s) {
        // A gap breaks a line or an area in two.
        const std::vector<Run> runs = runsOf(data_, s);
        if (type == 3 || type == 7 || (type == 9 && drawnAsLine(s, series))) {
            for (const Run& run : runs)
                lineSeries(s, type == 7 ? stepsOf(run) : run, type != 7);
        } else if (type == 5) {
            for (const Run& run : runs) {
                // The area does not own its edges: they are its children.
                auto* area = new QAreaSeries;
                auto* upper = new QLineSeries(area);
                auto* lower = new QLineSeries(area);
                for (const auto& [x, v] : widened(run)) {
                    upper->append(x, v);
                    lower->append(x, baseline);
                }
                area->setUpperSeries(upper);
                area->setLowerSeries(lower);
                area->setName(data_.seriesLabelAt(s));
                QColor fill = seriesColor(s);
                fill.setAlpha(110);
                area->setBrush(fill);
                area->setPen(QPen(seriesColor(s), 2));
                add(area);
            }
        }
    }
}

}  // namespace velmora::oil
