#pragma once

class QWidget;

namespace velmora::screens {

// A button pressed by its accelerator (Alt + the underlined letter) takes the focus first,
// as a click with the mouse does, and is clicked only when it still has the focus, enabled
// and shown, afterwards. The entry field the user leaves so runs its rule for the row on screen
// before the button's handler changes the row: Alt+A does not write a half-made new aircraft, and
// Alt+S does not store a meter reading past its rule.
//
// Applies to the push buttons the window holds when this is called.
void focusButtonsOnAccelerator(QWidget* window);

}  // namespace velmora::screens
