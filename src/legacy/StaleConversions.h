#pragma once

#include <QString>

namespace velmora::legacy {

// Removes the half-made files a conversion into destination left when it was killed:
// DEST.converting and DEST.converting-N, with their journals. A file that a running
// conversion still writes (SQLite holds its lock) is left alone.
void removeStaleConversions(const QString& destination);

}  // namespace velmora::legacy
