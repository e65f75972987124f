#pragma once

#include <QString>

#include <vector>

class QWidget;

namespace velmora::screens {

// What the closing question decided.
enum class CloseDecision { Close, SaveThenClose, Stay };

// The closing question of an editing screen: nothing is asked while its save button is
// disabled (no unsaved changes); otherwise "Data has changed. Save data?" with Yes, No and
// Cancel, the information icon and No as the default. Yes saves then closes, No closes,
// Cancel keeps the screen open.
CloseDecision askToSaveOnClose(QWidget* screen, bool saveEnabled);

// The data-error message: "Data error event hit err:" followed directly by the engine's
// text, OK only, the program's title as caption.
void showDataError(QWidget* parent, const QString& engineText);

// Switches a button bar between its edited state and its clean state.
void setEditedButtons(bool edited, const std::vector<QWidget*>& enabledWhenEdited,
                      const std::vector<QWidget*>& disabledWhenEdited);

// The grid fills the window's width and the height left below its top, less the record
// source's navigation bar, the button bar and 30 twips. A height that cannot be applied
// (negative) leaves the grid as it is. Returns whether the grid was given the new size.
bool applyGridLayoutA(QWidget* window, QWidget* grid, const QWidget* navigationBar,
                      const QWidget* buttonBar);

}  // namespace velmora::screens
