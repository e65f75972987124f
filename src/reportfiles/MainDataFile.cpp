#include "MainDataFile.h"

#include "ReportQueries.h"
#include "data/Database.h"
#include "data/Schema.h"

namespace velmora::reports {

void createMainDataFile(const QString& path) {
    data::schema::createMainFile(path, [](data::Database& db) { ensureReportQueries(db); });
}

}  // namespace velmora::reports
