#pragma once

#include "RemainingLifeQuery.h"
#include "data/Database.h"
#include "data/Recordset.h"

#include <QStringList>

#include <memory>

namespace velmora::remaining {

// The working query that exists only while the list is rebuilt.
inline const QString kWorkingQueryName = QStringLiteral("Query1");

// What a rebuild of the remaining-life list leaves behind.
struct RebuildResult {
    std::shared_ptr<data::Database> database;  // the main data file, opened anew
    std::unique_ptr<data::Recordset> rows;     // the result rows; null when they could not be read
    QStringList failures;                      // the steps that failed, with their texts
};

// The database steps of a rebuild: open the main data file of the data path, store the
// query text as the working query (a leftover one from an interrupted run is replaced),
// open the rows through it, and delete it again. A failing step is skipped and noted, and
// the rebuild goes on with the next one.
RebuildResult rebuildRemainingLife(const QString& dataPath, const QString& regNum,
                                   MeterView view);

}  // namespace velmora::remaining
