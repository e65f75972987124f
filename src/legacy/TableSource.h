#pragma once

#include "JetType.h"
#include "SourceValue.h"

#include <QString>

#include <memory>
#include <stdexcept>
#include <vector>

namespace velmora::legacy {

// Jet's number for a database that cannot be opened because it is damaged: a file whose
// reading crashed, hung or gave what cannot be understood.
inline constexpr int kDamagedJetFile = 3049;
// Jet's number for a database that cannot be opened without its password: a file whose
// pages are encrypted.
inline constexpr int kEncryptedJetFile = 3031;

// A failure to read or convert a file, with a text meant for the user that names the file
// and what is wrong with it, and for some failures Jet's error number.
class LegacyError : public std::runtime_error {
  public:
    explicit LegacyError(const QString& text)
        : std::runtime_error(text.toStdString()), text_(text) {}
    LegacyError(int number, const QString& text)
        : std::runtime_error(text.toStdString()), text_(text), number_(number) {}
    const QString& text() const { return text_; }
    // Jet's error number; 0 when the failure has none.
    int number() const { return number_; }
    // The text, after "error N: " when it has a number.
    QString numberedText() const {
        return number_ ? QStringLiteral("error %1: %2").arg(number_).arg(text_) : text_;
    }

  private:
    QString text_;
    int number_ = 0;
};

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
    // the end. Throws LegacyError when the rows cannot be read.
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
