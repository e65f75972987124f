#include "ButtonAccelerators.h"

#include <QEvent>
#include <QPointer>
#include <QPushButton>
#include <QShortcutEvent>

namespace velmora::screens {

namespace {

class AcceleratorFocus : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Shortcut)
            return false;
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || static_cast<QShortcutEvent*>(event)->isAmbiguous() || !button->isEnabled() ||
            !button->isVisible())
            return false;
        QPointer<QPushButton> pressed = button;
        // Leaving the field runs its rule; a question it asks is answered before the click.
        // A rule that sent the focus back to its field (a missing entry) keeps the user there.
        pressed->setFocus(Qt::ShortcutFocusReason);
        if (pressed && pressed->isEnabled() && pressed->isVisible() &&
            pressed->window()->focusWidget() == pressed)
            pressed->click();
        return true;
    }
};

}  // namespace

void focusButtonsOnAccelerator(QWidget* window) {
    if (!window)
        return;
    auto* filter = new AcceleratorFocus(window);
    for (QPushButton* b : window->findChildren<QPushButton*>())
        b->installEventFilter(filter);
}

}  // namespace velmora::screens
