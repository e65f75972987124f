#include "FieldEvents.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace velmora::screens {

FieldEvent fieldEventOf(const QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn:
            return FieldEvent::GotFocus;
        case QEvent::FocusOut: {
            const auto reason = static_cast<const QFocusEvent*>(event)->reason();
            return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason
                       ? FieldEvent::None
                       : FieldEvent::LeftByUser;
        }
        case QEvent::KeyPress: {
            const auto* key = static_cast<const QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            // The numeric keypad's Enter carries the keypad flag; it counts as Enter too.
            const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
            return enter && plain ? FieldEvent::Enter : FieldEvent::None;
        }
        default:
            return FieldEvent::None;
    }
}

}  // namespace velmora::screens
