#pragma once

#include <QString>

namespace velmora::reports {

// Creates a new main data file (Timemgr.mdb) with its tables and the stored queries the
// reports read, all in one transaction. An existing file is an error, never overwritten;
// a file that cannot be completed is removed again. Throws data::DbError.
void createMainDataFile(const QString& path);

}  // namespace velmora::reports
