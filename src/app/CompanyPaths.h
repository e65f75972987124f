#pragma once

#include <QString>

namespace velmora::app {

// The data path stored for a chosen database file: the chosen full name cut just before
// the first occurrence of the file's bare name, so the folder with its trailing separator
// remains ("/srv/fleet/TimeMgr.mdb" gives "/srv/fleet/").
QString folderOfChosenFile(const QString& chosenFile);

}  // namespace velmora::app
