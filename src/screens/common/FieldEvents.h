#pragma once

class QEvent;

namespace velmora::screens {

// What an event on an entry field means to a screen's field handlers.
enum class FieldEvent {
    None,
    GotFocus,
    LeftByUser,  // focus went elsewhere because the user moved it
    Enter,       // Return or the keypad's Enter, without modifier keys
};

// Focus taken by a message box or a popup is not the user leaving the field: a question
// a field's rule asks must not make another field's rule run.
FieldEvent fieldEventOf(const QEvent* event);

}  // namespace velmora::screens
