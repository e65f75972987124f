#pragma once

#include "JetType.h"
#include "SourceValue.h"
#include "data/DbError.h"

#include <QString>

#include <memory>
#include <vector>

namespace velmora::legacy {

// A failure to read or convert a file is a data::DbError whose text, meant for the user,
// names the file and what is wrong with it: err::JetFile, or one of Jet's numbers for a
// file that is damaged or encrypted with a password, which the programs show.
inline constexpr data::ErrorNumber kDamagedJetFile = static_cast<data::ErrorNumber>(3049);
inline constexpr data::ErrorNumber kEncryptedJetFile = static_cast<data::ErrorNumber>(3031);

// Whether a failure is one of those (rather than one of the file being written).
bool isJetFileFailure(const data::DbError& e);
// The failure of a number as Jet gives it, for one that crossed from the reader's process:
// a damaged or encrypted file keeps its number, anything else is err::JetFile.
data::DbError jetFileFailure(int number, const QString& text);
// The number the reader's process sends for a failure: 0 for err::JetFile.
int jetFileNumber(const data::DbError& e);
// The text as the programs show it: after "error N: " for a damaged or encrypted file.
QString numberedText(const data::DbError& e);

struct SourceColumn {
    QString name;
    JetType type = JetType::Unknown;
    int length = 0;                // Text: the most characters it takes
    int precision = 0, scale = 0;  // Decimal
    bool autoNumber = false;
    // A calculated field: its values are the results the file stores; type is the result's
    // type (Unknown when the file does not say it).
    bool calculated = false;
    QString expression;
};

struct SourceTable {
    QString name;
    std::vector<SourceColumn> columns;
    qint64 rowCount = 0;  // as the file's table definition states it
};

// A stored query: its name and its SQL text as far as it could be rebuilt, or why not.
struct SourceQuery {
    QString name;
    QString sql;      // empty when it could not be rebuilt
    QString problem;  // why there is no SQL text
};

// Something in the source that is no table or query that can be read (a table linked to
// another file), with the reason.
struct SourceObject {
    QString name;
    QString reason;
};

// The rows of one table, read one at a time: no more than one row is held.
class RowCursor {
  public:
    virtual ~RowCursor() = default;
    // Fills row with the next row's values, one per column of the table in order; false at
    // the end. Throws data::DbError when the rows cannot be read.
    virtual bool next(std::vector<SourceValue>* row) = 0;
    // Rows passed over so far because the file's bytes for them are damaged.
    virtual qint64 unreadableRows() const { return 0; }
};

// Tables, their columns with their Jet types, their rows, and the stored queries of a
// database in the earlier Jet format (or of a stand-in kept in memory). One cursor is read
// at a time.
class TableSource {
  public:
    virtual ~TableSource() = default;

    // "Jet 3", "Jet 4", "ACE 12", ... or what the stand-in calls itself.
    virtual QString formatName() const = 0;
    virtual std::vector<SourceTable> tables() = 0;
    // The rows of a table given by its name as tables() spells it.
    virtual std::unique_ptr<RowCursor> rows(const QString& table) = 0;
    virtual std::vector<SourceQuery> queries() = 0;
    // Objects that hold no rows of their own here (linked tables).
    virtual std::vector<SourceObject> otherObjects() = 0;
};

}  // namespace velmora::legacy
