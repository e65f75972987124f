// Velmora: service life of aircraft components.
#include "AppStart.h"

int main(int argc, char** argv) {
    return velmora::app::runVelmora(argc, argv);
}
