#pragma once

#include <QString>

namespace velmora::app {

class frmMenuVelmora;

// Gives the main menu's buttons the screens that exist.
void registerScreens(frmMenuVelmora& menu);

// Opens aircraft set-up (or brings it forward) with this aircraft chosen in its chooser.
// A message says why when it cannot: a new aircraft is being entered there, or the
// registration is not on file.
void showAircraftInSetup(frmMenuVelmora& menu, const QString& regNum);

}  // namespace velmora::app
