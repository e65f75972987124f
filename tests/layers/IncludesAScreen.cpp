// Compiled with the engine's include folders only: the screen's header must not be found.
#include "aircraft/frmAircraft.h"
