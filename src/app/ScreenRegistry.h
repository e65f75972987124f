#pragma once

namespace velmora::app {

class frmMenuVelmora;

// Gives the main menu's buttons the screens that exist.
void registerScreens(frmMenuVelmora& menu);

}  // namespace velmora::app
