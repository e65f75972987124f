#pragma once

namespace velmora::app {

// Starts the program: one copy per user and installation, first-run set-up, main menu.
int runVelmora(int argc, char** argv);

}  // namespace velmora::app
