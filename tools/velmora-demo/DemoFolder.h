#pragma once

#include <QString>
#include <QStringList>

namespace velmora::demo {

// The data files already in a folder that creating the demo files would meet, as they are
// spelled on disk: Timemgr.mdb and HeliPart.mdb matched without regard to letter case.
// Empty when the folder does not exist or holds neither.
QStringList existingDataFiles(const QString& folder);

}  // namespace velmora::demo
