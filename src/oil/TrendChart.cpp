#include "TrendChart.h"

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

namespace {

// A run of charted points without a gap: (row, value) pairs, rows counted from 0.
using Run = std::vector<std::pair<double, double>>;

std::vector<Run> runsOf(const ChartData& d, int series) {
    std::vector<Run> runs;
    Run current;
    for (int r = 0; r < d.rowCount(); ++r) {
        const auto v = d.valueAt(r, series);
        if (v) {
            current.emplace_back(r, *v);
        } else if (!current.empty()) {
            runs.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty())
        runs.push_back(std::move(current));
    return runs;
}

// A run as a staircase: each sample holds its value across its whole column.
Run stepsOf(const Run& run) {
    Run steps;
    for (const auto& [x, v] : run) {
        steps.emplace_back(x - 0.5, v);
        steps.emplace_back(x + 0.5, v);
    }
    return steps;
}

// A run that an area can be drawn from: a lone sample gets a narrow column of its own.
Run widened(const Run& run) {
    if (run.size() != 1)
        return run;
    return {{run[0].first - 0.3, run[0].second}, {run[0].first + 0.3, run[0].second}};
}

// The combination types draw the odd-numbered series (1, 3, ...) as bars and the others as
// lines; a single series is drawn both ways.
bool drawnAsBars(int series, int seriesCount) {
    return seriesCount == 1 || series % 2 == 0;
}
bool drawnAsLine(int series, int seriesCount) {
    return seriesCount == 1 || series % 2 == 1;
}

}  // namespace

// The 3-D types: walls, floor and the series drawn with depth on the chart's plot area. The
// front plane is the plot area less a band on the right and at the top; each series takes a
// slice of the depth behind it, the first series in front. The chart's value axis is
// stretched so that its labels match the front plane.
class DepthItem : public QGraphicsItem {
  public:
    DepthItem(QChart* chart, const ChartData& data)
        : QGraphicsItem(chart), chart_(chart), data_(data) {
        setZValue(10);
        setVisible(false);
    }

    void configure(double lo, double hi, double tick, double fx, double fy) {
        prepareGeometryChange();
        lo_ = lo;
        hi_ = hi;
        tick_ = tick;
        fx_ = fx;
        fy_ = fy;
        update();
    }
    void areaChanged() {
        prepareGeometryChange();
        update();
    }

    QRectF boundingRect() const override { return chart_->plotArea().adjusted(-4, -4, 4, 4); }

    void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override {
        const int n = data_.rowCount();
        const int s = data_.seriesCount();
        if (n == 0 || s == 0 || hi_ <= lo_)
            return;
        const QRectF area = chart_->plotArea();
        dx_ = fx_ * area.width();
        dy_ = fy_ * area.height();
        front_ = QRectF(area.left(), area.top() + dy_, area.width() - dx_, area.height() - dy_);
        cw_ = front_.width() / n;
        base_ = std::clamp(0.0, lo_, hi_);
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setClipRect(area.adjusted(-2, -2, 2, 2));
        drawWalls(p);
        const int type = data_.chartType();
        if (type == 0) {
            drawBars(p, 0.1, 0.9, [](int) { return true; });
        } else if (type == 8) {
            // The bars stand in front, the line series behind them.
            std::vector<int> lines;
            for (int i = 0; i < s; ++i) {
                if (drawnAsLine(i, s))
                    lines.push_back(i);
            }
            const double slice = 1.0 / static_cast<double>(lines.size() + 1);
            for (int k = static_cast<int>(lines.size()) - 1; k >= 0; --k) {
                const double z0 = s == 1 ? 0.1 : (k + 1) * slice;
                for (const Run& run : runsOf(data_, lines[static_cast<size_t>(k)]))
                    drawRibbon(p, run, z0, z0 + slice * 0.7, color(lines[static_cast<size_t>(k)]));
            }
            drawBars(p, 0.1, s == 1 ? 0.8 : slice * 0.9, [s](int i) { return drawnAsBars(i, s); });
            if (s == 1) {
                for (const Run& run : runsOf(data_, 0))
                    drawRibbon(p, run, 0.0, 0.15, color(0).darker(150));
            }
        } else {
            for (int i = s - 1; i >= 0; --i) {
                const double z0 = static_cast<double>(i) / s;
                const double z1 = z0 + 0.8 / s;
                for (const Run& run : runsOf(data_, i)) {
                    if (type == 2)
                        drawRibbon(p, run, z0, z1, color(i));
                    else if (type == 4)
                        drawSolid(p, widened(run), z0, z1, color(i));
                    else
                        drawSolid(p, stepsOf(run), z0, z1, color(i));
                }
            }
        }
        p->restore();
    }

