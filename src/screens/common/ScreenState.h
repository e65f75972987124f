#pragma once

namespace velmora::screens {

// While set, the screens' record-change handlers skip their own work: screens set it
// around filling their choosers and beginning a new aircraft.
extern bool SuppressReposition;

}  // namespace velmora::screens
