#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

namespace velmora::app {

// Start-up's care of the data files, once any Jet files are converted: a damaged file is
// named and its newest good backup offered (the settings file first, then the files of the
// data path it names); then, on the first start of a day, the daily backup of the files
// that have none of that day yet, and the tidying of their Backups folders by the company's
// setting. A backup that fails is told with why, and the program goes on.
void careForDataFilesOnStart(QWidget* parent, const QString& programFolder,
                             const QDateTime& now = QDateTime::currentDateTime());

}  // namespace velmora::app
