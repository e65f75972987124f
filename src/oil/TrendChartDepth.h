#pragma once

#include "TrendChart.h"
#include "TrendChartRuns.h"

#include <QChart>
#include <QFontMetrics>
#include <QGraphicsItem>
#include <QPainter>
#include <QPolygonF>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora::oil {

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

}  // namespace velmora::oil
