#include "AircraftSetupLayout.h"

namespace velmora::aircraft::layout {

using entry::AircraftSetupField;

const std::array<FieldPlace, 13> kFieldPlaces = {{
    {AircraftSetupField::RegNum, "Registration #:", 1320, 75, 1425, 10, false},
    {AircraftSetupField::SerialNumber, "Serial Number:", 5685, 75, 2205, 50, false},
    {AircraftSetupField::Make, "A/C Make:", 1320, 525, 2500, 50, false},
    {AircraftSetupField::Model, "Model:", 5700, 525, 2190, 50, false},
    {AircraftSetupField::Year, "Year:", 8760, 45, 735, 50, false},
    {AircraftSetupField::Engine1Serial, "Engine 1 Serial #:", 1320, 960, 2500, 50, false},
    {AircraftSetupField::Engine2Serial, "Engine 2 Serial #:", 1320, 1440, 2500, 50, false},
    {AircraftSetupField::CurrentMeter2, "Current Meter #2:", 5910, 1440, 1980, 0, false},
    {AircraftSetupField::CurrentMeter1, "Current Meter #1:", 5910, 990, 1980, 0, false},
    {AircraftSetupField::TotalTime, "AirframeTime:", 135, 600, 1215, 0, true},
    {AircraftSetupField::TotalLandings, "Landings:", 1665, 600, 1215, 0, true},
    {AircraftSetupField::TotalCycles, "Cycles:", 3120, 600, 1215, 0, true},
    {AircraftSetupField::TotalRIN, "RIN:", 4515, 600, 1215, 0, true},
}};

const std::array<const char*, 6> kOptionCaptions = {"Installed",  "Not installed", "All",
                                                    "Inspection", "Assembly",      "Item #"};

const std::array<ButtonPlace, 5> kButtons = {{
    {"&Add New Aircraft", "cmdAdd", 121, 1995},
    {"&Delete Aircraft", "cmdDelete", 2235, 1845},
    {"&Save", "cmdSave", 4215, 975},
    {"&Close", "cmdClose", 5310, 975},
    {"Save as Template", "cmdTemplate", 6360, 1440},
}};

}  // namespace velmora::aircraft::layout
