// Which back end opens a data location: a database server's URI goes to the PostgreSQL back
// end, anything else names a data file.
#include "Database.h"

#include "DataFiles.h"
#include "Recordset.h"
#include "SqliteDatabase.h"
#include "pg/PgDatabase.h"

namespace velmora::data {

std::unique_ptr<Recordset> Database::openRecordset(const QString& source) {
    return openRecordset(source, {});
}

std::shared_ptr<Database> Database::open(const QString& path) {
    if (isServerLocation(path))
        return pg::openServerDatabase(path, false);
    return openDataFile(path);
}

std::shared_ptr<Database> Database::openForReading(const QString& path) {
    if (isServerLocation(path))
        return pg::openServerReader(path);
    return openDataFileForReading(path);
}

std::shared_ptr<Database> readAheadWhereAtHand(const QString& path, const QString& source) {
    if (!isServerLocation(path))
        return nullptr;
    std::shared_ptr<Database> db = pg::openServerDatabaseAtHand(path);
    if (db)
        db->readAhead(source);
    return db;
}

std::shared_ptr<Database> Database::create(const QString& path) {
    if (isServerLocation(path))
        return pg::openServerDatabase(path, true);
    return createDataFile(path);
}

}  // namespace velmora::data
