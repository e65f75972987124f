#pragma once

// Moving a whole data set (the main file and the template file of a data path) between a
// data folder and a database server, in either direction.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace velmora::data {

// What was copied of one data file.
struct CopiedFile {
    QString file;                                        // "Timemgr.mdb"
    std::vector<std::pair<QString, std::int64_t>> rows;  // table name, rows copied
    int queries = 0;                                     // stored queries copied
    std::int64_t journalLines = -1;  // entry journal lines carried; -1: the file kept none
};

// Copies the data files of one data path (a folder, or a postgresql:// URI) to another.
// Every table with its rows, in their order, and every stored query is copied; tables
// beyond the program's own (a make's template table) get columns of the same kinds. The
// entry journal goes with the data set, its lines as they are (so that its chain holds in the
// target), the rows keeping the row ids its lines name them by and writing no lines of their
// own; a data set without a journal gets one in the target, begun with the rows copied in.
// Each file is copied in one transaction on the target; on a server the data set's schemas
// are made in those transactions too, and take their names together at the end. Refuses
// (DbError) before copying anything when a source file is missing or a target file exists
// (a folder) or holds tables (a server); a failure on the way, the server's too, leaves the
// target as it was, and the copy can be run again.
std::vector<CopiedFile> migrateDataSet(const QString& fromDataPath, const QString& toDataPath);

// The report of a migration, one line per table and a total.
QString migrationReport(const std::vector<CopiedFile>& copied);

}  // namespace velmora::data
