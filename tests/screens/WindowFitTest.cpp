#include "screens/common/WindowFit.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

using velmora::screens::fittedGeometry;
using velmora::screens::fitToScreenWhenShown;

namespace {

// A screen of 1600 x 1000 with a panel of 40 at the bottom, and a window manager's frame.
const QRect kAvailable(0, 0, 1600, 960);
const QMargins kFrame(4, 24, 4, 4);

}  // namespace

TEST(WindowFit, AWindowThatFitsKeepsItsPlaceAndSize) {
    const QRect window(100, 80, 1139, 660);
    EXPECT_EQ(fittedGeometry(window, kFrame, kAvailable), window);
    // Its frame touching the area's edges is still within it.
    const QRect corner(4, 24, 1592, 932);
    EXPECT_EQ(fittedGeometry(corner, kFrame, kAvailable), corner);
}

TEST(WindowFit, AWindowPastAnEdgeIsMovedInWithItsSize) {
    // Placed low, the window's bottom (and its frame's) ran past the panel.
    EXPECT_EQ(fittedGeometry(QRect(0, 800, 427, 250), kFrame, kAvailable), QRect(4, 706, 427, 250));
    EXPECT_EQ(fittedGeometry(QRect(1400, 100, 400, 300), kFrame, kAvailable),
              QRect(1196, 100, 400, 300));
    EXPECT_EQ(fittedGeometry(QRect(-50, -30, 400, 300), kFrame, kAvailable),
              QRect(4, 24, 400, 300));
}

TEST(WindowFit, AWindowTooLargeIsMadeAsLargeAsTheAreaAllows) {
    // Too tall: as tall as the area less the frame, from its top; the width stays.
    EXPECT_EQ(fittedGeometry(QRect(200, 100, 1260, 1100), kFrame, kAvailable),
              QRect(200, 24, 1260, 932));
    // Too large both ways, on a smaller screen that starts right of another one.
    const QRect second(1600, 0, 1024, 768);
    EXPECT_EQ(fittedGeometry(QRect(1700, 50, 1200, 900), kFrame, second),
              QRect(1604, 24, 1016, 740));
    // Without a frame (no window manager) the area itself is the limit.
    EXPECT_EQ(fittedGeometry(QRect(0, 0, 1300, 1200), QMargins(), kAvailable),
              QRect(0, 0, 1300, 960));
}

TEST(WindowFit, AShownWindowLiesWithinItsScreensArea) {
    // The test screen's area is fixed; a window made larger than it, with a minimum size
    // larger still, is fitted as it is shown.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    window.setMinimumSize(available.width() + 100, 200);
    window.resize(available.width() + 200, available.height() + 300);
    fitToScreenWhenShown(&window);
    window.show();
    EXPECT_TRUE(available.contains(window.frameGeometry()))
        << window.frameGeometry().width() << "x" << window.frameGeometry().height();
    EXPECT_EQ(window.frameGeometry().width(), available.width());
    // One that fits keeps the size it was given.
    QWidget small;
    small.resize(available.width() / 2, available.height() / 2);
    fitToScreenWhenShown(&small);
    small.show();
    EXPECT_EQ(small.size(), QSize(available.width() / 2, available.height() / 2));
}
