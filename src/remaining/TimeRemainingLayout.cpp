#include "TimeRemainingLayout.h"

#include "RemainingGridColumns.h"

namespace velmora::remaining::layout {

using entry::TimeRemainingField;

const std::array<FieldPlace, 11> kFieldPlaces = {{
    {TimeRemainingField::SerialNumber, 16, "Serial #", 5400, 45, 1995, false},
    {TimeRemainingField::Make, 1, "Make:", 1335, 480, 2295, false},
    {TimeRemainingField::Model, 2, "Model:", 5400, 480, 1995, false},
    {TimeRemainingField::Engine1Serial, 4, "Engine 1 Serial #:", 1335, 930, 2295, false},
    {TimeRemainingField::Engine2Serial, 5, "Engine 2 Serial #:", 1335, 1380, 2295, false},
    {TimeRemainingField::CurrentMeter1, 9, "Current Meter #1:", 5775, 960, 1620, false},
    {TimeRemainingField::CurrentMeter2, 10, "Current Meter #2:", 5775, 1440, 1620, false},
    {TimeRemainingField::TotalTime, 11, "Airframe", 120, 480, 1215, true},
    {TimeRemainingField::TotalLandings, 13, "Landings", 1425, 480, 1215, true},
    {TimeRemainingField::TotalCycles, 14, "Cycles", 2730, 480, 1215, true},
    {TimeRemainingField::TotalRIN, 15, "RIN", 4035, 480, 1215, true},
}};

const std::array<ForecastPlace, 6> kForecasts = {{
    {"Meter #1", "ForecastMeter1"},
    {"Meter #2", "ForecastMeter2"},
    {"Months", "ForecastMonths"},
    {"Cycles", "ForecastCycles"},
    {"Landings", "ForecastLandings"},
    {"RIN", "ForecastRIN"},
}};

const std::array<ShowPlace, 8> kShows = {{
    {"Cost Info", "ShowCost", gridcol::Cost},
    {"Manufacturer", "ShowManufacturer", gridcol::Manufacturer},
    {"Assembly", "ShowAssembly", gridcol::Assembly},
    {"Inspection Grp", "ShowInspection", gridcol::Inspection},
    {"Purchase Date", "ShowPurchase", gridcol::PurchaseDate},
    {"Landings", "ShowLandings", gridcol::LNDtoRET},
    {"Cycles", "ShowCycles", gridcol::CYCtoRET},
    {"RIN", "ShowRIN", gridcol::RINtoRET},
}};

const std::array<const char*, 3> kViewCaptions = {"Meter #1", "Meter #2", "Both"};

const std::array<ButtonPlace, 4> kButtons = {{
    {"&Close", "cmdClose", 0},
    {"&Save", "cmdSave", 1335},
    {"Print &Actual", "cmdPrint_0", 2655},
    {"Print &Forecast", "cmdPrint_1", 3960},
}};

}  // namespace velmora::remaining::layout
