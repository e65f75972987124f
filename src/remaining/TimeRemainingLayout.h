#pragma once

#include "entry/EntryFields.h"
#include "screens/common/Twips.h"

#include <array>

// Where the controls of the time remaining screen stand, in twips as designed (the screen
// scales them to the user's font), and their captions. Behaviour is in frmRemain.
namespace velmora::remaining::layout {

using Box = screens::TwipsBox;

// An entry field with its label (lblLabels[label]): fields inside the "Total" frame have
// their label above them and positions within the frame; the others have it to their left.
struct FieldPlace {
    entry::TimeRemainingField field;
    int label;
    const char* caption;
    int left, top, width;
    bool inTotals;
};

inline constexpr int kBoxHeight = 285;

inline constexpr Box kChooserLabel = {120, 30, 1200, 315};
inline constexpr const char* kChooserCaption = "Registration #:";
inline constexpr Box kAircraftChooser = {1335, 30, 1710, 315};
inline constexpr Box kTotalsFrame = {120, 2160, 5415, 1065};
extern const std::array<FieldPlace, 11> kFieldPlaces;

// The forecast frame: six fields in two columns of three, each with its label and column.
inline constexpr Box kForecastFrame = {7710, 45, 4035, 1680};
struct ForecastPlace {
    const char* caption;
    const char* column;
};
extern const std::array<ForecastPlace, 6> kForecasts;

// The "Show" frame: eight boxes in two columns of four; each shows a grid column (or its
// group) and keeps its choice in a column of the aircraft.
inline constexpr Box kShowFrame = {6000, 1920, 4335, 1305};
struct ShowPlace {
    const char* caption;
    const char* column;
    int gridColumn;
};
extern const std::array<ShowPlace, 8> kShows;

// The "Report" frame: the meter view.
inline constexpr Box kReportFrame = {10440, 1920, 1335, 1305};
extern const std::array<const char*, 3> kViewCaptions;

inline constexpr Box kGrid = {0, 3465, 7095, 4305};
inline constexpr int kWidth = 11900;
inline constexpr int kButtonBarTop = 7920;
inline constexpr int kButtonHeight = 300;
inline constexpr int kNavigationHeight = 345;

struct ButtonPlace {
    const char* caption;
    const char* name;
    int left;
};
// Close, Save, Print Actual, Print Forecast, from the left; 1095 twips wide or as their
// caption needs.
extern const std::array<ButtonPlace, 4> kButtons;
inline constexpr int kButtonWidth = 1095;

}  // namespace velmora::remaining::layout