  private:
    QColor color(int series) const { return TrendChart::seriesColor(series); }
    double xOf(double row) const { return front_.left() + (row + 0.5) * cw_; }
    double yOf(double v) const {
        return front_.bottom() - (v - lo_) / (hi_ - lo_) * front_.height();
    }
    QPointF at(double row, double v, double z) const {
        return {xOf(row) + z * dx_, yOf(v) - z * dy_};
    }
    QPointF depth(double z) const { return {z * dx_, -z * dy_}; }

    void drawWalls(QPainter* p) const {
        const QPointF d = depth(1.0);
        const QRectF back = front_.translated(d);
        p->setPen(QPen(QColor(150, 150, 150), 1));
        p->setBrush(QColor(246, 246, 246));
        p->drawRect(back);
        p->setBrush(QColor(232, 232, 232));
        p->drawPolygon(QPolygonF({front_.topLeft(), front_.bottomLeft(), front_.bottomLeft() + d,
                                  front_.topLeft() + d}));
        p->setBrush(QColor(220, 220, 220));
        p->drawPolygon(QPolygonF({front_.bottomLeft(), front_.bottomRight(),
                                  front_.bottomRight() + d, front_.bottomLeft() + d}));
        if (tick_ <= 0)
            return;
        p->setPen(QPen(QColor(200, 200, 200), 1));
        for (double t = lo_ + tick_; t < hi_ + tick_ * 0.01; t += tick_) {
            const QPointF left(front_.left(), yOf(t));
            p->drawLine(left, left + d);
            p->drawLine(left + d, QPointF(back.right(), yOf(t) + d.y()));
        }
    }

    template <typename Pick>
    void drawBars(QPainter* p, double z0, double z1, Pick pick) const {
        std::vector<int> shown;
        for (int i = 0; i < data_.seriesCount(); ++i) {
            if (pick(i))
                shown.push_back(i);
        }
        if (shown.empty())
            return;
        const double width = 0.8 / static_cast<double>(shown.size());
        for (int r = 0; r < data_.rowCount(); ++r) {
            for (size_t k = 0; k < shown.size(); ++k) {
                const auto v = data_.valueAt(r, shown[k]);
                if (!v)
                    continue;
                const double left = r - 0.4 + width * static_cast<double>(k);
                drawBlock(p, left, left + width, *v, z0, z1, color(shown[k]));
            }
        }
    }

    // A block from the baseline to v between two row positions and two depths.
    void drawBlock(QPainter* p, double x0, double x1, double v, double z0, double z1,
                   const QColor& c) const {
        const double top = std::max(v, base_);
        const double bottom = std::min(v, base_);
        const QPointF a = at(x0, top, z0);
        const QPointF b = at(x1, top, z0);
        const QPointF e = at(x1, bottom, z0);
        const QPointF f = at(x0, bottom, z0);
        const QPointF d = depth(z1 - z0);
        p->setPen(QPen(c.darker(170), 0.8));
        p->setBrush(c.darker(135));
        p->drawPolygon(QPolygonF({b, e, e + d, b + d}));
        p->setBrush(c.lighter(135));
        p->drawPolygon(QPolygonF({a, b, b + d, a + d}));
        p->setBrush(c);
        p->drawPolygon(QPolygonF({a, b, e, f}));
    }

