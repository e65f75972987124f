#pragma once

#include <QString>

class QWidget;

namespace velmora::app {

// "Restore from backup…": lists the backups of the program's data files, newest first; the
// one chosen is restored after a confirmation, with the files as they are now kept as a
// backup first. Every outcome is told. Returns true when files were restored.
bool restoreFromBackup(QWidget* parent, const QString& programFolder);

}  // namespace velmora::app
