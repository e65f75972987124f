// velmora-due: the fleet's due list, headless, for scripts and scheduled reports.
#include "DueCommand.h"
#include "headless/HeadlessProgram.h"

int main(int argc, char** argv) {
    return velmora::cli::runHeadlessProgram(argc, argv, velmora::duetool::dueHelp(),
                                            velmora::duetool::runDueCommand);
}
