#pragma once

class QWidget;

namespace velmora::screens {

class DataGrid;

// What the program remembers of a screen for the user who works with it: the window's size
// and place (maximised or not) and the widths the user gave the grid's columns. Kept in the
// user's own settings under the screen's object name; a screen seen for the first time keeps
// the size it was laid out with.
void restoreScreenLayout(QWidget* screen, DataGrid* grid);
void saveScreenLayout(const QWidget* screen, const DataGrid* grid);

}  // namespace velmora::screens
