#pragma once

#include "FleetRows.h"

#include <span>

namespace velmora::demo {

// A make and model of the demo fleet.
struct AircraftModel {
    const char* make;
    const char* model;
    const char* partPrefix;  // put before the maker's part numbers: "HR42"
    int yearIntroduced;
    unsigned traits;  // Trait flags
};

// One aircraft of the demo fleet: its Aircraft row and what shapes its components.
struct DemoAircraft {
    const AircraftModel* model;
    AircraftRow row;
    int yearBuilt;
    // The oil-analysed component whose samples show a rising wear metal, and that metal
    // (an index into kOilElements).
    const char* trendComponent;
    int trendElement;
};

// The makes and models, each once.
std::span<const AircraftModel> demoModels();

// The four aircraft; their meters and counters are as of the time they are shown.
std::span<const DemoAircraft> demoAircraft();

}  // namespace velmora::demo
