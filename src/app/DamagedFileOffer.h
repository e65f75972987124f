#pragma once

#include <QStringList>

class QWidget;

namespace velmora::app {

// Looks at the data files as the screens will open them. For each one that is damaged
// (the engine refuses to open it for changes and writes nothing to it), the user is told
// which file and what is wrong with it, and is offered its newest good backup: Yes restores
// it, keeping the damaged file in the Backups folder first. Missing files and files that
// cannot be opened for other reasons are left to the screens' own messages. Returns true
// when a file was restored.
bool offerBackupsForDamagedFiles(QWidget* parent, const QStringList& files);

}  // namespace velmora::app
