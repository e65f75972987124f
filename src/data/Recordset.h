#pragma once

#include "Database.h"

#include <QHash>

#include <functional>

namespace velmora::data {

// A column of a record set.
struct Field {
    QString name;    // as the set names it ("Aircraft.RegNum" where two columns share a name)
    QString table;   // the table it comes from, empty for a computed column
    QString column;  // its name in that table
    FieldType type;
    bool writable = false;
};

// The rows of one source, read in order when it is opened. When the source is one table,
// the set is updatable: each change is written to the file at once, in a transaction of
// its own, and read back as the file stores it.
//
// A row is written only if the columns it changes still hold what this set read: a value
// another user (or another screen) saved meanwhile is never overwritten unseen. Columns
// given a change (applyChange) are the exception: their new value follows from the row as
// it is stored when it is written, so that entries made at once all count.
class Recordset {
  public:
    enum class EditMode { None, Edit, AddNew };

    // The columns of the current row as the file or server holds them at the moment the row
    // is written (Null for a column this set does not write).
    using StoredColumns = std::function<Value(const QString& column)>;
    // A column's new value worked out from the row as stored when it is written.
    using Change = std::function<Value(const StoredColumns& stored)>;

    struct Row {
        std::int64_t bookmark = 0;
        std::int64_t rowid = 0;
        std::vector<Value> values;
    };

    Recordset(std::shared_ptr<Database> db, QString source, QString table,
              std::vector<Field> fields, std::vector<Row> rows,
              std::vector<Value> sourceValues = {});

    const QString& source() const { return source_; }
    Database& database() { return *db_; }
    bool isUpdatable() const { return !table_.isEmpty(); }
    const QString& table() const { return table_; }

    int fieldCount() const { return static_cast<int>(fields_.size()); }
    const Field& field(int index) const { return fields_.at(static_cast<size_t>(index)); }
    // The index of a field by name, letter case ignored; -1 when there is none. A bare
    // name also finds a qualified one ("RegNum" finds "Aircraft.RegNum").
    int fieldIndex(const QString& name) const;

    int recordCount() const { return static_cast<int>(rows_.size()); }
    bool eof() const { return rows_.empty() || pos_ >= recordCount(); }
    bool bof() const { return rows_.empty() || pos_ < 0; }
    bool hasCurrent() const { return !deleted_ && !eof() && !bof(); }
    int absolutePosition() const { return hasCurrent() ? pos_ : -1; }
    void setAbsolutePosition(int position);
    std::int64_t bookmark() const;
    void setBookmark(std::int64_t bookmark);
    std::int64_t lastModified() const { return lastModified_; }

    // Moving discards an edit that was not saved with update().
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // Moves to the first (next) row matching a criterion; noMatch() tells when none does,
    // and the current row then stays where it was.
    void findFirst(const QString& criterion);
    void findNext(const QString& criterion);
    bool noMatch() const { return noMatch_; }

    // Values of the current row (of the row being edited or added, during an edit).
    Value value(int index) const;
    Value value(const QString& name) const;
    // The current row's value without a copy; valid until the set changes.
    const Value& at(int index) const {
        if (index < 0 || index >= fieldCount() || (mode_ == EditMode::None && !hasCurrent()))
            failAt(index);
        if (mode_ != EditMode::None)
            return buffer_[static_cast<size_t>(index)];
        return rows_[static_cast<size_t>(pos_)].values[static_cast<size_t>(index)];
    }
    void setValue(int index, const Value& v);
    void setValue(const QString& name, const Value& v);
    // Gives a column of the row being edited or added a change instead of a value: it is
    // worked out again from the stored row, inside the transaction that writes it, and is
    // not checked against what this set read. Until then value() shows it worked out from
    // the row as this set read it.
    void applyChange(const QString& name, Change change);

    // A column of the current row as the file or server holds it now, not as this set read
    // it. Throws NoCurrentRecord when the row is gone.
    Value storedNow(const QString& name) const;

    EditMode editMode() const { return mode_; }
    void edit();
    void addNew();
    void update();
    void cancelUpdate();
    void deleteCurrent();

    // Reads the rows again from the source; the first row becomes current.
    void requery();

    const std::vector<Row>& rows() const { return rows_; }

  private:
    int checkedIndex(const QString& name) const;
    const Row& currentRow() const;
    [[noreturn]] void failAt(int index) const;
    void requireUpdatable(const char* what) const;
    void find(const QString& criterion, int from);

    std::shared_ptr<Database> db_;
    QString source_;
    std::vector<Value> sourceValues_;  // bound to the source's markers
    QString table_;
    std::vector<Field> fields_;
    // Each field's index by its name as compared, made when a name is first looked up: a
    // reader that goes by index (a grid, a report) never needs it.
    mutable QHash<QString, int> byName_;
    mutable bool byNameMade_ = false;
    std::vector<Row> rows_;
    int pos_ = 0;
    bool deleted_ = false;
    bool noMatch_ = false;
    EditMode mode_ = EditMode::None;
    std::vector<Value> buffer_;
    std::vector<bool> dirty_;
    std::vector<Change> changes_;  // by field; empty where the column takes its value as set
    std::int64_t nextBookmark_ = 1;
    std::int64_t lastModified_ = 0;
};

// Converts a value for a column of the given type: Yes/No to -1/0, money to four
// decimals, dates to ISO text, numbers from text. Empty text in a column that is not text
// becomes Null. Throws DbError (type mismatch, too long, overflow) naming the column.
Value convertForField(const Value& v, const FieldType& type, const QString& columnName);

}  // namespace velmora::data
