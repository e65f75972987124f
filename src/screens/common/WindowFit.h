#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace velmora::screens {

// Where a window stands so that it lies within the screen's available area (the screen
// less its panels and task bars). A window whose frame fits there keeps its size and is only
// moved in where it stands past an edge; one that does not fit is made as large as the area
// allows (in the direction it does not fit) and put at the area's edge. geometry is the
// window's inner rectangle, frame the margins of the frame around it (title bar, borders),
// available the area; the result is the inner rectangle to give the window.
QRect fittedGeometry(const QRect& geometry, const QMargins& frame, const QRect& available);

// Fits a top-level window to the available area of its screen each time it is shown, and
// again once a window manager has put its frame around it (whose size is known only then).
// A window whose minimum size is larger than the area is allowed to be smaller; its grid or
// list then shows fewer rows and scrolls.
void fitToScreenWhenShown(QWidget* window);

}  // namespace velmora::screens
