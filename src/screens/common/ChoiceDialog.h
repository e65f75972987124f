#pragma once

#include "Dialogs.h"

#include <optional>

class QWidget;

namespace velmora::screens {

// The standard list of the dialogs service: a modal window with the prompt, the rows under
// their column captions and the two buttons. A double click takes a row as well.
std::optional<int> showChoiceDialog(QWidget* parent, const ChoiceRequest& request);

}  // namespace velmora::screens
