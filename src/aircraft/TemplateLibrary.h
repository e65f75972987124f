#pragma once

#include "data/Value.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmora::aircraft {

// One component of a make and model's template.
struct TemplateRow {
    data::Value itemNumber, manufacturer, description, partNumber, assembly, lifeNumber, lifeBasis,
        cost;
};

// The statement that reads a model's template from its make's table: the make is a table
// name and goes between brackets, the model a literal between quotes, so that any name a
// user types reads its own rows. Throws DbError when the make cannot name a table.
QString templateReadSql(const QString& make, const QString& model, bool capitalSelect = false);

// Checks that a make can name its template table: not blank, no "]", not a table the
// library needs for itself. Empty when it can; else the message for the user.
QString makeNameProblem(const QString& make);

// Stores the rows as the template of a make and model in the library file, replacing any
// earlier template of that model: creates the make's table when it has none, keeps one
// index row per make and model. All in one transaction: a failure leaves the library as it
// was. Throws DbError.
void saveTemplate(const QString& libraryFile, const QString& make, const QString& model,
                  const std::vector<TemplateRow>& rows);

// The template rows of a make and model, in the order stored. Throws DbError.
std::vector<TemplateRow> readTemplate(const QString& libraryFile, const QString& make,
                                      const QString& model);

// Copies template rows into the components of an aircraft: installed, on meter 1, the
// chosen make as manufacturer; an item number of 0 becomes the next of 1, 5, 10, 15, ...
// All rows or none (one transaction). Throws DbError.
void applyTemplate(const QString& mainFile, const QString& regNum, const QString& make,
                   const std::vector<TemplateRow>& rows);

// The item numbers the copy gives rows whose own number is 0: 1, then 5, 10, 15, ...
std::vector<std::int64_t> generatedItemNumbers(const std::vector<std::int64_t>& stored);

}  // namespace velmora::aircraft
