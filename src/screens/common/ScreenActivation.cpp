#include "ScreenActivation.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QWidget>

namespace velmora::screens {

namespace {

// Sees every activation of the program's windows, before the window itself does, and keeps
// the program window that is active in the program's sense.
class ProgramWindowTracker : public QObject {
  public:
    static ProgramWindowTracker& instance() {
        static QPointer<ProgramWindowTracker> tracker;
        if (!tracker) {
            tracker = new ProgramWindowTracker(qApp);
            qApp->installEventFilter(tracker);
        }
        return *tracker;
    }

    QPointer<QWidget> current;
    // The window that has just become the active program window, until its watcher took it.
    QPointer<QWidget> newlyActive;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ActivationChange || !watched->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow() && QApplication::activeWindow() == w &&
            ScreenActivation::isProgramWindow(w) && current != w) {
            current = w;
            newlyActive = w;
        }
        return false;
    }

  private:
    using QObject::QObject;
};

}  // namespace

ScreenActivation::ScreenActivation(QWidget* screen, std::function<void()> onActivate)
    : QObject(screen), screen_(screen), onActivate_(std::move(onActivate)) {
    ProgramWindowTracker::instance();
    screen->installEventFilter(this);
}

ScreenActivation::~ScreenActivation() = default;

QWidget* ScreenActivation::activeProgramWindow() {
    return ProgramWindowTracker::instance().current;
}

bool ScreenActivation::isProgramWindow(const QWidget* window) {
    if (!window || !window->isWindow() || qobject_cast<const QDialog*>(window))
        return false;
    const Qt::WindowType type = window->windowType();
    return type == Qt::Window || type == Qt::Widget;
}

bool ScreenActivation::eventFilter(QObject* watched, QEvent* event) {
    if (watched != screen_ || event->type() != QEvent::ActivationChange)
        return false;
    ProgramWindowTracker& tracker = ProgramWindowTracker::instance();
    if (tracker.newlyActive != screen_)
        return false;
    tracker.newlyActive = nullptr;
    if (onActivate_)
        onActivate_();
    return false;
}

}  // namespace velmora::screens
