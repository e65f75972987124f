// velmora-ad: the register of directives and inspection tasks, headless.
#include "AdCommand.h"
#include "headless/HeadlessProgram.h"

int main(int argc, char** argv) {
    return velmora::cli::runHeadlessProgram(argc, argv, velmora::adtool::adHelp(),
                                            velmora::adtool::runAdCommand);
}
