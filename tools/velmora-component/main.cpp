// velmora-component: components moved between aircraft, stores and shop, headless.
#include "ComponentCommand.h"
#include "headless/HeadlessProgram.h"

int main(int argc, char** argv) {
    return velmora::cli::runHeadlessProgram(argc, argv, velmora::componenttool::componentHelp(),
                                            velmora::componenttool::runComponentCommand);
}
