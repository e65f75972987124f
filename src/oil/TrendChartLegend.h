#pragma once

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace velmora::oil {

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

}  // namespace velmora::oil
