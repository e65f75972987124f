#pragma once

#include "legacy/MemoryTableSource.h"

namespace velmora::bench {

// A TimeMgr.mdb of the earlier program as a generated table source: the given number of
// aircraft with componentsEach Parts rows apiece, made row by row as they are read, so
// that no row is held in memory.
legacy::MemoryTableSource generatedFleetSource(int aircraft, int componentsEach);

}  // namespace velmora::bench
