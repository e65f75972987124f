#pragma once

#include "TableSource.h"

#include <QString>

#include <vector>

namespace velmora::legacy {

// Which of Velmora's data files a Jet file is: the company settings, the main data file,
// the template library; or another database, whose tables are all copied as they are.
enum class TargetKind { Company, Main, Templates, Other };

// Decided by the tables the file holds (CompanyInfo; Parts or Oil; an Aircraft table of
// makes and models), and for a file without tables by its name (SetupPP.mdb, TimeMgr.mdb,
// HeliPart.mdb, letter case ignored).
TargetKind guessTargetKind(const QString& fileName, const std::vector<SourceTable>& tables);

// "the main data file (Aircraft, Parts, Oil)", ...
QString describeTargetKind(TargetKind kind);

// Velmora's own tables in a file of this kind (the template tables of the makes aside).
QStringList knownTables(TargetKind kind);

// The columns of a make's template table: a table of the template library with all of
// these is a template table even when the index does not list its make.
const QStringList& templateColumns();

}  // namespace velmora::legacy
