#pragma once

#include "ConversionReport.h"
#include "TableSource.h"
#include "TargetKind.h"
#include "data/Database.h"

#include <functional>

namespace velmora::legacy {

// The conversion was cancelled by the user; nothing of it was kept.
class ConversionCancelled : public data::DbError {
  public:
    ConversionCancelled()
        : data::DbError(data::err::JetFile, QStringLiteral("The conversion was cancelled.")) {}
};

// Called as rows are copied, with the rows copied so far and the rows in all; returning
// false cancels the conversion.
using ProgressFn = std::function<bool(qint64 done, qint64 total)>;

// Copies a source into a new data file of the given kind, inside the transaction that made
// its tables: Velmora's own tables column by column (names matched without regard to
// letter case), the template tables of the makes, and every other table and column as it
// is; then the stored queries the engine can run. What could not be copied goes into the
// report. Throws ConversionCancelled when progress says so, data::DbError when the
// source cannot be read or the new file cannot be written.
void copyTables(TableSource& source, TargetKind kind, data::Database& db,
                const ProgressFn& progress, ConversionReport* report);

// The rows in all the source's tables (as their definitions state them).
qint64 totalRows(TableSource& source);

}  // namespace velmora::legacy
