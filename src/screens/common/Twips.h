#pragma once

namespace velmora::screens {

// Screen positions and sizes are kept in twips: 15 twips are one pixel at 96 dots per inch.
constexpr int twips(int t) {
    return t / 15;
}

}  // namespace velmora::screens

#include <QFontMetrics>
#include <QList>
#include <QRect>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace velmora::screens {

// A factor for twip positions that lets a box of the given height (in twips) hold one line
// of the widget's font with its frame; 1 where the font fits as designed.
inline double layoutScale(const QWidget* w, int boxHeightTwips) {
    const double designed = boxHeightTwips / 15.0;
    const double needed = w->fontMetrics().height() + 8;
    return std::max(1.0, needed / designed);
}

inline int twips(int t, double scale) {
    return static_cast<int>(std::lround(t / 15.0 * scale));
}

// A place on a screen in twips as designed: left, top, width and height.
struct TwipsBox {
    int left, top, width, height;
};

inline QRect twips(const TwipsBox& b, double scale) {
    return QRect(twips(b.left, scale), twips(b.top, scale), twips(b.width, scale),
                 twips(b.height, scale));
}

}  // namespace velmora::screens

#include <QLabel>

namespace velmora::screens {

// Puts a label right before its field, as wide as its text needs, at the field's height.
inline void placeLabelBefore(QLabel* label, const QWidget* field, int gap = 6) {
    const int width = label->fontMetrics().horizontalAdvance(label->text()) + 4;
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setGeometry(field->x() - gap - width, field->y(), width, field->height());
}

// Moves the given widgets right so that none starts left of the margin; returns the
// distance moved (0 when all fit).
inline int shiftIntoView(const QList<QWidget*>& widgets, int margin = 4) {
    int minX = margin;
    for (const QWidget* w : widgets) {
        if (w)
            minX = std::min(minX, w->x());
    }
    const int dx = margin - minX;
    if (dx > 0) {
        for (QWidget* w : widgets) {
            if (w)
                w->move(w->x() + dx, w->y());
        }
    }
    return std::max(dx, 0);
}

// The right edge of what a window shows at the top of it: its direct children other than
// those that follow the window's width anyway (grid, button bar, navigation bar).
inline int contentRight(const QWidget* window, const QList<const QWidget*>& followers) {
    int right = 0;
    for (const QWidget* w : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!w->isHidden() && !followers.contains(w))
            right = std::max(right, w->geometry().right() + 1);
    }
    return right;
}

}  // namespace velmora::screens