    // A line drawn as a band lying back in depth.
    void drawRibbon(QPainter* p, const Run& run, double z0, double z1, const QColor& c) const {
        if (run.size() == 1) {
            const double x = run[0].first;
            drawBlock(p, x - 0.08, x + 0.08, run[0].second, z0, z1, c);
            return;
        }
        for (size_t i = 0; i + 1 < run.size(); ++i) {
            const QPointF a = at(run[i].first, run[i].second, z0);
            const QPointF b = at(run[i + 1].first, run[i + 1].second, z0);
            const QPointF d = depth(z1 - z0);
            const bool rising = run[i + 1].second > run[i].second;
            p->setPen(QPen(c.darker(160), 0.8));
            p->setBrush(rising ? c.darker(115) : c.lighter(120));
            p->drawPolygon(QPolygonF({a, b, b + d, a + d}));
            p->setPen(QPen(c.darker(150), 2.0));
            p->drawLine(a, b);
        }
    }

    // An area (or a staircase) with a front face down to the baseline, its top surface
    // going back in depth and its right end closed.
    void drawSolid(QPainter* p, const Run& run, double z0, double z1, const QColor& c) const {
        if (run.empty())
            return;
        const QPointF d = depth(z1 - z0);
        p->setPen(QPen(c.darker(160), 0.8));
        for (size_t i = 0; i + 1 < run.size(); ++i) {
            const QPointF a = at(run[i].first, run[i].second, z0);
            const QPointF b = at(run[i + 1].first, run[i + 1].second, z0);
            p->setBrush(c.lighter(130));
            p->drawPolygon(QPolygonF({a, b, b + d, a + d}));
        }
        const auto& [lastX, lastV] = run.back();
        p->setBrush(c.darker(135));
        p->drawPolygon(QPolygonF({at(lastX, lastV, z0), at(lastX, base_, z0),
                                  at(lastX, base_, z0) + d, at(lastX, lastV, z0) + d}));
        QPolygonF face;
        face << at(run.front().first, base_, z0);
        for (const auto& [x, v] : run)
            face << at(x, v, z0);
        face << at(lastX, base_, z0);
        QColor fill = c;
        fill.setAlpha(235);
        p->setBrush(fill);
        p->drawPolygon(face);
    }

    QChart* chart_;
    const ChartData& data_;
    double lo_ = 0, hi_ = 1, tick_ = 0, fx_ = 0, fy_ = 0;
    // Set at each painting from the plot area.
    mutable double dx_ = 0, dy_ = 0, cw_ = 1, base_ = 0;
    mutable QRectF front_;
};

// The series' colours and names beside the chart, in as many columns as the height needs:
// twenty elements fit where one column would not.
class LegendPanel : public QWidget {
  public:
    explicit LegendPanel(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("legend"));
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    }

    void setEntries(std::vector<std::pair<QColor, QString>> entries) {
        entries_ = std::move(entries);
        updateGeometry();
        update();
    }
    const std::vector<std::pair<QColor, QString>>& entries() const { return entries_; }

    QSize sizeHint() const override {
        const int columns = columnCount(std::max(height(), lineHeight()));
        return {columns * columnWidth() + 8, 0};
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (sizeHint().width() != width())
            updateGeometry();
    }

    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const int line = lineHeight();
        const int rows = std::max(1, (height() - 8) / line);
        const int box = fontMetrics().ascent() - 2;
        for (size_t i = 0; i < entries_.size(); ++i) {
            const int column = static_cast<int>(i) / rows;
            const int row = static_cast<int>(i) % rows;
            const int x = 4 + column * columnWidth();
            const int y = 4 + row * line;
            p.fillRect(QRect(x, y + (line - box) / 2, box, box), entries_[i].first);
            p.setPen(Qt::black);
            p.drawText(QRect(x + box + 4, y, columnWidth() - box - 6, line),
                       Qt::AlignLeft | Qt::AlignVCenter, entries_[i].second);
        }
    }

  private:
    int lineHeight() const { return fontMetrics().height() + 2; }
    int columnWidth() const {
        int widest = 0;
        for (const auto& e : entries_)
            widest = std::max(widest, fontMetrics().horizontalAdvance(e.second));
        return widest + fontMetrics().ascent() + 12;
    }
    int columnCount(int h) const {
        if (entries_.empty())
            return 0;
        const int rows = std::max(1, (h - 8) / lineHeight());
        return (static_cast<int>(entries_.size()) + rows - 1) / rows;
    }

    std::vector<std::pair<QColor, QString>> entries_;
};

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
