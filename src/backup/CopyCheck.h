#pragma once

#include <QString>

namespace velmora::backup {

// Why a backup's copy of a data file cannot be restored over it; empty when it can. The copy
// must be a regular file, an intact database, and a Velmora file of the data file's kind:
// the company settings (CompanyInfo) for SetupPP.mdb, a main data file (Aircraft and Parts)
// for Timemgr.mdb, a template library (its Aircraft index) for HeliPart.mdb.
QString copyProblem(const QString& copy, const QString& dataFile);

}  // namespace velmora::backup
