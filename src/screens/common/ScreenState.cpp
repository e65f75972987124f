#include "ScreenState.h"

namespace velmora::screens {

bool SuppressReposition = false;

}  // namespace velmora::screens
