#include "WindowFit.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace velmora::screens {

QRect fittedGeometry(const QRect& geometry, const QMargins& frame, const QRect& available) {
    if (!available.isValid() || !geometry.isValid())
        return geometry;
    const int widest = std::max(1, available.width() - frame.left() - frame.right());
    const int tallest = std::max(1, available.height() - frame.top() - frame.bottom());
    QRect inner(geometry.topLeft(),
                QSize(std::min(geometry.width(), widest), std::min(geometry.height(), tallest)));
    // Moved in past the right and bottom edges first, so that the title bar stays in view.
    QRect outer = inner.marginsAdded(frame);
    if (outer.right() > available.right())
        outer.moveRight(available.right());
    if (outer.bottom() > available.bottom())
        outer.moveBottom(available.bottom());
    if (outer.left() < available.left())
        outer.moveLeft(available.left());
    if (outer.top() < available.top())
        outer.moveTop(available.top());
    return outer.marginsRemoved(frame);
}

namespace {

// The frame around a window; none while it is not known (not shown yet, no window
// manager, or one that is still putting the frame in place and reports a frame smaller
// than the window).
QMargins frameOf(const QWidget* window) {
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    if (frame.left() < 0 || frame.top() < 0 || frame.right() < 0 || frame.bottom() < 0)
        return {};
    return frame;
}

class WindowFitter : public QObject {
  public:
    explicit WindowFitter(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_)
            return false;
        if (event->type() == QEvent::Show) {
            frame_ = frameOf(window_);
            fit();
        } else if (window_->isVisible()) {
            // A window manager puts its frame around the window after it is shown, and the
            // window learns of it with no event of its own: fitted again once the frame is
            // known, after the event at hand (a paint, say).
            const QMargins frame = frameOf(window_);
            if (!frame.isNull() && frame != frame_) {
                frame_ = frame;
                QMetaObject::invokeMethod(this, &WindowFitter::fit, Qt::QueuedConnection);
            }
        }
        return false;
    }

  private:
    void fit() {
        const QScreen* screen = window_->screen();
        if (!screen || window_->isMaximized() || window_->isFullScreen())
            return;
        const QRect target =
            fittedGeometry(window_->geometry(), frame_, screen->availableGeometry());
        if (target == window_->geometry())
            return;
        if (window_->minimumWidth() > target.width() || window_->minimumHeight() > target.height())
            window_->setMinimumSize(std::min(window_->minimumWidth(), target.width()),
                                    std::min(window_->minimumHeight(), target.height()));
        window_->setGeometry(target);
    }

    QPointer<QWidget> window_;
    QMargins frame_;  // the frame last known around the window
};

}  // namespace

void fitToScreenWhenShown(QWidget* window) {
    if (window)
        new WindowFitter(window);
}

}  // namespace velmora::screens
