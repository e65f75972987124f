#pragma once

#include <QString>

#include <functional>

namespace velmora::data {
class Database;
}

namespace velmora::data::schema {

// The program's three data files.
enum class DataFile { Company, Main, Templates };

// A new data file of that kind with the program's tables and no rows; fill then runs in the
// same transaction (bringing rows in from elsewhere). A file that cannot be completed is
// removed again; an existing file is an error, never overwritten.
void createDataFile(const QString& path, DataFile kind, const std::function<void(Database&)>& fill);

// New, empty data files with every table of the program. Each is created in one
// transaction; a file that cannot be completed is removed again. An existing file is an
// error, never overwritten.
void createCompanyFile(const QString& path, const QString& dataPath);
// addMore runs inside the main file's transaction, after its tables are made (the stored
// queries that belong to a new file).
void createMainFile(const QString& path, const std::function<void(Database&)>& addMore = nullptr);
void createTemplateFile(const QString& path);

// The statement that creates a make's template table, the make safely bracketed.
QString templateTableStatement(const QString& make);

}  // namespace velmora::data::schema
