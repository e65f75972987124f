#include "Recordset.h"

#include "SharedUse.h"

#include "JetDates.h"

#include <cmath>

namespace velmora::data {

namespace {

[[noreturn]] void noCurrent() {
    throw DbError(err::NoCurrentRecord, QStringLiteral("No current record."));
}

QString foldName(const QString& n) {
    return n.toCaseFolded();
}

}  // namespace

Recordset::Recordset(std::shared_ptr<Database> db, QString source, QString table,
                     std::vector<Field> fields, std::vector<Row> rows,
                     std::vector<Value> sourceValues)
    : db_(std::move(db)),
      source_(std::move(source)),
      sourceValues_(std::move(sourceValues)),
      table_(std::move(table)),
      fields_(std::move(fields)),
      rows_(std::move(rows)) {
    for (Row& r : rows_)
        r.bookmark = nextBookmark_++;
}

int Recordset::fieldIndex(const QString& name) const {
    if (!byNameMade_) {
        byName_.clear();
        for (int i = 0; i < fieldCount(); ++i) {
            const QString& n = fields_[static_cast<size_t>(i)].name;
            byName_.insert(foldName(n), i);
            const int dot = static_cast<int>(n.lastIndexOf(u'.'));
            if (dot > 0) {
                const QString bare = foldName(n.mid(dot + 1));
                if (!byName_.contains(bare))
                    byName_.insert(bare, i);
            }
        }
        byNameMade_ = true;
    }
    auto it = byName_.constFind(foldName(name));
    if (it != byName_.constEnd())
        return *it;
    if (name.startsWith(u'[') && name.endsWith(u']'))
        return fieldIndex(name.mid(1, name.size() - 2));
    return -1;
}

int Recordset::checkedIndex(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(
            err::ItemNotFound,
            QStringLiteral("There is no column named '%1' in \"%2\".").arg(name, source_));
    return i;
}

const Recordset::Row& Recordset::currentRow() const {
    if (!hasCurrent())
        noCurrent();
    return rows_[static_cast<size_t>(pos_)];
}

void Recordset::setAbsolutePosition(int position) {
    if (position < 0 || position >= recordCount())
        noCurrent();
    mode_ = EditMode::None;
    pos_ = position;
    deleted_ = false;
}

std::int64_t Recordset::bookmark() const {
    return currentRow().bookmark;
}

void Recordset::setBookmark(std::int64_t bookmark) {
    for (int i = 0; i < recordCount(); ++i) {
        if (rows_[static_cast<size_t>(i)].bookmark == bookmark) {
            setAbsolutePosition(i);
            return;
        }
    }
    throw DbError(err::NoCurrentRecord, QStringLiteral("The row asked for is no longer there."));
}

void Recordset::moveFirst() {
    mode_ = EditMode::None;
    if (rows_.empty())
        noCurrent();
    pos_ = 0;
    deleted_ = false;
}

void Recordset::moveLast() {
    mode_ = EditMode::None;
    if (rows_.empty())
        noCurrent();
    pos_ = recordCount() - 1;
    deleted_ = false;
}

void Recordset::moveNext() {
    mode_ = EditMode::None;
    if (deleted_) {
        // After a delete the row that followed the deleted one sits at its position.
        deleted_ = false;
        return;
    }
    if (eof())
        noCurrent();
    ++pos_;
}

void Recordset::movePrevious() {
    mode_ = EditMode::None;
    if (deleted_) {
        deleted_ = false;
        --pos_;
        return;
    }
    if (bof())
        noCurrent();
    --pos_;
}

void Recordset::findFirst(const QString& criterion) {
    find(criterion, 0);
}

void Recordset::findNext(const QString& criterion) {
    find(criterion, hasCurrent() ? pos_ + 1 : (deleted_ ? pos_ : 0));
}

void Recordset::find(const QString& criterion, int from) {
    QStringList names;
    names.reserve(fieldCount());
    for (const Field& f : fields_)
        names << f.name;
    auto predicate = db_->prepareCriterion(criterion, names);
    noMatch_ = true;
    const int found = predicate->firstMatch(std::max(from, 0), recordCount(),
                                            [this](int i) -> const std::vector<Value>& {
                                                return rows_[static_cast<size_t>(i)].values;
                                            });
    if (found >= 0) {
        mode_ = EditMode::None;
        pos_ = found;
        deleted_ = false;
        noMatch_ = false;
    }
}

Value Recordset::value(int index) const {
    if (index < 0 || index >= fieldCount())
        throw DbError(
            err::ItemNotFound,
            QStringLiteral("Column %1 does not exist in \"%2\".").arg(index).arg(source_));
    if (mode_ != EditMode::None)
        return buffer_[static_cast<size_t>(index)];
    return currentRow().values[static_cast<size_t>(index)];
}

void Recordset::failAt(int index) const {
    if (index < 0 || index >= fieldCount())
        throw DbError(
            err::ItemNotFound,
            QStringLiteral("Column %1 does not exist in \"%2\".").arg(index).arg(source_));
    noCurrent();
}

Value Recordset::value(const QString& name) const {
    return value(checkedIndex(name));
}

void Recordset::setValue(const QString& name, const Value& v) {
    setValue(checkedIndex(name), v);
}

void Recordset::setValue(int index, const Value& v) {
    if (index < 0 || index >= fieldCount())
        throw DbError(
            err::ItemNotFound,
            QStringLiteral("Column %1 does not exist in \"%2\".").arg(index).arg(source_));
    if (mode_ == EditMode::None)
        throw DbError(err::UpdateWithoutEdit,
                      QStringLiteral("The row must be opened for editing before a value is "
                                     "changed (column '%1').")
                          .arg(field(index).name));
    const Field& f = fields_[static_cast<size_t>(index)];
    if (!f.writable)
        throw DbError(err::ReadOnly,
                      QStringLiteral("Column '%1' cannot be changed: it is computed or comes "
                                     "from another table.")
                          .arg(f.name));
    buffer_[static_cast<size_t>(index)] = convertForField(v, f.type, f.name);
    dirty_[static_cast<size_t>(index)] = true;
    changes_[static_cast<size_t>(index)] = nullptr;
}

void Recordset::applyChange(const QString& name, Change change) {
    const int index = checkedIndex(name);
    // As it will be stored: the row as read (a new row has nothing yet).
    const std::vector<Value> read =
        mode_ == EditMode::Edit ? currentRow().values : std::vector<Value>(fields_.size());
    setValue(index, change([&](const QString& column) {
                 const int i = fieldIndex(column);
                 return i < 0 ? Value() : read[static_cast<size_t>(i)];
             }));
    changes_[static_cast<size_t>(index)] = std::move(change);
}

Value Recordset::storedNow(const QString& name) const {
    const int index = checkedIndex(name);
    const Field& f = fields_[static_cast<size_t>(index)];
    if (!isUpdatable() || !f.writable)
        return value(index);
    return db_->readRow(table_, currentRow().rowid, {f.column}).front();
}

void Recordset::requireUpdatable(const char* what) const {
    if (!isUpdatable())
        throw DbError(err::ReadOnly,
                      QStringLiteral("Cannot %1: the rows of \"%2\" cannot be updated (they do "
                                     "not come from one table).")
                          .arg(QLatin1String(what), source_));
    if (db_->isReadOnly())
        throw DbError(
            err::ReadOnly,
            QStringLiteral("Cannot %1: %2.").arg(QLatin1String(what), db_->whyReadOnly()));
}

void Recordset::edit() {
    requireUpdatable("edit the row");
    buffer_ = currentRow().values;
    dirty_.assign(buffer_.size(), false);
    changes_.assign(buffer_.size(), nullptr);
    mode_ = EditMode::Edit;
}

void Recordset::addNew() {
    requireUpdatable("add a row");
    buffer_.assign(fields_.size(), Value());
    dirty_.assign(fields_.size(), false);
    changes_.assign(fields_.size(), nullptr);
    mode_ = EditMode::AddNew;
}

void Recordset::cancelUpdate() {
    mode_ = EditMode::None;
    buffer_.clear();
    dirty_.clear();
    changes_.clear();
}

void Recordset::update() {
    if (mode_ == EditMode::None)
        throw DbError(err::UpdateWithoutEdit,
                      QStringLiteral("There is no edited or added row to save."));
    QStringList all;
    std::vector<int> indexes;
    for (int i = 0; i < fieldCount(); ++i) {
        if (field(i).writable) {
            all << field(i).column;
            indexes.push_back(i);
        }
    }
    auto store = [&](Row& row) {
        const std::vector<Value> back = db_->readRow(table_, row.rowid, all);
        for (size_t k = 0; k < indexes.size(); ++k)
            row.values[static_cast<size_t>(indexes[k])] = back[k];
    };
    // The columns written, with their values; a change is worked out from `stored`.
    auto written = [&](const std::vector<Value>& stored, QStringList* columns,
                       std::vector<Value>* values) {
        const StoredColumns storedColumn = [&](const QString& column) {
            for (size_t k = 0; k < indexes.size(); ++k) {
                if (all[static_cast<qsizetype>(k)].compare(column, Qt::CaseInsensitive) == 0)
                    return stored[k];
            }
            return Value();
        };
        for (size_t k = 0; k < indexes.size(); ++k) {
            const auto i = static_cast<size_t>(indexes[k]);
            if (!dirty_[i])
                continue;
            *columns << all[static_cast<qsizetype>(k)];
            values->push_back(changes_[i] ? convertForField(changes_[i](storedColumn),
                                                            fields_[i].type, fields_[i].name)
                                          : buffer_[i]);
        }
    };
    QStringList columns;
    std::vector<Value> values;
    if (mode_ == EditMode::Edit) {
        Row& row = rows_[static_cast<size_t>(pos_)];
        // Read and write are one transaction, and the server locks the row as it is read.
        Transaction tx(*db_);
        // A row deleted meanwhile fails here as NoCurrentRecord.
        const std::vector<Value> now = db_->readRow(table_, row.rowid, all);
        for (size_t k = 0; k < indexes.size(); ++k) {
            const auto i = static_cast<size_t>(indexes[k]);
            if (dirty_[i] && !changes_[i] && !(now[k] == row.values[i]))
                throw DbError(err::DataChanged, QLatin1String(kDataChangedText));
        }
        written(now, &columns, &values);
        if (!columns.isEmpty())
            db_->updateRow(table_, row.rowid, columns, values);
        store(row);
        tx.commit();
        lastModified_ = row.bookmark;
    } else {
        written(std::vector<Value>(indexes.size()), &columns, &values);
        Row row;
        row.rowid = db_->insertRow(table_, columns, values);
        row.values.assign(fields_.size(), Value());
        store(row);
        row.bookmark = nextBookmark_++;
        lastModified_ = row.bookmark;
        rows_.push_back(std::move(row));
        if (rows_.size() == 1)
            pos_ = 0;
    }
    mode_ = EditMode::None;
    buffer_.clear();
    dirty_.clear();
    changes_.clear();
}

void Recordset::deleteCurrent() {
    requireUpdatable("delete the row");
    const Row& row = currentRow();
    db_->deleteRow(table_, row.rowid);
    rows_.erase(rows_.begin() + pos_);
    mode_ = EditMode::None;
    deleted_ = true;
}

void Recordset::requery() {
    auto fresh = db_->openRecordset(source_, sourceValues_);
    fields_ = std::move(fresh->fields_);
    byNameMade_ = false;
    table_ = fresh->table_;
    rows_ = std::move(fresh->rows_);
    for (Row& r : rows_)
        r.bookmark = nextBookmark_++;
    pos_ = 0;
    deleted_ = false;
    mode_ = EditMode::None;
}

Value convertForField(const Value& v, const FieldType& type, const QString& columnName) {
    using Kind = FieldType::Kind;
    auto mismatch = [&] {
        return DbError(err::TypeMismatch, QStringLiteral("'%1' cannot be stored in column '%2', "
                                                         "which takes %3.")
                                              .arg(v.toString(), columnName, type.kindName()));
    };
    if (v.isNull())
        return v;
    const bool blankText = v.type() == Value::Type::Text && v.toString().trimmed().isEmpty();
    switch (type.kind) {
        case Kind::Variant:
            return v;
        case Kind::Text: {
            const QString s = v.toString();
            if (type.size > 0 && s.size() > type.size)
                throw DbError(
                    err::FieldTooSmall,
                    QStringLiteral("The text \"%1\" is too long for column '%2', which "
                                   "takes at most %3 characters.")
                        .arg(s.left(40) + (s.size() > 40 ? QStringLiteral("...") : ""), columnName)
                        .arg(type.size));
            return Value(s);
        }
        case Kind::YesNo: {
            if (blankText)
                return {};
            if (v.isNumber())
                return Value(v.toDouble() != 0.0);
            const QString s = v.toString().trimmed().toLower();
            if (s == u"yes" || s == u"true" || s == u"on")
                return Value(true);
            if (s == u"no" || s == u"false" || s == u"off")
                return Value(false);
            double d = 0;
            if (Value::parseNumber(s, &d))
                return Value(d != 0.0);
            throw mismatch();
        }
        case Kind::Date: {
            if (blankText)
                return {};
            const auto dt = parseJetDateTime(v.toString());
            if (!dt)
                throw mismatch();
            return Value(storedDateText(*dt));
        }
        case Kind::Integer:
        case Kind::Real:
        case Kind::Currency: {
            if (blankText)
                return {};
            // A whole number is checked as it is: through a double, one beyond 2^53 would
            // lose its last digits.
            if (type.kind == Kind::Integer && v.type() == Value::Type::Integer) {
                if (v.toInt() < type.minValue || v.toInt() > type.maxValue)
                    throw DbError(err::NumericOverflow,
                                  QStringLiteral("%1 is out of range for column '%2' (%3 to %4).")
                                      .arg(v.toString(), columnName)
                                      .arg(type.minValue)
                                      .arg(type.maxValue));
                return v;
            }
            double d = 0;
            if (v.isNumber())
                d = v.toDouble();
            else if (!Value::parseNumber(v.toString(), &d))
                throw mismatch();
            if (!std::isfinite(d))
                throw mismatch();
            if (type.kind == Kind::Integer) {
                const double r = std::nearbyint(d);
                // 2^63 is the first double no 64-bit whole number reaches.
                if (r < static_cast<double>(type.minValue) ||
                    r > static_cast<double>(type.maxValue) || r >= 0x1p63)
                    throw DbError(err::NumericOverflow,
                                  QStringLiteral("%1 is out of range for column '%2' (%3 to %4).")
                                      .arg(v.toString(), columnName)
                                      .arg(type.minValue)
                                      .arg(type.maxValue));
                return Value(static_cast<std::int64_t>(r));
            }
            if (type.kind == Kind::Currency) {
                if (std::fabs(d) > 9.2e14)
                    throw DbError(err::NumericOverflow,
                                  QStringLiteral("%1 is too large an amount for column '%2'.")
                                      .arg(v.toString(), columnName));
                return Value(std::round(d * 10000.0) / 10000.0);
            }
            if (v.type() == Value::Type::Integer)
                return v;
            return Value(d);
        }
    }
    return v;
}

}  // namespace velmora::data
