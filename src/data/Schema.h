#pragma once

#include <QString>

namespace velmora::data::schema {

// New, empty data files with every table of the program. Each is created in one
// transaction; a file that cannot be completed is removed again. An existing file is an
// error, never overwritten.
void createCompanyFile(const QString& path, const QString& dataPath);
void createMainFile(const QString& path);
void createTemplateFile(const QString& path);

// The statement that creates a make's template table, the make safely bracketed.
QString templateTableStatement(const QString& make);

}  // namespace velmora::data::schema
