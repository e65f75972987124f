#pragma once

namespace velmora::screens {

// Screen positions and sizes are kept in twips: 15 twips are one pixel at 96 dots per inch.
constexpr int twips(int t) {
    return t / 15;
}

}  // namespace velmora::screens

#include <QFontMetrics>
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

}  // namespace velmora::screens
