#pragma once

#include <QString>

class QWidget;

namespace velmora::app {

// Keeps the newest journal line of every main data file changed in this program as the
// file's anchor in the company settings file.
void anchorJournalsIn(const QString& settingsFile);

// Before a main data file is opened for changes: its journal's chain is checked from the
// anchor the settings file keeps for it (only the lines added since are read; without one,
// the whole chain once). When it is whole the newest line becomes the anchor; when it is not,
// the user is told once in the session which line is the first at fault, and goes on working.
// A file that cannot be read is left to the screens' own messages.
void checkJournalOnOpen(QWidget* parent, const QString& settingsFile, const QString& mainFile);

}  // namespace velmora::app
