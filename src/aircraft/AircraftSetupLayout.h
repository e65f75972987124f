#pragma once

#include "entry/EntryFields.h"
#include "screens/common/Twips.h"

#include <array>

// Where the controls of the aircraft set-up screen stand, in twips as designed (the screen
// scales them to the user's font), and their captions. Behaviour is in frmAircraft.
namespace velmora::aircraft::layout {

using Box = screens::TwipsBox;

// An entry field with its label: fields inside the "Totals" frame have their label above
// them and positions within the frame; the others have it to their left.
struct FieldPlace {
    entry::AircraftSetupField field;
    const char* label;
    int left, top, width;
    int maxLength;  // 0: none
    bool inTotals;
};

inline constexpr int kBoxHeight = 285;

extern const std::array<FieldPlace, 13> kFieldPlaces;  // every field but the owner's
inline constexpr Box kOwner = {8235, 750, 3315, 975};
inline constexpr const char* kOwnerLabel = "Owner Name and Address:";
inline constexpr Box kTotalsFrame = {120, 2040, 6105, 1290};
inline constexpr Box kPlusSignHint = {135, 950, 5800, kBoxHeight};  // in the totals frame
inline constexpr Box kAircraftChooser = {1320, 75, 1710, kBoxHeight};

// "Show Records" (options 0 to 2) and "Order by" (options 3 to 5).
inline constexpr Box kShowRecordsFrame = {7095, 1875, 1695, 1335};
inline constexpr Box kOrderByFrame = {8985, 1860, 1335, 1335};
extern const std::array<const char*, 6> kOptionCaptions;

inline constexpr Box kGrid = {30, 3375, 11835, 4425};
inline constexpr int kWidth = 11900;
inline constexpr int kNavigationHeight = 345;
inline constexpr int kButtonHeight = 300;

struct ButtonPlace {
    const char* caption;
    const char* name;
    int left, width;
};
// Add, Delete, Save, Close, Save as Template, from the left.
extern const std::array<ButtonPlace, 5> kButtons;
// Right of the buttons above: the entry journal of the current aircraft.
inline constexpr ButtonPlace kJournalButton = {"&Journal...", "cmdJournal", 7920, 1200};
// Right of the journal's: renaming the current aircraft.
inline constexpr ButtonPlace kRenameButton = {"Re&name Aircraft...", "cmdRename", 9240, 1680};
// Right of the rename button: the menu that removes and installs components.
inline constexpr ButtonPlace kComponentsButton = {"Co&mponent", "cmdComponents", 10980, 900};
// Right of the entry fields: the aircraft's use per day.
inline constexpr Box kUtilisationPanel = {11900, 60, 2790, 3255};

}  // namespace velmora::aircraft::layout
